#include "chm/web_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "chm/generate_page.h"
#include "chm/generate_test_support.h"

namespace zanvo {
namespace {

using testing::FakeBrowser;
using testing::TempFolder;
using testing::buildTree;
using testing::shape;

TEST(LastPathPart, StepsOverTwoByteCharacters) {
  struct Case { const char* name; Text path; Text expected; };
  const Case cases[] = {
      {"plain", "D:\\books\\book", "book"},
      {"trailing separator", "D:\\books\\", ""},
      {"no separator", "book", "book"},
      {"empty", "", ""},
      {"second byte 5C is no separator", "D:\\\xB1\x5C", "\xB1\x5C"},
      {"only a two-byte character ending in 5C", "\x81\x5C", "\x81\x5C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, lastPathPart(c.path));
  }
}

TEST(ItemPath, JoinsAncestorCaptionsWithAFinalBackslash) {
  DocumentTree t;
  buildTree(t, "<ch1>(1) a.htm(2) <sub>(2) b.htm(3) index.htm(1)");
  t.setCaption(4, "\x81\x5C");  // ends in a second byte with the value of "\"
  const Text expected[] = {"<ch1>\\", "<ch1>\\a.htm\\", "<ch1>\\<sub>\\",
                           "<ch1>\\<sub>\\b.htm\\", "\x81\x5C\\"};
  std::vector<Text> all;
  forEachItemPath(t, [&all](int i, const Text& p) {
    EXPECT_EQ(static_cast<int>(all.size()), i);
    all.push_back(p);
  });
  ASSERT_EQ(5u, all.size());
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i], itemPath(t, i));
    EXPECT_EQ(expected[i], all[i]);
  }
  EXPECT_EQ("", itemPath(t, -1));
  EXPECT_EQ("", itemPath(t, 5));
  // A caption that already ends in a separator gets no second one.
  t.setCaption(0, "dir\\");
  EXPECT_EQ("dir\\a.htm\\", itemPath(t, 1));
  forEachItemPath(t, [](int i, const Text& p) {
    if (i == 1) EXPECT_EQ("dir\\a.htm\\", p);
  });
}

TEST(FilterTree, KeepsPagesAndFoldersThatStillHoldSomething) {
  struct Case { const char* name; std::string before; int selection;
                std::string after; int selectionAfter; };
  const Case cases[] = {
      {"page names", "a.html(1) B.HTM(1) old.htm.bak(1) a.shtml(1) c.txt(1)", 1,
       "a.html(1) B.HTM(1) old.htm.bak(1)", 1},
      {"folder emptied in this pass stays", "<img>(1) p.gif(2) q.png(2) i.htm(1)",
       3, "<img>(1) i.htm(1)", 1},
      {"childless folder goes", "<img>(1) i.htm(1)", 0, "i.htm(1)", -1},
      {"folder named like a page stays", "<x.htm>(1) <y>(1)", -1, "<x.htm>(1)", -1},
      {"nested", "<a>(1) <b>(2) c.gif(3) d.htm(3) e.css(2)", 3,
       "<a>(1) <b>(2) d.htm(3)", 2},
      {"empty", "", -1, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DocumentTree t;
    buildTree(t, c.before);
    t.setSelection(c.selection);
    filterTree(t);
    EXPECT_EQ(c.after, shape(t));
    EXPECT_EQ(c.selectionAfter, t.selection());
  }
  DocumentTree t;
  buildTree(t, "<img>(1) p.gif(2) i.htm(1)");
  filterTree(t);
  filterTree(t);  // the second pass takes the folder that the first emptied
  EXPECT_EQ("i.htm(1)", shape(t));
}

// ch1 with a.htm, b.txt and pic.gif; index.htm and style.css at the top.
void makeWorkedExample(TempFolder& f) {
  f.file("book/ch1/a.htm");
  f.file("book/ch1/b.txt");
  f.file("book/ch1/pic.gif");
  f.file("book/index.htm");
  f.file("book/style.css");
}

TEST(ImportWebFolder, WorkedExample) {
  TempFolder f;
  makeWorkedExample(f);
  WindowModel w;
  w.setText(Ctl::编辑框4, "old project");
  w.setText(Ctl::编辑框10, "old contents");
  w.tree().addChild(-1, "stale", 1, -1);
  w.tree().setSelection(0);
  const Text folder = f.path() + "\\book";
  importWebFolder(w, folder);
  EXPECT_EQ("<ch1>(1) a.htm(2) b.txt(2) pic.gif(2) index.htm(1) style.css(1)",
            shape(w.tree()));
  EXPECT_EQ(0, w.tree().image(0));
  EXPECT_EQ(0, w.tree().selectedImage(0));
  EXPECT_EQ(1, w.tree().image(1));
  EXPECT_EQ(1, w.tree().selectedImage(1));
  EXPECT_EQ(0, w.tree().itemValue(1));
  EXPECT_EQ(-1, w.tree().selection());
  EXPECT_EQ("ch1\\a.htm\r\nch1\\b.txt\r\nch1\\pic.gif\r\nindex.htm\r\nstyle.css\r\n",
            w.state().fileList);
  EXPECT_EQ("book", w.state().projectName);
  EXPECT_EQ(folder, w.text(Ctl::编辑框_网页文件夹));
  EXPECT_EQ("", w.text(Ctl::编辑框4));
  EXPECT_EQ("", w.text(Ctl::编辑框10));
  filterTree(w.tree());
  EXPECT_EQ("<ch1>(1) a.htm(2) index.htm(1)", shape(w.tree()));
  EXPECT_EQ(2, w.tree().level(1));
  // The file list was taken before the filter and does not follow it.
  EXPECT_NE(std::string::npos, w.state().fileList.find("style.css"));
}

TEST(ImportWebFolder, SubfoldersFirstThenFilesEachInNtfsOrder) {
  TempFolder f;
  f.file("w/style.css");
  f.file("w/Index.htm");
  f.file("w/02.htm");
  f.file("w/01.htm");
  f.file("w/.hidden.htm");      // hidden files are imported like others
  f.file("w/b/z.htm");
  f.file("w/b/c/deep.htm");
  f.file("w/A/x.htm");
  f.folder("w/empty");
  f.file("w/.git/config");       // a hidden folder is a folder like others
  WindowModel w;
  importWebFolder(w, f.path() + "\\w");
  EXPECT_EQ(
      "<.git>(1) config(2) <A>(1) x.htm(2) <b>(1) <c>(2) deep.htm(3) z.htm(2) "
      "<empty>(1) .hidden.htm(1) 01.htm(1) 02.htm(1) Index.htm(1) style.css(1)",
      shape(w.tree()));
  EXPECT_EQ(
      ".git\\config\r\nA\\x.htm\r\nb\\c\\deep.htm\r\nb\\z.htm\r\n"
      ".hidden.htm\r\n01.htm\r\n02.htm\r\nIndex.htm\r\nstyle.css\r\n",
      w.state().fileList);
  // After a walk the current folder is the web folder itself.
  EXPECT_EQ(f.path() + "\\w", currentFolder());
}

TEST(ImportWebFolder, PathEndingInASeparatorGivesAnEmptyProjectName) {
  TempFolder f;
  f.file("r/index.htm");
  f.file("r/sub/a.htm");
  WindowModel w;
  w.state().projectName = "earlier";
  importWebFolder(w, f.path() + "\\r\\");
  EXPECT_EQ("", w.state().projectName);
  EXPECT_EQ("<sub>(1) a.htm(2) index.htm(1)", shape(w.tree()));
  EXPECT_EQ("sub\\a.htm\r\nindex.htm\r\n", w.state().fileList);
}

TEST(ImportWebFolder, NoFolderEmptiesThePageAndKeepsTheProjectName) {
  TempFolder f;
  f.file("page.htm");
  for (const Text& path : {Text(), f.path() + "\\missing", f.path() + "\\page.htm"}) {
    SCOPED_TRACE(path);
    WindowModel w;
    w.state().projectName = "earlier";
    w.state().fileList = "x.htm\r\n";
    w.setText(Ctl::编辑框4, "p");
    w.setText(Ctl::编辑框10, "c");
    w.tree().addChild(-1, "x.htm", 1, -1);
    importWebFolder(w, path);
    EXPECT_EQ(0, w.tree().count());
    EXPECT_EQ("", w.state().fileList);
    EXPECT_EQ("earlier", w.state().projectName);
    EXPECT_EQ("", w.text(Ctl::编辑框4));
    EXPECT_EQ("", w.text(Ctl::编辑框10));
    EXPECT_EQ(path, w.text(Ctl::编辑框_网页文件夹));
  }
}

TEST(ImportWebFolder, EmptyFolderAndImageOnlySubfolder) {
  TempFolder f;
  f.folder("empty");
  f.file("pics/img/a.gif");
  f.file("pics/img/b.jpg");
  f.file("pics/index.htm");
  WindowModel w;
  importWebFolder(w, f.path() + "\\empty");
  EXPECT_EQ(0, w.tree().count());
  EXPECT_EQ("", w.state().fileList);
  EXPECT_EQ("empty", w.state().projectName);

  FakeBrowser browser(f.path() + "\\pics");
  w.setFolderBrowser(&browser);
  attachGeneratePage(w);
  w.click(Ctl::按钮_导入文件夹);
  EXPECT_EQ("<img>(1) index.htm(1)", shape(w.tree()));
  EXPECT_EQ("img\\a.gif\r\nimg\\b.jpg\r\nindex.htm\r\n", w.state().fileList);
  w.click(Ctl::按钮过滤);
  EXPECT_EQ("index.htm(1)", shape(w.tree()));
}

TEST(ImportWebFolder, EarlierBuildOutputIsListedButFilteredOut) {
  TempFolder f;
  f.file("book/index.htm");
  f.file("book/book.hhc");
  f.file("book/book.hhp");
  f.file("book/book.chm");
  WindowModel w;
  importWebFolder(w, f.path() + "\\book");
  EXPECT_EQ("book.chm\r\nbook.hhc\r\nbook.hhp\r\nindex.htm\r\n",
            w.state().fileList);
  filterTree(w.tree());
  EXPECT_EQ("index.htm(1)", shape(w.tree()));
}

TEST(ImportWebFolder, NamesEndingInASecondByteLikeABackslash) {
  // U+4E57 is 81 5C in code page 936: the folder name ends in a byte with
  // the value of "\" that is no separator.
  TempFolder f;
  const std::string name = "\xE4\xB9\x97";
  f.file(name + "/" + name + "/a.htm");
  WindowModel w;
  importWebFolder(w, f.path() + "\\" + pathFromNative(name));
  EXPECT_EQ("\x81\x5C", w.state().projectName);
  EXPECT_EQ("<\x81\x5C>(1) a.htm(2)", shape(w.tree()));
  EXPECT_EQ("\x81\x5C\\a.htm\r\n", w.state().fileList);
}

TEST(WalkFolder, AddsBelowTheGivenParentAndFailsOnAMissingFolder) {
  TempFolder f;
  f.file("w/a.htm");
  f.file("w/s/b.htm");
  DocumentTree t;
  buildTree(t, "<x>(1) <y>(2) z.htm(1)");
  EXPECT_FALSE(walkFolder(t, f.path() + "\\missing", 1));
  EXPECT_EQ("<x>(1) <y>(2) z.htm(1)", shape(t));
  EXPECT_TRUE(walkFolder(t, f.path() + "\\w", 0));
  EXPECT_EQ("<x>(1) <y>(2) <s>(2) b.htm(3) a.htm(2) z.htm(1)", shape(t));
}

TEST(ImportHandler, AsksForTheFolderAndImportsEvenAfterACancel) {
  TempFolder f;
  makeWorkedExample(f);
  WindowModel w;
  attachGeneratePage(w);
  FakeBrowser browser(" " + f.path() + "\\book ");  // the chooser trims
  w.setFolderBrowser(&browser);
  w.click(Ctl::按钮_导入文件夹);
  EXPECT_EQ(gbk("选择要生成的文件夹"), browser.last.title);
  EXPECT_EQ(kBifNewDialogStyle, browser.last.flags);
  EXPECT_EQ("", browser.last.startFolder);
  EXPECT_EQ(f.path() + "\\book", w.text(Ctl::编辑框_网页文件夹));
  EXPECT_EQ("<ch1>(1) a.htm(2) index.htm(1)", shape(w.tree()));
  EXPECT_EQ("book", w.state().projectName);

  browser.answer.reset();
  w.click(Ctl::按钮_导入文件夹);
  EXPECT_EQ("", w.text(Ctl::编辑框_网页文件夹));
  EXPECT_EQ(0, w.tree().count());
  EXPECT_EQ("", w.state().fileList);
  EXPECT_EQ("book", w.state().projectName);
}

}  // namespace
}  // namespace zanvo

namespace zanvo {
namespace {

// The character-stepping helpers against the text operations, on random
// byte strings full of two-byte characters whose second byte looks like a
// mark, a separator or a letter.
TEST(TextHelpers, AgreeWithTheTextOperations) {
  const char alphabet[] = {'<', '>', '\\', '.', 'h', 'T', 'm', 'L', 'a',
                           '\x81', '\xB1', '\x5C'};
  std::mt19937 random(5);
  for (int round = 0; round < 5000; ++round) {
    Text t;
    const int n = static_cast<int>(random() % 10);
    for (int k = 0; k < n; ++k) t += alphabet[random() % sizeof(alphabet)];
    SCOPED_TRACE(t);
    Text marks = "x";
    appendWithoutMarks(marks, t);
    EXPECT_EQ("x" + replaceText(replaceText(t, ">"), "<"), marks);
    EXPECT_EQ(findText(t, ".htm", 1, true) != -1, containsHtm(t));
    // Removing a final "\" by the text operation is the same test.
    EXPECT_EQ(replaceText(t, "\\", "", textLength(t)) != t,
              endsWithBackslash(t));
  }
}

}  // namespace
}  // namespace zanvo

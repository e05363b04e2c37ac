#include "txt2htm/template_a.h"

#include <gtest/gtest.h>

#include "assets/assets.h"
#include "txt2htm/test_support.h"

namespace zanvo {
namespace {

using testing::TempFolder;

std::string page(const std::string& text) {
  return TemplateAHeader() + text + TemplateAFooter();
}

TEST(TemplateAText, FixedPartsAreByteExact) {
  EXPECT_EQ(844u, TemplateAHeader().size());
  EXPECT_EQ(230u, SecondPageHeader().size());
  EXPECT_EQ(TemplateAHeader().find('\n'), Text::npos);
  EXPECT_EQ(0u, TemplateAHeader().find("<html><body BACKGROUND=\"leftbg.gif\"><br><center>"
                                       "<table border=\"1\"  cellpadding"));
  // The Chinese captions are code page 936, not UTF-8.
  EXPECT_NE(TemplateAHeader().find("\xC7\xE3\xC7\xE9\xD6\xC6\xD7\xF7 "
                                   "\xD7\xD6\xBA\xC5\xD1\xA1\xD4\xF1\xA3\xBA"),
            Text::npos);
  EXPECT_NE(TemplateAHeader().find("Content.style.fontSize='9pt';\">\xD0\xA1\xBA\xC5</a>"),
            Text::npos);
  EXPECT_EQ(TemplateAHeader().size() - 29,
            TemplateAHeader().find("<td width=\"96%\" id=\"Content\">"));
  EXPECT_EQ("<hr width=\"100%\" size=\"1\" color=\"#C0C0C0\" align=\"center\"></BODY></HTML>",
            TemplateAFooter());
  EXPECT_EQ(5, std::count(SecondPageHeader().begin(), SecondPageHeader().end(), '\n'));
  EXPECT_NE(SecondPageHeader().find("<table width=\"700\" align=\"center\">  \r\n"), Text::npos);
}

TEST(TemplateAText, PageOfText) {
  struct Case { const char* name; std::string text; std::string body; };
  const Case cases[] = {
      {"trailing blanks go", "a\r\nb  ", "a<br><br>b"},
      {"blanks before a final break stay", "a  \r\n", "a  <br><br>"},
      {"full-width blanks mixed in", "x \xA1\xA1 \xA1\xA1", "x"},
      {"tabs and LF are not blanks", "a\t\n", "a\t\n"},
      {"markup is not escaped", "<b>&amp;</b>", "<b>&amp;</b>"},
      {"empty text", "", ""},
      {"A1 A1 as second and first byte is no blank", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(page(c.body), templateAPage(c.text));
  }
}

TEST(TemplateAText, UndoText) {
  struct Case { const char* name; std::string page; std::string text; };
  const Case cases[] = {
      {"a CR LF b comes back with doubled breaks", page("a<br><br>b"),
       "a\r\n\r\nb\r\n"},
      {"any case of <br>", page("a<BR>b<Br>"), "a\r\nb\r\n\r\n"},
      {"second header removed too", SecondPageHeader() + "x</body></html>",
       "x\r\n"},
      {"every header occurrence", TemplateAHeader() + TemplateAHeader() + "y",
       "y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.text, templateAText(c.page));
  }
}

TEST(ConvertFolder, ConvertsTheTreeDepthFirstAndSkipsDotFolders) {
  TempFolder t;
  t.write("a.txt", "a\r\nb  ");
  t.write("x.y.txt", "xy");
  t.write("notes.doc", "keep");
  t.write("sub/deep/deeper/c.txt", "c");
  t.write("sub/empty/readme.md", "md");
  t.write(".hidden/d.txt", "d");
  t.write("sub/.git/e.txt", "e");
  BatchReport r = convertFolder(t.path(), ".txt", ".htm");
  EXPECT_FALSE(r.refused);
  EXPECT_EQ(3, r.done);
  EXPECT_TRUE(r.problems.empty());
  EXPECT_EQ(page("a<br><br>b"), t.read("a.htm"));
  EXPECT_EQ(page("xy"), t.read("x.y.htm"));
  EXPECT_EQ(page("c"), t.read("sub/deep/deeper/c.htm"));
  const std::vector<std::string> expected = {
      ".hidden", ".hidden/d.txt", "a.htm", "leftbg.gif", "notes.doc", "sub",
      "sub/.git", "sub/.git/e.txt", "sub/deep", "sub/deep/deeper",
      "sub/deep/deeper/c.htm", "sub/deep/deeper/leftbg.gif", "sub/empty",
      "sub/empty/readme.md", "x.y.htm"};
  EXPECT_EQ(expected, t.tree());
  EXPECT_EQ(0u, t.read("leftbg.gif").find("GIF89a"));
  EXPECT_EQ(std::string(imageAsset("leftbg.gif")), t.read("leftbg.gif"));
}

TEST(ConvertFolder, OldTypeWithoutDotAndExistingImage) {
  TempFolder t;
  t.write("notetxt", "n");
  t.write("leftbg.gif", "mine");
  BatchReport r = convertFolder(t.path(), "txt", ".htm");
  EXPECT_EQ(1, r.done);
  EXPECT_EQ(page("n"), t.read(".htm"));
  EXPECT_FALSE(t.exists("notetxt"));
  EXPECT_EQ("mine", t.read("leftbg.gif"));
}

TEST(ConvertFolder, NoMatchingFilesWritesNothing) {
  TempFolder t;
  t.write("a.doc", "a");
  BatchReport r = convertFolder(t.path(), ".txt", ".htm");
  EXPECT_EQ(0, r.done);
  EXPECT_EQ(std::vector<std::string>{"a.doc"}, t.tree());
}

// Every case below would lose a text if a file were deleted before its
// replacement was safely written.
TEST(ConvertFolder, NeverLosesText) {
  {
    SCOPED_TRACE("page cannot be written: a folder has the page's name");
    TempFolder t;
    t.write("a.txt", "precious");
    t.mkdir("a.htm");
    BatchReport r = convertFolder(t.path(), ".txt", ".htm");
    EXPECT_EQ("precious", t.read("a.txt"));
    ASSERT_EQ(1u, r.problems.size());
    EXPECT_EQ(t.path("a.txt"), r.problems[0].path);
    EXPECT_FALSE(t.exists("leftbg.gif"));
  }
  {
    SCOPED_TRACE("old type equal to new type: the page takes the file's place");
    TempFolder t;
    t.write("a.txt", "one\r\ntwo");
    BatchReport r = convertFolder(t.path(), ".txt", ".txt");
    EXPECT_EQ(1, r.done);
    EXPECT_EQ(page("one<br><br>two"), t.read("a.txt"));
  }
  {
    SCOPED_TRACE("types that differ but give the same name");
    TempFolder t;
    t.write("a.txt", "text");
    convertFolder(t.path(), "txt", ".txt");
    EXPECT_EQ(page("text"), t.read("a.txt"));
  }
  {
    SCOPED_TRACE("two files that would make the same page");
    TempFolder t;
    t.write("memotxt", "memo");
    t.write("notetxt", "note");
    BatchReport r = convertFolder(t.path(), "txt", ".htm");
    EXPECT_EQ(1, r.done);
    ASSERT_EQ(1u, r.problems.size());
    EXPECT_EQ(page("memo"), t.read(".htm"));
    EXPECT_EQ("note", t.read("notetxt"));
  }
  {
    SCOPED_TRACE("a page name that is a text file still to be converted");
    // With "txt" to "txt", "a.txt" would become "atxt" over the next file.
    TempFolder t;
    t.write("a.txt", "first");
    t.write("atxt", "second");
    BatchReport r = convertFolder(t.path(), "txt", "txt");
    EXPECT_EQ("first", t.read("a.txt"));
    EXPECT_EQ(page("second"), t.read("txt"));
    EXPECT_FALSE(t.exists("atxt"));
    ASSERT_EQ(1u, r.problems.size());
    EXPECT_EQ(t.path("a.txt"), r.problems[0].path);
  }
  {
    SCOPED_TRACE("a zero byte (a UTF-16 file) would cut the text");
    TempFolder t;
    const std::string utf16("a\0b\0", 4);
    t.write("u.txt", utf16);
    BatchReport r = convertFolder(t.path(), ".txt", ".htm");
    EXPECT_EQ(utf16, t.read("u.txt"));
    EXPECT_FALSE(t.exists("u.htm"));
    EXPECT_EQ(1u, r.problems.size());
  }
}

TEST(ConvertFolder, RefusesEmptyInputs) {
  TempFolder t;
  t.write("a.txt", "a");
  BatchReport r = convertFolder(Text(), ".txt", ".htm");
  EXPECT_TRUE(r.refused);
  EXPECT_FALSE(r.refusal.empty());
  r = convertFolder(t.path(), Text(), ".htm");
  EXPECT_TRUE(r.refused);
  EXPECT_EQ(std::vector<std::string>{"a.txt"}, t.tree());
}

TEST(UndoConversion, TurnsPagesBackInThatFolderOnly) {
  TempFolder t;
  t.write("a.htm", page("a<br><br>b"));
  t.write("keep.html", "html");
  t.write("sub/b.htm", page("b"));
  BatchReport r = undoConversion(t.path());
  EXPECT_EQ(1, r.done);
  EXPECT_EQ("a\r\n\r\nb\r\n", t.read("a.txt"));
  EXPECT_FALSE(t.exists("a.htm"));
  EXPECT_EQ(page("b"), t.read("sub/b.htm"));
  EXPECT_EQ("html", t.read("keep.html"));
}

TEST(UndoConversion, RoundTripOfAConvertedTree) {
  TempFolder t;
  t.write("a.txt", "a\r\nb");
  convertFolder(t.path(), ".txt", ".htm");
  undoConversion(t.path());
  EXPECT_EQ("a\r\n\r\nb\r\n", t.read("a.txt"));
  EXPECT_TRUE(t.exists("leftbg.gif"));
}

TEST(UndoConversion, NeverLosesText) {
  {
    SCOPED_TRACE(".htm in the folder path comes out of the file name only");
    TempFolder t;
    t.write("book.htm/a.htm", page("x"));
    BatchReport r = undoConversion(t.path("book.htm"));
    EXPECT_EQ(1, r.done);
    EXPECT_EQ("x\r\n", t.read("book.htm/a.txt"));
    EXPECT_FALSE(t.exists("book.htm/a.htm"));
    EXPECT_FALSE(t.exists("book"));
  }
  {
    SCOPED_TRACE("an existing text file is not replaced");
    TempFolder t;
    t.write("a.htm", page("page"));
    t.write("a.txt", "mine");
    BatchReport r = undoConversion(t.path());
    EXPECT_EQ("mine", t.read("a.txt"));
    EXPECT_EQ(page("page"), t.read("a.htm"));
    EXPECT_EQ(1u, r.problems.size());
  }
  {
    SCOPED_TRACE("two pages that give the same text file");
    TempFolder t;
    t.write("a.htm", page("one"));
    t.write("a.htm.htm", page("two"));
    BatchReport r = undoConversion(t.path());
    EXPECT_EQ(1, r.done);
    EXPECT_EQ("one\r\n", t.read("a.txt"));
    EXPECT_EQ(page("two"), t.read("a.htm.htm"));
  }
  {
    SCOPED_TRACE("the text file cannot be written");
    TempFolder t;
    t.write("a.htm", page("page"));
    t.mkdir("a.txt");
    BatchReport r = undoConversion(t.path());
    EXPECT_EQ(page("page"), t.read("a.htm"));
    EXPECT_EQ(1u, r.problems.size());
  }
  {
    SCOPED_TRACE("a zero byte in a page would cut the text");
    TempFolder t;
    const std::string bytes = page(std::string("a\0b", 3));
    t.write("z.htm", bytes);
    undoConversion(t.path());
    EXPECT_EQ(bytes, t.read("z.htm"));
    EXPECT_FALSE(t.exists("z.txt"));
  }
}

TEST(UndoConversion, RefusesEmptyFolder) {
  EXPECT_TRUE(undoConversion(Text()).refused);
}

}  // namespace
}  // namespace zanvo

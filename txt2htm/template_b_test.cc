#include "txt2htm/template_b.h"

#include <gtest/gtest.h>

#include "app/model/window_model.h"
#include "assets/assets.h"
#include "txt2htm/test_support.h"

namespace zanvo {
namespace {

using testing::TempFolder;

const std::string kDate = "2024-5-6";
const std::string kOpen = "<font color= #EAF4F1 size= -7>";
const std::string kClose = "</font><br>";

int count(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

std::string prevLink(const std::string& n) {
  return "<a href=" + n + ".htm><font size=\"2\">" + gbk("上一页") + "</font></a>";
}
std::string nextLink(const std::string& n) {
  return "<a href=" + n + ".htm><font size=\"2\">" + gbk("下一页") + "</font></a>";
}
std::string contentsLink() {
  return "<a href=\"index.htm\"><font size=\"2\">" + gbk("目录页") + "</font></a>";
}
std::string entry(const std::string& page, const std::string& title) {
  return "<img src=\"icon.gif\">      <A HREF=" + page + ".htm><font size=4>" + title +
         "</font></A><BR><BR>\r\n";
}
std::string contentsHead() {
  return gbk("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" height=\"100%\" "
             "align=\"center\">\r\n<font size=\"6\" color=\"#FF9900\">目录</font>\r\n"
             "<br><br><br>");
}

TEST(BookTemplate, IsByteExact) {
  const Text& t = BookPageTemplate();
  EXPECT_EQ(1893u, t.size());
  EXPECT_EQ(32u, splitText(t, "\r\n").size());
  EXPECT_EQ(31, count(t, "\r\n"));
  EXPECT_NE(t.find("\r\n<td  background=\"PAPER10.JPG\" bgcolor=\"#669999\">\r\n"), Text::npos);
  EXPECT_NE(t.find("<table width=\"100%\"  border=\"0\""), Text::npos);
  EXPECT_NE(t.find("</style></head>\r\n\r\n<body"), Text::npos);
  EXPECT_NE(t.find("<tr><td><pre><span class=text1>[PART0]</pre></span></td></tr>\r\n\r\n<tr>"),
            Text::npos);
  EXPECT_NE(t.find(gbk("创建时间：[time]")), Text::npos);
  EXPECT_EQ(t.size() - 7, t.find("</html>"));
}

TEST(BookNames, PageNumberName) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "000"}, {9, "009"}, {10, "010"}, {99, "099"}, {100, "100"}, {1000, "1000"}};
  for (const auto& [n, name] : cases) {
    SCOPED_TRACE(n);
    EXPECT_EQ(name, pageNumberName(n));
  }
}

TEST(BookNames, BackupFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"D:\\books\\novel", "D:\\books\\bak"},
      {"D:\\books\\novel\\", "D:\\books\\novel\\bak"},
      {"novel", "bak"},
      {"\\home\\u\\bak", "\\home\\u\\bak"},
      // The second byte of a two-byte character is not a separator.
      {"D:\\\xB1\x5C", "D:\\bak"},
  };
  for (const auto& [folder, backup] : cases) {
    SCOPED_TRACE(folder);
    EXPECT_EQ(backup, backupFolderOf(folder));
  }
}

TEST(BookRandomNumbers, FollowTheClassicLinearCongruentialSequence) {
  // The sequence a C runtime's rand() gives after srand(1).
  BookRandom r(1);
  for (uint32_t expected : {41u, 18467u, 6334u, 26500u, 19169u, 15724u})
    EXPECT_EQ(expected, r.next());
  BookRandom p(1);
  for (int expected : {42, 44, 7, 13, 18, 45, 55, 15, 27}) EXPECT_EQ(expected, p.position());
}

TEST(BookRandomNumbers, SeedFromTickAndCounter) {
  uint32_t counter = 0;
  EXPECT_EQ(1000u, bookSeed(1000, counter));
  EXPECT_EQ(332u, counter);  // (1000 AND 255) + 100
  EXPECT_EQ(1332u, bookSeed(1000, counter));
  EXPECT_EQ(332u + 52u + 100u, counter);
  counter = 0x20;
  EXPECT_EQ(0x10u, bookSeed(0xFFFFFFF0u, counter));  // wraps at 2^32
  EXPECT_EQ(0x20u + 0x10u + 100u, counter);
  // Two runs in the same millisecond still get different seeds.
  EXPECT_NE(nextBookSeed(), nextBookSeed());
}

TEST(BookDecoration, TableAndFillers) {
  EXPECT_EQ("\\", decorationEntry(1));
  EXPECT_EQ("|", decorationEntry(12));
  EXPECT_EQ("a", decorationEntry(13));
  EXPECT_EQ("z", decorationEntry(38));
  EXPECT_EQ("\xA3\xA8", decorationEntry(39));
  EXPECT_EQ(" ", decorationEntry(46));
  EXPECT_EQ("\xA3\xAB", decorationEntry(48));
  EXPECT_EQ("`", decorationEntry(51));
  EXPECT_EQ("/", decorationEntry(56));

  // Seed 1 draws positions 42 44 7 13 18 45 55 15 27.
  const std::string filler1 = "\xA3\xAD=)af_%co";
  struct Case { const char* name; std::string text; std::string decorated; };
  const Case cases[] = {
      {"one line gets one filler at its end", "abc", "abc" + kOpen + filler1 + kClose},
      {"LF alone is no break", "a\nb", "a\nb" + kOpen + filler1 + kClose},
      {"empty text stays empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BookRandom r(1);
    EXPECT_EQ(c.decorated, decorate(c.text, r));
  }
  BookRandom r(1);
  const std::string two = decorate(wrapBreaks("a\r\nb"), r);
  ASSERT_EQ(0u, two.find("a" + kOpen + filler1 + kClose + "&nbsp;&nbsp;&nbsp;b" + kOpen));
  EXPECT_EQ(2, count(two, kOpen));
  EXPECT_EQ(two.size() - kClose.size(), two.rfind(kClose));
}

TEST(BookDecoration, WrapBreak) {
  EXPECT_EQ("a<br>&nbsp;&nbsp;&nbsp;b", wrapBreaks("a\r\nb"));
  EXPECT_EQ("a\nb", wrapBreaks("a\nb"));
  EXPECT_EQ(22u, wrapBreaks("\r\n").size());
}

class MakeBook : public ::testing::Test {
 protected:
  // The book folder is "<tmp>/novel"; its backup folder is "<tmp>/bak".
  Text folder() const { return t.path("novel"); }
  std::string pageOf(const std::string& name) const { return t.read("novel/" + name); }
  BatchReport run(const std::string& list, bool wrap = false, bool deco = false) {
    return makeBook(folder(), list, wrap, deco, kDate, 1u);
  }
  TempFolder t;
};

TEST_F(MakeBook, EmptyListWritesImagesBackupFolderAndContents) {
  t.mkdir("novel");
  BatchReport r = run("");
  EXPECT_FALSE(r.refused);
  const std::vector<std::string> expected = {
      "bak", "novel", "novel/N02.GIF", "novel/PAPER10.JPG", "novel/icon.gif",
      "novel/index.htm"};
  EXPECT_EQ(expected, t.tree());
  EXPECT_EQ(2622u, pageOf("N02.GIF").size());
  EXPECT_EQ(std::string(imageAsset("N02.GIF")), pageOf("N02.GIF"));
  EXPECT_EQ(std::string(imageAsset("PAPER10.JPG")), pageOf("PAPER10.JPG"));
  EXPECT_EQ(std::string(imageAsset("icon.gif")), pageOf("icon.gif"));
  const std::string index = pageOf("index.htm");
  EXPECT_NE(index.find("<tr><td>" + contentsHead() + "</table><BR></span></td></tr>"),
            std::string::npos);
  EXPECT_EQ(0, count(index, "[")) << "every placeholder is filled";
  EXPECT_NE(index.find(kDate), std::string::npos);
}

TEST_F(MakeBook, ChapterPagesLinksAndContents) {
  struct Case { int chapters; std::vector<int> checkPages; };
  const Case cases[] = {{1, {1}}, {2, {1, 2}}, {12, {1, 11, 12}}, {101, {100, 101}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chapters);
    TempFolder dir;
    std::string list;
    for (int k = 1; k <= c.chapters; ++k) {
      const std::string name = "c" + std::to_string(k) + ".txt";
      dir.write("novel/" + name, "text " + std::to_string(k));
      list += name + "\r\n";
    }
    makeBook(dir.path("novel"), list, false, false, kDate, 1u);
    for (int k : c.checkPages) {
      SCOPED_TRACE(k);
      const std::string p = dir.read("novel/" + pageNumberName(k - 1) + ".htm");
      ASSERT_FALSE(p.empty());
      EXPECT_NE(p.find("<div align=\"center\">c" + std::to_string(k) + "</div>"),
                std::string::npos);
      EXPECT_NE(p.find("<pre><span class=text1>text " + std::to_string(k) + "</pre></span>"),
                std::string::npos);
      EXPECT_EQ(2, count(p, contentsLink()));
      EXPECT_EQ(k == 1 ? 0 : 2, count(p, prevLink(pageNumberName(k - 2))));
      EXPECT_EQ(k == c.chapters ? 0 : 2, count(p, nextLink(pageNumberName(k))));
      EXPECT_EQ(k == 1 ? 0 : 2, count(p, gbk("上一页")));
      EXPECT_EQ(k == c.chapters ? 0 : 2, count(p, gbk("下一页")));
      EXPECT_NE(p.find(gbk("创建时间：") + kDate), std::string::npos);
      EXPECT_EQ("text " + std::to_string(k),
                dir.read("bak/c" + std::to_string(k) + ".txt"));
      EXPECT_FALSE(dir.exists("novel/c" + std::to_string(k) + ".txt"));
    }
    EXPECT_FALSE(dir.exists("novel/" + pageNumberName(c.chapters) + ".htm"));
    const std::string index = dir.read("novel/index.htm");
    EXPECT_EQ(c.chapters, count(index, "<img src=\"icon.gif\">"));
    EXPECT_NE(index.find(entry(pageNumberName(c.chapters - 1),
                               "c" + std::to_string(c.chapters))),
              std::string::npos);
  }
}

TEST_F(MakeBook, TitlesAndEntryTitles) {
  t.write("novel/A.TXT", "upper");
  t.write("novel/a.txt.txt", "double");
  run("A.TXT\r\na.txt.txt\r\n");
  EXPECT_NE(pageOf("000.htm").find("<div align=\"center\">A.TXT</div>"), std::string::npos);
  EXPECT_NE(pageOf("001.htm").find("<div align=\"center\">a</div>"), std::string::npos);
  const std::string index = pageOf("index.htm");
  EXPECT_NE(index.find(entry("000", "A") + entry("001", "a")), std::string::npos);
  EXPECT_EQ("upper", t.read("bak/A.TXT"));
}

TEST_F(MakeBook, EmptyChapterEmptyNameAndZeroByte) {
  t.write("novel/empty.txt", "");
  t.write("novel/zero.txt", std::string("before\0after", 12));
  // The middle line names no file: a chapter with an empty title and text.
  run("empty.txt\r\n\r\nzero.txt");
  const std::string cell = "<pre><span class=text1>";
  EXPECT_NE(pageOf("000.htm").find(cell + "</pre>"), std::string::npos);
  EXPECT_NE(pageOf("001.htm").find("<div align=\"center\"></div>"), std::string::npos);
  EXPECT_NE(pageOf("001.htm").find(cell + "</pre>"), std::string::npos);
  EXPECT_NE(pageOf("002.htm").find(cell + "before</pre>"), std::string::npos);
  // The backup keeps every byte.
  EXPECT_EQ(std::string("before\0after", 12), t.read("bak/zero.txt"));
  EXPECT_TRUE(t.exists("bak/empty.txt"));
  EXPECT_NE(pageOf("index.htm").find(entry("001", "")), std::string::npos);
}

TEST_F(MakeBook, WrapAndDecoration) {
  const std::string text = "one\r\ntwo";
  struct Case { const char* name; bool wrap; bool deco; std::string body; std::string lf; };
  const std::string filler1 = "\xA3\xAD=)af_%co";
  const Case cases[] = {
      {"wrap off keeps the preformatted cell", false, false,
       "<pre><span class=text1>one\r\ntwo</pre></span>", "<pre><span class=text1>x\ny</pre>"},
      {"decorate alone does nothing", false, true,
       "<pre><span class=text1>one\r\ntwo</pre></span>", "<pre><span class=text1>x\ny</pre>"},
      {"wrap on", true, false,
       "<span class=text1>one<br>&nbsp;&nbsp;&nbsp;two</span>",
       "<span class=text1>x\ny</span>"},
      {"wrap and decorate", true, true,
       "<span class=text1>one" + kOpen + filler1 + kClose + "&nbsp;&nbsp;&nbsp;two" + kOpen,
       "<span class=text1>x\ny" + kOpen + filler1 + kClose + "</span>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    dir.write("novel/a.txt", text);
    dir.write("novel/lf.txt", "x\ny");
    // Each chapter is a run of its own so that both start from seed 1.
    makeBook(dir.path("novel"), "a.txt", c.wrap, c.deco, kDate, 1u);
    const std::string p = dir.read("novel/000.htm");
    EXPECT_NE(p.find(c.body), std::string::npos) << p;
    EXPECT_EQ(c.wrap ? 0 : 1, count(p, "<pre>"));
    makeBook(dir.path("novel"), "lf.txt", c.wrap, c.deco, kDate, 1u);
    const std::string lf = dir.read("novel/000.htm");
    EXPECT_NE(lf.find(c.lf), std::string::npos) << lf;
    EXPECT_EQ(c.deco && c.wrap ? 1 : 0, count(lf, kOpen));
  }
}

TEST_F(MakeBook, PlaceholdersInsideAChapterAreFilled) {
  t.write("novel/a.txt", "[time] <pre>x");
  run("a.txt", true);
  EXPECT_NE(pageOf("000.htm").find("<span class=text1>" + kDate + " x</span>"),
            std::string::npos);
}

// Every case below would lose a chapter if the file were deleted before its
// copy was safely in the backup folder.
TEST_F(MakeBook, NeverLosesAChapter) {
  {
    SCOPED_TRACE("a folder named bak is its own backup folder");
    TempFolder dir;
    dir.write("bak/a.txt", "alpha");
    BatchReport r = makeBook(dir.path("bak"), "a.txt", false, false, kDate, 1u);
    EXPECT_EQ("alpha", dir.read("bak/a.txt"));
    EXPECT_TRUE(dir.exists("bak/000.htm"));
    EXPECT_NE(dir.read("bak/000.htm").find("alpha"), std::string::npos);
    EXPECT_TRUE(r.problems.empty());
  }
  {
    SCOPED_TRACE("a name listed twice");
    TempFolder dir;
    dir.write("novel/a.txt", "alpha");
    makeBook(dir.path("novel"), "a.txt\r\na.txt\r\n", false, false, kDate, 1u);
    EXPECT_EQ("alpha", dir.read("bak/a.txt"));
    EXPECT_NE(dir.read("novel/000.htm").find("alpha"), std::string::npos);
  }
  {
    SCOPED_TRACE("a second run over the same list");
    TempFolder dir;
    dir.write("novel/a.txt", "alpha");
    dir.write("novel/b.txt", "beta");
    makeBook(dir.path("novel"), "a.txt\r\nb.txt", false, false, kDate, 1u);
    makeBook(dir.path("novel"), "a.txt\r\nb.txt", true, true, kDate, 2u);
    EXPECT_EQ("alpha", dir.read("bak/a.txt"));
    EXPECT_EQ("beta", dir.read("bak/b.txt"));
  }
  {
    SCOPED_TRACE("an empty chapter file does not replace an existing backup");
    TempFolder dir;
    dir.write("bak/a.txt", "alpha");
    dir.write("novel/a.txt", "");
    BatchReport r = makeBook(dir.path("novel"), "a.txt", false, false, kDate, 1u);
    EXPECT_EQ("alpha", dir.read("bak/a.txt"));
    EXPECT_TRUE(dir.exists("novel/a.txt"));
    EXPECT_EQ(1u, r.problems.size());
  }
  {
    SCOPED_TRACE("the backup folder cannot be made");
    TempFolder dir;
    dir.write("bak", "a file where the folder should be");
    dir.write("novel/a.txt", "alpha");
    BatchReport r = makeBook(dir.path("novel"), "a.txt", false, false, kDate, 1u);
    EXPECT_EQ("alpha", dir.read("novel/a.txt"));
    ASSERT_EQ(1u, r.problems.size());
    EXPECT_EQ(dir.path("novel/a.txt"), r.problems[0].path);
    EXPECT_NE(dir.read("novel/000.htm").find("alpha"), std::string::npos);
  }
  {
    SCOPED_TRACE("a name that reaches the backup folder itself");
    TempFolder dir;
    dir.write("bak/x.txt", "xray");
    dir.mkdir("novel");
    makeBook(dir.path("novel"), "..\\bak\\x.txt", false, false, kDate, 1u);
    EXPECT_EQ("xray", dir.read("bak/x.txt"));
  }
}

TEST_F(MakeBook, RefusesEmptyFolder) {
  BatchReport r = makeBook(Text(), "a.txt", false, false, kDate, 1u);
  EXPECT_TRUE(r.refused);
  EXPECT_FALSE(r.refusal.empty());
}

TEST(ListTextFiles, AppendsNamesInListingOrder) {
  TempFolder t;
  t.write("b.txt", "");
  t.write("A.TXT", "");
  t.write("c.doc", "");
  t.write("sub.txt/d.txt", "");
  WindowModel w;
  w.setText(Ctl::编辑框11, "old\r\n");
  listTextFiles(w, t.path());
  EXPECT_EQ("old\r\nA.TXT\r\nb.txt\r\n", w.text(Ctl::编辑框11));
  listTextFiles(w, t.path() + "\\");
  EXPECT_EQ("old\r\nA.TXT\r\nb.txt\r\nA.TXT\r\nb.txt\r\n", w.text(Ctl::编辑框11));
  listTextFiles(w, Text());
  EXPECT_EQ("old\r\nA.TXT\r\nb.txt\r\nA.TXT\r\nb.txt\r\n", w.text(Ctl::编辑框11));
  // A folder whose name ends in a two-byte character with the second byte 5C
  // still gets its separator.
  const Text name = "\xB1\x5C";
  t.write(utf8OfText(name) + "/in.txt", "");
  w.setText(Ctl::编辑框11, "");
  listTextFiles(w, t.path() + "\\" + name);
  EXPECT_EQ("in.txt\r\n", w.text(Ctl::编辑框11));
  w.setText(Ctl::编辑框11, "old\r\nA.TXT\r\nb.txt\r\nA.TXT\r\nb.txt\r\n");
  EXPECT_EQ("old\r\nA.TXT\r\nb.txt\r\nA.TXT\r\nb.txt\r\n", w.text(Ctl::编辑框11));
}

}  // namespace
}  // namespace zanvo

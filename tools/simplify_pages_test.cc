#include "tools/simplify_pages.h"

#include <gtest/gtest.h>

#include "assets/assets.h"
#include "tools/test_support.h"
#include "txt2htm/template_a.h"

namespace zanvo {
namespace {

using testing::TempFolder;

TEST(CutBetweenMarkers, Cases) {
  struct Case {
    const char* name;
    Text page, a, z, expected;
  };
  const Case cases[] = {
      {"plain", "<body>keep</body>", "<body>", "</body>", "keep"},
      {"markers in other case", "<BODY>keep</Body>", "<body>", "</BODY>", "keep"},
      {"first start marker counts", "<b>1</b><b>2</b>", "<b>", "</b>", "1"},
      {"first end marker after the start", "x</b><b>keep</b>more</b>", "<b>",
       "</b>", "keep"},
      {"end marker only before the start", "</b>x<b>y", "<b>", "</b>", ""},
      {"start marker missing", "abc</b>", "<b>", "</b>", ""},
      {"end marker missing", "<b>abc", "<b>", "</b>", ""},
      {"end marker right after the start", "<b></b>", "<b>", "</b>", ""},
      {"empty end marker keeps nothing", "<b>abc", "<b>", "", ""},
      {"empty start marker: from the first byte", "abc</b>def", "", "</b>", "abc"},
      {"both empty", "abc", "", "", ""},
      {"empty page", "", "", "</b>", ""},
      {"start marker not on a second byte", "\xC1" "abab" "KEEP" "cd", "ab", "cd",
       "KEEP"},
      {"end marker not on a second byte", "[\xC1" "]x]", "[", "]", "\xC1]x"},
      {"Chinese markers", gbk("前正文后"), gbk("前"), gbk("后"), gbk("正文")},
      {"same marker for both", "|a|b|", "|", "|", "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, cutBetweenMarkers(c.page, c.a, c.z));
  }
}

Text framed(const Text& kept) { return TemplateAHeader() + kept + TemplateAFooter(); }

TEST(SimplifyPagesInFolder, CutsFramesAndDeletesSources) {
  TempFolder dir;
  dir.write("a.htm", "<html><div id=main>" "正文" "</div></html>");
  dir.write("B.HTM", "<DIV ID=MAIN>upper</DIV>");
  dir.write("c.txt", "<div id=main>not a page</div>");
  dir.write("sub/d.htm", "<div id=main>sub</div>");
  dir.write("处理后/leftbg.gif", "old image");

  BatchReport report =
      simplifyPagesInFolder(dir.text(), ".htm", "<div id=main>", "</div>");

  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(2, report.done);
  EXPECT_EQ(framed("正文"), dir.read("处理后/a.htm"));
  EXPECT_EQ(framed("upper"), dir.read("处理后/B.HTM"));
  EXPECT_FALSE(dir.exists("a.htm"));
  EXPECT_FALSE(dir.exists("B.HTM"));
  EXPECT_TRUE(dir.exists("c.txt"));
  EXPECT_TRUE(dir.exists("sub/d.htm"));
  EXPECT_FALSE(dir.exists("处理后/c.txt"));
  EXPECT_EQ(std::string(imageAsset("leftbg.gif")), dir.read("处理后/leftbg.gif"));
}

TEST(SimplifyPagesInFolder, PageBytesAreTakenUpToTheFirstZero) {
  TempFolder dir;
  dir.write("a.htm", std::string("<b>x</b>\0<b>y</b>", 17));
  simplifyPagesInFolder(dir.text(), ".htm", "<b>", "</b>");
  EXPECT_EQ(framed("x"), dir.read("处理后/a.htm"));
}

// Loss case: a page whose markers are not found keeps its source.
TEST(SimplifyPagesInFolder, MissingMarkersKeepTheSource) {
  TempFolder dir;
  const std::string page = "<p>no markers here</p>";
  dir.write("a.htm", page);
  dir.write("b.htm", "<b>found</b>");

  BatchReport report = simplifyPagesInFolder(dir.text(), ".htm", "<b>", "</b>");

  EXPECT_EQ(page, dir.read("a.htm"));
  EXPECT_FALSE(dir.exists("b.htm"));
  EXPECT_EQ(framed("found"), dir.read("处理后/b.htm"));
  ASSERT_EQ(1u, report.problems.size());
  EXPECT_EQ(dir.text() + "\\a.htm", report.problems[0].path);
}

// Loss case: both marker boxes at their start state (empty) cut nothing out
// of any page, so no page may be deleted.
TEST(SimplifyPagesInFolder, EmptyMarkersDeleteNothing) {
  TempFolder dir;
  dir.write("a.htm", "page a");
  dir.write("b.htm", "page b");

  BatchReport report = simplifyPagesInFolder(dir.text(), ".htm", "", "");

  EXPECT_EQ("page a", dir.read("a.htm"));
  EXPECT_EQ("page b", dir.read("b.htm"));
  EXPECT_EQ(2u, report.problems.size());
  EXPECT_EQ(0, report.done);
}

// Loss case: when the copy cannot be written the source stays.
TEST(SimplifyPagesInFolder, UnwritableCopyKeepsTheSource) {
  TempFolder dir;
  dir.write("a.htm", "<b>x</b>");
  dir.write("处理后", "a file where the output folder should be");

  BatchReport report = simplifyPagesInFolder(dir.text(), ".htm", "<b>", "</b>");

  EXPECT_EQ("<b>x</b>", dir.read("a.htm"));
  EXPECT_EQ(1u, report.problems.size());
}

TEST(SimplifyPagesInFolder, NoPagesStillWritesTheImage) {
  TempFolder dir;
  BatchReport report = simplifyPagesInFolder(dir.text(), ".htm", "<b>", "</b>");
  EXPECT_TRUE(report.problems.empty());
  EXPECT_TRUE(dir.exists("处理后/leftbg.gif"));
}

}  // namespace
}  // namespace zanvo

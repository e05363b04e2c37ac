#include "chmfile/sitemap.h"

#include <gtest/gtest.h>

namespace zanvo::chm {
namespace {

TEST(Sitemap, ReadsTheWindowsContentsText) {
  // The contents text the window writes for a folder ch1 holding a.htm and
  // the top-level index.htm, with CR LF line ends.
  const std::string text =
      "<HTML><HEAD><META name=\"GENERATOR\" content=\"Vexlore 1.0.1\">\r\n"
      "<!-- Sitemap 1.0 --></HEAD><BODY>\r\n<OBJECT type=\"text/site properties\">\r\n"
      "<PARAM name=\"Window Styles\" value=\"0x800627\">\r\n"
      "<PARAM name=\"ImageType\" value=\"Folder\">\r\n</OBJECT>\r\n<UL>\r\n"
      "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"ch1\">\r\n</OBJECT>\r\n"
      "<UL>\r\n<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"a\">\r\n"
      "<PARAM name=\"Local\" value=\"ch1\\a.htm\">\r\n</OBJECT>\r\n\r\n</UL>\r\n"
      "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"index\">\r\n"
      "<PARAM name=\"Local\" value=\"index.htm\">\r\n</OBJECT>\r\n\r\n</UL></BODY></HTML>";
  const Sitemap map = parseSitemap(text);
  EXPECT_TRUE(map.folderImages);
  ASSERT_EQ(3u, map.entries.size());
  EXPECT_EQ("ch1", map.entries[0].name);
  EXPECT_EQ("", map.entries[0].local);
  EXPECT_EQ(1, map.entries[0].depth);
  EXPECT_EQ(8, map.entries[0].line);
  EXPECT_EQ("ch1\\a.htm", map.entries[1].local);
  EXPECT_EQ(2, map.entries[1].depth);
  EXPECT_EQ("index", map.entries[2].name);
  EXPECT_EQ(1, map.entries[2].depth);
}

TEST(Sitemap, LenientLikeABrowser) {
  // Lower case tags, attributes in any order and quoting, stray </UL>s,
  // a comment that hides an object, entities, a two-byte name.
  const std::string text =
      "</ul></UL><ul><li><object TYPE='text/sitemap'><param value=\"a &amp; b\" NAME=name>"
      "<param value=x.htm name=\"LOCAL\"></object>"
      "<!-- <OBJECT type=\"text/sitemap\"><param name=Name value=hidden></OBJECT> -->"
      "<UL><UL><LI><OBJECT type=\"text/sitemap\"><PARAM name=\"Name\" value=\"\xD6\xD0&#25991;&lt;\">"
      "<PARAM name=\"Local\" value=\"y.htm\"><PARAM name=\"Local\" value=\"second.htm\"></OBJECT>"
      "</UL></UL></UL></UL></UL><OBJECT type=\"text/sitemap\"><PARAM name=\"Local\" value=\"z.htm\">"
      "</OBJECT><OBJECT type=\"text/sitemap\"></OBJECT>";
  const Sitemap map = parseSitemap(text);
  ASSERT_EQ(3u, map.entries.size());
  EXPECT_EQ("a & b", map.entries[0].name);
  EXPECT_EQ("x.htm", map.entries[0].local);
  EXPECT_EQ(1, map.entries[0].depth);
  EXPECT_EQ("\xD6\xD0\xCE\xC4<", map.entries[1].name) << "&#25991; is U+6587, D6D0 CEC4 is 中文";
  EXPECT_EQ("y.htm", map.entries[1].local);
  EXPECT_EQ(3, map.entries[1].depth);
  EXPECT_EQ("z.htm", map.entries[2].local);
  EXPECT_EQ(0, map.entries[2].depth);
  EXPECT_FALSE(map.folderImages);
}

TEST(Sitemap, Entities) {
  struct Case { const char* in; const char* out; };
  const Case cases[] = {{"a&amp;b", "a&b"}, {"&LT;&gt;&quot;", "<>\""}, {"&#65;&#x42;", "AB"},
                        {"&unknown; & x", "&unknown; & x"}, {"&#0;", "&#0;"}, {"&", "&"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(c.out, decodeEntities(c.in));
  }
}

}  // namespace
}  // namespace zanvo::chm

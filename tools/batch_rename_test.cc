#include "tools/batch_rename.h"

#include <gtest/gtest.h>

#include "tools/test_support.h"

namespace zanvo {
namespace {

using testing::TempFolder;

TEST(ReplaceInName, Cases) {
  struct Case {
    const char* name;
    Text n, x, y, expected;
  };
  const Case cases[] = {
      {"extension", "a.txt", "txt", "htm", "a.htm"},
      {"capitals match", "Read.TXT", "txt", "htm", "Read.htm"},
      {"every occurrence", "txtlist.txt", "txt", "htm", "htmlist.htm"},
      {"not found", "b.htm", "txt", "htm", "b.htm"},
      {"empty old text", "a.txt", "", "htm", "a.txt"},
      {"empty name", "", "txt", "htm", ""},
      {"empty new text removes", "a.txt", "txt", "", "a."},
      {"new text holds the old", "a.txt", "txt", "txt.txt", "a.txt.txt"},
      {"no overlap", "aaa", "aa", "b", "ba"},
      {"old text longer than the name", "ab", "abc", "x", "ab"},
      {"second byte never starts a match", "\xB0txt.txt", "txt", "htm",
       "\xB0txt.htm"},
      {"Chinese old text", gbk("第一章.txt"), gbk("一章"), gbk("二节"), gbk("第二节.txt")},
      {"non-letters compare exactly", "a_b.txt", "-b", "c", "a_b.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, replaceInName(c.n, c.x, c.y));
  }
}

TEST(RenameFilesInFolder, RenamesFilesOnly) {
  TempFolder dir;
  dir.write("a.txt", "a");
  dir.write("Read.TXT", "read");
  dir.write("txtlist.txt", "list");
  dir.write("b.htm", "b");
  dir.write("sub/c.txt", "c");
  std::filesystem::create_directory(dir.native("txtdir"));

  BatchReport report = renameFilesInFolder(dir.text(), "txt", "htm");

  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(3, report.done);
  EXPECT_EQ((std::vector<std::string>{"Read.htm", "a.htm", "b.htm", "htmlist.htm",
                                      "sub", "txtdir"}),
            dir.names());
  EXPECT_EQ("read", dir.read("Read.htm"));
  EXPECT_EQ("list", dir.read("htmlist.htm"));
  EXPECT_EQ("c", dir.read("sub/c.txt"));
}

// Loss case: a rename onto an existing name must change nothing.
TEST(RenameFilesInFolder, CollisionKeepsBothFiles) {
  TempFolder dir;
  dir.write("x.txt", "text version");
  dir.write("x.htm", "page version");
  dir.write("y.txt", "y");

  BatchReport report = renameFilesInFolder(dir.text(), "txt", "htm");

  EXPECT_EQ("text version", dir.read("x.txt"));
  EXPECT_EQ("page version", dir.read("x.htm"));
  EXPECT_EQ("y", dir.read("y.htm"));  // the run went on
  ASSERT_EQ(1u, report.problems.size());
  EXPECT_EQ(dir.text() + "\\x.txt", report.problems[0].path);
}

TEST(RenameFilesInFolder, NewTextHoldingOldIsAppliedOnce) {
  TempFolder dir;
  dir.write("a.txt", "a");
  dir.write("b.txt", "b");
  renameFilesInFolder(dir.text(), "txt", "txt.txt");
  EXPECT_EQ((std::vector<std::string>{"a.txt.txt", "b.txt.txt"}), dir.names());
}

TEST(RenameFilesInFolder, EmptyOldTextRenamesNothingAndEmptyNewRemoves) {
  TempFolder dir;
  dir.write("a.txt", "a");
  BatchReport report = renameFilesInFolder(dir.text(), "", "htm");
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ((std::vector<std::string>{"a.txt"}), dir.names());
  renameFilesInFolder(dir.text(), "txt", "");
  EXPECT_EQ((std::vector<std::string>{"a."}), dir.names());
}

TEST(RenameFilesInFolder, ChineseNames) {
  TempFolder dir;
  dir.write("第一章.txt", "1");
  renameFilesInFolder(dir.text(), gbk("一章"), gbk("二节"));
  EXPECT_EQ("1", dir.read("第二节.txt"));
}

}  // namespace
}  // namespace zanvo

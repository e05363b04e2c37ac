#include "chm/project.h"

#include <gtest/gtest.h>

#include "chm/generate_test_support.h"

namespace zanvo {
namespace {

using testing::TempFolder;

TEST(BuildProject, WorkedExampleLineByLine) {
  WindowModel w;
  w.state().projectName = "book";
  w.state().fileList = "ch1\\a.htm\r\nch1\\pic.gif\r\nindex.htm\r\nstyle.css\r\n";
  buildProject(w);
  const char* lines[] = {
      "[OPTIONS]",
      "Display compile progress=no",
      "Default Window=win",
      "Compiled file=book.chm",
      "Default topic=index.htm",
      "",
      "[WINDOWS]",
      "win=\"book\",\"book.hhc\",,\"index.htm\",\"index.htm\",,,,,0x040120,,"
      "0x304E,[0,0,1010,738],0x0,0x0,,,,,",
      "",
      "[FILES]",
      "",
      "ch1\\a.htm",
      "ch1\\pic.gif",
      "index.htm",
      "style.css",
  };
  std::string expected;
  for (const char* line : lines) expected += std::string(line) + "\r\n";
  EXPECT_EQ(expected, w.text(Ctl::编辑框4));
  EXPECT_EQ("index.htm", w.state().homePage);
}

TEST(BuildProject, PlaceholdersAreReplacedOneAfterTheOther) {
  struct Case { const char* name; Text projectName; Text fileList;
                Text compiledLine; Text filesSection; };
  const Case cases[] = {
      {"nothing imported", "", "", "Compiled file=.chm\r\n", "[FILES]\r\n\r\n"},
      {"name holding the home page placeholder", gbk("x主页"), "",
       "Compiled file=xindex.htm.chm\r\n", "[FILES]\r\n\r\n"},
      {"name holding the file list placeholder", "DDDDD", "a.htm\r\n",
       "Compiled file=a.htm\r\n.chm\r\n", "[FILES]\r\n\r\na.htm\r\n"},
      {"file list keeps its own placeholders", "b", gbk("主页.htm\r\n"),
       "Compiled file=b.chm\r\n", gbk("[FILES]\r\n\r\n主页.htm\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowModel w;
    w.state().projectName = c.projectName;
    w.state().fileList = c.fileList;
    buildProject(w);
    const Text& text = w.text(Ctl::编辑框4);
    EXPECT_NE(std::string::npos, text.find(c.compiledLine)) << text;
    EXPECT_EQ(c.filesSection, text.substr(text.find("[FILES]")));
  }
}

TEST(SaveProjectFiles, WritesBothTextsIntoTheFolderBox) {
  TempFolder f;
  f.folder("book");
  WindowModel w;
  w.state().projectName = "book";
  w.setText(Ctl::编辑框10, gbk("目录\r\n"));
  w.setText(Ctl::编辑框4, "[OPTIONS]\r\n");
  w.setText(Ctl::编辑框_网页文件夹, f.path() + "\\book");
  saveProjectFiles(w);
  EXPECT_EQ(gbk("目录\r\n"), f.read("book/book.hhc"));
  EXPECT_EQ("[OPTIONS]\r\n", f.read("book/book.hhp"));

  // A folder text with a final separator doubles it; the file lands all the
  // same.  An existing file is overwritten.
  w.setText(Ctl::编辑框4, "second");
  w.setText(Ctl::编辑框_网页文件夹, f.path() + "\\book\\");
  saveProjectFiles(w);
  EXPECT_EQ("second", f.read("book/book.hhp"));

  // No project name: the files are named ".hhc" and ".hhp".
  w.state().projectName = "";
  saveProjectFiles(w);
  EXPECT_EQ("second", f.read("book/.hhp"));

  // A folder that does not exist: nothing is written, nothing reported.
  w.setText(Ctl::编辑框_网页文件夹, f.path() + "\\missing");
  saveProjectFiles(w);
  EXPECT_FALSE(f.exists("missing"));
}

}  // namespace
}  // namespace zanvo

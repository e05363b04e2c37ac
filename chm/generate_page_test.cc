#include "chm/generate_page.h"

#include <gtest/gtest.h>
#include <mspack.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "chm/compile_run.h"
#include "chm/contents.h"
#include "chm/generate_test_support.h"

namespace zanvo {
namespace {

using testing::FakeBrowser;
using testing::RecordingUi;
using testing::TempFolder;
using testing::shape;

// ch1 with a.htm, b.txt and pic.gif; index.htm and style.css at the top.
void makeWorkedExample(TempFolder& f, const std::string& book) {
  f.file(book + "/ch1/a.htm", "<html><body>A</body></html>");
  f.file(book + "/ch1/b.txt", "text");
  f.file(book + "/ch1/pic.gif", "GIF89a");
  f.file(book + "/index.htm", "<html><body>Index</body></html>");
  f.file(book + "/style.css", "body{}");
}

TEST(PrepareHandler, FiltersBuildsBothTextsEnablesCompileAndSaves) {
  TempFolder f;
  makeWorkedExample(f, "book");
  f.file("book/ch1/img/only.gif");  // emptied by the import's filter
  WindowModel w;
  attachGeneratePage(w);
  FakeBrowser browser(f.path() + "\\book");
  w.setFolderBrowser(&browser);
  w.click(Ctl::按钮_导入文件夹);
  EXPECT_EQ("<ch1>(1) <img>(2) a.htm(2) index.htm(1)", shape(w.tree()));
  EXPECT_FALSE(w.enabled(Ctl::按钮转CHM));
  EXPECT_FALSE(w.click(Ctl::按钮转CHM));

  w.click(Ctl::按钮_准备生成);
  // The second filter took the emptied folder.
  EXPECT_EQ("<ch1>(1) a.htm(2) index.htm(1)", shape(w.tree()));
  EXPECT_TRUE(w.enabled(Ctl::按钮转CHM));
  const Text contents = w.text(Ctl::编辑框10);
  EXPECT_EQ(buildContents(w.tree()), contents);
  EXPECT_NE(std::string::npos,
            contents.find("<PARAM name=\"Local\" value=\"ch1\\a.htm\">"));
  const Text project = w.text(Ctl::编辑框4);
  EXPECT_NE(std::string::npos, project.find("Compiled file=book.chm\r\n"));
  EXPECT_NE(std::string::npos,
            project.find("[FILES]\r\n\r\nch1\\img\\only.gif\r\n"
                         "ch1\\a.htm\r\nch1\\b.txt\r\nch1\\pic.gif\r\n"
                         "index.htm\r\nstyle.css\r\n"));
  EXPECT_EQ(contents, f.read("book/book.hhc"));
  EXPECT_EQ(project, f.read("book/book.hhp"));
}

TEST(PrepareHandler, BeforeAnyImportWritesNamelessFiles) {
  TempFolder f;
  WindowModel w;
  attachGeneratePage(w);
  w.setText(Ctl::编辑框_网页文件夹, f.path());
  w.click(Ctl::按钮_准备生成);
  EXPECT_TRUE(w.enabled(Ctl::按钮转CHM));
  EXPECT_TRUE(f.exists(".hhc"));
  EXPECT_NE(std::string::npos,
            f.read(".hhp").find("Compiled file=.chm\r\n"));
  EXPECT_EQ(f.read(".hhp").size() - std::string("[FILES]\r\n\r\n").size(),
            f.read(".hhp").find("[FILES]\r\n\r\n"));
}

TEST(CompileRun, CommandLineQuotesTheProjectPath) {
  struct Case { Text folder; Text name; Text expected; };
  const Case cases[] = {
      {"D:\\books\\book", "book", "hhc.exe \"D:\\books\\book\\book.hhp\""},
      {"\\home\\u\\my books", "b", "hhc.exe \"\\home\\u\\my books\\b.hhp\""},
      {"\\tmp\\x", "", "hhc.exe \"\\tmp\\x\\.hhp\""},
      {"\\tmp\\x\\", "x", "hhc.exe \"\\tmp\\x\\\\x.hhp\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(c.expected, compileCommandLine(c.folder, c.name));
    if (!c.name.empty()) {
      const std::vector<Text> args = splitCommandLine(c.expected);
      ASSERT_EQ(2u, args.size());
      EXPECT_EQ(c.folder + "\\" + c.name + ".hhp", args[1]);
    }
  }
}

TEST(CompileRun, OkOnlyForACleanRunThatLeftTheBook) {
  struct Case {
    const char* name;
    CommandResult result;
    bool bookExists;
    Text expected;
  };
  const Case cases[] = {
      {"clean run", {true, true, 0, "Compiling...\n"}, true, "ok"},
      {"not started", {false, false, -1, ""}, false,
       gbk("CHM文件没有生成：找不到编译程序 hhc.exe。")},
      {"exit code with an error line",
       {true, true, 1, "Compiling x.hhp\r\nx.hhp:3: error: no such file a.htm\r\n"
                       "1 error\r\n"},
       false, gbk("CHM文件没有生成：x.hhp:3: error: no such file a.htm")},
      {"exit code without output", {true, true, 2, ""}, false,
       gbk("CHM文件没有生成：编译程序退出码 2。")},
      {"no error word: first line", {true, true, 3, "\n  cannot open\n"}, false,
       gbk("CHM文件没有生成：cannot open")},
      {"clean exit but no book", {true, true, 0, ""}, false,
       gbk("CHM文件没有生成。")},
      {"killed", {true, true, 137, ""}, false,
       gbk("CHM文件没有生成：编译程序退出码 137。")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, compileMessage(c.result, c.bookExists));
  }
}

std::string compilerProgram() {
  return std::string(ZANVO_BUILD_DIR) + "/bin/zanvochm-hhc";
}

// Every file name inside a CHM, as libmspack reads it.
std::set<std::string> chmFileNames(const std::string& nativeChm) {
  std::set<std::string> names;
  mschm_decompressor* chmd = mspack_create_chm_decompressor(nullptr);
  if (chmd == nullptr) return names;
  if (mschmd_header* h = chmd->open(chmd, nativeChm.c_str())) {
    for (mschmd_file* file = h->files; file != nullptr; file = file->next) {
      names.insert(file->filename);
    }
    chmd->close(chmd, h);
  }
  mspack_destroy_chm_decompressor(chmd);
  return names;
}

TEST(CompileHandler, ImportPrepareAndCompileMakeABookThatLibmspackReads) {
  if (access(compilerProgram().c_str(), X_OK) != 0) {
    GTEST_SKIP() << "the compiler " << compilerProgram() << " is not built";
  }
  TempFolder f;
  makeWorkedExample(f, "my book");
  WindowModel w;
  attachGeneratePage(w);
  RecordingUi ui;
  FakeBrowser browser(f.path() + "\\my book");
  w.setFolderBrowser(&browser);
  w.click(Ctl::按钮_导入文件夹);
  w.click(Ctl::按钮_准备生成);
  w.click(Ctl::按钮转CHM);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ("ok", ui.messages[0]);
  EXPECT_EQ(gbk("信息："), ui.titles[0]);
  ASSERT_TRUE(f.exists("my book/my book.chm"));
  const std::set<std::string> names =
      chmFileNames(f.native() + "/my book/my book.chm");
  for (const char* page : {"/ch1/a.htm", "/index.htm", "/ch1/pic.gif",
                           "/style.css", "/ch1/b.txt"}) {
    EXPECT_EQ(1u, names.count(page)) << page;
  }
}

TEST(CompileHandler, AFailedCompileSaysSoInsteadOfOk) {
  if (access(compilerProgram().c_str(), X_OK) != 0) {
    GTEST_SKIP() << "the compiler " << compilerProgram() << " is not built";
  }
  TempFolder f;
  WindowModel w;
  attachGeneratePage(w);
  RecordingUi ui;
  // No project file in the folder: the compiler fails.
  w.state().projectName = "none";
  w.setText(Ctl::编辑框_网页文件夹, f.path());
  w.setEnabled(Ctl::按钮转CHM, true);
  w.click(Ctl::按钮转CHM);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(0u, ui.messages[0].find(gbk("CHM文件没有生成")))
      << ui.messages[0];
  EXPECT_FALSE(f.exists("none.chm"));
}

}  // namespace
}  // namespace zanvo

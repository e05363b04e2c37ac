#include "chm/decompile_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/ui.h"
#include "core/recording_ui.h"

namespace zanvo {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUi;

class TempDir {
 public:
  TempDir() {
    std::string t = "/tmp/zanvo-decompile-XXXXXX";
    m_native = mkdtemp(t.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(m_native, ec);
  }
  const std::string& native() const { return m_native; }

 private:
  std::string m_native;
};

TEST(DecompileCommandLine, QuotesOnlyPathsWithBlanks) {
  struct Case {
    const char* name;
    Text folder, book, line;
  };
  const Case cases[] = {
      {"plain", "D:\\out", "D:\\a.chm", "hh.exe -decompile D:\\out D:\\a.chm"},
      {"both empty", "", "", "hh.exe -decompile  "},
      {"trailing backslash, no blank", "D:\\out\\", "a.chm",
       "hh.exe -decompile D:\\out\\ a.chm"},
      {"blank in folder", "D:\\my out", "D:\\a.chm",
       "hh.exe -decompile \"D:\\my out\" D:\\a.chm"},
      {"blank in book", "D:\\out", "D:\\my books\\a.chm",
       "hh.exe -decompile D:\\out \"D:\\my books\\a.chm\""},
      {"blank and trailing backslash", "D:\\my out\\", "a.chm",
       "hh.exe -decompile \"D:\\my out\\\\\" a.chm"},
      {"two-byte character ending in 5C", "D:\\my \xB1\x5C", "a.chm",
       "hh.exe -decompile \"D:\\my \xB1\x5C\" a.chm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text line = decompileCommandLine(c.folder, c.book);
    EXPECT_EQ(c.line, line);
    // Whatever the quoting, the decompiler receives the two paths whole.
    if (!c.folder.empty()) {
      const std::vector<Text> args = splitCommandLine(line);
      ASSERT_EQ(4u, args.size());
      EXPECT_EQ(c.folder, args[2]);
      EXPECT_EQ(c.book, args[3]);
    }
  }
}

TEST(DecompileMessage, NamesTheFailure) {
  CommandResult ok;
  ok.started = ok.finished = true;
  ok.exitCode = 0;
  ok.output = "zanvochm-hh: warning only\n";
  EXPECT_EQ("ok", decompileMessage(ok));

  CommandResult notStarted;
  EXPECT_NE(Text::npos, decompileMessage(notStarted).find("hh.exe"));

  CommandResult refused = ok;
  refused.exitCode = 1;
  refused.output = "\r\nzanvochm-hh: b.chm: /../x.htm: refused: name has a \"..\" part\r\n"
                   "zanvochm-hh: b.chm: 3 files written, 1 refused, 0 failed\r\n";
  EXPECT_EQ(gbk("CHM文件没有完整解包：") +
                "zanvochm-hh: b.chm: /../x.htm: refused: name has a \"..\" part",
            decompileMessage(refused));

  CommandResult silent = ok;
  silent.exitCode = 3;
  silent.output.clear();
  EXPECT_EQ(gbk("CHM文件没有完整解包：反编译程序退出码 3。"), decompileMessage(silent));
}

// The handler runs the real zanvochm-hh, found beside this test as
// "hh.exe", on books from the test data.
TEST(DecompileChm, RunsTheDecompilerAndReportsItsOutcome) {
  TempDir tmp;
  RecordingUi ui;
  WindowModel w;
  const Text out = pathFromNative(tmp.native()) + "\\" + gbk("解包 结果");
  const Text books = pathFromNative(ZANVO_SOURCE_DIR "/testdata/chm-made");

  w.setText(Ctl::编辑框_编译后文件夹, out);
  w.setText(Ctl::编辑框_待编译CHM, books + "\\base.chm");
  decompileChm(w);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ("ok", ui.messages[0]);
  EXPECT_EQ(defaultMessageTitle(), ui.titles[0]);
  EXPECT_TRUE(fileExists(out + "\\sub\\s.htm"));
  EXPECT_EQ("<html><body>one</body></html>\n", readFile(out + "\\p1.htm"));

  w.setText(Ctl::编辑框_待编译CHM, books + "\\traversal.chm");
  decompileChm(w);
  ASSERT_EQ(2u, ui.messages.size());
  EXPECT_EQ(0u, ui.messages[1].find(gbk("CHM文件没有完整解包：")));
  EXPECT_NE(Text::npos, ui.messages[1].find("refused")) << ui.messages[1];
  EXPECT_TRUE(fileExists(out + "\\good.htm"));

  w.setText(Ctl::编辑框_待编译CHM, "");
  w.setText(Ctl::编辑框_编译后文件夹, "");
  decompileChm(w);
  ASSERT_EQ(3u, ui.messages.size());
  EXPECT_NE("ok", ui.messages[2]);
}

}  // namespace
}  // namespace zanvo

#include "core/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "core/files.h"

namespace zanvo {
namespace {

using Args = std::vector<Text>;

TEST(SplitCommandLine, WindowsRuntimeRules) {
  const Text kTrail5C = "\x81\x5C";  // a character whose second byte is "\"
  struct Case {
    const char* name;
    Text line;
    Args expected;
  };
  const Case cases[] = {
      {"compile line", "hhc.exe \"D:\\my books\\a.hhp\"",
       {"hhc.exe", "D:\\my books\\a.hhp"}},
      {"decompile line", "hh.exe -decompile D:\\out D:\\a.chm",
       {"hh.exe", "-decompile", "D:\\out", "D:\\a.chm"}},
      {"quoted program", "\"C:\\Program Files\\x.exe\" a",
       {"C:\\Program Files\\x.exe", "a"}},
      {"program keeps backslashes", "\"C:\\dir\\\"x y", {"C:\\dir\\x", "y"}},
      {"backslashes without quote", "p a\\\\b", {"p", "a\\\\b"}},
      {"odd backslashes escape a quote", "p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"even backslashes before quote", "p \"a\\\\\" b", {"p", "a\\", "b"}},
      {"trailing backslash in quotes", "p \"D:\\out\\\\\"", {"p", "D:\\out\\"}},
      {"doubled quote in group", "p \"a\"\"b\"", {"p", "a\"b"}},
      {"empty argument", "p \"\" x", {"p", "", "x"}},
      {"blanks and tabs", "  p \t a   b ", {"p", "a", "b"}},
      {"unclosed quote", "p \"a b", {"p", "a b"}},
      {"quote inside word", "p a\"b c\"d", {"p", "ab cd"}},
      {"second byte 5C before a quote", "p \"" + kTrail5C + "\" x",
       {"p", kTrail5C, "x"}},
      {"empty", "", {}},
      {"blanks only", "  \t", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, splitCommandLine(c.line));
  }
}

// A temporary folder, and the environment put back afterwards.
class Processes : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = "/tmp/zanvo-system-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    m_native = pattern;
    m_dir = pathFromNative(m_native);
    for (const char* name : {"XDG_DATA_HOME", "HOME", "PATH"}) {
      const char* value = std::getenv(name);
      m_saved.emplace_back(name, value != nullptr ? value : "");
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : m_saved) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    (void)std::system(("rm -rf '" + m_native + "'").c_str());
  }

  // Writes an executable shell script.
  void script(const std::string& nativeFile, const std::string& body) {
    std::string text = "#!/bin/sh\n" + body + "\n";
    int fd = open(nativeFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    ASSERT_GE(fd, 0) << nativeFile;
    ASSERT_EQ(static_cast<ssize_t>(text.size()), write(fd, text.data(), text.size()));
    close(fd);
  }

  std::string m_native;
  Text m_dir;
  std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(Processes, ExitCodeAndCapturedOutput) {
  CommandResult r = runCommand("sh.exe -c \"echo out; echo err >&2; exit 3\"", true,
                               ShowWindow::kHidden);
  EXPECT_TRUE(r.started);
  EXPECT_TRUE(r.finished);
  EXPECT_EQ(3, r.exitCode);
  EXPECT_EQ("out\nerr\n", r.output);

  r = runCommand("sh -c \"kill -9 $$\"", true, ShowWindow::kHidden);
  EXPECT_TRUE(r.finished);
  EXPECT_EQ(128 + 9, r.exitCode);

  // A hidden program reads nothing: "cat" ends at once.
  r = runCommand("cat", true, ShowWindow::kHidden);
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.output);
}

TEST_F(Processes, ProgramNotFound) {
  for (const Text& line : Args{"no-such-program-zanvo.exe a", "", "   ",
                               m_dir + "\\missing.exe", "\"\" x"}) {
    SCOPED_TRACE(line);
    CommandResult r = runCommand(line, true, ShowWindow::kHidden);
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.finished);
  }
  // A file without the execute bit is no program.
  ASSERT_TRUE(writeFile(m_dir + "\\plain", "#!/bin/sh\n"));
  EXPECT_FALSE(runCommand(m_dir + "\\plain", true, ShowWindow::kHidden).started);
}

TEST_F(Processes, ArgumentsReachProgramDecoded) {
  // Named with a folder: used as it is, with ".exe" dropped.
  script(m_native + "/show-args", "for a in \"$@\"; do printf '[%s]' \"$a\"; done");
  const Text line = "\"" + m_dir + "\\show-args.exe\" \"a b\" c\\d " + gbk("中文") +
                    " \"x\\\"y\" \"\"";
  CommandResult r = runCommand(line, true, ShowWindow::kHidden);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(0, r.exitCode);
  // "\" in an argument is a path separator; the text comes back in code
  // page 936 from the program's UTF-8.
  EXPECT_EQ("[a b][c/d][" + gbk("中文") + "][x\"y][]", r.output);
}

TEST_F(Processes, FindsStandInsInSystemFolder) {
  setenv("XDG_DATA_HOME", m_native.c_str(), 1);
  Text windows = windowsFolder();
  EXPECT_EQ(m_dir + "\\zanvochm\\", windows.substr(0, m_dir.size() + 10));
  EXPECT_EQ("\\windows", windows.substr(windows.size() - 8));
  EXPECT_EQ(kAttrFolder, fileAttributes(windows));
  ASSERT_TRUE(createFolder(windows + "\\system32"));
  script(nativePath(windows + "\\system32\\zanvochm-fake"), "echo fake \"$@\"; exit 5");
  CommandResult r = runCommand("fake.exe -decompile D:\\out", true, ShowWindow::kHidden);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(5, r.exitCode);
  EXPECT_EQ("fake -decompile D:/out\n", r.output);
  // Upper-case ".EXE" is dropped too, as Windows ignores the case.
  EXPECT_EQ(5, runCommand("FAKE.EXE", true, ShowWindow::kHidden).exitCode);
}

TEST_F(Processes, WindowsFolderDefaultsToHomeDataFolder) {
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", m_native.c_str(), 1);
  Text windows = windowsFolder();
  EXPECT_EQ(m_dir + "\\.local\\share\\zanvochm\\",
            windows.substr(0, m_dir.size() + 23));
  EXPECT_EQ(kAttrFolder, fileAttributes(windows));
  EXPECT_EQ(windows, windowsFolder());  // a second call finds it in place
}

TEST_F(Processes, OutputIsCappedAndDrained) {
  CommandResult r = runCommand("sh -c \"head -c 300000 /dev/zero | tr -c x x\"", true,
                               ShowWindow::kHidden);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(64u * 1024u, r.output.size());
  EXPECT_EQ(std::string::npos, r.output.find_first_not_of('x'));
}

TEST_F(Processes, OnlyStandardHandlesInherited) {
  int fd = open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
  ASSERT_GE(fd, 3);
  std::string check = "sh -c \"if [ -e /proc/self/fd/" + std::to_string(fd) +
                      " ]; then echo leaked; else echo closed; fi\"";
  CommandResult r = runCommand(check, true, ShowWindow::kHidden);
  close(fd);
  EXPECT_EQ("closed\n", r.output);
}

TEST_F(Processes, WithoutWaitReturnsAtOnce) {
  std::string marker = m_native + "/done";
  CommandResult r = runCommand("sh -c \"sleep 0.2; echo x > '" + marker + "'\"", false,
                               ShowWindow::kHidden);
  EXPECT_TRUE(r.started);
  EXPECT_FALSE(r.finished);
  EXPECT_FALSE(fileExists(pathFromNative(marker)));
  bool appeared = false;
  for (int i = 0; i < 100 && !appeared; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    appeared = fileExists(pathFromNative(marker));
  }
  EXPECT_TRUE(appeared);
}

TEST(Environment, ValuesConvertAtTheBoundary) {
  setEnvVariable("ZANVO_TEST_VALUE", gbk("中文\\路径"));
  const char* raw = std::getenv("ZANVO_TEST_VALUE");
  ASSERT_NE(nullptr, raw);
  EXPECT_EQ(std::string("中文\\路径"), raw);
  EXPECT_EQ(gbk("中文\\路径"), envVariable("ZANVO_TEST_VALUE"));
  setEnvVariable("ZANVO_TEST_VALUE", "");
  EXPECT_EQ(nullptr, std::getenv("ZANVO_TEST_VALUE"));
  EXPECT_EQ("", envVariable("ZANVO_TEST_VALUE"));
  EXPECT_EQ("", envVariable(""));
}

TEST(Clock, TodayAndTicks) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Date d = today();
  EXPECT_EQ(local.tm_year + 1900, d.year);
  EXPECT_EQ(local.tm_mon + 1, d.month);
  EXPECT_EQ(local.tm_mday, d.day);

  uint32_t before = tickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  uint32_t elapsed = tickCount() - before;  // wraps like the Windows count
  EXPECT_GE(elapsed, 25u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(ProgramFolder, IsTheTestBinarysFolder) {
  Text folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('\\', folder[0]);
  EXPECT_NE('\\', folder.back());
  EXPECT_EQ(kAttrArchive, fileAttributes(folder + "\\core_test") & kAttrArchive);
}

}  // namespace
}  // namespace zanvo

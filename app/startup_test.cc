#include "app/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/files.h"
#include "core/system.h"

namespace zanvo {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A fresh "windir" with an empty system32 folder for each test.
class Staging : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zanvo_staging_XXXXXX";
    root_ = mkdtemp(tmpl);
    fs::create_directory(root_ / "system32");
    setEnvVariable("windir", pathFromNative(root_.string()));
  }
  void TearDown() override {
    setEnvVariable("windir", "");
    fs::remove_all(root_);
  }
  fs::path sys() const { return root_ / "system32"; }
  fs::path root_;
};

const CompilerResources kResources = {"engine bytes", "program bytes"};

TEST_F(Staging, WritesBothFilesWhenMissingAndMakesTheProgramRunnable) {
  WindowModel w;
  onWindowCreated(w, kResources);
  EXPECT_EQ("engine bytes", slurp(sys() / "hha.dll"));
  EXPECT_EQ("program bytes", slurp(sys() / "hhc.exe"));
  EXPECT_EQ(0, ::access((sys() / "hhc.exe").c_str(), X_OK));
  EXPECT_EQ(todayText(), w.state().dateText);
}

TEST_F(Staging, NeverReplacesWhatIsThere) {
  struct Case {
    const char* name;
    bool dllPresent, dllIsFolder, exePresent;
  };
  const Case cases[] = {
      {"both present, other content", true, false, true},
      {"only hhc.exe missing", true, false, false},
      {"a folder named hha.dll counts as present", false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(sys());
    fs::create_directory(sys());
    if (c.dllPresent) std::ofstream(sys() / "hha.dll") << "old engine";
    if (c.dllIsFolder) fs::create_directory(sys() / "hha.dll");
    if (c.exePresent) std::ofstream(sys() / "hhc.exe") << "old program";
    WindowModel w;
    onWindowCreated(w, kResources);
    if (c.dllIsFolder) {
      EXPECT_TRUE(fs::is_directory(sys() / "hha.dll"));
    } else {
      EXPECT_EQ("old engine", slurp(sys() / "hha.dll"));
    }
    EXPECT_EQ(c.exePresent ? "old program" : "program bytes",
              slurp(sys() / "hhc.exe"));
  }
}

TEST_F(Staging, SystemFolderFollowsWindir) {
  EXPECT_EQ(pathFromNative(root_.string()) + "\\system32", systemFolder());
  setEnvVariable("windir", "");
  EXPECT_EQ("\\system32", systemFolder());
}

TEST_F(Staging, AWindowWithoutCompilerResourcesStagesNothing) {
  WindowModel w;
  onWindowCreated(w, CompilerResources{});
  EXPECT_FALSE(fs::exists(sys() / "hha.dll"));
  EXPECT_FALSE(fs::exists(sys() / "hhc.exe"));
}

TEST(PrepareEnvironment, PointsWindirAtAPerUserFolderNotTheRoot) {
  char tmpl[] = "/tmp/zanvo_xdg_XXXXXX";
  const fs::path xdg = mkdtemp(tmpl);
  setEnvVariable("windir", "");
  setEnvVariable("XDG_DATA_HOME", xdg.string());
  prepareEnvironment();
  const std::string windir = nativePath(envVariable("windir"));
  EXPECT_EQ(0u, windir.rfind(xdg.string(), 0)) << windir;
  EXPECT_TRUE(fs::is_directory(nativePath(systemFolder())));
  setEnvVariable("windir", "");
  setEnvVariable("XDG_DATA_HOME", "");
  fs::remove_all(xdg);
}

TEST(DateText, HasNoLeadingZeros) {
  EXPECT_EQ("2024-3-5", dateText(2024, 3, 5));
  EXPECT_EQ("2015-12-25", dateText(2015, 12, 25));
  EXPECT_EQ("2015-6-6", dateText(2015, 6, 6));
}

}  // namespace
}  // namespace zanvo

#include "chmfile/chm_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "chmfile/chm_extract.h"

namespace zanvo {
namespace {

namespace fs = std::filesystem;

const std::string kTool = ZANVO_BUILD_DIR "/bin/zanvochm-hh";
const std::string kMade = ZANVO_SOURCE_DIR "/testdata/chm-made/";
const std::string kHostile = ZANVO_SOURCE_DIR "/testdata/chm-hostile/";

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
void spit(const fs::path& p, const std::string& data) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string t = (fs::temp_directory_path() / "zanvo-hh-XXXXXX").string();
    m_path = mkdtemp(t.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

struct ToolRun {
  int exitCode = -1;
  std::string err;
};
std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
ToolRun runTool(const std::vector<std::string>& args, const fs::path& scratch) {
  std::string cmd = shellQuote(kTool);
  for (const std::string& a : args) cmd += " " + shellQuote(a);
  const fs::path errFile = scratch / "stderr.txt";
  cmd += " >/dev/null 2>" + shellQuote(errFile.string());
  ToolRun r;
  const int st = std::system(cmd.c_str());
  r.exitCode = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.err = slurp(errFile);
  fs::remove(errFile);
  return r;
}

// Every regular file below root by relative path, with its content; links
// and other odd entries are recorded as such so that a test sees them.
std::map<std::string, std::string> tree(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (auto it = fs::recursive_directory_iterator(root);
       it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      out[rel] = "<symlink>";
    } else if (it->is_regular_file()) {
      out[rel] = slurp(it->path());
    } else if (!it->is_directory()) {
      out[rel] = "<other>";
    }
  }
  return out;
}

bool haveChmcmd() { return std::system("command -v chmcmd >/dev/null 2>&1") == 0; }

// A chmcmd project: pages, a binary file, an .hhp; many long names when
// big, so that the directory spans several listing chunks.
std::vector<std::string> writeProject(const fs::path& dir, bool big) {
  std::vector<std::string> files;
  auto add = [&](const std::string& rel, const std::string& data) {
    spit(dir / rel, data);
    files.push_back(rel);
  };
  add("index.htm", "<html><body>index</body></html>\r\n");
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 7919) >> 3);
  add("img/pic.gif", binary);
  add("style.css", "body { color: red }\n");
  const int chapters = big ? 6 : 1, pages = big ? 80 : 3;
  for (int c = 0; c < chapters; ++c)
    for (int p = 0; p < pages; ++p)
      add("chapter_" + std::to_string(c) + "_with_a_long_folder_name/page_" +
              std::to_string(p) + "_with_a_long_page_name.htm",
          "<html><body><p>chapter " + std::to_string(c) + " page " +
              std::to_string(p) + "</p>" + std::string(200 + p * 13, 'x') +
              "</body></html>\n");
  std::string hhp =
      "[OPTIONS]\r\nCompiled file=book.chm\r\nDefault topic=index.htm\r\n"
      "Title=Round trip\r\n\r\n[FILES]\r\n";
  for (std::string f : files) {
    for (char& ch : f)
      if (ch == '/') ch = '\\';
    hhp += f + "\r\n";
  }
  spit(dir / "book.hhp", hhp);
  return files;
}

fs::path compileWithChmcmd(const fs::path& dir) {
  const std::string cmd =
      "cd " + shellQuote(dir.string()) + " && chmcmd book.hhp >/dev/null 2>&1";
  EXPECT_EQ(0, std::system(cmd.c_str()));
  return dir / "book.chm";
}

TEST(SafeEntryParts, RefusesEveryWayOut) {
  struct Case {
    const char* name;
    std::string entry;
    std::vector<std::string> parts;  // empty: refused or not a book file
    bool refused;                    // refused (vs. silently internal)
  };
  const Case cases[] = {
      {"plain", "/a.htm", {"a.htm"}, false},
      {"nested", "/ch1/sub/a.htm", {"ch1", "sub", "a.htm"}, false},
      {"folder entry", "/ch1/", {"ch1"}, false},
      {"two-byte name", "/\xD6\xD0\xCE\xC4.htm", {"\xD6\xD0\xCE\xC4.htm"}, false},
      {"internal #", "/#SYSTEM", {}, false},
      {"internal $", "/$FIftiMain", {}, false},
      {"container", "::DataSpace/NameList", {}, false},
      {"root", "/", {}, false},
      {"dot dot", "/../evil", {}, true},
      {"inner dot dot", "/a/../../x", {}, true},
      {"dot", "/./x", {}, true},
      {"backslash dot dot", "/\\..\\x", {}, true},
      {"drive", "/C:/x", {}, true},
      {"drive relative", "/C:x", {}, true},
      {"UNC", "//server/share", {}, true},
      {"double slash inside", "/a//b", {}, true},
      {"control", "/a\x01.htm", {}, true},
      {"NUL", std::string("/a\0b", 4), {}, true},
      {"DEL", "/a\x7F", {}, true},
      {"long part", "/" + std::string(256, 'a'), {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string why;
    auto parts = safeEntryParts(c.entry, &why);
    if (c.parts.empty()) {
      EXPECT_FALSE(parts.has_value());
      EXPECT_EQ(c.refused, !why.empty()) << why;
    } else {
      ASSERT_TRUE(parts.has_value()) << why;
      EXPECT_EQ(c.parts, *parts);
    }
  }
}

// chmcmd writes the first GUID twice and names chunk 1 as the first listing
// chunk; every file must still come back byte for byte.
class ChmcmdRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(ChmcmdRoundTrip, EveryFileComesBackWhole) {
  if (!haveChmcmd()) GTEST_SKIP() << "chmcmd (fp-utils) is not installed";
  const bool big = GetParam();
  TempDir tmp;
  const fs::path src = tmp.path() / "src";
  const std::vector<std::string> files = writeProject(src, big);
  const fs::path chm = compileWithChmcmd(src);
  ASSERT_TRUE(fs::exists(chm));

  MappedFile mapped;
  std::string why;
  ASSERT_TRUE(mapped.open(chm.string(), &why)) << why;
  ChmStatus st;
  auto reader = ChmReader::open(mapped.bytes(), &st);
  ASSERT_TRUE(reader) << st.message;
  if (big) {
    // The header's first listing chunk is wrong; our walk still finds the
    // entries of chunk 0 (the container's own "::" names sort first).
    EXPECT_NE(nullptr, reader->find("::DataSpace/Storage/MSCompressed/Content"));
    bool named = false;
    for (const std::string& w : reader->warnings())
      named |= w.find("wrong listing chunks") != std::string::npos;
    EXPECT_TRUE(named);
  }

  const fs::path out = tmp.path() / "out";
  const ToolRun r = runTool({"-decompile", out.string(), chm.string()}, tmp.path());
  EXPECT_EQ(0, r.exitCode) << r.err;
  const auto got = tree(out);
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    auto it = got.find(f);
    ASSERT_NE(got.end(), it);
    EXPECT_TRUE(it->second == slurp(src / f));
  }
  // Nothing but the book's files, chmcmd's own README and the rebuilt
  // project.
  EXPECT_EQ(files.size() + 2, got.size());
  ASSERT_EQ(1u, got.count("book.hhp"));
  const std::string& hhp = got.at("book.hhp");
  EXPECT_NE(std::string::npos, hhp.find("Compiled file=book.chm\r\n"));
  EXPECT_NE(std::string::npos, hhp.find("Default topic=index.htm\r\n"));
  EXPECT_NE(std::string::npos, hhp.find("Title=Round trip\r\n"));
  EXPECT_NE(std::string::npos, hhp.find("\r\nimg\\pic.gif\r\n"));
}
INSTANTIATE_TEST_SUITE_P(SmallAndMultiChunk, ChmcmdRoundTrip, ::testing::Bool());

// Our own compiler, once built: a book it makes comes back whole, and the
// decompiled folder (with its rebuilt project) compiles again, unedited, to
// a book with the same files.
TEST(OurCompilerRoundTrip, DecompiledFolderCompilesAgain) {
  const std::string hhc = ZANVO_BUILD_DIR "/bin/zanvochm-hhc";
  if (!fs::exists(hhc)) GTEST_SKIP() << "zanvochm-hhc is not built";
  TempDir tmp;
  const fs::path src = tmp.path() / "src";
  std::vector<std::string> files = writeProject(src, false);
  spit(src / "book.hhc",
       "<html><body><ul><li><object type=\"text/sitemap\">"
       "<param name=\"Name\" value=\"Index\"><param name=\"Local\" "
       "value=\"index.htm\"></object></ul></body></html>\r\n");
  files.push_back("book.hhc");
  std::string hhp = slurp(src / "book.hhp");
  hhp.replace(hhp.find("Default topic"), 0,
              "Contents file=book.hhc\r\nDefault Window=main\r\n");
  hhp.replace(hhp.find("[FILES]"), 0,
              "[WINDOWS]\r\nmain=\"Round trip\",\"book.hhc\",,\"index.htm\","
              "\"index.htm\",,,,,0x040120,,0x304E,[0,0,1010,738],0x0,0x0,,,,,\r\n\r\n");
  spit(src / "book.hhp", hhp);
  auto compile = [&](const fs::path& dir, const std::string& project) {
    const std::string cmd = "cd " + shellQuote(dir.string()) + " && " +
                            shellQuote(hhc) + " " + shellQuote(project) + " >/dev/null 2>&1";
    return std::system(cmd.c_str());
  };
  ASSERT_EQ(0, compile(src, "book.hhp"));

  const fs::path d1 = tmp.path() / "d1", d2 = tmp.path() / "d2";
  ToolRun r = runTool({"-decompile", d1.string(), (src / "book.chm").string()}, tmp.path());
  ASSERT_EQ(0, r.exitCode) << r.err;
  const auto first = tree(d1);
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    ASSERT_EQ(1u, first.count(f));
    EXPECT_TRUE(first.at(f) == slurp(src / f));
  }
  // The book held no project; the rebuilt one keeps the window and topic.
  ASSERT_EQ(1u, first.count("book.hhp"));
  const std::string& rebuilt = first.at("book.hhp");
  EXPECT_NE(std::string::npos, rebuilt.find("Contents file=book.hhc\r\n"));
  EXPECT_NE(std::string::npos, rebuilt.find("Default Window=main\r\n"));
  EXPECT_NE(std::string::npos,
            rebuilt.find("main=\"Round trip\",\"book.hhc\",,\"index.htm\",\"index.htm\","));

  ASSERT_EQ(0, compile(d1, "book.hhp"));
  r = runTool({"-decompile", d2.string(), (d1 / "book.chm").string()}, tmp.path());
  ASSERT_EQ(0, r.exitCode) << r.err;
  auto second = tree(d2);
  auto again = first;
  again.erase("book.hhp");
  second.erase("book.hhp");
  EXPECT_EQ(again.size(), second.size());
  for (const auto& [name, data] : again) {
    SCOPED_TRACE(name);
    ASSERT_EQ(1u, second.count(name));
    EXPECT_TRUE(data == second.at(name));
  }
}

TEST(DecompileTool, CommandLine) {
  TempDir tmp;
  const std::string book = kMade + "base.chm";
  {
    SCOPED_TRACE("help");
    EXPECT_EQ(0, runTool({"--help"}, tmp.path()).exitCode);
    EXPECT_EQ(0, runTool({"--version"}, tmp.path()).exitCode);
  }
  struct Usage {
    const char* name;
    std::vector<std::string> args;
  };
  const Usage usage[] = {
      {"nothing", {}},
      {"no switch", {"out", book}},
      {"one path", {"-decompile", "out"}},
      {"unquoted blank splits a path", {"-decompile", "/tmp/my", "out", book}},
      {"unknown option", {"-frobnicate", "out", book}},
  };
  for (const Usage& u : usage) {
    SCOPED_TRACE(u.name);
    const ToolRun r = runTool(u.args, tmp.path());
    EXPECT_EQ(2, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("Usage")) << r.err;
  }
  {
    SCOPED_TRACE("Windows form, quoted, with a blank");
    std::string out = (tmp.path() / "my out").string(), win = out;
    for (char& c : win)
      if (c == '/') c = '\\';
    const ToolRun r = runTool({"-DECOMPILE", "\"" + win + "\"", book}, tmp.path());
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_TRUE(fs::exists(fs::path(out) / "sub" / "s.htm"));
  }
  {
    SCOPED_TRACE("missing book");
    const ToolRun r = runTool({"-decompile", (tmp.path() / "o").string(),
                           (tmp.path() / "none.chm").string()},
                          tmp.path());
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("none.chm")) << r.err;
  }
  {
    SCOPED_TRACE("not a book");
    spit(tmp.path() / "text.chm", "just text, not a CHM book");
    const ToolRun r = runTool({"-decompile", (tmp.path() / "o2").string(),
                           (tmp.path() / "text.chm").string()},
                          tmp.path());
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("ITSF")) << r.err;
  }
}

// The output folder sits alone in a box; anything else in the box after the
// run was written outside it.
void expectConfined(const fs::path& box, const fs::path& out) {
  for (const auto& e : fs::directory_iterator(box))
    EXPECT_EQ(out.filename(), e.path().filename()) << "written outside: " << e.path();
}

TEST(DecompileTool, TraversalNamesAreRefusedTheRestWritten) {
  TempDir tmp;
  const fs::path box = tmp.path() / "box", out = box / "out";
  fs::create_directories(box);
  const ToolRun r = runTool({"-decompile", out.string(), kMade + "traversal.chm"}, tmp.path());
  EXPECT_EQ(1, r.exitCode);
  expectConfined(box, out);
  const auto got = tree(out);
  EXPECT_EQ(1u, got.count("good.htm"));
  EXPECT_EQ(1u, got.count("sub/s.htm"));
  for (const auto& [name, data] : got)
    EXPECT_TRUE(name == "good.htm" || name == "sub/s.htm" || name == "_#_README_#_" ||
                name == "traversal.hhp")
        << name;
  for (const char* bad : {"/../evil.htm", "/a/../../x.htm", "/C:/x.htm",
                          "//server/share/x.htm", "/ctl\\x01name.htm",
                          "/nul\\x00name.htm"})
    EXPECT_NE(std::string::npos, r.err.find(bad)) << bad << "\n" << r.err;
  EXPECT_EQ(std::string::npos, r.err.find('\x01'));
}

TEST(DecompileTool, NeverWritesThroughSymbolicLinks) {
  TempDir tmp;
  const fs::path out = tmp.path() / "out", elsewhere = tmp.path() / "elsewhere";
  fs::create_directories(out);
  fs::create_directories(elsewhere);
  fs::create_directory_symlink(elsewhere, out / "sub");
  spit(elsewhere / "target.htm", "precious");
  fs::create_symlink(elsewhere / "target.htm", out / "ok.htm");

  const ToolRun r = runTool({"-decompile", out.string(), kMade + "symlink.chm"}, tmp.path());
  EXPECT_EQ(1, r.exitCode);
  EXPECT_NE(std::string::npos, r.err.find("/sub/x.htm")) << r.err;
  EXPECT_EQ(1u, tree(elsewhere).size());
  EXPECT_EQ("precious", slurp(elsewhere / "target.htm"));
  // The link named like a book file is replaced by the file itself.
  EXPECT_FALSE(fs::is_symlink(out / "ok.htm"));
  EXPECT_NE(std::string::npos, slurp(out / "ok.htm").find("<html>"));
}

TEST(DecompileTool, ExistingFileIsReplacedAndProjectKept) {
  TempDir tmp;
  const fs::path out = tmp.path() / "out";
  spit(out / "p1.htm", "old content that is longer than the new page, much longer");
  spit(out / "base.hhp", "my own project");
  const ToolRun r = runTool({"-decompile", out.string(), kMade + "base.chm"}, tmp.path());
  // The user's own project is kept; the book's files are all written.
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_EQ("<html><body>one</body></html>\n", slurp(out / "p1.htm"));
  EXPECT_EQ("my own project", slurp(out / "base.hhp"));
  for (const auto& e : fs::directory_iterator(out))
    EXPECT_EQ(std::string::npos, e.path().filename().string().find(".tmp")) << e.path();
}

TEST(DecompileTool, LengthsBeyondTheBookAreRefused) {
  TempDir tmp;
  const fs::path out = tmp.path() / "out";
  const ToolRun r = runTool({"-decompile", out.string(), kMade + "length-bomb.chm"}, tmp.path());
  EXPECT_EQ(1, r.exitCode);
  for (const char* name : {"/p1.htm", "/p2.htm", "/p3.htm"})
    EXPECT_NE(std::string::npos, r.err.find(name)) << r.err;
  uintmax_t total = 0;
  for (const auto& [name, data] : tree(out)) total += data.size();
  EXPECT_LT(total, 100000u);
  EXPECT_TRUE(fs::exists(out / "sub" / "s.htm"));
}

// libmspack's corpus of books that broke CHM readers: each is read and
// unpacked without a crash and without a write outside the folder.
TEST(HostileCorpus, NoCrashNoEscape) {
  TempDir tmp;
  int seen = 0;
  for (const auto& e : fs::directory_iterator(kHostile)) {
    std::string name = e.path().filename().string();
    std::string data = slurp(e.path());
    if (name.ends_with(".xor")) {
      for (char& c : data) c = static_cast<char>(c ^ 0xFF);
      name.resize(name.size() - 4);
    }
    if (!name.ends_with(".chm")) continue;
    SCOPED_TRACE(name);
    ++seen;
    ChmStatus st;
    auto reader = ChmReader::open(data, &st);
    if (!reader) {
      EXPECT_FALSE(st.message.empty());
      continue;
    }
    const fs::path box = tmp.path() / name, out = box / "out";
    fs::create_directories(box);
    const ExtractReport report = extractBook(*reader, out.string());
    expectConfined(box, out);
    for (const auto& [rel, content] : tree(out)) EXPECT_NE("<symlink>", content) << rel;
    EXPECT_EQ(static_cast<size_t>(std::min(report.refused + report.failed, 1000)),
              report.problems.size());
  }
  EXPECT_GE(seen, 16);
}

}  // namespace
}  // namespace zanvo

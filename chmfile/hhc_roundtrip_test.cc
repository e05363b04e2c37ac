// The real zanvochm-hhc, run as a process on projects built here, and its
// books read back by libmspack in-process and by the other CHM readers
// installed on the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "chmfile/hhc_test_util.h"

namespace zanvo::chm {
namespace {

using testing::cp936;
using testing::hhcPath;
using testing::readTestFile;
using testing::runProgram;
using testing::TempFolder;
using testing::writeTestFile;

uint32_t le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

// Text that compresses like real pages but is not one repeated byte.
std::string pageLike(size_t size, unsigned seed) {
  std::string s;
  s.reserve(size);
  uint32_t x = seed * 2654435761u + 1;
  static const char* const words[] = {"<p>", "the ", "book ", "chapter ", "\xD6\xD0\xCE\xC4", "</p>\r\n",
                                      "compile ", "index ", "\xCA\xE9 ", "0123 "};
  while (s.size() < size) {
    x = x * 1103515245u + 12345u;
    s += words[(x >> 16) % 10];
    if ((x >> 8) % 7 == 0) s.push_back(static_cast<char>(x >> 24));
  }
  s.resize(size);
  return s;
}

// A project in a folder: files by their UTF-8 path relative to the folder,
// the [FILES] lines as code page 936 text.
struct Fixture {
  TempFolder dir;
  std::map<std::string, std::string> files;  // UTF-8 relative path -> bytes
  void add(const std::string& utf8Path, std::string data) {
    writeTestFile(dir.path() + "/" + utf8Path, data);
    files[utf8Path] = std::move(data);
  }
  // [FILES] lines: the code page 936 form with "\" separators.
  std::string filesSection() const {
    std::string s;
    for (const auto& [path, data] : files) {
      std::string p = cp936(path);
      std::replace(p.begin(), p.end(), '/', '\\');
      s += p + "\r\n";
    }
    return s;
  }
};

// The project and contents texts exactly as the window's "准备生成" writes
// them, for a project name and a file list.
std::string windowProject(const std::string& name, const std::string& fileList) {
  return "[OPTIONS]\r\nDisplay compile progress=no\r\nDefault Window=win\r\nCompiled file=" + name +
         ".chm\r\nDefault topic=index.htm\r\n\r\n[WINDOWS]\r\nwin=\"" + name + "\",\"" + name +
         ".hhc\",,\"index.htm\",\"index.htm\",,,,,0x040120,,0x304E,[0,0,1010,738],0x0,0x0,,,,,"
         "\r\n\r\n[FILES]\r\n\r\n" + fileList;
}
std::string windowContents(const std::string& folderName, const std::string& folderPage,
                           const std::string& pageName, const std::string& topPage) {
  auto page = [](const std::string& n, const std::string& l) {
    return "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"" + n +
           "\">\r\n<PARAM name=\"Local\" value=\"" + l + "\">\r\n</OBJECT>";
  };
  return "<HTML><HEAD><META name=\"GENERATOR\" content=\"Vexlore 1.0.1\">\r\n"
         "<!-- Sitemap 1.0 --></HEAD><BODY>\r\n<OBJECT type=\"text/site properties\">\r\n"
         "<PARAM name=\"Window Styles\" value=\"0x800627\">\r\n"
         "<PARAM name=\"ImageType\" value=\"Folder\">\r\n</OBJECT>\r\n<UL>\r\n"
         "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"" + folderName +
         "\">\r\n</OBJECT>\r\n<UL>\r\n" + page(pageName, folderPage) + "\r\n\r\n</UL>\r\n" +
         page("index", topPage) + "\r\n\r\n</UL></BODY></HTML>";
}

// #SYSTEM records by code.
std::map<int, std::string> systemRecords(const std::string& sys) {
  std::map<int, std::string> r;
  size_t p = 4;
  while (p + 4 <= sys.size()) {
    const int code = static_cast<uint8_t>(sys[p]) | static_cast<uint8_t>(sys[p + 1]) << 8;
    const size_t len = static_cast<uint8_t>(sys[p + 2]) | static_cast<uint8_t>(sys[p + 3]) << 8;
    r[code] = sys.substr(p + 4, len);
    p += 4 + len;
  }
  return r;
}

std::string cstr(const std::string& s) { return std::string(s.c_str()); }

class HhcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(hhcPath())) << hhcPath();
  }
};

TEST_F(HhcTest, HelpAndVersion) {
  const testing::RunResult help = runProgram({hhcPath(), "--help"});
  EXPECT_EQ(0, help.exitCode);
  EXPECT_NE(std::string::npos, help.out.find("zanvochm-hhc PROJECT.hhp"));
  const testing::RunResult version = runProgram({hhcPath(), "--version"});
  EXPECT_EQ(0, version.exitCode);
  EXPECT_EQ(0u, version.out.find("zanvochm-hhc 1."));
  EXPECT_EQ(2, runProgram({hhcPath()}).exitCode);
  EXPECT_EQ(2, runProgram({hhcPath(), "--bogus"}).exitCode);
}

// The window's own project: Chinese project name, titles and file names,
// nested folders, no "Contents file=", and files of every size around the
// frame and reset interval.  Every file must come back byte for byte.
TEST_F(HhcTest, WindowProjectRoundTripsThroughLibmspack) {
  Fixture f;
  const std::string name = "\xE6\x88\x91\xE7\x9A\x84\xE4\xB9\xA6";  // 我的书
  f.add("index.htm", "<html><head><title>Start</title></head><body>" + pageLike(5000, 1) + "</body></html>");
  f.add("\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0/\xE5\xBC\x80\xE5\xA7\x8B.htm", pageLike(12345, 2));  // 第一章/开始.htm
  f.add("ch1/deep/er/a.htm", pageLike(300, 3));
  f.add("empty.txt", "");
  f.add("ch1/empty.htm", "");
  f.add("style.css", "body { color: black }\r\n");
  for (size_t size : {32767, 32768, 32769, 65535, 65536, 65537}) {
    f.add("sizes/s" + std::to_string(size) + ".bin", pageLike(size, static_cast<unsigned>(size)));
  }
  std::string bin(70000, '\0');
  for (size_t i = 0; i < bin.size(); ++i) bin[i] = static_cast<char>((i * 2654435761u) >> 13);
  f.add("pic.gif", bin);
  const std::string contents = windowContents(
      cp936("\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0"),
      cp936("\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0\\\xE5\xBC\x80\xE5\xA7\x8B.htm"),
      cp936("\xE5\xBC\x80\xE5\xA7\x8B"), "index.htm");
  // The contents file is written by the window but not listed in [FILES].
  writeTestFile(f.dir.path() + "/" + name + ".hhc", contents);
  writeTestFile(f.dir.path() + "/" + name + ".hhp", windowProject(cp936(name), f.filesSection()));

  // The window passes a quoted path with "\" separators; its process layer
  // turns them into "/" but either form must work.
  std::string backslashed = f.dir.path() + "/" + name + ".hhp";
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  const testing::RunResult run = runProgram({hhcPath(), backslashed});
  ASSERT_EQ(0, run.exitCode) << run.err;
  EXPECT_EQ("", run.out) << "quiet without Display compile progress";
  EXPECT_EQ("", run.err);

  const std::string chm = f.dir.path() + "/" + name + ".chm";
  ASSERT_TRUE(std::filesystem::exists(chm));
  for (const std::string& entry : testing::listFolder(f.dir.path()))
    EXPECT_EQ(std::string::npos, entry.find(".chm.")) << "temporary file left: " << entry;

  testing::MspackBook book = testing::readWithMspack(chm);
  ASSERT_EQ("", book.error);
  for (const auto& [path, data] : f.files) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(book.files.count("/" + path)) << "directory names are UTF-8";
    EXPECT_TRUE(book.files["/" + path] == data) << "size " << book.files["/" + path].size();
    uint64_t length = 0;
    EXPECT_TRUE(testing::mspackFastFind(chm, "/" + path, &length));
    EXPECT_EQ(data.size(), length);
  }
  // The contents file named only by the window is in the book, in code
  // page 936 as written.
  ASSERT_TRUE(book.files.count("/" + name + ".hhc"));
  EXPECT_EQ(contents, book.files["/" + name + ".hhc"]);

  const std::map<int, std::string> sys = systemRecords(book.files["/#SYSTEM"]);
  for (int code : {0, 2, 3 - 3, 4, 5, 6, 9, 10, 16}) EXPECT_TRUE(sys.count(code)) << code;
  ASSERT_GE(sys.at(4).size(), 36u);
  EXPECT_EQ(0x0804u, le32(sys.at(4), 0)) << "Chinese (PRC) without Language=";
  EXPECT_EQ(cp936(name) + ".hhc", cstr(sys.at(0)));
  EXPECT_EQ("index.htm", cstr(sys.at(2)));
  EXPECT_EQ("win", cstr(sys.at(5)));
  EXPECT_EQ(",9,134", cstr(sys.at(16)).substr(cstr(sys.at(16)).find(',')));
  EXPECT_EQ(0u, book.files.count("/" + name + ".chm"));

  // The window record: nav width left to the viewer (its valid bit clear,
  // 0 would hide the contents pane), style and buttons set.
  const std::string windows = book.files["/#WINDOWS"];
  const std::string strings = book.files["/#STRINGS"];
  ASSERT_EQ(8u + 196u, windows.size());
  const std::string w = windows.substr(8);
  const uint32_t valid = le32(w, 0x0C);
  EXPECT_EQ(0u, valid & 0x20);
  EXPECT_EQ(0x040120u, le32(w, 0x10));
  EXPECT_NE(0u, valid & 0x2);
  EXPECT_EQ(0x304Eu, le32(w, 0x70));
  EXPECT_EQ(1010u, le32(w, 0x28));
  EXPECT_EQ("win", std::string(strings.c_str() + le32(w, 0x08)));
  EXPECT_EQ(cp936(name), std::string(strings.c_str() + le32(w, 0x14)));
  EXPECT_EQ(cp936(name) + ".hhc", std::string(strings.c_str() + le32(w, 0x60)));

  // #TOPICS: the contents entries first with their names as titles.
  const std::string topics = book.files["/#TOPICS"];
  ASSERT_GE(topics.size(), 32u);
  EXPECT_EQ(cp936("\xE5\xBC\x80\xE5\xA7\x8B"), std::string(strings.c_str() + le32(topics, 4)));
  const std::string urlstr = book.files["/#URLSTR"];
  const std::string urltbl = book.files["/#URLTBL"];
  const uint32_t urltblOffset = le32(topics, 8);
  EXPECT_EQ(0u, le32(urltbl, urltblOffset + 4)) << "record points back at topic 0";
  EXPECT_EQ(cp936("\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0/\xE5\xBC\x80\xE5\xA7\x8B.htm"),
            std::string(urlstr.c_str() + le32(urltbl, urltblOffset + 8) + 8));

  // #TOCIDX: the folder entry (a book with one child, titled through
  // #STRINGS), its page (topic 0) and the top-level page as its sibling.
  const std::string toc = book.files["/#TOCIDX"];
  ASSERT_GE(toc.size(), 0x1000u + 0x1C + 0x14 + 0x14);
  const uint32_t folder = le32(toc, 0);
  EXPECT_EQ(0x1000u, folder);
  EXPECT_EQ(5u, le32(toc, folder + 4) & 5u) << "book with children";
  EXPECT_EQ(0u, le32(toc, folder + 4) & 8u) << "a folder opens no page";
  EXPECT_EQ(cp936("\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0"),
            std::string(strings.c_str() + le32(toc, folder + 8)));
  const uint32_t child = le32(toc, folder + 0x14);
  ASSERT_GT(child, folder);
  EXPECT_NE(0u, le32(toc, child + 4) & 8u);
  EXPECT_EQ(0u, le32(toc, child + 8)) << "topic 0";
  EXPECT_EQ(folder, le32(toc, child + 0xC)) << "parent";
  EXPECT_EQ(child, le32(topics, 0)) << "#TOPICS points back at the record";
  const uint32_t sibling = le32(toc, folder + 0x10);
  ASSERT_GT(sibling, child);
  EXPECT_EQ(1u, le32(toc, sibling + 8)) << "index.htm is topic 1";
  EXPECT_EQ(0u, le32(toc, sibling + 0x10)) << "last entry";
}

TEST_F(HhcTest, OptionsLanguageAndProgress) {
  Fixture f;
  f.add("a.htm", "<title>A &amp; B</title>");
  f.add("b.htm", "b");
  writeTestFile(f.dir.path() + "/toc.hhc",
                "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"First\">"
                "<param name=\"Local\" value=\"b.htm\"></object></ul>");
  writeTestFile(f.dir.path() + "/p.hhp",
                "[OPTIONS]\nCompiled file=out\\book.chm\nContents file=toc.hhc\nTitle=My Book\n"
                "Language=0x409 English (United States)\nDisplay compile progress=Yes\n"
                "Default topic=a.htm\nMystery=1\n[FILES]\na.htm\nb.htm\n");
  std::filesystem::create_directory(f.dir.path() + "/out");
  const testing::RunResult run = runProgram({hhcPath(), "p.hhp"}, f.dir.path());
  ASSERT_EQ(0, run.exitCode) << run.err;
  EXPECT_NE("", run.out) << "progress is printed when asked for";
  EXPECT_NE(std::string::npos, run.err.find("p.hhp:8: warning:")) << run.err;
  testing::MspackBook book = testing::readWithMspack(f.dir.path() + "/out/book.chm");
  ASSERT_EQ("", book.error);
  const std::map<int, std::string> sys = systemRecords(book.files["/#SYSTEM"]);
  EXPECT_EQ(0x0409u, le32(sys.at(4), 0));
  EXPECT_EQ("My Book", cstr(sys.at(3)));
  EXPECT_EQ("toc.hhc", cstr(sys.at(0)));
  EXPECT_EQ("book", cstr(sys.at(6)));
  EXPECT_EQ("b", book.files["/b.htm"]);
  EXPECT_TRUE(book.files.count("/toc.hhc"));
  // Topic 0 is the contents entry, topic 1 the page outside the contents,
  // titled from its <title>.
  const std::string topics = book.files["/#TOPICS"], strings = book.files["/#STRINGS"];
  ASSERT_EQ(32u, topics.size());
  EXPECT_EQ("First", std::string(strings.c_str() + le32(topics, 4)));
  EXPECT_EQ(6, topics[12]);
  EXPECT_EQ("A & B", std::string(strings.c_str() + le32(topics, 16 + 4)));
  EXPECT_EQ(2, topics[16 + 12]);
}

// Broken projects fail with a file:line message and leave no book and no
// temporary file; an older book of the same name stays untouched.
TEST_F(HhcTest, BrokenProjectsLeaveNothingBehind) {
  struct Case {
    const char* name;
    std::string project;  // empty: no project file at all
    std::string expected;
  };
  const Case cases[] = {
      {"missing listed file", "[OPTIONS]\r\nCompiled file=b.chm\r\n[FILES]\r\na.htm\r\nmissing.htm\r\n",
       "p.hhp:5: error: cannot read missing.htm"},
      {"unknown window", "[OPTIONS]\nDefault Window=nowhere\nCompiled file=b.chm\n[FILES]\na.htm\n",
       "p.hhp:2: error: unknown window \"nowhere\""},
      {"malformed line", "[OPTIONS]\nCompiled file=b.chm\nthis is not an option\n[FILES]\na.htm\n",
       "p.hhp:3: error: malformed line"},
      {"file outside the folder", "[OPTIONS]\nCompiled file=b.chm\n[FILES]\n..\\..\\etc\\passwd\n",
       "p.hhp:4: error:"},
      {"missing project", "", "p.hhp:0: error: cannot read the project file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.add("a.htm", "a");
    if (!c.project.empty()) writeTestFile(f.dir.path() + "/p.hhp", c.project);
    const testing::RunResult run = runProgram({hhcPath(), f.dir.path() + "/p.hhp"});
    EXPECT_NE(0, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find(c.expected)) << run.err;
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() + "/b.chm"));
    std::vector<std::string> left = testing::listFolder(f.dir.path());
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = {"a.htm"};
    if (!c.project.empty()) expected.push_back("p.hhp");
    EXPECT_EQ(expected, left);
  }
  // An older book survives a failed compile.
  Fixture f;
  f.add("a.htm", "a");
  writeTestFile(f.dir.path() + "/b.chm", "old book");
  writeTestFile(f.dir.path() + "/p.hhp", "[OPTIONS]\nCompiled file=b.chm\n[FILES]\nnone.htm\n");
  EXPECT_NE(0, runProgram({hhcPath(), f.dir.path() + "/p.hhp"}).exitCode);
  EXPECT_EQ("old book", readTestFile(f.dir.path() + "/b.chm"));
}

// A big book: thousands of files spread the directory over many listing
// chunks (so readers go through the index chunk) and a 20 MB file spans
// hundreds of reset intervals.  libmspack and the installed peers
// (extract_chmLib, enum_chmLib, 7z, chmls) must all list and extract it.
TEST_F(HhcTest, BigBookReadByEveryReader) {
  Fixture f;
  std::string list;
  for (int i = 0; i < 2500; ++i) {
    const std::string path = "pages/part" + std::to_string(i % 7) + "/Page_" + std::to_string(i) + ".htm";
    f.add(path, pageLike(200 + static_cast<size_t>(i % 13) * 97, static_cast<unsigned>(i)));
  }
  f.add("big/twenty.bin", pageLike(20 * 1000 * 1000, 99));
  f.add("\xE4\xB8\xAD\xE6\x96\x87/\xE9\xA1\xB5.htm", "<p>\xD6\xD0</p>");  // 中文/页.htm
  f.add("empty.htm", "");
  writeTestFile(f.dir.path() + "/big.hhp",
                "[OPTIONS]\r\nCompiled file=big.chm\r\nTitle=Big\r\n\r\n[FILES]\r\n" + f.filesSection());
  const testing::RunResult run = runProgram({hhcPath(), f.dir.path() + "/big.hhp"});
  ASSERT_EQ(0, run.exitCode) << run.err;
  const std::string chm = f.dir.path() + "/big.chm";

  // The directory really has an index chunk.
  const std::string head = readTestFile(chm).substr(0, 0x60 + 0x18 + 0x54);
  const size_t itsp = 0x60 + 0x18;
  EXPECT_EQ(2u, le32(head, itsp + 0x18)) << "index depth";
  EXPECT_GT(le32(head, itsp + 0x24), 10u) << "last listing chunk";
  EXPECT_EQ(le32(head, itsp + 0x2C) - 1, le32(head, itsp + 0x1C)) << "root is the last chunk";

  testing::MspackBook book = testing::readWithMspack(chm);
  ASSERT_EQ("", book.error);
  size_t matched = 0;
  for (const auto& [path, data] : f.files) matched += book.files["/" + path] == data;
  EXPECT_EQ(f.files.size(), matched);
  for (const char* probe : {"/pages/part0/Page_0.htm", "/pages/part6/Page_2498.htm",
                            "/big/twenty.bin", "/#SYSTEM", "/PAGES/PART6/page_1000.HTM"}) {
    SCOPED_TRACE(probe);
    EXPECT_TRUE(testing::mspackFastFind(chm, probe, nullptr));
  }
  EXPECT_FALSE(testing::mspackFastFind(chm, "/pages/part0/Page_99999.htm", nullptr));
  // Readers search case-insensitively, through the index chunk.
  for (int i = 0; i < 2500; i += 97) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(testing::mspackFastFind(
        chm, "/PAGES/part" + std::to_string(i % 7) + "/PAGE_" + std::to_string(i) + ".HTM", nullptr));
  }

  // Peers, each extracting into its own folder.
  auto compareTree = [&](const std::string& root, const char* who) {
    size_t same = 0;
    for (const auto& [path, data] : f.files) {
      const std::string p = root + "/" + path;
      if (std::filesystem::exists(p) && readTestFile(p) == data) {
        ++same;
      } else if (same + 5 > f.files.size()) {
        ADD_FAILURE() << who << " differs: " << path;
      }
    }
    EXPECT_EQ(f.files.size(), same) << who;
  };
  {
    TempFolder out;
    const testing::RunResult r = runProgram({"extract_chmLib", chm, out.path()});
    EXPECT_EQ(0, r.exitCode) << r.err;
    compareTree(out.path(), "extract_chmLib");
  }
  {
    const testing::RunResult r = runProgram({"enum_chmLib", chm});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("/pages/part6/Page_2498.htm"));
    EXPECT_NE(std::string::npos, r.out.find("/big/twenty.bin"));
  }
  {
    TempFolder out;
    const testing::RunResult r = runProgram({"7z", "x", "-y", "-o" + out.path(), chm});
    EXPECT_EQ(0, r.exitCode) << r.out << r.err;
    EXPECT_EQ(std::string::npos, r.out.find("ERROR")) << r.out;
    compareTree(out.path(), "7z");
  }
  {
    const testing::RunResult r = runProgram({"chmls", chm});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Page_2498.htm")) << r.out.substr(0, 2000);
  }
}

// The Chinese book through the peers: names come back as UTF-8 files, the
// contents text stays code page 936, the language id is 0x0804.
TEST_F(HhcTest, ChineseBookThroughPeers) {
  Fixture f;
  const std::string name = "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB9\xA6";  // 中文书
  f.add("index.htm", "<html>" + pageLike(3000, 5) + "</html>");
  f.add("\xE7\xAB\xA0/\xE8\x8A\x82.htm", pageLike(40000, 6));  // 章/节.htm
  const std::string contents = windowContents(cp936("\xE7\xAB\xA0"), cp936("\xE7\xAB\xA0\\\xE8\x8A\x82.htm"),
                                              cp936("\xE8\x8A\x82"), "index.htm");
  writeTestFile(f.dir.path() + "/" + name + ".hhc", contents);
  writeTestFile(f.dir.path() + "/" + name + ".hhp", windowProject(cp936(name), f.filesSection()));
  const testing::RunResult run = runProgram({hhcPath(), f.dir.path() + "/" + name + ".hhp"});
  ASSERT_EQ(0, run.exitCode) << run.err;
  const std::string chm = f.dir.path() + "/" + name + ".chm";
  f.files[name + ".hhc"] = contents;
  for (const char* tool : {"extract_chmLib", "7z"}) {
    SCOPED_TRACE(tool);
    TempFolder out;
    const testing::RunResult r =
        std::string(tool) == "7z" ? runProgram({"7z", "x", "-y", "-o" + out.path(), chm})
                                  : runProgram({tool, chm, out.path()});
    EXPECT_EQ(0, r.exitCode) << r.out << r.err;
    for (const auto& [path, data] : f.files) {
      SCOPED_TRACE(path);
      EXPECT_TRUE(readTestFile(out.path() + "/" + path) == data);
    }
    const std::string sys = readTestFile(out.path() + "/#SYSTEM");
    ASSERT_FALSE(sys.empty());
    EXPECT_EQ(0x0804u, le32(systemRecords(sys).at(4), 0));
  }
  const testing::RunResult ls = runProgram({"chmls", chm});
  EXPECT_EQ(0, ls.exitCode) << ls.err;
  EXPECT_NE(std::string::npos, ls.out.find("\xE8\x8A\x82.htm")) << ls.out;
}

}  // namespace
}  // namespace zanvo::chm

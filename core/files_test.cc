#include "core/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace zanvo {
namespace {

using Names = std::vector<Text>;

// A GBK character whose second byte is "\" (U+4E57, 81 5C).
const Text kTrail5C = "\x81\x5C";

// A fresh folder on the real file system, removed with its content at the
// end.  Paths are built both ways: native for checking behind the library's
// back, and in the program's own form for the calls under test.
class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && tmp[0] ? tmp : "/tmp") +
                          "/zanvo-files-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    m_native = pattern;
    m_dir = pathFromNative(m_native);
  }
  void TearDown() override {
    std::string command = "chmod -R u+w '" + m_native + "' && rm -rf '" + m_native + "'";
    (void)std::system(command.c_str());
  }

  Text path(const Text& name) const { return m_dir + "\\" + name; }
  std::string native(const std::string& name) const { return m_native + "/" + name; }

  void putNative(const std::string& name, const std::string& content) {
    int fd = open(native(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(static_cast<ssize_t>(content.size()), write(fd, content.data(), content.size()));
    close(fd);
  }

  // The raw entries of a native folder, "." and ".." left out, sorted.
  std::vector<std::string> nativeEntries(const std::string& folder) const {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    if (d == nullptr) return names;
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
  }

  mode_t modeOf(const std::string& nativeName) const {
    struct stat st;
    return stat(native(nativeName).c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
  }

  std::string m_native;
  Text m_dir;
};

using ReadWrite = TempFolder;

TEST_F(ReadWrite, EmptyAndMissingFilesReadEmpty) {
  putNative("zero.txt", "");
  EXPECT_TRUE(readFile(path("zero.txt")).empty());
  EXPECT_TRUE(readFile(path("missing.txt")).empty());
  EXPECT_TRUE(readFile("").empty());
  EXPECT_TRUE(readFile(m_dir).empty());  // a folder is no file
  ASSERT_EQ(0, mkfifo(native("pipe").c_str(), 0644));
  EXPECT_TRUE(readFile(path("pipe")).empty());  // and does not block
}

TEST_F(ReadWrite, WritesWholeContentWithZeroBytes) {
  const Bytes content("a\0b\r\n\xFF", 6);
  EXPECT_TRUE(writeFile(path("a.bin"), content));
  EXPECT_EQ(content, readFile(path("a.bin")));
  EXPECT_TRUE(writeFile(path("a.bin"), "shorter"));
  EXPECT_EQ("shorter", readFile(path("a.bin")));
  EXPECT_TRUE(writeFile(path("empty.txt"), ""));
  EXPECT_EQ(0, fileAttributes(path("empty.txt")) & kAttrFolder);
  EXPECT_TRUE(readFile(path("empty.txt")).empty());
  // No temporary names stay behind.
  EXPECT_EQ((std::vector<std::string>{"a.bin", "empty.txt"}), nativeEntries(m_native));
}

TEST_F(ReadWrite, WriteIntoMissingFolderCreatesNothing) {
  EXPECT_FALSE(writeFile(path("no\\such\\a.txt"), "x"));
  EXPECT_FALSE(writeFile(path("no\\a.txt"), "x"));
  EXPECT_FALSE(writeFile("", "x"));
  EXPECT_TRUE(nativeEntries(m_native).empty());
}

TEST_F(ReadWrite, KeepsModeOfReplacedFile) {
  putNative("keep.sh", "old");
  ASSERT_EQ(0, chmod(native("keep.sh").c_str(), 0750));
  EXPECT_TRUE(writeFile(path("keep.sh"), "new"));
  EXPECT_EQ("new", readFile(path("keep.sh")));
  EXPECT_EQ(0750u, modeOf("keep.sh"));
}

TEST_F(ReadWrite, RefusesReadOnlyFileAndFolder) {
  putNative("ro.txt", "old");
  ASSERT_EQ(0, chmod(native("ro.txt").c_str(), 0444));
  EXPECT_FALSE(writeFile(path("ro.txt"), "new"));
  EXPECT_EQ("old", readFile(path("ro.txt")));
  ASSERT_TRUE(createFolder(path("sub")));
  EXPECT_FALSE(writeFile(path("sub"), "new"));
  EXPECT_EQ(kAttrFolder, fileAttributes(path("sub")));
}

TEST_F(ReadWrite, FailedWriteLeavesOldFileIntact) {
  putNative("big.txt", "old content");
  // A file size limit makes the write fail half-way, as a full disk would.
  struct rlimit old;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
  struct sigaction ignore {}, previous{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  struct rlimit small = old;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  bool written = writeFile(path("big.txt"), Bytes(256 * 1024, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_FALSE(written);
  EXPECT_EQ("old content", readFile(path("big.txt")));
  EXPECT_EQ(std::vector<std::string>{"big.txt"}, nativeEntries(m_native));
}

TEST_F(ReadWrite, WritesThroughLink) {
  putNative("target.txt", "old");
  ASSERT_EQ(0, symlink("target.txt", native("link.txt").c_str()));
  EXPECT_TRUE(writeFile(path("link.txt"), "new"));
  EXPECT_EQ("new", readFile(path("target.txt")));
  struct stat st;
  ASSERT_EQ(0, lstat(native("link.txt").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

using FileNames = TempFolder;

TEST_F(FileNames, ChineseAndSecondByte5CNamesStayOneEntry) {
  const Text folder = gbk("目录") + kTrail5C;  // the folder name ends in 5C
  const Text file = kTrail5C + gbk("文件.htm");
  ASSERT_TRUE(createFolder(path(folder)));
  ASSERT_TRUE(writeFile(path(folder + "\\" + file), "page"));
  EXPECT_EQ("page", readFile(path(folder + "\\" + file)));
  // On disk: one folder holding one file, named in UTF-8.
  EXPECT_EQ(std::vector<std::string>{"目录乗"}, nativeEntries(m_native));
  EXPECT_EQ(std::vector<std::string>{"乗文件.htm"}, nativeEntries(native("目录乗")));
  EXPECT_EQ(Names{file}, listFolder(path(folder + "\\*.htm"), ListFilter::kFiles));
  EXPECT_TRUE(fileExists(path(folder)));
  EXPECT_TRUE(fileExists(path(folder + "\\*.htm")));
}

TEST_F(FileNames, NamesOutsideGbkRoundTrip) {
  putNative("😀 ä.txt", "smile");
  Names names = listFolder(path("*.*"), ListFilter::kFiles);
  ASSERT_EQ(1u, names.size());
  EXPECT_EQ(gbk("😀 ä.txt"), names[0]);
  EXPECT_EQ("smile", readFile(path(names[0])));
  EXPECT_TRUE(renameFile(path(names[0]), path(gbk("🙂.txt"))));
  EXPECT_EQ(std::vector<std::string>{"🙂.txt"}, nativeEntries(m_native));
}

TEST_F(FileNames, InvalidUtf8NamesRoundTrip) {
  const std::string bad = "bad\xFF\xC3(\xE9.txt";  // not UTF-8
  const std::string slash = "a\\b.txt";           // a "\" inside a name
  putNative(bad, "raw");
  putNative(slash, "slash");
  Names names = listFolder(path("*"), ListFilter::kFiles);
  ASSERT_EQ(2u, names.size());
  for (const Text& name : names) {
    SCOPED_TRACE(name);
    std::string back = nativePath(name);
    EXPECT_TRUE(back == bad || back == slash);
    EXPECT_FALSE(readFile(path(name)).empty());
    // Its text form steps cleanly: no "\" appears where none was.
    EXPECT_EQ(-1, findText(name, "\\"));
  }
  Text badText = pathFromNative(bad);
  EXPECT_EQ("raw", readFile(path(badText)));
  EXPECT_TRUE(renameFile(path(badText), path("good.txt")));
  EXPECT_TRUE(renameFile(path("good.txt"), path(badText)));
  EXPECT_EQ("raw", readFile(path(badText)));
  EXPECT_TRUE(deleteFile(path(pathFromNative(slash))));
  EXPECT_EQ(std::vector<std::string>{bad}, nativeEntries(m_native));
}

TEST(NativePath, Cases) {
  struct Case {
    const char* name;
    Text path;
    std::string native;
  };
  const Case cases[] = {
      {"relative", "a\\b.htm", "a/b.htm"},
      {"root", "\\tmp\\x", "/tmp/x"},
      {"second byte 5C", "d\\" + kTrail5C + "\\x", "d/乗/x"},
      {"Chinese", gbk("书\\第一章.txt"), "书/第一章.txt"},
      {"euro", "\x80", "€"},
      {"doubled separator", "a\\\\b", "a//b"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.native, nativePath(c.path));
    EXPECT_EQ(c.path, pathFromNative(c.native));
  }
  // Every native byte string comes back unchanged.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(all, nativePath(pathFromNative(all)));
}

TEST(MatchesMask, Cases) {
  struct Case {
    Text name, mask;
    bool expected;
  };
  const Case cases[] = {
      {"a.htm", "*.htm", true},      {"A.HTM", "*.htm", true},
      {"a.html", "*.htm", false},    {"a.htm.bak", "*.htm", false},
      {"README", "*.*", true},       {".git", "*.*", true},
      {"a.txt", "*", true},          {"a", "?", true},
      {"ab", "?", false},            {"a1.htm", "a?.htm", true},
      {"abc", "abc.*", true},        {"abc.d", "abc.*", true},
      {"a", "a?", true},             {"ab.c", "*b*.?", true},
      {"", "*", true},               {"abc", "a*c*", true},
      {"abd", "a*c*", false},        {"x.htm", "", false},
      {gbk("中文.htm"), "*.htm", true},
      {gbk("中文.htm"), "??.htm", true},  // "?" is one character
      {gbk("中文.htm"), "???.htm", true},  // a "?" at the dot matches nothing
      {"a.htm", "a?.htm", true},     {"a.b", "a?b", false},
      {kTrail5C + "x", "?x", true},
      {"\x81" "A", "\x81" "a", false},  // a second byte is not folded
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " / " + c.mask);
    EXPECT_EQ(c.expected, matchesMask(c.name, c.mask));
  }
}

using Listing = TempFolder;

TEST_F(Listing, NtfsOrderAndMasks) {
  for (const char* name : {"style.css", "Index.htm", "02.htm", "01.htm", "_x.htm",
                           "b.htm", "中.htm", "README", ".hidden"})
    putNative(name, "x");
  // U+FF01 sorts after U+1F600 by UTF-16 units, before it by UTF-8 bytes.
  putNative("！.htm", "x");
  putNative("😀.htm", "x");
  ASSERT_TRUE(createFolder(path("sub")));
  ASSERT_TRUE(createFolder(path(".git")));

  struct Case {
    const char* mask;
    ListFilter filter;
    Names expected;
  };
  const Case cases[] = {
      {"*.htm", ListFilter::kFiles,
       {"01.htm", "02.htm", "b.htm", "Index.htm", "_x.htm", gbk("中.htm"),
        gbk("😀.htm"), gbk("！.htm")}},
      {"*.HTM", ListFilter::kFiles,
       {"01.htm", "02.htm", "b.htm", "Index.htm", "_x.htm", gbk("中.htm"),
        gbk("😀.htm"), gbk("！.htm")}},
      {"0?.htm", ListFilter::kFiles, {"01.htm", "02.htm"}},
      {"*.css", ListFilter::kFiles, {"style.css"}},
      {"r*", ListFilter::kFiles, {"README"}},
      {"*", ListFilter::kFolders, {".", "..", ".git", "sub"}},
      {"s*", ListFilter::kFolders, {"sub"}},
      {"*.*", ListFilter::kAttributeAny,
       {".git", ".hidden", "01.htm", "02.htm", "b.htm", "Index.htm", "README",
        "style.css", "_x.htm", gbk("中.htm"), gbk("😀.htm"), gbk("！.htm")}},
      {"*.zip", ListFilter::kFiles, {}},
      {"", ListFilter::kFiles, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    EXPECT_EQ(c.expected, listFolder(path(c.mask), c.filter));
  }
  EXPECT_TRUE(listFolder(path("missing\\*.*"), ListFilter::kFiles).empty());

  // One read with attributes gives every listing above: filtered, the
  // entries are the listing, in its order, with fileAttributes' bits.
  const std::vector<FolderEntry> entries = listFolderEntries(path("*.*"));
  for (ListFilter filter : {ListFilter::kFiles, ListFilter::kFolders,
                            ListFilter::kAttributeAny}) {
    Names filtered;
    for (const FolderEntry& e : entries) {
      const bool folder = (e.attributes & kAttrFolder) != 0;
      const bool any = (e.attributes & (kAttrReadOnly | kAttrHidden |
                                        kAttrSystem | kAttrArchive)) != 0;
      if (filter == ListFilter::kFiles ? !folder
          : filter == ListFilter::kFolders ? folder : any) {
        filtered.push_back(e.name);
      }
    }
    EXPECT_EQ(listFolder(path("*.*"), filter), filtered);
  }
  for (const FolderEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    SCOPED_TRACE(e.name);
    EXPECT_EQ(fileAttributes(path(e.name)), e.attributes);
  }
}

TEST_F(Listing, MaskAloneListsCurrentFolder) {
  putNative("01.htm", "x");
  putNative("Index.htm", "x");
  Text before = currentFolder();
  ASSERT_TRUE(setCurrentFolder(m_dir));
  char real[4096];
  ASSERT_NE(nullptr, realpath(m_native.c_str(), real));
  EXPECT_EQ(pathFromNative(real), currentFolder());
  Names names = listFolder("*.htm", ListFilter::kFiles);
  bool exists = fileExists("Index.htm");
  ASSERT_TRUE(setCurrentFolder(before));
  EXPECT_EQ((Names{"01.htm", "Index.htm"}), names);
  EXPECT_TRUE(exists);
  EXPECT_FALSE(setCurrentFolder(path("missing")));
}

using Entries = TempFolder;

TEST_F(Entries, ExistsAndAttributes) {
  putNative("page.htm", "x");
  putNative(".hidden", "x");
  putNative("ro.txt", "x");
  ASSERT_EQ(0, chmod(native("ro.txt").c_str(), 0444));
  ASSERT_EQ(0, mkdir(native("sub").c_str(), 0755));
  ASSERT_EQ(0, mkdir(native(".dot").c_str(), 0755));
  ASSERT_EQ(0, mkfifo(native("fifo").c_str(), 0644));
  ASSERT_EQ(0, mkdir(native("empty").c_str(), 0755));
  struct Case {
    Text name;
    bool exists;
    int attributes;
  };
  const Case cases[] = {
      {"page.htm", true, kAttrArchive},
      {".hidden", true, kAttrArchive | kAttrHidden},
      {"ro.txt", true, kAttrArchive | kAttrReadOnly},
      {"sub", true, kAttrFolder},
      {".dot", true, kAttrFolder | kAttrHidden},
      {"fifo", true, kAttrSystem},
      {"missing", false, -1},
      {"*.htm", true, -1},
      {"*.txt", true, -1},
      {"*.zip", false, -1},
      {"empty\\*", false, -1},  // "." and ".." do not count
      {"s?b", true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.exists, fileExists(path(c.name)));
    EXPECT_EQ(c.attributes, fileAttributes(path(c.name)));
  }
  EXPECT_FALSE(fileExists(""));
  EXPECT_EQ(-1, fileAttributes(""));
}

TEST_F(Entries, DeleteOnlyFiles) {
  putNative("a.txt", "x");
  putNative("ro.txt", "x");
  ASSERT_EQ(0, chmod(native("ro.txt").c_str(), 0444));
  ASSERT_TRUE(createFolder(path("sub")));
  EXPECT_TRUE(deleteFile(path("a.txt")));
  EXPECT_FALSE(fileExists(path("a.txt")));
  EXPECT_FALSE(deleteFile(path("a.txt")));
  EXPECT_FALSE(deleteFile(path("sub")));  // folders are never deleted
  EXPECT_FALSE(deleteFile(path("ro.txt")));  // nor read-only files, as on Windows
  EXPECT_EQ((std::vector<std::string>{"ro.txt", "sub"}), nativeEntries(m_native));
}

TEST_F(Entries, RenameNeverReplaces) {
  putNative("a.txt", "A");
  putNative("b.txt", "B");
  ASSERT_TRUE(createFolder(path("dir")));
  EXPECT_FALSE(renameFile(path("a.txt"), path("b.txt")));
  EXPECT_FALSE(renameFile(path("a.txt"), path("dir")));
  EXPECT_FALSE(renameFile(path("dir"), path("a.txt")));
  EXPECT_EQ("A", readFile(path("a.txt")));
  EXPECT_EQ("B", readFile(path("b.txt")));
  EXPECT_TRUE(renameFile(path("a.txt"), path("a.txt")));  // onto itself
  EXPECT_EQ("A", readFile(path("a.txt")));
  ASSERT_EQ(0, link(native("b.txt").c_str(), native("hard.txt").c_str()));
  EXPECT_FALSE(renameFile(path("b.txt"), path("hard.txt")));  // a second link
  EXPECT_TRUE(renameFile(path("a.txt"), path(gbk("甲.txt"))));
  EXPECT_TRUE(renameFile(path(gbk("甲.txt")), path("dir\\a.txt")));  // a move
  EXPECT_TRUE(renameFile(path("dir"), path(gbk("文件夹"))));  // a folder
  EXPECT_EQ("A", readFile(path(gbk("文件夹\\a.txt"))));
  EXPECT_FALSE(renameFile(path("missing"), path("new")));
  EXPECT_FALSE(renameFile(path("b.txt"), path("missing\\b.txt")));
  EXPECT_EQ((std::vector<std::string>{"b.txt", "hard.txt", "文件夹"}),
            nativeEntries(m_native));
}

TEST_F(Entries, CreateFolderOneLevel) {
  EXPECT_TRUE(createFolder(path(gbk("新建"))));
  EXPECT_FALSE(createFolder(path(gbk("新建"))));
  EXPECT_FALSE(createFolder(path("a\\b")));
  EXPECT_FALSE(createFolder(""));
  EXPECT_EQ(kAttrFolder, fileAttributes(path(gbk("新建"))));
  EXPECT_EQ(std::vector<std::string>{"新建"}, nativeEntries(m_native));
}

}  // namespace
}  // namespace zanvo

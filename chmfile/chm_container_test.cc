#include "chmfile/chm_container.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chmfile/chm_internal_files.h"
#include "chmfile/hhc_test_util.h"
#include "chmfile/lzx_encoder.h"

namespace zanvo::chm {
namespace {

uint32_t le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

TEST(EncInt, BigEndianSevenBitGroups) {
  struct Case { uint64_t value; std::string bytes; };
  const Case cases[] = {
      {0, std::string(1, '\0')},
      {0x7F, "\x7F"},
      {0x80, std::string("\x81\x00", 2)},
      {0x3FFF, "\xFF\x7F"},
      {0x4000, std::string("\x81\x80\x00", 3)},
      {20000000, std::string("\x89\xC4\xDA\x00", 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::string out;
    appendEncInt(out, c.value);
    EXPECT_EQ(c.bytes, out);
  }
}

TEST(DirectoryOrder, FoldsAsciiToLowerCase) {
  // Readers search with a lower-case compare, so "_" (0x5F) sorts before
  // letters and "B" between "a" and "c".
  std::vector<std::string> names = {"/c.htm", "/B.htm", "/_x.htm", "/a.htm", "/#SYSTEM",
                                    "/A/b.htm", "/\xE4\xB8\xAD.htm", "::DataSpace/NameList"};
  std::sort(names.begin(), names.end(), directoryNameLess);
  const std::vector<std::string> expected = {"/", "/#SYSTEM", "/_x.htm", "/a.htm", "/A/b.htm",
                                             "/B.htm", "/c.htm", "/\xE4\xB8\xAD.htm",
                                             "::DataSpace/NameList"};
  names.insert(names.begin(), "/");
  EXPECT_EQ(expected, names);
  EXPECT_TRUE(directoryNamesEqual("/Index.HTM", "/index.htm"));
  EXPECT_FALSE(directoryNamesEqual("/index.htm", "/index.html"));
}

// Walks the listing chunks of a directory and checks what every reader
// relies on: chunk numbering, the chain, free-space accounting, entry
// counts and the quick-reference slots; returns the names in order.
std::vector<std::string> walkListing(const DirectoryLayout& dir) {
  const std::string& d = dir.bytes;
  EXPECT_EQ("ITSP", d.substr(0, 4));
  const uint32_t depth = le32(d, 0x18), root = le32(d, 0x1C);
  const uint32_t first = le32(d, 0x20), last = le32(d, 0x24), count = le32(d, 0x2C);
  EXPECT_EQ(0u, first);
  EXPECT_EQ(dir.listingChunks - 1, last);
  EXPECT_EQ(dir.listingChunks + dir.indexChunks, count);
  EXPECT_EQ(dir.listingChunks > 1 ? 2u : 1u, depth);
  EXPECT_EQ(dir.listingChunks > 1 ? count - 1 : 0xFFFFFFFFu, root);
  std::vector<std::string> names;
  for (uint32_t c = 0; c < dir.listingChunks; ++c) {
    const std::string chunk = d.substr(0x54 + c * 4096, 4096);
    EXPECT_EQ("PMGL", chunk.substr(0, 4));
    EXPECT_EQ(c == 0 ? 0xFFFFFFFFu : c - 1, le32(chunk, 12)) << "chunk " << c;
    EXPECT_EQ(c + 1 == dir.listingChunks ? 0xFFFFFFFFu : c + 1, le32(chunk, 16));
    const uint32_t freeSpace = le32(chunk, 4);
    const uint32_t entries = static_cast<uint8_t>(chunk[4094]) | static_cast<uint8_t>(chunk[4095]) << 8;
    // libmspack drops the quick-reference table unless it fits the area.
    EXPECT_LE(2 * ((entries + 4) / 5), freeSpace - 2);
    size_t p = 0x14;
    for (uint32_t e = 0; e < entries; ++e) {
      if (e > 0 && e % 5 == 0) {
        const size_t slot = 4094 - 2 * (e / 5);
        EXPECT_EQ(p - 0x14, static_cast<size_t>(static_cast<uint8_t>(chunk[slot]) |
                                                 static_cast<uint8_t>(chunk[slot + 1]) << 8));
      }
      auto encint = [&] {
        uint64_t v = 0;
        uint8_t b;
        do {
          b = static_cast<uint8_t>(chunk[p++]);
          v = (v << 7) | (b & 0x7F);
        } while (b & 0x80);
        return v;
      };
      const uint64_t len = encint();
      names.push_back(chunk.substr(p, len));
      p += len;
      encint();
      encint();
      encint();
    }
    EXPECT_EQ(4096u - p, freeSpace);
  }
  return names;
}

TEST(Directory, ChunksChainAndIndex) {
  for (int files : {1, 40, 3000}) {
    SCOPED_TRACE(files);
    std::vector<DirectoryEntry> entries;
    for (int i = 0; i < files; ++i)
      entries.push_back({"/pages/page" + std::to_string(100000 + i) + ".htm", 1,
                         static_cast<uint64_t>(i) * 1000, 1000});
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      return directoryNameLess(a.name, b.name);
    });
    const DirectoryLayout dir = buildDirectory(entries, 0x0804);
    EXPECT_EQ(0x54u + 4096u * (dir.listingChunks + dir.indexChunks), dir.bytes.size());
    EXPECT_EQ(files == 3000, dir.listingChunks > 1);
    EXPECT_EQ(dir.listingChunks > 1 ? 1u : 0u, dir.indexChunks);
    const std::vector<std::string> names = walkListing(dir);
    ASSERT_EQ(entries.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(entries[i].name, names[i]);
    if (dir.indexChunks) {
      EXPECT_EQ("PMGI", dir.bytes.substr(0x54 + 4096 * dir.listingChunks, 4));
    }
  }
}

// Section 1 lengths around the frame size, written with the container
// alone and read back by libmspack; the reset table must have one entry
// per frame start plus the compressed length after a whole last frame,
// and 7-Zip's count of (length + 0x8001) / 0x8000 or one more.  The
// section is padded to whole frames but never to a whole reset interval.
TEST(Container, SectionLengthsAroundFrames) {
  testing::TempFolder tmp;
  for (size_t size : {size_t{0}, size_t{1}, size_t{32767 - 300}, size_t{32767}, size_t{32768},
                      size_t{32769}, size_t{65535}, size_t{65536}, size_t{65537},
                      size_t{3 * 32768 + 32767}}) {
    SCOPED_TRACE(size);
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>("abcdefgh"[(i * 7 + i / 13) % 8]);
    ChmContainer c(0x0409);
    c.addStored("/#SYSTEM", std::string("\x03\0\0\0", 4));
    // The section holds exactly `size` bytes: one file, no internal files.
    c.addCompressed("/data.bin", data);
    const std::string book = c.build(LzxOptions{}, 0);
    const std::string path = tmp.path() + "/t.chm";
    testing::writeTestFile(path, book);
    testing::MspackBook read = testing::readWithMspack(path);
    ASSERT_EQ("", read.error);
    EXPECT_EQ(data, read.files["/data.bin"]);
    // 7-Zip checks that every frame it decodes uses up its bytes exactly.
    const testing::RunResult sevenZipRun = testing::runProgram({"7z", "t", path});
    EXPECT_EQ(0, sevenZipRun.exitCode) << sevenZipRun.out << sevenZipRun.err;
    const std::string rt = read.sysfiles[
        "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
        "InstanceData/ResetTable"];
    ASSERT_GE(rt.size(), 0x28u);
    const uint64_t length = le32(rt, 0x10);
    const uint32_t entries = le32(rt, 4);
    EXPECT_EQ(rt.size(), 0x28u + 8u * entries);
    EXPECT_EQ(length / 32768 + 1, entries);
    const uint64_t sevenZip = (length + 0x8001) / 0x8000;
    EXPECT_TRUE(entries == sevenZip || entries == sevenZip + 1);
    if (length % 32768 == 0) {
      EXPECT_EQ(le32(rt, 0x18), le32(rt, 0x28 + 8 * (entries - 1)));
    }
    EXPECT_EQ(0u, length % 32768) << "whole frames";
    EXPECT_NE(0u, length % 65536) << "never whole reset intervals";
    EXPECT_GT(length, size) << "the last file ends inside the last frame";
    EXPECT_LE(length - size, 2u * 32768);
  }
}

TEST(InternalFiles, StringsNeverCrossAPage) {
  StringTable t;
  std::vector<std::pair<uint32_t, std::string>> added;
  for (int i = 0; i < 400; ++i) {
    const std::string s(static_cast<size_t>(7 + i % 90), static_cast<char>('a' + i % 26));
    added.emplace_back(t.add(s + std::to_string(i)), s + std::to_string(i));
  }
  EXPECT_EQ(0u, t.add(""));
  EXPECT_EQ(added[5].first, t.add(added[5].second));
  for (const auto& [offset, s] : added) {
    EXPECT_EQ(offset / 4096, (offset + s.size()) / 4096) << s;
    EXPECT_EQ(s, std::string(t.bytes().c_str() + offset));
  }
}

TEST(InternalFiles, UrlHashMatchesReaders) {
  // Viewers find #URLTBL records by this hash; "\" and "/" hash alike.
  EXPECT_EQ(urlHash("ch1/a.htm"), urlHash("ch1\\a.htm"));
  EXPECT_NE(urlHash("a.htm"), urlHash("b.htm"));
  EXPECT_EQ(1u, urlHash(""));
  // Hand-computed: "a" is 0x61 - 0x50 = 0x11; "a/" is 0x11 * 43 + 0x2C.
  EXPECT_EQ(0x11u, urlHash("a"));
  EXPECT_EQ(0x11u * 43 + 0x2C, urlHash("a/"));
}

}  // namespace
}  // namespace zanvo::chm

#include "tools/utf8_gb2312.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <string>

#include "tools/test_support.h"

namespace zanvo {
namespace {

using testing::TempFolder;

struct Case {
  const char* name;
  std::string utf8;
  std::string expected;
};

void checkAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, utf8ToGb2312(c.utf8));
  }
}

// Each malformed sequence becomes one "?"; what counts as one sequence is
// Windows' reading (see utf8_gb2312.cc).  Valid neighbours survive intact.
TEST(Utf8ToGb2312, MalformedSequences) {
  checkAll({
      {"stray continuation byte", "A\x80" "B", "A?B"},
      {"two stray continuation bytes", "\xBF\xBF", "??"},
      {"C0 never starts a sequence", "\xC0\x80", "??"},
      {"C1 never starts a sequence", "\xC1\xBF" "A", "??A"},
      {"F5 never starts a sequence", "\xF5\x80\x80\x80", "????"},
      {"FE and FF", "\xFE\xFF", "??"},
      {"overlong three-byte form", "\xE0\x80\xAF", "??"},
      {"overlong three-byte form, top", "\xE0\x9F\xBF" "A", "??A"},
      {"overlong four-byte form", "\xF0\x80\x80\xAF", "???"},
      {"UTF-8 encoded high surrogate", "\xED\xA0\x80", "??"},
      {"UTF-8 encoded low surrogate", "\xED\xBF\xBF", "??"},
      {"surrogate pair in UTF-8", "\xED\xA0\xBD\xED\xB8\x80", "????"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "???"},
      {"two-byte lead then ASCII", "\xC3" "A", "?A"},
      {"three-byte lead then ASCII", "\xE4" "A", "?A"},
      {"three-byte sequence cut after two", "\xE4\xB8" "A", "?A"},
      {"four-byte sequence cut after three", "\xF0\x9F\x98" "A", "?A"},
      {"four-byte sequence cut after two", "\xF0\x9F" "A", "?A"},
      {"cut by the end of the content", "A\xE4\xB8", "A?"},
      {"four-byte cut by the end", "A\xF0\x9F\x98", "A?"},
      {"lead byte at the very end", "A\xC3", "A?"},
      {"cut sequence then a valid one", "\xE4\xB8\xE4\xB8\xAD", "?\xD6\xD0"},
      {"highest valid code point has no GBK form", "\xF4\x8F\xBF\xBF", "??"},
  });
}

TEST(Utf8ToGb2312, ValidText) {
  checkAll({
      {"empty", "", ""},
      {"pure ASCII is kept byte for byte", "<html>\r\n<b>x</b>\t~\x7F", "<html>\r\n<b>x</b>\t~\x7F"},
      {"Chinese", "中文网页", "\xD6\xD0\xCE\xC4\xCD\xF8\xD2\xB3"},
      {"mixed", "a中b", "a\xD6\xD0" "b"},
      {"precomposed e acute", "\xC3\xA9", "\xA8\xA6"},
      {"euro sign is the single byte 80", "\xE2\x82\xAC", "\x80"},
      {"private use maps to the user area", "\xEE\x80\x80", "\xAA\xA1"},
      {"compatibility ideograph keeps its own code", "\xEF\xA4\xAC", "\xFD\x9C"},
      {"long ASCII run then Chinese", std::string(37, 'x') + "中",
       std::string(37, 'x') + "\xD6\xD0"},
  });
}

// Base character + combining mark is merged into the precomposed character
// before encoding, as WC_COMPOSITECHECK does.
TEST(Utf8ToGb2312, CombiningMarks) {
  checkAll({
      {"e + acute", "e\xCC\x81", "\xA8\xA6"},
      {"a + grave", "a\xCC\x80", "\xA8\xA4"},
      {"u + diaeresis", "u\xCC\x88", "\xA8\xB9"},
      {"ka + voicing mark", "\xE3\x81\x8B\xE3\x82\x99", "\xA4\xAC"},
      {"in the middle of text", "caf" "e\xCC\x81" "!", "caf\xA8\xA6!"},
      {"mark without a precomposed form", "x\xCC\x81", "x?"},
      {"mark at the head of the text", "\xCC\x81" "a", "?a"},
      {"second mark is blocked", "e\xCC\x81\xCC\x81", "\xA8\xA6?"},
  });
}

TEST(Utf8ToGb2312, CharactersWithoutGbkForm) {
  checkAll({
      {"emoji: one ? per UTF-16 code unit", "A\xF0\x9F\x98\x80" "B", "A??B"},
      {"Hangul syllable", "\xEA\xB0\x80", "?"},
      {"zero width space is not dropped", "a\xE2\x80\x8B" "b", "a?b"},
      {"soft hyphen is not dropped", "a\xC2\xAD" "b", "a?b"},
      {"replacement character", "\xEF\xBF\xBD", "?"},
  });
}

TEST(Utf8ToGb2312, ByteOrderMarkAndZeroByte) {
  checkAll({
      {"BOM at the head is dropped", "\xEF\xBB\xBF" "A中", "A\xD6\xD0"},
      {"BOM alone", "\xEF\xBB\xBF", ""},
      {"BOM inside becomes ?", "A\xEF\xBB\xBF" "B", "A?B"},
      {"second BOM at the head becomes ?", "\xEF\xBB\xBF\xEF\xBB\xBF" "A", "?A"},
      {"cut at a zero byte", std::string("AB\0CD", 5), "AB"},
      {"cut at a zero byte after Chinese", std::string("中\0文", 7), "\xD6\xD0"},
      {"zero byte ends a cut sequence", std::string("A\xE4\xB8\0B", 5), "A?"},
      {"zero byte first", std::string("\0ABC", 4), ""},
  });
}

// Every double-byte character of code page 936 survives the way back from
// its UTF-8 form: the decoder and the encoder agree with the code page's own
// table for all of them, not only for the samples above.
TEST(Utf8ToGb2312, EveryDoubleByteCharacterRoundTrips) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* cnv = ucnv_open("windows-936-2000", &error);
  ASSERT_TRUE(U_SUCCESS(error));
  std::string gbk, utf8;
  int count = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      UChar u[4];
      error = U_ZERO_ERROR;
      int32_t n = ucnv_toUChars(cnv, u, 4, bytes, 2, &error);
      if (U_FAILURE(error) || n != 1 || u[0] == 0xFFFD || u[0] == 0x1A) continue;
      // Only pairs that map back to themselves (no one-way fallbacks).
      char back[4];
      error = U_ZERO_ERROR;
      int32_t m = ucnv_fromUChars(cnv, back, 4, u, 1, &error);
      if (U_FAILURE(error) || m != 2 || back[0] != bytes[0] || back[1] != bytes[1])
        continue;
      char u8[4];
      error = U_ZERO_ERROR;
      int32_t k = 0;
      u_strToUTF8(u8, 4, &k, u, 1, &error);
      gbk.append(bytes, 2);
      utf8.append(u8, static_cast<size_t>(k));
      ++count;
    }
  }
  ucnv_close(cnv);
  EXPECT_GT(count, 21000);  // GBK has 21,886 double-byte characters
  EXPECT_EQ(gbk, utf8ToGb2312(utf8));
}

TEST(ConvertFolderToGb2312, WritesCopiesAndLeavesSources) {
  TempFolder dir;
  const std::string page = "<p>中文</p>";
  dir.write("a.htm", page);
  dir.write("B.HTM", "\xEF\xBB\xBF" "<p>大写</p>");
  dir.write("c.txt", "文本");
  dir.write("empty.htm", "");
  dir.write("sub/d.htm", "子目录");
  dir.write("处理后/a.htm", "old copy, replaced");
  dir.write("处理后/keep.htm", "unrelated");

  BatchReport report = convertFolderToGb2312(dir.text(), ".htm");

  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(3, report.done);
  EXPECT_EQ("<p>\xD6\xD0\xCE\xC4</p>", dir.read("处理后/a.htm"));
  // The suffix matches without regard to case; the BOM is gone.
  EXPECT_EQ("<p>\xB4\xF3\xD0\xB4</p>", dir.read("处理后/B.HTM"));
  EXPECT_TRUE(dir.exists("处理后/empty.htm"));
  EXPECT_EQ("", dir.read("处理后/empty.htm"));
  EXPECT_FALSE(dir.exists("处理后/c.txt"));
  EXPECT_FALSE(dir.exists("处理后/d.htm"));
  EXPECT_FALSE(dir.exists("处理后/sub"));
  EXPECT_EQ("unrelated", dir.read("处理后/keep.htm"));
  // Sources untouched.
  EXPECT_EQ(page, dir.read("a.htm"));
  EXPECT_EQ("文本", dir.read("c.txt"));
  EXPECT_EQ("子目录", dir.read("sub/d.htm"));
}

TEST(ConvertFolderToGb2312, EmptySuffixAndDoubledSeparator) {
  TempFolder dir;
  dir.write("a.htm", "甲");
  dir.write("b.txt", "乙");
  // A folder text ending in "\" gives a doubled separator, read as one.
  BatchReport report = convertFolderToGb2312(dir.text() + "\\", "");
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ("\xBC\xD7", dir.read("处理后/a.htm"));
  EXPECT_EQ("\xD2\xD2", dir.read("处理后/b.txt"));
}

TEST(ConvertFolderToGb2312, MissingFolderWritesNothing) {
  TempFolder dir;
  BatchReport report = convertFolderToGb2312(dir.text() + "\\missing", ".htm");
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(0, report.done);
  EXPECT_TRUE(dir.names().empty());
}

TEST(ConvertFolderToGb2312, UnwritableCopiesAreReported) {
  TempFolder dir;
  dir.write("a.htm", "甲");
  dir.write("处理后", "a file where the output folder should be");
  BatchReport report = convertFolderToGb2312(dir.text(), ".htm");
  ASSERT_EQ(1u, report.problems.size());
  EXPECT_EQ("甲", dir.read("a.htm"));
}

}  // namespace
}  // namespace zanvo

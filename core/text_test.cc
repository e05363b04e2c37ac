#include "core/text.h"

#include <gtest/gtest.h>

#include "core/files.h"

namespace zanvo {
namespace {

// Two-byte characters whose second byte looks like ASCII: B1 5C is a GBK
// character whose second byte is "\"; 81 41 has an "A" for its second byte.
const Text kSlashTrail = "\xB1\x5C";
const Text kLetterTrail = "\x81\x41";

TEST(TextParts, CountBytesAndClamp) {
  const Text t = "ab" + gbk("中") + "c";  // 5 bytes
  EXPECT_EQ(5, textLength(t));
  EXPECT_EQ(0, textLength(""));
  EXPECT_EQ("ab\xD6", leftPart(t, 3));  // may cut a character
  EXPECT_EQ("", leftPart(t, 0));
  EXPECT_EQ("", leftPart(t, -2));
  EXPECT_EQ(t, leftPart(t, 99));
  EXPECT_EQ("\xD0" "c", rightPart(t, 2));
  EXPECT_EQ(t, rightPart(t, 99));
  EXPECT_EQ("", rightPart(t, -1));
  EXPECT_EQ("b\xD6", midPart(t, 2, 2));
  EXPECT_EQ("c", midPart(t, 5, 10));
  EXPECT_EQ("", midPart(t, 0, 2));
  EXPECT_EQ("", midPart(t, 6, 1));
  EXPECT_EQ("", midPart(t, 1, 0));
}

TEST(FindText, Cases) {
  struct Case {
    const char* name;
    Text t, s;
    int64_t start;
    bool ignoreCase;
    int64_t expected;
  };
  const Case cases[] = {
      {"plain", "a.htm", ".htm", 1, false, 2},
      {"case ignored", "a.HTM", ".htm", 1, true, 2},
      {"case counts", "a.HTM", ".htm", 1, false, -1},
      {"start skips first", "abab", "ab", 2, false, 3},
      {"start below 1", "abab", "ab", -5, false, 1},
      {"start at last byte", "abab", "b", 4, false, 4},
      {"start beyond end", "abab", "a", 5, false, -1},
      {"empty s", "abc", "", 3, false, 1},
      {"empty s, start beyond", "abc", "", 4, false, -1},
      {"empty t", "", "a", 1, false, -1},
      {"s longer than t", "ab", "abc", 1, false, -1},
      {"second byte 5C is not a backslash", kSlashTrail, "\\", 1, false, -1},
      {"backslash after 5C character", kSlashTrail + "\\", "\\", 1, false, 3},
      {"second byte A not matched", kLetterTrail + "a", "A", 1, false, -1},
      {"second byte A not matched, case ignored", kLetterTrail + "xa", "a", 1,
       true, 4},
      {"run of high bytes", "\xB0\xA1\xB0\xA1\xB0\xA1", "\xA1\xB0", 1, false,
       -1},
      {"run of high bytes, aligned", "\xB0\xA1\xA1\xB0", "\xA1\xB0", 1, false,
       3},
      {"high byte at end is one character", "a\xB1", "\xB1", 1, false, 2},
      {"only folding ASCII", "\xC1", "\xE1", 1, true, -1},
      {"Chinese", gbk("第一章 第二章"), gbk("第二"), 1, false, 8},
      {"Chinese case ignored", gbk("第一章ABC"), "abc", 1, true, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, findText(c.t, c.s, c.start, c.ignoreCase));
  }
}

TEST(FindText, StepsFromStartEvenInsideCharacter) {
  // The scan begins where it is told: started on a second byte, that byte is
  // taken as a character of its own.
  EXPECT_EQ(2, findText(kSlashTrail, "\\", 2));
}

TEST(FindLastText, Cases) {
  struct Case {
    const char* name;
    Text t, s;
    bool ignoreCase;
    int64_t expected;
  };
  const Case cases[] = {
      {"last of several", "a\\b\\c", "\\", false, 4},
      {"none", "abc", "\\", false, -1},
      {"second byte 5C skipped", "a\\" + kSlashTrail, "\\", false, 2},
      {"only a 5C character", "dir" + kSlashTrail, "\\", false, -1},
      {"overlapping occurrences", "aaaa", "aa", false, 3},
      {"case ignored", "x.HTM.htm.Htm", ".htm", true, 10},
      {"empty s", "abc", "", false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, findLastText(c.t, c.s, c.ignoreCase));
  }
}

TEST(ReplaceText, Cases) {
  struct Case {
    const char* name;
    Text t, s, r;
    int64_t start, count;
    bool matchCase;
    Text expected;
  };
  const Case cases[] = {
      {"no overlap", "aaa", "aa", "b", 1, kAllOccurrences, true, "ba"},
      {"all", "a.b.c", ".", "\\", 1, kAllOccurrences, true, "a\\b\\c"},
      {"remove", "a.b.c", ".", "", 1, kAllOccurrences, true, "abc"},
      {"count 1", "a.b.c", ".", "-", 1, 1, true, "a-b.c"},
      {"count 0", "a.b.c", ".", "-", 1, 0, true, "a.b.c"},
      {"start keeps bytes before", "a.b.c", ".", "-", 3, kAllOccurrences, true,
       "a.b-c"},
      {"start below 1", "a.b", ".", "-", -3, kAllOccurrences, true, "a-b"},
      {"start beyond end", "a.b", ".", "-", 4, kAllOccurrences, true, "a.b"},
      {"empty t", "", ".", "-", 1, kAllOccurrences, true, ""},
      {"empty s", "abc", "", "-", 1, kAllOccurrences, true, "abc"},
      {"inserted text not searched again", "ab", "a", "aa", 1, kAllOccurrences,
       true, "aab"},
      {"case ignored", "x.HTM y.htm", ".htm", ".txt", 1, kAllOccurrences,
       false, "x.txt y.txt"},
      {"case counts", "x.HTM y.htm", ".htm", ".txt", 1, kAllOccurrences, true,
       "x.HTM y.txt"},
      {"5C character stays whole", "a\\" + kSlashTrail + "\\", "\\", "/", 1,
       kAllOccurrences, true, "a/" + kSlashTrail + "/"},
      {"trailing backslash only", "dir\\sub\\", "\\", "", 8, kAllOccurrences,
       true, "dir\\sub"},
      {"trailing 5C character kept", "dir\\" + kSlashTrail, "\\", "", 6,
       kAllOccurrences, true, "dir\\" + kSlashTrail},
      {"Chinese", gbk("第1章第2章"), gbk("章"), gbk("节"), 1, kAllOccurrences,
       true, gbk("第1节第2节")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected,
              replaceText(c.t, c.s, c.r, c.start, c.count, c.matchCase));
  }
}

TEST(SplitText, Cases) {
  using V = std::vector<Text>;
  struct Case {
    const char* name;
    Text t, sep;
    V expected;
  };
  const Case cases[] = {
      {"two lines", "a\r\nb", "\r\n", V{"a", "b"}},
      {"last empty piece dropped", "a\r\n", "\r\n", V{"a"}},
      {"empty piece inside", "a\r\n\r\nb", "\r\n", V{"a", "", "b"}},
      {"empty first piece", "\r\nb", "\r\n", V{"", "b"}},
      {"only separators", "\r\n\r\n", "\r\n", V{"", ""}},
      {"empty text", "", "\r\n", V{}},
      {"empty separator", "abc", "", V{"abc"}},
      {"no separator", "abc", ",", V{"abc"}},
      {"second byte 5C is no separator", "a\\" + kSlashTrail + "\\b", "\\",
       V{"a", kSlashTrail, "b"}},
      {"case counts", "aXbxc", "x", V{"aXb", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, splitText(c.t, c.sep));
  }
}

TEST(Trim, BlanksAreSpaceAndFullWidthSpace) {
  const Text fw = "\xA1\xA1";  // the full-width blank
  struct Case {
    const char* name;
    Text t, end, both;
  };
  const Case cases[] = {
      {"mixed at end", "ab " + fw + " ", "ab", "ab"},
      {"mixed at both ends", fw + " x y " + fw, fw + " x y", "x y"},
      {"CR LF kept", "ab \r\n", "ab \r\n", "ab \r\n"},
      {"tab kept", "\tab\t", "\tab\t", "\tab\t"},
      {"only blanks", " " + fw + " ", "", ""},
      {"empty", "", "", ""},
      // B0 A1 is a character: its second byte A1 and a following lone A1 are
      // not a full-width blank.
      {"A1 as second byte", "\xB0\xA1\xA1", "\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      {"character then full-width blank", "\xB0\xA1" + fw, "\xB0\xA1",
       "\xB0\xA1"},
      {"character then blank", gbk("中") + " ", gbk("中"), gbk("中")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.end, trimEnd(c.t));
    EXPECT_EQ(c.both, trimBoth(c.t));
  }
}

TEST(NumberText, Decimal) {
  EXPECT_EQ("7", numberText(7));
  EXPECT_EQ("2015", numberText(2015));
  EXPECT_EQ("0", numberText(0));
  EXPECT_EQ("-12", numberText(-12));
  EXPECT_EQ("-9223372036854775808", numberText(INT64_MIN));
}

TEST(Bytes, Conversions) {
  EXPECT_EQ("ab", textOfBytes(Bytes("ab\0cd", 5)));
  EXPECT_EQ("", textOfBytes(Bytes("\0ab", 3)));
  EXPECT_EQ("abc", textOfBytes("abc"));
  EXPECT_EQ(Bytes("abc"), bytesOfText("abc"));
  EXPECT_TRUE(bytesOfText("").empty());
}

TEST(ReplaceBytes, Cases) {
  struct Case {
    const char* name;
    Bytes b, s, r, expected;
  };
  const Case cases[] = {
      {"no overlap", "aaa", "aa", "b", "ba"},
      {"remove", "a\r\nb\r\n", "\r\n", "", "ab"},
      {"zero bytes", Bytes("a\0b\0", 4), Bytes("\0", 1), "-", "a-b-"},
      // Bytes are not characters: a second byte 5C is replaced too.
      {"no character stepping", kSlashTrail, "\\", "/", "\xB1/"},
      {"empty s", "abc", "", "x", "abc"},
      {"empty b", "", "a", "x", ""},
      {"grows", "a,b,c", ",", ", ", "a, b, c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, replaceBytes(c.b, c.s, c.r));
  }
}

TEST(CodePage, GbkLiteralsAreCodePage936) {
  EXPECT_EQ("\xD0\xC5\xCF\xA2\xA3\xBA", gbk("信息："));
  EXPECT_EQ("abc", gbk("abc"));
  EXPECT_EQ("\x80", gbk("€"));  // the euro as code page 936 has it
  EXPECT_EQ("\x81\x5C", gbk("乗"));  // U+4E57 (a GBK character, trail 5C)
  EXPECT_EQ("\x94\x39\xFC\x36", gbk("😀"));  // outside GBK: four bytes
}

TEST(CodePage, TextAndUtf8) {
  struct Case {
    const char* name;
    Text text;
    std::string utf8;
  };
  const Case cases[] = {
      {"ascii", "a\\b", "a\\b"},
      {"Chinese", "\xD6\xD0\xCE\xC4", "中文"},
      {"trail 5C", "\x81\x5C", "乗"},
      {"euro", "\x80", "€"},
      {"four-byte", "\x94\x39\xFC\x36", "😀"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.utf8, utf8OfText(c.text));
    EXPECT_EQ(c.text, textOfUtf8(c.utf8));
  }
  // GB18030's own euro also reads as the euro.
  EXPECT_EQ("€", utf8OfText("\xA2\xE3"));
  // Bytes that do not decode become U+FFFD, and the rest survives.
  EXPECT_EQ("a\xEF\xBF\xBD" "b", utf8OfText("a\xFF" "b"));
  EXPECT_EQ("\xEF\xBF\xBD", utf8OfText("\xB1"));
  EXPECT_EQ("x\x84\x31\xA4\x37y", textOfUtf8("x\xC3y"));
}

}  // namespace
}  // namespace zanvo

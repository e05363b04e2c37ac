// Texts and byte arrays, and the operations every page uses on them.
//
// A Text is a byte string in code page 936 (GB2312/GBK) that holds no zero
// byte; an absent text and the empty text are the same value.  Bytes is a
// counted byte array that may hold zero bytes; whole files are read and
// written as Bytes.  Positions are 1-based byte positions, lengths are byte
// counts.
//
// Searches step over two-byte characters: a byte of 0x80 or above followed
// by a non-zero byte is one character with that byte, so a match never
// starts on the second byte of a character (which may look like "\" or an
// ASCII letter).  The test is the plain high bit, not the code page's table
// of lead bytes.  Where case is ignored, only ASCII A-Z/a-z are folded.
#ifndef ZANVO_CORE_TEXT_H_
#define ZANVO_CORE_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zanvo {

using Text = std::string;
using Bytes = std::string;

// Code page 936 form of a UTF-8 literal; the way source code spells the
// program's fixed Chinese texts.  Characters without a code page 936 form
// are encoded as GB18030 four-byte sequences (they never occur in the
// program's own texts).
Text gbk(std::string_view utf8);

int64_t textLength(const Text& t);
Text leftPart(const Text& t, int64_t n);
Text rightPart(const Text& t, int64_t n);
Text midPart(const Text& t, int64_t start, int64_t n);

// Position of the first occurrence of s that begins at or after start, or -1.
// The scan steps by characters from start, which callers give as the start
// of a character (1, or the position behind an earlier occurrence).
// A start below 1 counts as 1; a start beyond the end gives -1.  An empty s
// gives 1 when the range from start to the end is not empty, else -1.
int64_t findText(const Text& t, const Text& s, int64_t start = 1,
                 bool ignoreCase = false);
// Position of the last occurrence of s in t, or -1.
int64_t findLastText(const Text& t, const Text& s, bool ignoreCase = false);

inline constexpr int64_t kAllOccurrences = -1;
// Replaces occurrences of s by r from position start on, scanning left to
// right with character stepping and without overlap; at most count of them
// (kAllOccurrences: every one).  The bytes before start are kept as they
// are; characters are counted from the start of t, so when start falls on
// the second byte of a character the scan begins with the next character
// (replacing "\" from the last byte on removes a final "\" but never the
// second byte 5C of a final character).  t is returned unchanged when t or
// s is empty or start - 1 >= length.
Text replaceText(const Text& t, const Text& s, const Text& r = Text(),
                 int64_t start = 1, int64_t count = kAllOccurrences,
                 bool matchCase = true);

// Pieces of t between occurrences of separator (compared byte for byte,
// with character stepping).  Empty pieces count, except a last one: "a\r\n"
// split at "\r\n" gives one piece.  An empty t gives none; an empty
// separator gives t itself.
std::vector<Text> splitText(const Text& t, const Text& separator);

// Blanks are the ASCII blank and the full-width blank (A1 A1), in any mix;
// tabs and line breaks are not blanks.
Text trimEnd(const Text& t);
Text trimBoth(const Text& t);

Text numberText(int64_t n);

Bytes bytesOfText(const Text& t);
// The bytes of b up to, not including, the first zero byte.
Text textOfBytes(const Bytes& b);
// Every occurrence of s replaced by r, byte for byte, left to right, without
// overlap and without character stepping; b unchanged when b or s is empty.
Bytes replaceBytes(const Bytes& b, const Bytes& s, const Bytes& r);

// Length of the character that starts at byte index i (0-based) of t: 2 for
// a byte with the high bit set followed by a non-zero byte, else 1.
inline size_t charLength(std::string_view t, size_t i) {
  return (static_cast<unsigned char>(t[i]) >= 0x80 && i + 1 < t.size() &&
          t[i + 1] != '\0')
             ? 2
             : 1;
}

}  // namespace zanvo

#endif  // ZANVO_CORE_TEXT_H_

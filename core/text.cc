// Text and byte operations.  Every search steps over two-byte characters
// (see text.h); the case-sensitive ones find candidates with memmem and then
// check that the candidate starts a character, which keeps them linear and
// fast on long texts.
#include "core/text.h"

#include <cstring>

namespace zanvo {
namespace {

using uchar = unsigned char;

constexpr size_t kNone = static_cast<size_t>(-1);

inline uchar foldByte(char c) {
  uchar u = static_cast<uchar>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<uchar>(u + ('a' - 'A')) : u;
}

inline bool equalFolded(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (foldByte(a[i]) != foldByte(b[i])) return false;
  }
  return true;
}

// True when byte index p starts a character, given that `known` (<= p) does.
// Any byte below 0x80 ends a character (it is either a one-byte character or
// the second byte of a two-byte one), so the byte after the last such byte
// before p starts a character; from there on every byte is high and they pair
// up, which makes p a start exactly when it lies an even distance away.  A
// zero byte at p is never a second byte.
inline bool startsCharacter(std::string_view t, size_t known, size_t p) {
  size_t k = p;
  while (k > known && static_cast<uchar>(t[k - 1]) >= 0x80) --k;
  return ((p - k) % 2 == 0) || t[p] == '\0';
}

// Index of the first occurrence of s that starts a character at or after
// `from`, which must itself start a character; kNone when there is none.
size_t findFrom(std::string_view t, std::string_view s, size_t from,
                bool ignoreCase) {
  const size_t n = t.size();
  const size_t m = s.size();
  if (m == 0 || from >= n || n - from < m) return kNone;
  if (!ignoreCase) {
    size_t known = from;
    while (known <= n - m) {
      const void* hit = memmem(t.data() + known, n - known, s.data(), m);
      if (hit == nullptr) return kNone;
      size_t p = static_cast<size_t>(static_cast<const char*>(hit) - t.data());
      if (startsCharacter(t, known, p)) return p;
      // p is the second byte of a character, so p + 1 starts the next one.
      known = p + 1;
    }
    return kNone;
  }
  const uchar first = foldByte(s[0]);
  for (size_t i = from; i + m <= n; i += charLength(t, i)) {
    if (foldByte(t[i]) == first && equalFolded(t.data() + i, s.data(), m))
      return i;
  }
  return kNone;
}

bool isBlankAt(std::string_view t, size_t i, size_t len) {
  return (len == 1 && t[i] == ' ') ||
         (len == 2 && static_cast<uchar>(t[i]) == 0xA1 &&
          static_cast<uchar>(t[i + 1]) == 0xA1);
}

// Index just past the last character of t that is not a blank.
size_t endWithoutBlanks(std::string_view t) {
  size_t k = t.size();
  while (k > 0 && (t[k - 1] == ' ' || static_cast<uchar>(t[k - 1]) == 0xA1)) --k;
  if (k == t.size()) return k;
  // The tail [k, size) looks blank byte by byte; walk it by characters from a
  // known character start so that an A1 that is a second byte stays.
  size_t b = k;
  while (b > 0 && static_cast<uchar>(t[b - 1]) >= 0x80) --b;
  size_t end = b;
  for (size_t i = b; i < t.size();) {
    size_t len = charLength(t, i);
    if (!(i >= k && isBlankAt(t, i, len))) end = i + len;
    i += len;
  }
  return end;
}

}  // namespace

int64_t textLength(const Text& t) { return static_cast<int64_t>(t.size()); }

Text leftPart(const Text& t, int64_t n) {
  if (n <= 0) return Text();
  return t.substr(0, static_cast<size_t>(std::min<int64_t>(n, textLength(t))));
}

Text rightPart(const Text& t, int64_t n) {
  if (n <= 0) return Text();
  size_t k = static_cast<size_t>(std::min<int64_t>(n, textLength(t)));
  return t.substr(t.size() - k);
}

Text midPart(const Text& t, int64_t start, int64_t n) {
  if (start < 1 || start > textLength(t) || n <= 0) return Text();
  return t.substr(static_cast<size_t>(start - 1),
                  static_cast<size_t>(std::min<int64_t>(n, textLength(t))));
}

int64_t findText(const Text& t, const Text& s, int64_t start, bool ignoreCase) {
  if (start < 1) start = 1;
  if (start > textLength(t)) return -1;
  if (s.empty()) return 1;
  size_t p = findFrom(t, s, static_cast<size_t>(start - 1), ignoreCase);
  return p == kNone ? -1 : static_cast<int64_t>(p) + 1;
}

int64_t findLastText(const Text& t, const Text& s, bool ignoreCase) {
  if (s.empty() || t.empty()) return -1;
  int64_t last = -1;
  size_t p = findFrom(t, s, 0, ignoreCase);
  while (p != kNone) {
    last = static_cast<int64_t>(p) + 1;
    // Occurrences may overlap here: look again from the next character.
    p = findFrom(t, s, p + charLength(t, p), ignoreCase);
  }
  return last;
}

Text replaceText(const Text& t, const Text& s, const Text& r, int64_t start,
                 int64_t count, bool matchCase) {
  if (start < 1) start = 1;
  if (t.empty() || s.empty() || start - 1 >= textLength(t) || count == 0)
    return t;
  size_t from = static_cast<size_t>(start - 1);
  // A start on the second byte of a character moves to the next character:
  // removing a "\" at the very end of a path (start at the last byte) must
  // not cut a character whose second byte is 5C.
  if (!startsCharacter(t, 0, from)) ++from;
  size_t p = findFrom(t, s, from, !matchCase);
  if (p == kNone) return t;
  Text out;
  out.reserve(r.size() > s.size() ? t.size() + (t.size() / 8) + r.size()
                                  : t.size());
  size_t copied = 0;
  int64_t done = 0;
  while (p != kNone) {
    out.append(t, copied, p - copied);
    out += r;
    copied = p + s.size();
    if (count != kAllOccurrences && ++done >= count) break;
    // The bytes after an occurrence start a character: the scan had reached
    // p by characters and continues from behind the occurrence.
    p = findFrom(t, s, copied, !matchCase);
  }
  out.append(t, copied, Text::npos);
  return out;
}

std::vector<Text> splitText(const Text& t, const Text& separator) {
  std::vector<Text> pieces;
  if (t.empty()) return pieces;
  if (separator.empty()) {
    pieces.push_back(t);
    return pieces;
  }
  size_t from = 0;
  size_t p = findFrom(t, separator, 0, false);
  while (p != kNone) {
    pieces.emplace_back(t, from, p - from);
    from = p + separator.size();
    p = findFrom(t, separator, from, false);
  }
  if (from < t.size()) pieces.emplace_back(t, from, Text::npos);
  return pieces;
}

Text trimEnd(const Text& t) { return t.substr(0, endWithoutBlanks(t)); }

Text trimBoth(const Text& t) {
  size_t i = 0;
  while (i < t.size()) {
    size_t len = charLength(t, i);
    if (!isBlankAt(t, i, len)) break;
    i += len;
  }
  std::string_view rest(t.data() + i, t.size() - i);
  return Text(rest.substr(0, endWithoutBlanks(rest)));
}

Text numberText(int64_t n) { return std::to_string(n); }

Bytes bytesOfText(const Text& t) { return t; }

Text textOfBytes(const Bytes& b) {
  const void* zero = std::memchr(b.data(), 0, b.size());
  if (zero == nullptr) return b;
  return b.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - b.data()));
}

Bytes replaceBytes(const Bytes& b, const Bytes& s, const Bytes& r) {
  if (b.empty() || s.empty()) return b;
  const void* hit = memmem(b.data(), b.size(), s.data(), s.size());
  if (hit == nullptr) return b;
  Bytes out;
  out.reserve(r.size() > s.size() ? b.size() + b.size() / 8 + r.size()
                                  : b.size());
  size_t copied = 0;
  while (hit != nullptr) {
    size_t p = static_cast<size_t>(static_cast<const char*>(hit) - b.data());
    out.append(b, copied, p - copied);
    out += r;
    copied = p + s.size();
    hit = copied < b.size()
              ? memmem(b.data() + copied, b.size() - copied, s.data(), s.size())
              : nullptr;
  }
  out.append(b, copied, Bytes::npos);
  return out;
}

}  // namespace zanvo

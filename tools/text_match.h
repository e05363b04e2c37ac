// Byte matching shared by the batch tools.  Not part of the library's
// interface.
#ifndef ZANVO_TOOLS_TEXT_MATCH_H_
#define ZANVO_TOOLS_TEXT_MATCH_H_

#include <cstddef>

#include "core/text.h"

namespace zanvo {

inline char foldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the bytes of t at i equal s, ASCII letters compared without
// regard to case, all other bytes exactly.
inline bool matchesAt(const Text& t, size_t i, const Text& s) {
  if (t.size() - i < s.size()) return false;
  for (size_t k = 0; k < s.size(); ++k) {
    if (foldAscii(t[i + k]) != foldAscii(s[k])) return false;
  }
  return true;
}

// Index of the first occurrence of s in t that starts at from or later, or
// Text::npos.  The scan starts at from and steps over two-byte characters
// whole, so a match never starts on a second byte.  s must not be empty.
inline size_t findFolded(const Text& t, const Text& s, size_t from) {
  size_t i = from;
  while (i < t.size()) {
    if (matchesAt(t, i, s)) return i;
    i += charLength(t, i);
  }
  return Text::npos;
}

}  // namespace zanvo

#endif  // ZANVO_TOOLS_TEXT_MATCH_H_

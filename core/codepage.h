// Conversions between the program's texts (code page 936, read and written
// as GB18030, which covers all of Unicode) and UTF-8, shared by the file,
// process and view edges of core.  Not for use outside core/.
//
// Two choices apply to every conversion:
// - The euro sign is the single byte 0x80, as code page 936 has it (GB18030
//   has no single byte 0x80 and spells the euro A2 E3, which also decodes to
//   the euro).  Texts made on Windows hold 0x80, and the program's own texts
//   then agree with them.
// - In the lossless path form, a byte of a file-system name that is not part
//   of valid UTF-8 (and a "\" that is part of a name rather than a
//   separator) is carried as a four-byte sequence FE 39 xx yy that GB18030
//   leaves unassigned (its value lies beyond U+10FFFF): xx = 0x81 + v / 10,
//   yy = 0x30 + v % 10, where v is byte - 0x80 for the bytes 0x80-0xFF and
//   128 for "\".  Decoding in the same form gives the original byte back, so
//   every name read from a folder can be opened, renamed and deleted again.
#ifndef ZANVO_CORE_CODEPAGE_H_
#define ZANVO_CORE_CODEPAGE_H_

#include <string>
#include <string_view>

namespace zanvo::codepage {

enum class Form {
  kText,  // bytes that do not convert become U+FFFD
  kPath,  // lossless as above, and "\" (text) <-> "/" (UTF-8)
};

std::string utf8FromGb(std::string_view gb, Form form);
std::string gbFromUtf8(std::string_view utf8, Form form);

}  // namespace zanvo::codepage

#endif  // ZANVO_CORE_CODEPAGE_H_

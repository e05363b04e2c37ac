// Conversions between the project's code page (936, read as GB18030, its
// superset that covers all of Unicode) and UTF-8.  The engine needs them at
// two edges only: file names from the project must be opened on a UTF-8
// file system and stored as UTF-8 in the CHM directory, and numeric
// character references in a sitemap must become code page bytes again.
#ifndef ZANVO_CHMFILE_CODE_PAGE_H_
#define ZANVO_CHMFILE_CODE_PAGE_H_

#include <optional>
#include <string>
#include <string_view>

namespace zanvo::chm {

// UTF-8 form of code page 936 / GB18030 bytes; nullopt when a byte sequence
// does not decode.
std::optional<std::string> utf8FromGb18030(std::string_view bytes);
// GB18030 bytes of UTF-8 text (every Unicode character has a form);
// nullopt when the input is not valid UTF-8.
std::optional<std::string> gb18030FromUtf8(std::string_view utf8);

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_CODE_PAGE_H_

// The C library's iconv does the work, so the engine library needs no ICU.
#include "chmfile/code_page.h"

#include <iconv.h>

#include <cerrno>

namespace zanvo::chm {
namespace {

std::optional<std::string> convert(const char* to, const char* from,
                                   std::string_view in) {
  bool ascii = true;
  for (char c : in) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  // ASCII is the same in both forms; most names are plain ASCII.
  if (ascii) return std::string(in);
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::optional<std::string> utf8FromGb18030(std::string_view bytes) {
  return convert("UTF-8", "GB18030", bytes);
}

std::optional<std::string> gb18030FromUtf8(std::string_view utf8) {
  return convert("GB18030", "UTF-8", utf8);
}

}  // namespace zanvo::chm

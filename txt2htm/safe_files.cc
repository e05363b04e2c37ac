#include "txt2htm/safe_files.h"

#include <filesystem>
#include <system_error>

#include "core/files.h"

namespace zanvo {
namespace fs = std::filesystem;

bool isPlainFile(const Text& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(fs::path(nativePath(path)), ec);
}

int64_t fileSize(const Text& path) {
  if (path.empty()) return -1;
  std::error_code ec;
  const uintmax_t size = fs::file_size(fs::path(nativePath(path)), ec);
  if (ec) return -1;
  return static_cast<int64_t>(size);
}

bool sameFile(const Text& a, const Text& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  const bool same =
      fs::equivalent(fs::path(nativePath(a)), fs::path(nativePath(b)), ec);
  return !ec && same;
}

bool readWhole(const Text& path, Bytes& out) {
  out = readFile(path);
  // readFile answers an unreadable file with nothing, as it does an empty
  // one; only the size tells them apart.
  return !out.empty() || fileSize(path) <= 0;
}

bool writeVerified(const Text& path, const Bytes& b) {
  if (!writeFile(path, b)) return false;
  if (b.empty()) return fileSize(path) == 0;
  return readFile(path) == b;
}

Text displayPath(const Text& path) { return textOfUtf8(nativePath(path)); }

}  // namespace zanvo

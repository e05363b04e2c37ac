#include <sys/stat.h>

#include "app/executable.h"
#include "core/files.h"

namespace zanvo {

bool markExecutable(const Text& path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (native.empty() || ::stat(native.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  // Whoever may read the file may run it.
  if (mode & S_IRUSR) mode |= S_IXUSR;
  if (mode & S_IRGRP) mode |= S_IXGRP;
  if (mode & S_IROTH) mode |= S_IXOTH;
  return ::chmod(native.c_str(), mode) == 0;
}

}  // namespace zanvo

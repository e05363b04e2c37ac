// Files and folders on POSIX, behaving as the Windows calls that the page
// logic was written against: whole writes, renames that never replace,
// wildcard listings in NTFS order, and attribute bits made up from modes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>

#include "core/codepage.h"
#include "core/files.h"

namespace zanvo {
namespace {

using uchar = unsigned char;

int retryClose(int fd) { return close(fd); }  // close is never retried on Linux

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Whether the mode bits let this process write the entry.  The bits are read
// the way a user sees them, even when running as root (for whom access(2)
// says yes to everything), so that a file marked read-only stays read-only.
bool writableByUs(const struct stat& st) {
  if (st.st_uid == geteuid()) return (st.st_mode & S_IWUSR) != 0;
  if (st.st_gid == getegid()) return (st.st_mode & S_IWGRP) != 0;
  return (st.st_mode & S_IWOTH) != 0;
}

// The last part of a native path, ignoring separators at its end.
std::string_view lastPart(std::string_view p) {
  while (p.size() > 1 && p.back() == '/') p.remove_suffix(1);
  size_t slash = p.rfind('/');
  return slash == std::string_view::npos ? p : p.substr(slash + 1);
}

// Hidden is the POSIX convention of a leading dot; "." and ".." themselves
// stand for folders and are not hidden.
bool hiddenName(std::string_view name) {
  return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

mode_t processUmask() {
  static const mode_t mask = [] {
    // /proc gives the mask without the set-and-restore dance of umask(2),
    // which would race with other threads creating files.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("Umask:", 0) == 0)
        return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return static_cast<mode_t>(022);
  }();
  return mask;
}

// The folder part of a native path, for a temporary file beside it.
std::string folderOf(const std::string& p) {
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

// Splits a listing pattern at its last "\" (stepping over two-byte
// characters) into the native folder and the mask.
void splitPattern(const Text& pattern, std::string& folder, Text& mask) {
  int64_t sep = findLastText(pattern, "\\");
  if (sep < 0) {
    folder.assign(1, '.');  // not = ".": GCC 12 warns falsely (-Wrestrict)
    mask = pattern;
    return;
  }
  const size_t at = static_cast<size_t>(sep - 1);
  Text folderText(pattern.data(), at);
  mask.assign(pattern.data() + at + 1, pattern.size() - at - 1);
  folder = folderText.empty() ? std::string("/") : nativePath(folderText);
}

bool hasWildcard(const Text& t) {
  for (size_t i = 0; i < t.size(); i += charLength(t, i)) {
    if (t[i] == '*' || t[i] == '?') return true;
  }
  return false;
}

// The key that orders names as NTFS lists them: UTF-16 code units, each
// upper-cased on its own (NTFS compares through its per-unit upcase table).
std::u16string ntfsKey(const std::string& nativeName) {
  // Most names are ASCII: their code units are their bytes, upper-cased.
  bool ascii = true;
  for (unsigned char c : nativeName) ascii = ascii && c < 0x80;
  if (ascii) {
    std::u16string key(nativeName.size(), u'\0');
    for (size_t i = 0; i < nativeName.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(nativeName[i]);
      key[i] = static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return key;
  }
  std::u16string key(nativeName.size() + 1, u'\0');
  int32_t length = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(key.data()),
                       static_cast<int32_t>(key.size()), &length,
                       nativeName.data(), static_cast<int32_t>(nativeName.size()),
                       0xFFFD, nullptr, &error);
  if (U_FAILURE(error)) length = 0;
  key.resize(static_cast<size_t>(length));
  for (char16_t& unit : key) {
    if (unit < 0xD800 || unit > 0xDFFF)
      unit = static_cast<char16_t>(u_toupper(static_cast<UChar32>(unit)));
  }
  return key;
}

struct Entry {
  std::string nativeName;
  Text name;
  int attributes;
  bool dot;  // "." or ".."
};

// Every entry of the folder whose name matches the mask, with attributes
// worked out from the directory entry (a stat only for links and file
// systems that do not give the type).
std::vector<Entry> readEntries(const std::string& folder, const Text& mask) {
  std::vector<Entry> entries;
  if (mask.empty()) return entries;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return entries;
  bool sawDot = false, sawDotDot = false;
  while (struct dirent* d = readdir(dir.get())) {
    std::string nativeName = d->d_name;
    Entry e{nativeName, pathFromNative(nativeName), 0,
            nativeName == "." || nativeName == ".."};
    if (nativeName == ".") sawDot = true;
    if (nativeName == "..") sawDotDot = true;
    if (!matchesMask(e.name, mask)) continue;
    unsigned type = d->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      struct stat st;
      if (fstatat(dirfd(dir.get()), d->d_name, &st, 0) == 0) {
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_FIFO;
      } else {
        type = DT_FIFO;  // a link to nothing: neither file nor folder
      }
    }
    if (type == DT_DIR) {
      e.attributes = kAttrFolder;
    } else if (type == DT_REG) {
      e.attributes = kAttrArchive;
    } else {
      e.attributes = kAttrSystem;
    }
    if (hiddenName(nativeName)) e.attributes |= kAttrHidden;
    entries.push_back(std::move(e));
  }
  // Windows lists "." and ".." for every folder but a drive's root; some
  // file systems here leave them out of readdir.
  for (const char* dot : {".", ".."}) {
    if ((dot[1] == '\0' ? sawDot : sawDotDot) || !matchesMask(dot, mask)) continue;
    entries.push_back(Entry{dot, dot, kAttrFolder, true});
  }
  return entries;
}

}  // namespace

std::string nativePath(const Text& path) {
  return codepage::utf8FromGb(path, codepage::Form::kPath);
}

Text pathFromNative(const std::string& native) {
  return codepage::gbFromUtf8(native, codepage::Form::kPath);
}

Bytes readFile(const Text& path) {
  if (path.empty()) return Bytes();
  // O_NONBLOCK keeps a FIFO from stalling the open; only regular files are
  // read at all.
  int fd = open(nativePath(path).c_str(),
                O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Bytes();
  Bytes content;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    size_t expected = static_cast<size_t>(st.st_size);
    content.resize(expected > 0 ? expected : 4096);
    size_t filled = 0;
    for (;;) {
      if (filled == content.size()) content.resize(content.size() * 2);
      ssize_t n = read(fd, content.data() + filled, content.size() - filled);
      if (n < 0) {
        if (errno == EINTR) continue;
        filled = 0;  // an unreadable file reads as empty, never as a part
        break;
      }
      if (n == 0) break;
      filled += static_cast<size_t>(n);
    }
    content.resize(filled);
  }
  retryClose(fd);
  return content;
}

bool writeFile(const Text& path, const Bytes& b) {
  if (path.empty()) return false;
  std::string target = nativePath(path);
  struct stat st;
  bool exists = lstat(target.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    // Writing through a link writes the file it points to, as Windows does.
    std::unique_ptr<char, void (*)(void*)> real(realpath(target.c_str(), nullptr),
                                                free);
    if (!real) return false;
    target = real.get();
    exists = stat(target.c_str(), &st) == 0;
  }
  // A folder or device cannot be written as a file; a read-only file refuses
  // the write as it does on Windows, although the folder would allow the
  // replacement.
  if (exists && (!S_ISREG(st.st_mode) || !writableByUs(st))) return false;

  std::string temp = folderOf(target) + "/.zanvo-write-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;  // folder missing or not writable
  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~processUmask());
  bool ok = writeAll(fd, b.data(), b.size()) && fchmod(fd, mode) == 0;
  // When an existing file is replaced, its new content must be on disk before
  // the rename, or a crash could leave the old name with no content at all.
  if (ok && exists) ok = fdatasync(fd) == 0;
  if (retryClose(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool fileExists(const Text& path) {
  if (path.empty()) return false;
  int64_t sep = findLastText(path, "\\");
  Text last = sep < 0 ? path : path.substr(static_cast<size_t>(sep));
  if (hasWildcard(last)) {
    std::string folder;
    Text mask;
    splitPattern(path, folder, mask);
    // "." and ".." are left out: they would make every folder match "*".
    for (const Entry& e : readEntries(folder, mask)) {
      if (!e.dot) return true;
    }
    return false;
  }
  struct stat st;
  return lstat(nativePath(path).c_str(), &st) == 0;
}

bool deleteFile(const Text& path) {
  if (path.empty()) return false;
  std::string p = nativePath(path);
  struct stat st;
  if (lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  // Windows refuses to delete a read-only file.
  if (S_ISREG(st.st_mode) && !writableByUs(st)) return false;
  return unlink(p.c_str()) == 0;
}

bool renameFile(const Text& oldPath, const Text& newPath) {
  if (oldPath.empty() || newPath.empty()) return false;
  std::string from = nativePath(oldPath);
  std::string to = nativePath(newPath);
  struct stat src, dst;
  if (lstat(from.c_str(), &src) != 0) return false;
  if (lstat(to.c_str(), &dst) == 0) {
    // Renaming an entry onto itself succeeds and changes nothing; any other
    // existing entry (a second hard link included) is never replaced.
    return src.st_dev == dst.st_dev && src.st_ino == dst.st_ino &&
           lastPart(from) == lastPart(to);
  }
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  // File systems without RENAME_NOREPLACE.  A file gets a second name first,
  // which fails when the name is taken, and then loses its old one.
  if (!S_ISDIR(src.st_mode)) {
    if (link(from.c_str(), to.c_str()) == 0) {
      if (unlink(from.c_str()) == 0) return true;
      unlink(to.c_str());
      return false;
    }
    if (errno == EEXIST) return false;
  }
  // Folders cannot be linked: check, then rename.  Another process could
  // create the new name between the two steps; nothing closer is available.
  if (lstat(to.c_str(), &dst) == 0) return false;
  return rename(from.c_str(), to.c_str()) == 0;
}

bool createFolder(const Text& path) {
  if (path.empty()) return false;
  return mkdir(nativePath(path).c_str(), 0777) == 0;
}

bool setCurrentFolder(const Text& path) {
  if (path.empty()) return false;
  return chdir(nativePath(path).c_str()) == 0;
}

Text currentFolder() {
  std::string buffer(PATH_MAX, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return Text();
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::strlen(buffer.c_str()));
  if (buffer == "/") return "\\";  // the root keeps its one separator
  return pathFromNative(buffer);
}

int fileAttributes(const Text& path) {
  if (path.empty()) return -1;
  std::string p = nativePath(path);
  struct stat st;
  int attributes;
  if (stat(p.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      // Windows keeps no meaningful read-only bit on folders.
      attributes = kAttrFolder;
    } else if (S_ISREG(st.st_mode)) {
      attributes = kAttrArchive | (writableByUs(st) ? 0 : kAttrReadOnly);
    } else {
      attributes = kAttrSystem;  // sockets, FIFOs, devices: not user files
    }
  } else if (lstat(p.c_str(), &st) == 0) {
    attributes = kAttrSystem;  // a link to nothing
  } else {
    return -1;
  }
  if (hiddenName(lastPart(p))) attributes |= kAttrHidden;
  return attributes;
}

namespace {

bool passes(int attributes, ListFilter filter) {
  switch (filter) {
    case ListFilter::kFiles:
      return (attributes & kAttrFolder) == 0;
    case ListFilter::kFolders:
      return (attributes & kAttrFolder) != 0;
    case ListFilter::kAttributeAny:
      return (attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive)) != 0;
  }
  return false;
}

// The entries that pass, in NTFS order.
std::vector<FolderEntry> sortedEntries(const Text& pattern,
                                       const ListFilter* filter) {
  std::string folder;
  Text mask;
  splitPattern(pattern, folder, mask);
  std::vector<Entry> entries = readEntries(folder, mask);
  std::vector<std::pair<std::u16string, size_t>> keyed;
  keyed.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (filter == nullptr || passes(entries[i].attributes, *filter)) {
      keyed.emplace_back(ntfsKey(entries[i].nativeName), i);
    }
  }
  // "." and ".." come first, as NTFS gives them; then the NTFS order, with
  // names that differ only in case (possible here, not on Windows) kept in a
  // fixed order by their bytes.
  std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
    const Entry& ea = entries[a.second];
    const Entry& eb = entries[b.second];
    if (ea.dot != eb.dot) return ea.dot;
    if (a.first != b.first) return a.first < b.first;
    return ea.nativeName < eb.nativeName;
  });
  std::vector<FolderEntry> result;
  result.reserve(keyed.size());
  for (const auto& k : keyed) {
    Entry& e = entries[k.second];
    result.push_back(FolderEntry{std::move(e.name), e.attributes});
  }
  return result;
}

}  // namespace

std::vector<FolderEntry> listFolderEntries(const Text& pattern) {
  return sortedEntries(pattern, nullptr);
}

std::vector<Text> listFolder(const Text& pattern, ListFilter filter) {
  std::vector<FolderEntry> entries = sortedEntries(pattern, &filter);
  std::vector<Text> names;
  names.reserve(entries.size());
  for (FolderEntry& e : entries) names.push_back(std::move(e.name));
  return names;
}

bool matchesMask(const Text& name, const Text& mask) {
  // Windows treats "*.*" as "*": names without a dot match too.
  if (mask == "*.*" || mask == "*") return true;
  auto sameCharacter = [&](size_t n, size_t nLen, size_t m, size_t mLen) {
    if (nLen != mLen) return false;
    if (nLen == 2) return name.compare(n, 2, mask, m, 2) == 0;
    // Only a one-byte character is an ASCII letter that folds.
    uchar a = static_cast<uchar>(name[n]);
    uchar b = static_cast<uchar>(mask[m]);
    if (a >= 'A' && a <= 'Z') a = static_cast<uchar>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<uchar>(b + 32);
    return a == b;
  };
  // Wildcard matching by characters, backtracking to the last "*" only.
  size_t n = 0, m = 0;
  size_t starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size()) {
      if (mask[m] == '*') {
        starMask = ++m;
        starName = n;
        continue;
      }
      if (mask[m] == '?' && name[n] == '.') {
        // A "?" meeting the dot matches no character, as on Windows, where
        // "??.htm" lists "a.htm"; it never matches the dot itself.
        ++m;
        continue;
      }
      size_t mLen = charLength(mask, m);
      size_t nLen = charLength(name, n);
      if (mask[m] == '?' || sameCharacter(n, nLen, m, mLen)) {
        m += mLen;
        n += nLen;
        continue;
      }
    }
    if (starMask == std::string::npos) return false;
    starName += charLength(name, starName);
    n = starName;
    m = starMask;
  }
  // At the end of the name, what is left of the mask must match nothing:
  // "*", a "?" (Windows lets a trailing "?" match no character), or a dot
  // followed by a wildcard ("name.*" matches "name", as on Windows).
  while (m < mask.size()) {
    if (mask[m] == '*' || mask[m] == '?') {
      ++m;
    } else if (mask[m] == '.' && m + 1 < mask.size() &&
               (mask[m + 1] == '*' || mask[m + 1] == '?')) {
      ++m;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace zanvo

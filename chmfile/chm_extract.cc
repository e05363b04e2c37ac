#include "chmfile/chm_extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "chmfile/chm_extract_project.h"
#include "chmfile/chm_reader.h"

namespace zanvo {
namespace {

// File systems limit one name to 255 bytes; deeper trees than this are not
// made by any help compiler and only serve to exhaust resources.
constexpr size_t kMaxPartLength = 255;
constexpr size_t kMaxDepth = 64;

std::string errnoText(int e) { return std::strerror(e); }

bool isInternalName(std::string_view name) {
  // "::DataSpace/..." and anything else not below "/" is container data;
  // "/#SYSTEM", "/$FIftiMain" and their kin are the viewer's own files.
  return name.size() < 2 || name[0] != '/' || name[1] == '#' || name[1] == '$';
}

class Fd {
 public:
  explicit Fd(int fd = -1) : m_fd(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& o) noexcept : m_fd(o.m_fd) { o.m_fd = -1; }
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      reset();
      m_fd = o.m_fd;
      o.m_fd = -1;
    }
    return *this;
  }
  int get() const { return m_fd; }
  int release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }
  void reset() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd;
};

// Creates (when missing) and opens one folder level below dirFd without
// following a symbolic link; a link, a file or anything else in the way
// makes it fail.
Fd openSubfolder(int dirFd, const std::string& part, bool* made, int* err) {
  if (mkdirat(dirFd, part.c_str(), 0755) == 0) {
    *made = true;
  } else if (errno != EEXIST) {
    *err = errno;
    return Fd();
  }
  const int fd = openat(dirFd, part.c_str(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) *err = errno == ELOOP ? ELOOP : errno;
  return Fd(fd);
}

// mkdir -p for the user's own output folder; symbolic links in the path the
// user typed are the user's and are followed.
bool makeFolders(const std::string& path, std::string* why) {
  std::string prefix;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    prefix = path.substr(0, next);
    if (!prefix.empty() && mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
      *why = errnoText(errno);
      return false;
    }
    pos = next + 1;
  }
  return true;
}

// Entry names go into messages with their control bytes spelled out, so a
// hostile name cannot break a message line or drive a terminal.
std::string printable(std::string_view name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

constexpr size_t kMaxProblems = 1000;

void addProblem(ExtractReport* report, std::string_view name, const std::string& what) {
  if (report->problems.size() < kMaxProblems)
    report->problems.push_back(printable(name) + ": " + what);
}

std::string tempName() {
  static std::atomic<unsigned> counter{0};
  return ".zanvochm-" + std::to_string(getpid()) + "-" +
         std::to_string(counter++) + ".tmp";
}

class Extractor {
 public:
  Extractor(ChmReader& reader, int outFd, ExtractReport* report)
      : m_reader(reader), m_outFd(outFd), m_report(report) {}

  // Opens the folder that holds parts[0..n-1] (all parts when folderOnly).
  int folderFor(const std::vector<std::string>& parts, size_t n, std::string* why) {
    std::string key;
    for (size_t i = 0; i < n; ++i) key += parts[i] + '/';
    if (n == 0) return m_outFd;
    if (m_cachedFd.get() >= 0 && key == m_cachedKey) return m_cachedFd.get();
    m_cachedFd.reset();
    m_cachedKey.clear();
    Fd current;
    int dirFd = m_outFd;
    for (size_t i = 0; i < n; ++i) {
      bool made = false;
      int err = 0;
      Fd next = openSubfolder(dirFd, parts[i], &made, &err);
      if (next.get() < 0) {
        *why = "cannot use folder \"" + parts[i] + "\": " +
               (err == ELOOP || err == ENOTDIR
                    ? std::string("it is a symbolic link or not a folder")
                    : errnoText(err));
        return -1;
      }
      if (made) ++m_report->foldersMade;
      current = std::move(next);
      dirFd = current.get();
    }
    m_cachedFd = std::move(current);
    m_cachedKey = key;
    return m_cachedFd.get();
  }

  void problem(const std::string& name, const std::string& what, bool refused) {
    (refused ? m_report->refused : m_report->failed)++;
    addProblem(m_report, name, (refused ? "refused: " : "") + what);
  }

  // Writes data produced by fill into dirFd/leaf via a temporary name.
  bool writeFile(int dirFd, const std::string& leaf,
                 const std::function<ChmStatus(const ChmReader::Sink&)>& fill,
                 std::string* why) {
    // A name that is free is created directly: O_EXCL makes the file new
    // and refuses a symbolic link in its place, and a failed write removes
    // what was begun.  A name that is taken (a file from an earlier run, or
    // a link) is replaced through a temporary name and rename(2).
    std::string tmp = leaf;
    Fd fd(openat(dirFd, leaf.c_str(),
                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    const bool direct = fd.get() >= 0;
    if (!direct) {
      tmp = tempName();
      fd = Fd(openat(dirFd, tmp.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    }
    if (fd.get() < 0) {
      *why = "cannot create a file: " + errnoText(errno);
      return false;
    }
    int writeErr = 0;
    ChmStatus st = fill([&](std::string_view piece) {
      while (!piece.empty()) {
        const ssize_t n = ::write(fd.get(), piece.data(), piece.size());
        if (n < 0) {
          if (errno == EINTR) continue;
          writeErr = errno;
          return false;
        }
        piece.remove_prefix(static_cast<size_t>(n));
      }
      return true;
    });
    if (st.ok && ::close(fd.release()) != 0) {
      st = ChmStatus::error("write failed");
      writeErr = errno;
    }
    fd.reset();
    if (!st.ok) {
      *why = writeErr ? "cannot write: " + errnoText(writeErr) : st.message;
      unlinkat(dirFd, tmp.c_str(), 0);
      return false;
    }
    if (direct) return true;
    // rename(2) replaces the name itself: an existing file of that name is
    // replaced whole and a symbolic link there is replaced, not followed.
    if (renameat(dirFd, tmp.c_str(), dirFd, leaf.c_str()) != 0) {
      *why = "cannot put the file in place: " + errnoText(errno);
      unlinkat(dirFd, tmp.c_str(), 0);
      return false;
    }
    return true;
  }

  ChmReader& m_reader;
  int m_outFd;
  ExtractReport* m_report;
  Fd m_cachedFd;
  std::string m_cachedKey;
};

}  // namespace

std::optional<std::vector<std::string>> safeEntryParts(std::string_view name,
                                                       std::string* why) {
  why->clear();
  if (isInternalName(name)) return std::nullopt;
  std::string_view rest = name.substr(1);
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  std::vector<std::string> parts;
  if (rest.empty()) {
    *why = "empty name";
    return std::nullopt;
  }
  for (unsigned char c : rest) {
    if (c < 0x20 || c == 0x7F) {
      *why = "name holds a control character";
      return std::nullopt;
    }
    if (c == '\\') {
      *why = "name holds a backslash";
      return std::nullopt;
    }
    if (c == ':') {
      // A drive letter ("C:") or an alternate stream ("a:b") on Windows.
      *why = "name holds a colon (drive or stream form)";
      return std::nullopt;
    }
  }
  size_t pos = 0;
  while (true) {
    size_t next = rest.find('/', pos);
    if (next == std::string_view::npos) next = rest.size();
    std::string_view part = rest.substr(pos, next - pos);
    if (part.empty()) {
      *why = "name has an empty part (absolute or UNC form)";
      return std::nullopt;
    }
    if (part == "." || part == "..") {
      *why = "name has a \"" + std::string(part) + "\" part";
      return std::nullopt;
    }
    if (part.size() > kMaxPartLength) {
      *why = "name part longer than 255 bytes";
      return std::nullopt;
    }
    parts.emplace_back(part);
    if (parts.size() > kMaxDepth) {
      *why = "name nests too deep";
      return std::nullopt;
    }
    if (next == rest.size()) break;
    pos = next + 1;
  }
  return parts;
}

ExtractReport extractBook(ChmReader& reader, const std::string& outDir,
                          const ExtractOptions& options) {
  ExtractReport report;
  std::string why;
  if (outDir.empty()) {
    report.failed++;
    report.problems.push_back("no output folder given");
    return report;
  }
  if (!makeFolders(outDir, &why)) {
    report.failed++;
    report.problems.push_back(outDir + ": cannot create the output folder: " + why);
    return report;
  }
  Fd outFd(::open(outDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (outFd.get() < 0) {
    report.failed++;
    report.problems.push_back(outDir + ": cannot open the output folder: " +
                              errnoText(errno));
    return report;
  }

  struct Job {
    const ChmEntry* entry;
    std::vector<std::string> parts;
  };
  std::vector<Job> folders, files;
  for (const ChmEntry& e : reader.entries()) {
    auto parts = safeEntryParts(e.name, &why);
    if (!parts) {
      if (!why.empty()) {
        report.refused++;
        addProblem(&report, e.name, "refused: " + why);
      }
      continue;
    }
    const bool isFolder = e.name.back() == '/';
    (isFolder ? folders : files).push_back({&e, std::move(*parts)});
  }
  // Decoding is sequential within the compressed section; in offset order
  // every byte is decoded once.
  std::stable_sort(files.begin(), files.end(), [](const Job& a, const Job& b) {
    if (a.entry->section != b.entry->section) return a.entry->section < b.entry->section;
    return a.entry->offset < b.entry->offset;
  });

  Extractor ex(reader, outFd.get(), &report);
  for (const Job& j : folders) {
    if (ex.folderFor(j.parts, j.parts.size(), &why) < 0) ex.problem(j.entry->name, why, false);
  }
  // Entries may share bytes, so their lengths can add up to far more than
  // the book holds; a little sharing is fine, terabytes from a few kilobytes
  // are not.
  const uint64_t declared = reader.imageSize() + reader.compressedSectionLength();
  const uint64_t budget =
      std::min(options.maxTotalBytes, 2 * declared + (uint64_t{16} << 20));
  uint64_t total = 0;
  std::vector<std::string> written;
  for (const Job& j : files) {
    const ChmEntry& e = *j.entry;
    if (e.length > budget - total) {
      ex.problem(e.name, "the book's entries add up to more data than it holds", true);
      continue;
    }
    const int dirFd = ex.folderFor(j.parts, j.parts.size() - 1, &why);
    if (dirFd < 0) {
      ex.problem(e.name, why, false);
      continue;
    }
    const bool ok = ex.writeFile(
        dirFd, j.parts.back(),
        [&](const ChmReader::Sink& sink) { return reader.read(e, sink); }, &why);
    if (!ok) {
      ex.problem(e.name, why, false);
      continue;
    }
    total += e.length;
    report.filesWritten++;
    written.push_back(e.name);
  }

  if (options.rebuildProject) {
    std::string hhpName, text;
    if (rebuildProject(reader, written, options.bookName, &hhpName, &text)) {
      // Written beside the book's files, only when no file of that name
      // exists yet: the user's own files are never replaced by ours.
      struct stat st{};
      if (fstatat(outFd.get(), hhpName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        report.warnings.push_back(hhpName + " exists already; project not rebuilt");
      } else if (!ex.writeFile(
                     outFd.get(), hhpName,
                     [&](const ChmReader::Sink& sink) {
                       return sink(text) ? ChmStatus{} : ChmStatus::error("write failed");
                     },
                     &why)) {
        ex.problem("/" + hhpName, why, false);
      } else {
        report.projectWritten = true;
      }
    }
  }
  return report;
}

ExtractReport extractBookFile(const std::string& chmPath, const std::string& outDir,
                              const ExtractOptions& options) {
  ExtractReport report;
  MappedFile file;
  std::string why;
  if (!file.open(chmPath, &why)) {
    report.failed++;
    report.problems.push_back("cannot open the book: " + why);
    return report;
  }
  ChmStatus st;
  auto reader = ChmReader::open(file.bytes(), &st);
  if (!reader) {
    report.failed++;
    report.problems.push_back("cannot read the book: " + st.message);
    return report;
  }
  ExtractOptions o = options;
  if (o.bookName.empty()) {
    const size_t slash = chmPath.find_last_of('/');
    o.bookName = slash == std::string::npos ? chmPath : chmPath.substr(slash + 1);
  }
  report = extractBook(*reader, outDir, o);
  report.warnings.insert(report.warnings.begin(), reader->warnings().begin(),
                         reader->warnings().end());
  return report;
}

}  // namespace zanvo

// Unpacking a CHM book into a folder: the work behind "-decompile".
//
// Every file of the book (names that begin with "/", not the internal "#",
// "$" and "::" ones) is written below the output folder, folders created as
// needed.  No entry is ever written outside that folder: names with ".."
// or "." segments, empty segments (absolute, UNC), drive letters or other
// colons, backslashes, control characters or over-long parts are refused,
// and the folder walk never follows a symbolic link (each level is opened
// with O_NOFOLLOW from the folder above).  A file is created new
// (O_EXCL, so never through a link); where the name is taken, the file is
// written to a fresh temporary name and renamed into place, so an existing
// file of the same name is replaced whole (as the Windows viewer does) and
// never written through.  Refused or failed entries are reported and skipped; the others
// are still written.
#ifndef ZANVO_CHMFILE_CHM_EXTRACT_H_
#define ZANVO_CHMFILE_CHM_EXTRACT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zanvo {

class ChmReader;

struct ExtractReport {
  int filesWritten = 0;
  int foldersMade = 0;
  int refused = 0;  // unsafe names
  int failed = 0;   // content that could not be read or written
  bool projectWritten = false;  // a rebuilt .hhp was added
  // Oddities of the book that were tolerated (wrong header fields).
  std::vector<std::string> warnings;
  // One line per problem, each naming the entry: "/a/../b: refused: ...".
  std::vector<std::string> problems;
  bool ok() const { return refused == 0 && failed == 0; }
};

struct ExtractOptions {
  // When the book holds no .hhp, write one rebuilt from #SYSTEM and
  // #WINDOWS so that the folder compiles again.
  bool rebuildProject = true;
  // Bound on all bytes written, on top of the sizes the book declares for
  // its sections (entries may overlap; a hostile directory could otherwise
  // turn a small book into terabytes).
  uint64_t maxTotalBytes = uint64_t{64} << 30;
  // The book's file name, for the rebuilt project when the book does not
  // name its compiled file.
  std::string bookName;
};

// The path parts of a book entry's name below the output folder, or nullopt
// with *why set when the name is not a book file ("#", "$", "::" names are
// not: *why stays empty) or is unsafe.  A trailing "/" (folder entry) gives
// the parts of the folder.
std::optional<std::vector<std::string>> safeEntryParts(std::string_view name,
                                                       std::string* why);

// Unpacks the open book into outDir (a native path; created when missing,
// its parents too).  Returns the report; report.ok() and at least the
// folder itself being usable mean complete success.
ExtractReport extractBook(ChmReader& reader, const std::string& outDir,
                          const ExtractOptions& options = {});

// Opens and unpacks a book file; problems opening it land in the report.
ExtractReport extractBookFile(const std::string& chmPath,
                              const std::string& outDir,
                              const ExtractOptions& options = {});

}  // namespace zanvo

#endif  // ZANVO_CHMFILE_CHM_EXTRACT_H_

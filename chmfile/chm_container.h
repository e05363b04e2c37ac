// The ITSF container of a CHM file: headers, the directory of PMGL/PMGI
// chunks, section 0 (stored) and section 1 (LZX, "MSCompressed").
// docs/chm-format.md describes the layout; the section names there are the
// ones the comments in chm_container.cc point to.
//
// A ChmContainer collects named files and turns them into the bytes of one
// CHM file.  Names are full directory names in UTF-8 ("/index.htm",
// "/#SYSTEM"); the caller keeps them unique under the directory's
// case-insensitive order (see directoryNameLess).
#ifndef ZANVO_CHMFILE_CHM_CONTAINER_H_
#define ZANVO_CHMFILE_CHM_CONTAINER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zanvo::chm {

struct LzxOptions;

// The order of names in the directory: bytes compared after folding ASCII
// A-Z to lower case, which is how chmlib and libmspack compare while they
// search ("_" therefore sorts before every letter).
bool directoryNameLess(std::string_view a, std::string_view b);
bool directoryNamesEqual(std::string_view a, std::string_view b);
// The name with ASCII letters folded: two names are directoryNamesEqual
// exactly when their keys are equal, so the key can index a hash table.
std::string directoryNameKey(std::string_view name);

// CHM's variable-length integer: 7 bits a byte, most significant first,
// the high bit set on every byte but the last.
void appendEncInt(std::string& out, uint64_t value);

struct DirectoryEntry {
  std::string name;
  uint64_t section = 0;
  uint64_t offset = 0;
  uint64_t length = 0;
};

struct DirectoryLayout {
  std::string bytes;        // ITSP header followed by every chunk
  uint32_t listingChunks = 0;
  uint32_t indexChunks = 0;
};
// The directory (ITSP header and 4,096-byte chunks) of entries that are
// already sorted by directoryNameLess.
DirectoryLayout buildDirectory(const std::vector<DirectoryEntry>& sorted,
                               uint32_t languageId);

class ChmContainer {
 public:
  explicit ChmContainer(uint32_t languageId) : m_languageId(languageId) {}

  // Adds a file stored as it is in section 0.
  void addStored(std::string name, std::string data);
  // Appends a file to the section 1 stream.  Empty files take no room.
  void addCompressed(std::string name, std::string_view data);
  // Bytes of the section 1 stream so far (before compression).
  uint64_t compressedSectionSize() const { return m_section1.size(); }

  // Compresses section 1 and lays out the whole file.  timestamp goes into
  // the ITSF header.
  std::string build(const LzxOptions& lzx, uint32_t timestamp);

 private:
  struct Stored {
    std::string name;
    std::string data;
  };
  uint32_t m_languageId;
  std::vector<Stored> m_stored;
  std::vector<DirectoryEntry> m_section1Entries;
  std::string m_section1;
};

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_CHM_CONTAINER_H_

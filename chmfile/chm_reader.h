// Reading CHM books: the container headers, the directory and the content
// of each stored file.
//
// The directory is read by our own code: every PMGL chunk is walked in file
// order, so a book whose header names the wrong first listing chunk (as
// chmcmd writes them) still shows all its files.  The uncompressed section
// is read directly; the LZX-compressed section is decoded by libmspack,
// which is shown a corrected view of the headers when the book carries one
// of the two known faults that make libmspack refuse or under-read it (a
// second header GUID equal to the first, a wrong first/last PMGL chunk).
// No safety check is relaxed for that: every count, offset and length is
// checked against the bytes that exist and against named limits before it
// is used.
#ifndef ZANVO_CHMFILE_CHM_READER_H_
#define ZANVO_CHMFILE_CHM_READER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zanvo {

// Success, or a message that names the field or the entry at fault.
struct ChmStatus {
  bool ok = true;
  std::string message;
  static ChmStatus error(std::string m) { return {false, std::move(m)}; }
};

// One directory entry.  Names are the book's own bytes (UTF-8 in practice);
// a name that ends with "/" is a folder.
struct ChmEntry {
  std::string name;
  uint32_t section = 0;  // 0 uncompressed, 1 MSCompressed
  uint64_t offset = 0;   // within the section's uncompressed data
  uint64_t length = 0;
};

// Limits that keep a hostile header from steering allocations or loops.
inline constexpr uint32_t kChmMaxChunks = 100000;
inline constexpr uint32_t kChmMaxChunkSize = 1u << 20;
inline constexpr size_t kChmMaxEntries = 2000000;
inline constexpr size_t kChmMaxNameLength = 4096;

// A read-only view of one CHM image plus what was read from its directory.
// The image's bytes must outlive the reader.  Not copyable.
class ChmReader {
 public:
  // Reads the headers and the whole directory.  nullptr with *status set
  // when the image is not a CHM book or its headers are unusable; oddities
  // that were tolerated end up in warnings().
  static std::unique_ptr<ChmReader> open(std::string_view image,
                                         ChmStatus* status);
  ~ChmReader();
  ChmReader(const ChmReader&) = delete;
  ChmReader& operator=(const ChmReader&) = delete;

  // Every entry of every listing chunk, in directory order.
  const std::vector<ChmEntry>& entries() const;
  const std::vector<std::string>& warnings() const;
  // The first entry with exactly this name, or nullptr.
  const ChmEntry* find(std::string_view name) const;
  // Uncompressed size of section 1 as its reset table declares it, or 0
  // when the book has no usable reset table.
  uint64_t compressedSectionLength() const;
  uint64_t imageSize() const;

  // Streams the entry's content to sink in pieces.  The sink returns false
  // to stop (the read then fails).  Exactly entry.length bytes are passed
  // on success; an entry that lies outside its section, a section that
  // cannot be decoded or a short decode is an error.
  using Sink = std::function<bool(std::string_view)>;
  ChmStatus read(const ChmEntry& entry, const Sink& sink);
  // The whole content of an entry into *out; refuses entries longer than
  // maxLength so that a header field cannot ask for a huge buffer.
  ChmStatus readAll(const ChmEntry& entry, std::string* out,
                    uint64_t maxLength = 64u << 20);

  struct Impl;

 private:
  explicit ChmReader(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

// A whole file mapped read-only (empty files and failures give an empty
// view).  Not copyable.
class MappedFile {
 public:
  // false with *error set when the file cannot be opened or mapped.
  bool open(const std::string& nativePath, std::string* error);
  ~MappedFile();
  MappedFile() = default;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  std::string_view bytes() const { return {m_data, m_size}; }

 private:
  const char* m_data = nullptr;
  size_t m_size = 0;
  bool m_mapped = false;
};

}  // namespace zanvo

#endif  // ZANVO_CHMFILE_CHM_READER_H_

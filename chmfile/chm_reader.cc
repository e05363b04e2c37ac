#include "chmfile/chm_reader.h"

#include <fcntl.h>
#include <mspack.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace zanvo {
namespace {

// ITSF file header.
constexpr size_t kItsfSignature = 0x00;
constexpr size_t kItsfVersion = 0x04;
constexpr size_t kItsfGuid1 = 0x18;
constexpr size_t kItsfGuid2 = 0x28;
constexpr size_t kItsfHs0Offset = 0x38;
constexpr size_t kItsfHs1Offset = 0x48;
constexpr size_t kItsfHs1Length = 0x50;
constexpr size_t kItsfContentOffset = 0x58;  // version 3 only
constexpr size_t kItsfSizeV2 = 0x58;
constexpr size_t kItsfSizeV3 = 0x60;
// Header section 0.
constexpr size_t kHs0FileLength = 0x08;
constexpr size_t kHs0Size = 0x18;
// ITSP directory header (header section 1).
constexpr size_t kItspSignature = 0x00;
constexpr size_t kItspHeaderLength = 0x08;
constexpr size_t kItspChunkSize = 0x10;
constexpr size_t kItspFirstPmgl = 0x20;
constexpr size_t kItspLastPmgl = 0x24;
constexpr size_t kItspNumChunks = 0x2C;
constexpr size_t kItspSize = 0x54;
// Listing chunk.
constexpr size_t kPmglFreeSpace = 0x04;
constexpr size_t kPmglEntries = 0x14;
// Reset table of the MSCompressed section.
constexpr size_t kResetUncompressedLength = 0x10;
constexpr size_t kResetSize = 0x28;

constexpr unsigned char kGuid1[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B,
                                      0xD0, 0x11, 0x9E, 0x0C, 0x00, 0xA0,
                                      0xC9, 0x22, 0xE6, 0xEC};
constexpr unsigned char kGuid2[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B,
                                      0xD0, 0x11, 0x9E, 0x0C, 0x00, 0xA0,
                                      0xC9, 0x22, 0xE6, 0xEC};

constexpr char kContentName[] = "::DataSpace/Storage/MSCompressed/Content";
constexpr char kControlName[] = "::DataSpace/Storage/MSCompressed/ControlData";
constexpr char kSpanInfoName[] = "::DataSpace/Storage/MSCompressed/SpanInfo";
constexpr char kResetTableName[] =
    "::DataSpace/Storage/MSCompressed/Transform/"
    "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

// Names libmspack opens through our I/O layer.
constexpr char kImageHandle[] = "image";
constexpr char kSinkHandle[] = "sink";

// libmspack allocates its window, chunk buffers and bookkeeping through us;
// nothing it needs for a valid book comes near this.
constexpr size_t kMaxMspackAllocation = 64u << 20;
constexpr size_t kMaxWarnings = 50;

uint32_t le32(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
         uint32_t{p[3]} << 24;
}
uint64_t le64(std::string_view b, size_t at) {
  return uint64_t{le32(b, at)} | uint64_t{le32(b, at + 4)} << 32;
}
void putLe32(std::string* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>(v >> (8 * i));
}

// CHM's variable-length integer: 7 bits a byte, most significant first,
// high bit set on every byte but the last.  Consumes nothing on failure.
bool readEncInt(std::string_view* in, uint64_t* value) {
  uint64_t v = 0;
  for (size_t i = 0; i < in->size() && i < 9; ++i) {
    const auto c = static_cast<unsigned char>((*in)[i]);
    v = (v << 7) | (c & 0x7F);
    if (!(c & 0x80)) {
      *value = v;
      in->remove_prefix(i + 1);
      return true;
    }
  }
  return false;
}

}  // namespace

struct ChmReader::Impl {
  // libmspack's I/O callbacks find us through this wrapper.
  struct System {
    mspack_system base;
    Impl* impl;
  };
  struct Handle {
    bool sink;
    uint64_t pos;
  };

  std::string_view image;
  std::vector<ChmEntry> entries;
  std::unordered_map<std::string_view, size_t> byName;
  std::vector<std::string> warnings;
  uint64_t contentOffset = 0;  // section 0 starts here in the image
  uint64_t section1Length = 0;
  // The first bytes of the image as libmspack is shown them, with the known
  // header faults corrected.
  std::string patchedHead;

  System system{};
  mschm_decompressor* decompressor = nullptr;
  mschmd_header* header = nullptr;
  bool decompressorFailed = false;
  std::string decompressorError;
  mschmd_file sysFiles[4]{};
  const Sink* sink = nullptr;
  uint64_t sinkRemaining = 0;
  bool sinkFailed = false;

  ~Impl() {
    if (decompressor) {
      if (header) decompressor->close(decompressor, header);
      mspack_destroy_chm_decompressor(decompressor);
    }
  }

  void warn(std::string w) {
    if (warnings.size() < kMaxWarnings) warnings.push_back(std::move(w));
  }

  ChmStatus parse();
  ChmStatus openDecompressor();
  ChmStatus readSection0(const ChmEntry& e, const Sink& s);
  ChmStatus readSection1(const ChmEntry& e, const Sink& s);

  static Impl* of(mspack_system* self) {
    return reinterpret_cast<System*>(self)->impl;
  }
  static mspack_file* sysOpen(mspack_system* self, const char* name,
                              int mode) {
    Impl* impl = of(self);
    const bool wantSink = std::strcmp(name, kSinkHandle) == 0;
    if (wantSink ? mode != MSPACK_SYS_OPEN_WRITE
                 : (std::strcmp(name, kImageHandle) != 0 ||
                    mode != MSPACK_SYS_OPEN_READ))
      return nullptr;
    if (impl != current) return nullptr;
    return reinterpret_cast<mspack_file*>(new Handle{wantSink, 0});
  }
  static void sysClose(mspack_file* f) { delete reinterpret_cast<Handle*>(f); }
  static int sysRead(mspack_file* f, void* buffer, int bytes) {
    auto* h = reinterpret_cast<Handle*>(f);
    Impl* impl = current;
    if (!impl || h->sink || bytes < 0) return -1;
    const uint64_t size = impl->image.size();
    if (h->pos >= size) return 0;
    const size_t n =
        static_cast<size_t>(std::min<uint64_t>(bytes, size - h->pos));
    std::memcpy(buffer, impl->image.data() + h->pos, n);
    // Overlay the corrected header bytes.
    if (h->pos < impl->patchedHead.size()) {
      const size_t m = std::min<size_t>(
          n, impl->patchedHead.size() - static_cast<size_t>(h->pos));
      std::memcpy(buffer, impl->patchedHead.data() + h->pos, m);
    }
    h->pos += n;
    return static_cast<int>(n);
  }
  static int sysWrite(mspack_file* f, void* buffer, int bytes) {
    auto* h = reinterpret_cast<Handle*>(f);
    Impl* impl = current;
    if (!impl || !h->sink || bytes < 0 || !impl->sink) return -1;
    if (static_cast<uint64_t>(bytes) > impl->sinkRemaining ||
        !(*impl->sink)(
            std::string_view(static_cast<const char*>(buffer), bytes))) {
      impl->sinkFailed = true;
      return -1;
    }
    impl->sinkRemaining -= bytes;
    h->pos += bytes;
    return bytes;
  }
  static int sysSeek(mspack_file* f, off_t offset, int mode) {
    auto* h = reinterpret_cast<Handle*>(f);
    Impl* impl = current;
    if (!impl || h->sink) return -1;
    const int64_t size = static_cast<int64_t>(impl->image.size());
    int64_t base = 0;
    switch (mode) {
      case MSPACK_SYS_SEEK_START: base = 0; break;
      case MSPACK_SYS_SEEK_CUR: base = static_cast<int64_t>(h->pos); break;
      case MSPACK_SYS_SEEK_END: base = size; break;
      default: return -1;
    }
    if (offset < -base || offset > size - base) return -1;
    h->pos = static_cast<uint64_t>(base + offset);
    return 0;
  }
  static off_t sysTell(mspack_file* f) {
    return static_cast<off_t>(reinterpret_cast<Handle*>(f)->pos);
  }
  static void sysMessage(mspack_file*, const char* format, ...) {
    Impl* impl = current;
    if (!impl) return;
    char text[256];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    impl->warn(std::string("libmspack: ") + text);
  }
  static void* sysAlloc(mspack_system*, size_t bytes) {
    if (bytes > kMaxMspackAllocation) return nullptr;
    return std::malloc(bytes);
  }
  static void sysFree(void* p) { std::free(p); }
  static void sysCopy(void* src, void* dest, size_t bytes) {
    std::memmove(dest, src, bytes);
  }

  // libmspack calls back without telling which reader it works for; the
  // reader that is inside a libmspack call sets this for the duration.
  static thread_local Impl* current;
};

thread_local ChmReader::Impl* ChmReader::Impl::current = nullptr;

namespace {
struct CurrentScope {
  explicit CurrentScope(ChmReader::Impl* impl) : saved(ChmReader::Impl::current) {
    ChmReader::Impl::current = impl;
  }
  ~CurrentScope() { ChmReader::Impl::current = saved; }
  ChmReader::Impl* saved;
};
}  // namespace

ChmStatus ChmReader::Impl::parse() {
  const std::string_view b = image;
  if (b.size() < kItsfSizeV2 || b.substr(kItsfSignature, 4) != "ITSF")
    return ChmStatus::error("not a CHM file (no ITSF signature)");
  const uint32_t version = le32(b, kItsfVersion);
  if (version < 2 || version > 3)
    warn("ITSF version " + std::to_string(version) + " is unusual");
  const size_t headerSize = version >= 3 ? kItsfSizeV3 : kItsfSizeV2;
  if (b.size() < headerSize)
    return ChmStatus::error("ITSF header is truncated");
  patchedHead.assign(b.substr(0, headerSize));
  if (std::memcmp(b.data() + kItsfGuid1, kGuid1, 16) != 0)
    return ChmStatus::error("ITSF header: first GUID is not the CHM GUID");
  if (std::memcmp(b.data() + kItsfGuid2, kGuid2, 16) != 0) {
    // chmcmd writes the first GUID twice.  The header layout is the same,
    // so the book is read as if the second GUID were right.
    if (std::memcmp(b.data() + kItsfGuid2, kGuid1, 16) != 0)
      return ChmStatus::error("ITSF header: second GUID is not the CHM GUID");
    warn("ITSF header: second GUID repeats the first (chmcmd book)");
    std::memcpy(patchedHead.data() + kItsfGuid2, kGuid2, 16);
  }

  const uint64_t hs0 = le64(b, kItsfHs0Offset);
  if (hs0 > b.size() || b.size() - hs0 < kHs0Size)
    return ChmStatus::error("header section 0 lies outside the file");
  const uint64_t declaredLength = le64(b, hs0 + kHs0FileLength);
  if (declaredLength > b.size())
    warn("file is shorter than its header says (truncated?)");

  const uint64_t hs1 = le64(b, kItsfHs1Offset);
  const uint64_t hs1Length = le64(b, kItsfHs1Length);
  if (hs1 > b.size() || b.size() - hs1 < kItspSize)
    return ChmStatus::error("directory header lies outside the file");
  const std::string_view itsp = b.substr(hs1, kItspSize);
  if (itsp.substr(kItspSignature, 4) != "ITSP")
    return ChmStatus::error("directory header has no ITSP signature");
  const uint32_t itspLength = le32(itsp, kItspHeaderLength);
  const uint32_t chunkSize = le32(itsp, kItspChunkSize);
  const uint32_t numChunks = le32(itsp, kItspNumChunks);
  if (itspLength < kItspSize || itspLength > b.size() - hs1)
    return ChmStatus::error("directory header length is out of range");
  if (chunkSize < kPmglEntries + 2 || chunkSize > kChmMaxChunkSize)
    return ChmStatus::error("directory chunk size " +
                            std::to_string(chunkSize) + " is out of range");
  if (numChunks == 0 || numChunks > kChmMaxChunks)
    return ChmStatus::error("directory chunk count " +
                            std::to_string(numChunks) + " is out of range");
  const uint64_t chunksStart = hs1 + itspLength;
  const uint64_t chunkBytes = uint64_t{chunkSize} * numChunks;
  if (chunkBytes > b.size() - chunksStart)
    return ChmStatus::error("directory chunks run past the end of the file");
  if (hs1Length != itspLength + chunkBytes)
    warn("directory length in the header does not match its chunks");

  if (version >= 3) {
    contentOffset = le64(b, kItsfContentOffset);
  } else {
    contentOffset = chunksStart + chunkBytes;
  }
  if (contentOffset > b.size())
    return ChmStatus::error("content section begins after the file ends");

  // Walk every chunk in file order; the chunk chain and the index are not
  // needed to find the listing chunks, and chmcmd gets the first one wrong.
  int64_t firstPmgl = -1, lastPmgl = -1;
  for (uint32_t c = 0; c < numChunks; ++c) {
    const std::string_view chunk = b.substr(chunksStart + uint64_t{c} * chunkSize, chunkSize);
    if (chunk.substr(0, 4) != "PMGL") continue;
    if (firstPmgl < 0) firstPmgl = c;
    lastPmgl = c;
    const uint32_t freeSpace = le32(chunk, kPmglFreeSpace);
    size_t end = chunkSize;
    if (freeSpace <= chunkSize - kPmglEntries) {
      end = chunkSize - freeSpace;
    } else {
      warn("chunk " + std::to_string(c) + ": free space field out of range");
    }
    std::string_view p = chunk.substr(kPmglEntries, end - kPmglEntries);
    while (!p.empty()) {
      std::string_view q = p;
      uint64_t nameLength = 0, section = 0, offset = 0, length = 0;
      if (!readEncInt(&q, &nameLength) || nameLength == 0 ||
          nameLength > q.size() || nameLength > kChmMaxNameLength) {
        // Zero padding at the end of a chunk is normal; anything else is a
        // damaged entry, after which the rest of the chunk cannot be found.
        if (p.find_first_not_of('\0') != std::string_view::npos)
          warn("chunk " + std::to_string(c) + ": bad entry name length");
        break;
      }
      const std::string_view name = q.substr(0, nameLength);
      q.remove_prefix(nameLength);
      if (!readEncInt(&q, &section) || !readEncInt(&q, &offset) ||
          !readEncInt(&q, &length)) {
        warn("chunk " + std::to_string(c) + ": entry runs past its chunk");
        break;
      }
      p = q;
      if (entries.size() >= kChmMaxEntries)
        return ChmStatus::error("more than " + std::to_string(kChmMaxEntries) +
                                " directory entries");
      ChmEntry e;
      e.name.assign(name);
      e.section = section > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(section);
      e.offset = offset;
      e.length = length;
      entries.push_back(std::move(e));
    }
  }
  if (firstPmgl < 0) return ChmStatus::error("directory has no listing chunk");
  for (size_t i = 0; i < entries.size(); ++i)
    byName.emplace(entries[i].name, i);

  // libmspack reads only the listing chunks the header names; show it the
  // range that really holds them.
  const std::string_view hs1Head = b.substr(hs1, kItspSize);
  if (le32(hs1Head, kItspFirstPmgl) != static_cast<uint32_t>(firstPmgl) ||
      le32(hs1Head, kItspLastPmgl) != static_cast<uint32_t>(lastPmgl)) {
    warn("directory header names the wrong listing chunks");
    // The correction lives only in libmspack's view, and only when the
    // directory header lies within the patched head region.
    if (hs1 + kItspSize <= (1u << 16)) {
      if (patchedHead.size() < hs1 + kItspSize) {
        patchedHead.append(b.substr(patchedHead.size(), hs1 + kItspSize - patchedHead.size()));
      }
      putLe32(&patchedHead, hs1 + kItspFirstPmgl, static_cast<uint32_t>(firstPmgl));
      putLe32(&patchedHead, hs1 + kItspLastPmgl, static_cast<uint32_t>(lastPmgl));
    }
  }

  if (auto it = byName.find(kResetTableName); it != byName.end()) {
    const ChmEntry* rt = &entries[it->second];
    if (rt->section == 0 && rt->length >= kResetSize &&
        rt->offset <= b.size() - contentOffset &&
        rt->length <= b.size() - contentOffset - rt->offset) {
      section1Length = le64(b, contentOffset + rt->offset + kResetUncompressedLength);
    }
  }
  return {};
}

ChmStatus ChmReader::Impl::openDecompressor() {
  if (header) return {};
  if (decompressorFailed) return ChmStatus::error(decompressorError);
  decompressorFailed = true;
  system.base.open = &Impl::sysOpen;
  system.base.close = &Impl::sysClose;
  system.base.read = &Impl::sysRead;
  system.base.write = &Impl::sysWrite;
  system.base.seek = &Impl::sysSeek;
  system.base.tell = &Impl::sysTell;
  system.base.message = &Impl::sysMessage;
  system.base.alloc = &Impl::sysAlloc;
  system.base.free = &Impl::sysFree;
  system.base.copy = &Impl::sysCopy;
  system.base.null_ptr = nullptr;
  system.impl = this;
  decompressor = mspack_create_chm_decompressor(&system.base);
  if (!decompressor) {
    decompressorError = "cannot start the LZX decoder";
    return ChmStatus::error(decompressorError);
  }
  // Headers only: the directory is ours.  The section's control files are
  // handed over from our directory so that libmspack need not search for
  // them with its own (stricter) directory reader.
  header = decompressor->fast_open(decompressor, kImageHandle);
  if (!header) {
    decompressorError = "libmspack refuses the headers (error " +
                        std::to_string(decompressor->last_error(decompressor)) + ")";
    return ChmStatus::error(decompressorError);
  }
  const char* names[4] = {kContentName, kControlName, kSpanInfoName, kResetTableName};
  mschmd_file** slots[4] = {&header->sec1.content, &header->sec1.control,
                            &header->sec1.spaninfo, &header->sec1.rtable};
  for (int i = 0; i < 4; ++i) {
    auto it = byName.find(names[i]);
    if (it == byName.end()) continue;
    const ChmEntry& e = entries[it->second];
    if (e.section != 0) continue;
    sysFiles[i].next = nullptr;
    sysFiles[i].section = &header->sec0.base;
    sysFiles[i].offset = static_cast<off_t>(e.offset);
    sysFiles[i].length = static_cast<off_t>(e.length);
    sysFiles[i].filename = const_cast<char*>(names[i]);
    *slots[i] = &sysFiles[i];
  }
  if (!header->sec1.content || !header->sec1.control) {
    decompressorError = "the compressed section has no Content or ControlData";
    return ChmStatus::error(decompressorError);
  }
  decompressorFailed = false;
  return {};
}

ChmStatus ChmReader::Impl::readSection0(const ChmEntry& e, const Sink& s) {
  const uint64_t available = image.size() - contentOffset;
  if (e.offset > available || e.length > available - e.offset)
    return ChmStatus::error("lies outside the file");
  std::string_view data = image.substr(contentOffset + e.offset, e.length);
  constexpr size_t kPiece = 1u << 20;
  while (!data.empty()) {
    const size_t n = std::min(kPiece, data.size());
    if (!s(data.substr(0, n))) return ChmStatus::error("write failed");
    data.remove_prefix(n);
  }
  return {};
}

ChmStatus ChmReader::Impl::readSection1(const ChmEntry& e, const Sink& s) {
  if (section1Length && (e.offset > section1Length ||
                         e.length > section1Length - e.offset))
    return ChmStatus::error("lies outside the compressed section");
  CurrentScope scope(this);
  if (ChmStatus st = openDecompressor(); !st.ok) return st;
  if (e.offset > INT64_MAX || e.length > INT64_MAX)
    return ChmStatus::error("offset or length out of range");
  mschmd_file file{};
  file.section = &header->sec1.base;
  file.offset = static_cast<off_t>(e.offset);
  file.length = static_cast<off_t>(e.length);
  file.filename = const_cast<char*>(e.name.c_str());
  sink = &s;
  sinkRemaining = e.length;
  sinkFailed = false;
  const int err = decompressor->extract(decompressor, &file, kSinkHandle);
  sink = nullptr;
  if (sinkFailed) return ChmStatus::error("write failed");
  if (err != MSPACK_ERR_OK)
    return ChmStatus::error("cannot be decompressed (libmspack error " +
                            std::to_string(err) + ")");
  if (sinkRemaining != 0) return ChmStatus::error("decompressed short");
  return {};
}

ChmReader::ChmReader(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
ChmReader::~ChmReader() = default;

std::unique_ptr<ChmReader> ChmReader::open(std::string_view image,
                                           ChmStatus* status) {
  auto impl = std::make_unique<Impl>();
  impl->image = image;
  ChmStatus st = impl->parse();
  if (status) *status = st;
  if (!st.ok) return nullptr;
  return std::unique_ptr<ChmReader>(new ChmReader(std::move(impl)));
}

const std::vector<ChmEntry>& ChmReader::entries() const { return m_impl->entries; }
const std::vector<std::string>& ChmReader::warnings() const { return m_impl->warnings; }
uint64_t ChmReader::compressedSectionLength() const { return m_impl->section1Length; }
uint64_t ChmReader::imageSize() const { return m_impl->image.size(); }

const ChmEntry* ChmReader::find(std::string_view name) const {
  auto it = m_impl->byName.find(name);
  return it == m_impl->byName.end() ? nullptr : &m_impl->entries[it->second];
}

ChmStatus ChmReader::read(const ChmEntry& entry, const Sink& sink) {
  if (entry.length == 0) return {};
  switch (entry.section) {
    case 0: return m_impl->readSection0(entry, sink);
    case 1: return m_impl->readSection1(entry, sink);
    default:
      return ChmStatus::error("unknown section " + std::to_string(entry.section));
  }
}

ChmStatus ChmReader::readAll(const ChmEntry& entry, std::string* out,
                             uint64_t maxLength) {
  out->clear();
  if (entry.length > maxLength) return ChmStatus::error("too long");
  out->reserve(static_cast<size_t>(entry.length));
  return read(entry, [out](std::string_view piece) {
    out->append(piece);
    return true;
  });
}

bool MappedFile::open(const std::string& nativePath, std::string* error) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = std::strerror(errno);
    return false;
  }
  struct stat st{};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = "not a regular file";
    ::close(fd);
    return false;
  }
  if (st.st_size > 0) {
    void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      *error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    m_data = static_cast<const char*>(p);
    m_size = static_cast<size_t>(st.st_size);
    m_mapped = true;
  }
  ::close(fd);
  return true;
}

MappedFile::~MappedFile() {
  if (m_mapped) munmap(const_cast<char*>(m_data), m_size);
}

}  // namespace zanvo

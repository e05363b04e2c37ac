#include "chmfile/chm_container.h"

#include <algorithm>

#include "chmfile/byte_order.h"
#include "chmfile/lzx_encoder.h"

namespace zanvo::chm {
namespace {

// docs/chm-format.md "ITSF header".
constexpr uint32_t kItsfVersion = 3;
constexpr uint32_t kItsfHeaderSize = 0x60;
constexpr uint32_t kHeaderSectionSize = 0x18;
constexpr uint32_t kHeaderSectionMagic = 0x01FE;
// docs/chm-format.md "Directory".
constexpr uint32_t kItspHeaderSize = 0x54;
constexpr uint32_t kChunkSize = 0x1000;
constexpr uint32_t kQuickRefDensity = 2;                    // as stored
constexpr uint32_t kQuickRefEvery = 1 + (1u << kQuickRefDensity);  // entries
constexpr uint32_t kPmglHeaderSize = 0x14;
constexpr uint32_t kPmgiHeaderSize = 0x08;
constexpr uint32_t kNoChunk = 0xFFFFFFFF;
// docs/chm-format.md "Section 1".
constexpr uint32_t kLzxFrame = 0x8000;
constexpr uint32_t kResetTableHeaderSize = 0x28;

constexpr uint8_t kItsfGuidTail[8] = {0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
constexpr uint8_t kItspGuidTail[8] = {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

constexpr const char kLzxTransformGuid[] = "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}";
constexpr const char kStoragePrefix[] = "::DataSpace/Storage/MSCompressed/";

unsigned char foldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// One directory chunk being filled: entries grow from the header on, the
// quick-reference table from the end backwards.  An entry fits only while
// the room left still holds every quick-reference slot plus the entry count
// and one spare slot: libmspack counts ceil(n / 5) slots (the first one
// implied) and ignores the whole table when the stated free area is smaller.
class ChunkBuilder {
 public:
  ChunkBuilder(const char* magic, uint32_t headerSize) : m_headerSize(headerSize) {
    m_bytes.assign(magic, 4);
    m_bytes.resize(headerSize, '\0');
  }
  bool tryAdd(const std::string& entry) {
    const bool quickRef = m_count > 0 && m_count % kQuickRefEvery == 0;
    const size_t slots = m_quickRef.size() + (quickRef ? 1 : 0);
    if (m_bytes.size() + entry.size() + 2 * slots + 4 > kChunkSize) return false;
    if (quickRef) m_quickRef.push_back(static_cast<uint16_t>(m_bytes.size() - m_headerSize));
    m_bytes += entry;
    ++m_count;
    return true;
  }
  uint32_t count() const { return m_count; }
  // The finished chunk; the free area field (offset 4) counts the unused
  // bytes together with the quick-reference table.
  std::string finish() {
    setLe32(m_bytes, 4, static_cast<uint32_t>(kChunkSize - m_bytes.size()));
    std::string tail;
    for (auto it = m_quickRef.rbegin(); it != m_quickRef.rend(); ++it) putLe16(tail, *it);
    putLe16(tail, m_count);
    m_bytes.resize(kChunkSize - tail.size(), '\0');
    m_bytes += tail;
    return std::move(m_bytes);
  }
  std::string& bytes() { return m_bytes; }

 private:
  uint32_t m_headerSize;
  std::string m_bytes;
  std::vector<uint16_t> m_quickRef;
  uint32_t m_count = 0;
};

std::string utf16Le(std::string_view ascii) {
  std::string out;
  for (char c : ascii) putLe16(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace

bool directoryNameLess(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char ca = foldAscii(a[i]), cb = foldAscii(b[i]);
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

bool directoryNamesEqual(std::string_view a, std::string_view b) {
  return !directoryNameLess(a, b) && !directoryNameLess(b, a);
}

std::string directoryNameKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
  return key;
}

void appendEncInt(std::string& out, uint64_t value) {
  char buf[10];
  int n = 0;
  do {
    buf[n++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(static_cast<char>(buf[--n] | 0x80));
  out.push_back(buf[0]);
}

DirectoryLayout buildDirectory(const std::vector<DirectoryEntry>& sorted,
                               uint32_t languageId) {
  // Listing chunks first, numbered from 0 and chained both ways; then the
  // index levels, each indexing the level below, the root last.
  std::vector<std::string> chunks;
  struct IndexEntry {
    std::string firstName;
    uint32_t chunk;
  };
  std::vector<IndexEntry> level;
  size_t i = 0;
  do {
    ChunkBuilder chunk("PMGL", kPmglHeaderSize);
    const uint32_t number = static_cast<uint32_t>(chunks.size());
    while (i < sorted.size()) {
      const DirectoryEntry& e = sorted[i];
      std::string entry;
      appendEncInt(entry, e.name.size());
      entry += e.name;
      appendEncInt(entry, e.section);
      appendEncInt(entry, e.offset);
      appendEncInt(entry, e.length);
      if (!chunk.tryAdd(entry)) {
        // Callers keep names far below a chunk's size; an entry that does
        // not fit even an empty chunk would otherwise loop for ever.
        if (chunk.count() == 0) ++i;
        break;
      }
      if (chunk.count() == 1) level.push_back({e.name, number});
      ++i;
    }
    std::string& b = chunk.bytes();
    setLe32(b, 8, 0);
    setLe32(b, 12, number == 0 ? kNoChunk : number - 1);
    setLe32(b, 16, i < sorted.size() ? number + 1 : kNoChunk);
    chunks.push_back(chunk.finish());
  } while (i < sorted.size());
  const uint32_t listingChunks = static_cast<uint32_t>(chunks.size());

  uint32_t depth = 1;
  uint32_t root = kNoChunk;
  while (level.size() > 1) {
    std::vector<IndexEntry> upper;
    size_t j = 0;
    while (j < level.size()) {
      ChunkBuilder chunk("PMGI", kPmgiHeaderSize);
      const uint32_t number = static_cast<uint32_t>(chunks.size());
      while (j < level.size()) {
        std::string entry;
        appendEncInt(entry, level[j].firstName.size());
        entry += level[j].firstName;
        appendEncInt(entry, level[j].chunk);
        if (!chunk.tryAdd(entry)) {
          if (chunk.count() == 0) ++j;
          break;
        }
        if (chunk.count() == 1) upper.push_back({level[j].firstName, number});
        ++j;
      }
      chunks.push_back(chunk.finish());
    }
    level = std::move(upper);
    ++depth;
    root = static_cast<uint32_t>(chunks.size() - 1);
  }

  DirectoryLayout out;
  std::string& d = out.bytes;
  d = "ITSP";
  putLe32(d, 1);
  putLe32(d, kItspHeaderSize);
  putLe32(d, 0x0A);
  putLe32(d, kChunkSize);
  putLe32(d, kQuickRefDensity);
  putLe32(d, depth);
  putLe32(d, root);
  putLe32(d, 0);                  // first listing chunk
  putLe32(d, listingChunks - 1);  // last listing chunk
  putLe32(d, kNoChunk);
  putLe32(d, static_cast<uint32_t>(chunks.size()));
  putLe32(d, languageId);
  putGuid(d, 0x5D02926A, 0x212E, 0x11D0, kItspGuidTail);
  putLe32(d, kItspHeaderSize);
  putLe32(d, kNoChunk);
  putLe32(d, kNoChunk);
  putLe32(d, kNoChunk);
  for (const std::string& c : chunks) d += c;
  out.listingChunks = listingChunks;
  out.indexChunks = static_cast<uint32_t>(chunks.size()) - listingChunks;
  return out;
}

void ChmContainer::addStored(std::string name, std::string data) {
  m_stored.push_back({std::move(name), std::move(data)});
}

void ChmContainer::addCompressed(std::string name, std::string_view data) {
  m_section1Entries.push_back({std::move(name), 1, m_section1.size(), data.size()});
  m_section1.append(data);
}

std::string ChmContainer::build(const LzxOptions& lzx, uint32_t timestamp) {
  // The section is padded with zero bytes that no file covers, to whole
  // frames, at least one byte, and never to a whole reset interval:
  // - libmspack and 7-Zip decode whole 32 KiB frames, so a short last
  //   frame would leave them reading past the stream;
  // - libmspack decodes one frame further when a file ends exactly at a
  //   frame boundary, so the last file must end inside the last frame;
  // - a stream that ends on a reset interval boundary makes libmspack read
  //   on into the next interval's header, beyond the last frame, and 7-Zip
  //   rejects a last frame followed by anything.
  // A frame of zeros costs a few bytes once compressed.
  m_section1.resize((m_section1.size() / kLzxFrame + 1) * kLzxFrame, '\0');
  if (m_section1.size() % lzx.resetIntervalBytes == 0)
    m_section1.resize(m_section1.size() + kLzxFrame, '\0');
  const uint64_t section1Size = m_section1.size();
  LzxOutput compressed = lzxCompress(m_section1, lzx);
  std::string().swap(m_section1);

  // docs/chm-format.md "Section 1": the reset table has one entry per frame
  // start and, when the length is a whole number of frames (here always), a
  // last entry equal to the compressed length.  The encoder ends the stream
  // right after the last frame when the input does not end on an interval
  // boundary, as here.
  std::vector<uint64_t> resets = compressed.frameOffsets;
  if (section1Size % kLzxFrame == 0) resets.push_back(compressed.data.size());

  std::string resetTable;
  putLe32(resetTable, 2);
  putLe32(resetTable, static_cast<uint32_t>(resets.size()));
  putLe32(resetTable, 8);
  putLe32(resetTable, kResetTableHeaderSize);
  putLe64(resetTable, section1Size);
  putLe64(resetTable, compressed.data.size());
  putLe64(resetTable, kLzxFrame);
  for (uint64_t r : resets) putLe64(resetTable, r);

  std::string controlData;
  putLe32(controlData, 6);  // DWORDs that follow
  controlData += "LZXC";
  putLe32(controlData, 2);  // version 2: sizes below count 32 KiB frames
  putLe32(controlData, lzx.resetIntervalBytes / kLzxFrame);
  putLe32(controlData, (1u << lzx.windowBits) / kLzxFrame);
  putLe32(controlData, 1);  // cache size
  putLe32(controlData, 0);

  std::string spanInfo;
  putLe64(spanInfo, section1Size);

  // The transform list holds the LZX GUID as UTF-16, cut to 38 bytes: the
  // writer that set this format stored the character count as the byte
  // count, and readers never look further.
  std::string transformList = utf16Le(kLzxTransformGuid).substr(0, 38);

  std::string nameList;
  putLe16(nameList, 0);  // length in 16-bit words, set below
  putLe16(nameList, 2);
  for (const char* section : {"Uncompressed", "MSCompressed"}) {
    const std::string_view s(section);
    putLe16(nameList, static_cast<uint32_t>(s.size()));
    nameList += utf16Le(s);
    putLe16(nameList, 0);
  }
  nameList[0] = static_cast<char>((nameList.size() / 2) & 0xFF);
  nameList[1] = static_cast<char>((nameList.size() / 2) >> 8);

  const std::string storage(kStoragePrefix);
  std::vector<Stored> stored;
  stored.push_back({"::DataSpace/NameList", std::move(nameList)});
  stored.push_back({storage + "ControlData", std::move(controlData)});
  stored.push_back({storage + "SpanInfo", std::move(spanInfo)});
  stored.push_back({storage + "Transform/List", std::move(transformList)});
  stored.push_back({storage + "Transform/" + kLzxTransformGuid + "/InstanceData/ResetTable",
                    std::move(resetTable)});
  for (Stored& s : m_stored) stored.push_back(std::move(s));
  m_stored.clear();

  std::vector<DirectoryEntry> entries;
  entries.push_back({"/", 0, 0, 0});
  std::string section0;
  for (const Stored& s : stored) {
    // Empty files are stored with offset 0 and length 0.
    entries.push_back({s.name, 0, s.data.empty() ? 0 : section0.size(), s.data.size()});
    section0 += s.data;
  }
  // libmspack's decoder looks ahead up to two words past the last frame
  // (a Huffman peek, then the realignment at the frame's end) and makes up
  // only one itself, so the content carries a few zero bytes of slack after
  // the stream.  The reset table keeps the stream's own length: 7-Zip
  // decodes the last frame from exactly those bytes and rejects leftovers.
  constexpr size_t kSlack = 4;
  compressed.data.append(kSlack, '\0');
  entries.push_back({storage + "Content", 0, section0.size(), compressed.data.size()});
  for (DirectoryEntry& e : m_section1Entries) entries.push_back(std::move(e));
  m_section1Entries.clear();
  std::stable_sort(entries.begin(), entries.end(),
                   [](const DirectoryEntry& a, const DirectoryEntry& b) {
                     return directoryNameLess(a.name, b.name);
                   });

  const DirectoryLayout directory = buildDirectory(entries, m_languageId);
  const uint64_t directoryOffset = kItsfHeaderSize + kHeaderSectionSize;
  const uint64_t contentOffset = directoryOffset + directory.bytes.size();
  const uint64_t fileSize = contentOffset + section0.size() + compressed.data.size();

  std::string out;
  out.reserve(fileSize);
  out = "ITSF";
  putLe32(out, kItsfVersion);
  putLe32(out, kItsfHeaderSize);
  putLe32(out, 1);
  for (int shift = 24; shift >= 0; shift -= 8)  // the timestamp is big-endian
    out.push_back(static_cast<char>((timestamp >> shift) & 0xFF));
  putLe32(out, m_languageId);
  putGuid(out, 0x7C01FD10, 0x7BAA, 0x11D0, kItsfGuidTail);
  putGuid(out, 0x7C01FD11, 0x7BAA, 0x11D0, kItsfGuidTail);
  putLe64(out, kItsfHeaderSize);
  putLe64(out, kHeaderSectionSize);
  putLe64(out, directoryOffset);
  putLe64(out, directory.bytes.size());
  putLe64(out, contentOffset);
  // Header section 0: a magic number and the file's length.
  putLe32(out, kHeaderSectionMagic);
  putLe32(out, 0);
  putLe64(out, fileSize);
  putLe32(out, 0);
  putLe32(out, 0);
  out += directory.bytes;
  out += section0;
  out += compressed.data;
  return out;
}

}  // namespace zanvo::chm

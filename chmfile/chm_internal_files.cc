#include "chmfile/chm_internal_files.h"

#include <algorithm>

#include "chmfile/byte_order.h"

namespace zanvo::chm {
namespace {

constexpr uint32_t kPage = 0x1000;
constexpr uint32_t kSystemVersion = 3;
constexpr uint32_t kWindowEntrySize = 196;
constexpr uint32_t kNone = 0xFFFFFFFF;

// #WINDOWS "valid members" bits: which fields the viewer takes from the
// book instead of its own defaults.
constexpr uint32_t kValidProperties = 0x0002;
constexpr uint32_t kValidStyles = 0x0004;
constexpr uint32_t kValidExStyles = 0x0008;
constexpr uint32_t kValidRect = 0x0010;
constexpr uint32_t kValidNavWidth = 0x0020;
constexpr uint32_t kValidShowState = 0x0040;
constexpr uint32_t kValidButtons = 0x0100;
constexpr uint32_t kValidExpansion = 0x0200;
constexpr uint32_t kValidTabPosition = 0x0400;
constexpr uint32_t kValidCurrentTab = 0x2000;

// Appends padding so that a record of `size` bytes starting at the end of
// `out` does not cross a page boundary.
void padToFit(std::string& out, size_t size) {
  const size_t start = out.size();
  if (start / kPage != (start + size - 1) / kPage) out.resize((start / kPage + 1) * kPage, '\0');
}

void systemRecord(std::string& out, uint16_t code, std::string_view data) {
  putLe16(out, code);
  putLe16(out, static_cast<uint32_t>(data.size()));
  out += data;
}
void systemText(std::string& out, uint16_t code, std::string_view text) {
  std::string data(text);
  data.push_back('\0');
  systemRecord(out, code, data);
}
std::string le32(uint32_t v) {
  std::string s;
  putLe32(s, v);
  return s;
}

// A Windows FILETIME (100 ns steps since 1601) of a Unix time.
uint64_t fileTime(uint32_t unixTime) {
  return (static_cast<uint64_t>(unixTime) + 11644473600ull) * 10000000ull;
}

uint32_t le32At(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

uint32_t StringTable::add(std::string_view s) {
  if (s.empty()) return 0;
  for (const auto& [text, offset] : m_known)
    if (text == s) return offset;
  // Longer strings than a page cannot be kept whole; they are cut.
  const std::string_view kept = s.substr(0, std::min<size_t>(s.size(), kPage - 1));
  padToFit(m_bytes, kept.size() + 1);
  const uint32_t offset = static_cast<uint32_t>(m_bytes.size());
  m_bytes += kept;
  m_bytes.push_back('\0');
  m_known.emplace_back(std::string(s), offset);
  return offset;
}

uint32_t urlHash(std::string_view url) {
  uint32_t hash = 0;
  for (char ch : url) {
    // Each byte adds a value derived from it (bytes read as signed):
    // "/" counts 0x2C, bytes up to "Z" their value - 0x30, others - 0x50.
    // "\" counts as "/", as the viewer normalises it before hashing.
    const int c = ch == '\\' ? '/' : static_cast<signed char>(ch);
    const int value = c == '/' ? 0x2C : (c <= 'Z' ? c - 0x30 : c - 0x50);
    hash = hash * 43u + static_cast<uint32_t>(value);
  }
  return hash == 0 ? 1 : hash;
}

uint32_t charsetForLanguage(uint32_t languageId) {
  switch (languageId & 0xFFFF) {
    case 0x0804: case 0x1004: return 134;  // GB2312
    case 0x0404: case 0x0C04: case 0x1404: return 136;  // Big5
    case 0x0411: return 128;  // Shift JIS
    case 0x0412: return 129;  // Hangul
    default: return 0;        // ANSI
  }
}

bool isDbcsLanguage(uint32_t languageId) { return charsetForLanguage(languageId) != 0; }

InternalFiles makeInternalFiles(const BookSettings& book) {
  InternalFiles out;
  StringTable strings;

  // #TOPICS, #URLTBL, #URLSTR.  #URLSTR starts with a zero byte so that
  // offset 0 reads as an empty string.
  std::string urlstr(1, '\0');
  struct UrlRecord {
    uint32_t hash;
    uint32_t topic;
    uint32_t urlstrOffset;
  };
  std::vector<UrlRecord> urls;
  std::string topics;
  for (size_t i = 0; i < book.topics.size(); ++i) {
    const Topic& t = book.topics[i];
    padToFit(urlstr, 8 + t.local.size() + 1);
    urls.push_back({urlHash(t.local), static_cast<uint32_t>(i), static_cast<uint32_t>(urlstr.size())});
    putLe32(urlstr, 0);  // no full URL
    putLe32(urlstr, 0);  // no frame name
    urlstr += t.local;
    urlstr.push_back('\0');
    putLe32(topics, 0);  // its #TOCIDX record, set there
    putLe32(topics, t.title.empty() ? kNone : strings.add(t.title));
    putLe32(topics, 0);  // #URLTBL offset, set below
    putLe16(topics, t.inContents ? 6 : 2);
    putLe16(topics, 0);
  }
  std::stable_sort(urls.begin(), urls.end(),
                   [](const UrlRecord& a, const UrlRecord& b) { return a.hash < b.hash; });
  std::string urltbl;
  for (const UrlRecord& u : urls) {
    padToFit(urltbl, 12);
    setLe32(topics, u.topic * 16 + 8, static_cast<uint32_t>(urltbl.size()));
    putLe32(urltbl, u.hash);
    putLe32(urltbl, u.topic);
    putLe32(urltbl, u.urlstrOffset);
  }

  // #TOCIDX: the contents tree in binary form.  Readers that cannot
  // decode the contents file's name (stored in the book's code page) still
  // find the tree here.  docs/chm-format.md "#TOCIDX".
  std::string tocidx;
  if (!book.toc.empty()) {
    const size_t n = book.toc.size();
    std::vector<int> parent(n, -1), nextSibling(n, -1), firstChild(n, -1);
    {
      // The parent of a node is the nearest earlier node that is less deep.
      std::vector<int> stack;
      std::vector<int> lastChildOf(n, -1);
      int lastTop = -1;
      for (size_t i = 0; i < n; ++i) {
        while (!stack.empty() && book.toc[stack.back()].depth >= book.toc[i].depth) stack.pop_back();
        const int p = stack.empty() ? -1 : stack.back();
        parent[i] = p;
        int& last = p < 0 ? lastTop : lastChildOf[p];
        if (last >= 0) nextSibling[last] = static_cast<int>(i);
        else if (p >= 0) firstChild[p] = static_cast<int>(i);
        last = static_cast<int>(i);
        stack.push_back(static_cast<int>(i));
      }
    }
    tocidx.assign(kPage, '\0');
    std::vector<uint32_t> offset(n);
    for (size_t i = 0; i < n; ++i) {
      const TocNode& node = book.toc[i];
      const bool hasChildren = firstChild[i] >= 0;
      const size_t size = hasChildren ? 0x1C : 0x14;
      // Records never straddle a page; the gap is filled with zero words.
      while (tocidx.size() / kPage != (tocidx.size() + size - 1) / kPage) putLe32(tocidx, 0);
      offset[i] = static_cast<uint32_t>(tocidx.size());
      // Flags: 8 the entry opens a page, 4 a book icon, 1 it has children.
      uint32_t flags = 0;
      if (node.topic >= 0) flags |= 8;
      if (hasChildren || node.topic < 0) flags |= 4;
      if (hasChildren) flags |= 1;
      putLe16(tocidx, 0);
      putLe16(tocidx, static_cast<uint32_t>(i));
      putLe32(tocidx, flags);
      // A page entry names its topic; a folder entry its title in #STRINGS.
      putLe32(tocidx, node.topic >= 0 ? static_cast<uint32_t>(node.topic) : strings.add(node.title));
      putLe32(tocidx, parent[i] >= 0 ? offset[parent[i]] : 0);
      putLe32(tocidx, 0);  // next sibling, set below
      if (hasChildren) {
        putLe32(tocidx, 0);  // first child, set below
        putLe32(tocidx, 0);
      }
    }
    for (size_t i = 0; i < n; ++i) {
      if (nextSibling[i] >= 0) setLe32(tocidx, offset[i] + 0x10, offset[nextSibling[i]]);
      if (firstChild[i] >= 0) setLe32(tocidx, offset[i] + 0x14, offset[firstChild[i]]);
      const int topic = book.toc[i].topic;
      if (topic >= 0 && topics.size() >= static_cast<size_t>(topic) * 16 + 16 &&
          le32At(topics, static_cast<size_t>(topic) * 16) == 0)
        setLe32(topics, static_cast<size_t>(topic) * 16, offset[i]);
    }
    setLe32(tocidx, 0, kPage);  // the first entry record
    setLe32(tocidx, 0xC, static_cast<uint32_t>(tocidx.size()));
    std::vector<uint32_t> second(n);
    for (size_t i = 0; i < n; ++i) {
      second[i] = static_cast<uint32_t>(tocidx.size());
      putLe32(tocidx, static_cast<uint32_t>(std::max(book.toc[i].topic, 0)));
    }
    while (tocidx.size() % 16 != 0) tocidx.push_back('\0');
    setLe32(tocidx, 4, static_cast<uint32_t>(tocidx.size()));
    for (size_t i = 0; i < n; ++i) {
      putLe32(tocidx, offset[i]);
      putLe32(tocidx, static_cast<uint32_t>(i));
      putLe32(tocidx, second[i]);
      putLe32(tocidx, static_cast<uint32_t>(std::max(book.toc[i].topic, 0)));
    }
    setLe32(tocidx, 8, static_cast<uint32_t>(n));
  }

  // #WINDOWS: one 196-byte record per definition.
  std::string windows;
  putLe32(windows, static_cast<uint32_t>(book.windows.size()));
  putLe32(windows, kWindowEntrySize);
  for (const WindowDefinition& w : book.windows) {
    const size_t start = windows.size();
    uint32_t valid = 0;
    auto flag = [&](const auto& field, uint32_t bit) {
      if (field) valid |= bit;
    };
    flag(w.navigationStyle, kValidProperties);
    flag(w.styles, kValidStyles);
    flag(w.extendedStyles, kValidExStyles);
    flag(w.position, kValidRect);
    flag(w.navigationWidth, kValidNavWidth);
    flag(w.showState, kValidShowState);
    flag(w.buttons, kValidButtons);
    flag(w.navigationClosed, kValidExpansion);
    flag(w.tabPosition, kValidTabPosition);
    flag(w.defaultPane, kValidCurrentTab);
    auto str = [&](const std::optional<std::string>& s) { return s ? strings.add(*s) : 0u; };
    putLe32(windows, kWindowEntrySize);
    putLe32(windows, 0);  // texts are not Unicode
    putLe32(windows, strings.add(w.name));
    putLe32(windows, valid);
    putLe32(windows, w.navigationStyle.value_or(0));
    putLe32(windows, str(w.title));
    putLe32(windows, w.styles.value_or(0));
    putLe32(windows, w.extendedStyles.value_or(0));
    const std::array<int32_t, 4> rect = w.position.value_or(std::array<int32_t, 4>{});
    for (int32_t v : rect) putLe32(windows, static_cast<uint32_t>(v));
    putLe32(windows, w.showState.value_or(0));
    for (int k = 0; k < 6; ++k) putLe32(windows, 0);  // window handles, run time only
    putLe32(windows, w.navigationWidth.value_or(0));
    for (int k = 0; k < 4; ++k) putLe32(windows, 0);  // topic pane rectangle, run time only
    putLe32(windows, str(w.contentsFile));
    putLe32(windows, str(w.indexFile));
    putLe32(windows, str(w.defaultTopic));
    putLe32(windows, str(w.home));
    putLe32(windows, w.buttons.value_or(0));
    putLe32(windows, w.navigationClosed.value_or(0));
    putLe32(windows, w.defaultPane.value_or(0));
    putLe32(windows, w.tabPosition.value_or(0));
    putLe32(windows, w.notifyId.value_or(0));
    windows.append(20, '\0');  // tab order
    putLe32(windows, 0);       // history length: viewer default
    putLe32(windows, str(w.jump1Url));
    putLe32(windows, str(w.jump2Url));
    putLe32(windows, str(w.jump1Text));
    putLe32(windows, str(w.jump2Text));
    for (int k = 0; k < 4; ++k) putLe32(windows, 0);  // minimum size rectangle
    putLe32(windows, 0);  // information types
    putLe32(windows, 0);  // custom tabs
    windows.resize(start + kWindowEntrySize, '\0');
  }

  // #IDXHDR: one page describing the index and contents defaults.
  std::string idxhdr = "T#SM";
  putLe32(idxhdr, book.timestamp);
  putLe32(idxhdr, 1);
  putLe32(idxhdr, static_cast<uint32_t>(book.topics.size()));
  putLe32(idxhdr, 0);
  putLe32(idxhdr, kNone);  // no image list
  putLe32(idxhdr, 0);
  putLe32(idxhdr, 0);      // images are not folders
  for (int k = 0; k < 8; ++k) putLe32(idxhdr, kNone);  // colours, font, styles, frame, window
  putLe32(idxhdr, 0);      // no information types
  putLe32(idxhdr, 1);
  putLe32(idxhdr, 0);      // no merged files
  putLe32(idxhdr, 0);
  idxhdr.resize(kPage, '\0');

  // #SYSTEM, its records in the order other compilers write them.
  std::string system;
  putLe32(system, kSystemVersion);
  systemRecord(system, 10, le32(book.timestamp));
  systemText(system, 9, "HHA Version 4.74.8702");
  {
    std::string info;
    putLe32(info, book.languageId);
    putLe32(info, isDbcsLanguage(book.languageId) ? 1 : 0);
    putLe32(info, book.fullTextSearch ? 1 : 0);
    putLe32(info, 0);  // no keyword links
    putLe32(info, 0);  // no associative links
    putLe64(info, fileTime(book.timestamp));
    putLe32(info, 0);
    putLe32(info, 0);
    systemRecord(system, 4, info);
  }
  if (!book.defaultTopic.empty()) systemText(system, 2, book.defaultTopic);
  if (!book.title.empty()) systemText(system, 3, book.title);
  systemText(system, 16, book.defaultFont);
  systemText(system, 6, lowerAscii(book.compiledStem));
  if (!book.contentsFile.empty()) systemText(system, 0, book.contentsFile);
  if (!book.indexFile.empty()) systemText(system, 1, book.indexFile);
  if (!book.defaultWindow.empty()) systemText(system, 5, book.defaultWindow);
  systemRecord(system, 12, le32(0));  // no information types
  systemRecord(system, 13, idxhdr);
  systemRecord(system, 15, le32(0));

  out.system = std::move(system);
  out.windows = std::move(windows);
  out.strings = strings.bytes();
  out.topics = std::move(topics);
  out.urltbl = std::move(urltbl);
  out.urlstr = std::move(urlstr);
  out.idxhdr = std::move(idxhdr);
  out.tocidx = std::move(tocidx);
  return out;
}

}  // namespace zanvo::chm

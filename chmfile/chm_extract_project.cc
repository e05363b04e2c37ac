#include "chmfile/chm_extract_project.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string_view>

#include "chmfile/chm_extract.h"
#include "chmfile/chm_reader.h"

namespace zanvo {
namespace {

// #SYSTEM record codes.
constexpr uint16_t kSysContentsFile = 0;
constexpr uint16_t kSysIndexFile = 1;
constexpr uint16_t kSysDefaultTopic = 2;
constexpr uint16_t kSysTitle = 3;
constexpr uint16_t kSysLanguage = 4;
constexpr uint16_t kSysDefaultWindow = 5;
constexpr uint16_t kSysCompiledFile = 6;
constexpr uint16_t kSysDefaultFont = 16;

// One window definition of #WINDOWS (the on-disk HH_WINTYPE).  String
// fields are offsets into #STRINGS.
constexpr size_t kWinType = 0x08;
constexpr size_t kWinValidMembers = 0x0C;
constexpr size_t kWinProperties = 0x10;
constexpr size_t kWinCaption = 0x14;
constexpr size_t kWinStyles = 0x18;
constexpr size_t kWinExStyles = 0x1C;
constexpr size_t kWinRect = 0x20;
constexpr size_t kWinShowState = 0x30;
constexpr size_t kWinNavWidth = 0x4C;
constexpr size_t kWinToc = 0x60;
constexpr size_t kWinIndex = 0x64;
constexpr size_t kWinFile = 0x68;
constexpr size_t kWinHome = 0x6C;
constexpr size_t kWinToolbarFlags = 0x70;
constexpr size_t kWinNotExpanded = 0x74;
constexpr size_t kWinCurNavType = 0x78;
constexpr size_t kWinTabPos = 0x7C;
constexpr size_t kWinNotifyId = 0x80;
constexpr size_t kWinJump1Text = 0x9C;
constexpr size_t kWinJump2Text = 0xA0;
constexpr size_t kWinJump1Url = 0xA4;
constexpr size_t kWinJump2Url = 0xA8;
constexpr size_t kWinMinSize = 0xAC;  // entries shorter than this are not read
constexpr uint32_t kMaxWindows = 256;

// fsValidMembers bits: which numeric fields the window definition sets.
constexpr uint32_t kValidProperties = 0x0002;
constexpr uint32_t kValidStyles = 0x0004;
constexpr uint32_t kValidExStyles = 0x0008;
constexpr uint32_t kValidRect = 0x0010;
constexpr uint32_t kValidNavWidth = 0x0020;
constexpr uint32_t kValidShowState = 0x0040;
constexpr uint32_t kValidToolbarFlags = 0x0100;
constexpr uint32_t kValidExpansion = 0x0200;
constexpr uint32_t kValidTabPos = 0x0400;
constexpr uint32_t kValidCurTab = 0x2000;

uint32_t le32(std::string_view b, size_t at) {
  if (at > b.size() || b.size() - at < 4) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
         uint32_t{p[3]} << 24;
}
uint16_t le16(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// A zero-ended string inside a record, without its terminator.  Line breaks
// would break the project's line structure and are cut off there.
std::string cString(std::string_view b) {
  const size_t end = b.find_first_of(std::string_view("\0\r\n", 3));
  return std::string(b.substr(0, end));
}

std::string hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

bool endsWithNoCase(const std::string& s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char a = s[s.size() - suffix.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != suffix[i]) return false;
  }
  return true;
}

std::string windowLine(std::string_view w, std::string_view strings) {
  auto str = [&](size_t field) -> std::string {
    const uint32_t off = le32(w, field);
    if (off == 0 || off >= strings.size()) return {};
    return cString(strings.substr(off));
  };
  auto quoted = [&](size_t field) {
    const std::string s = str(field);
    return s.empty() ? std::string() : "\"" + s + "\"";
  };
  const uint32_t valid = le32(w, kWinValidMembers);
  auto num = [&](uint32_t bit, size_t field, bool asHex) -> std::string {
    if (!(valid & bit)) return {};
    return asHex ? hex(le32(w, field)) : std::to_string(le32(w, field));
  };
  std::string line = str(kWinType) + "=";
  line += quoted(kWinCaption) + "," + quoted(kWinToc) + "," + quoted(kWinIndex) +
          "," + quoted(kWinFile) + "," + quoted(kWinHome) + "," +
          quoted(kWinJump1Url) + "," + quoted(kWinJump1Text) + "," +
          quoted(kWinJump2Url) + "," + quoted(kWinJump2Text) + ",";
  line += num(kValidProperties, kWinProperties, true) + ",";
  line += num(kValidNavWidth, kWinNavWidth, false) + ",";
  line += num(kValidToolbarFlags, kWinToolbarFlags, true) + ",";
  if (valid & kValidRect) {
    line += "[" + std::to_string(static_cast<int32_t>(le32(w, kWinRect))) + "," +
            std::to_string(static_cast<int32_t>(le32(w, kWinRect + 4))) + "," +
            std::to_string(static_cast<int32_t>(le32(w, kWinRect + 8))) + "," +
            std::to_string(static_cast<int32_t>(le32(w, kWinRect + 12))) + "]";
  }
  line += ",";
  line += num(kValidStyles, kWinStyles, true) + ",";
  line += num(kValidExStyles, kWinExStyles, true) + ",";
  line += num(kValidShowState, kWinShowState, false) + ",";
  line += num(kValidExpansion, kWinNotExpanded, false) + ",";
  line += num(kValidCurTab, kWinCurNavType, false) + ",";
  line += num(kValidTabPos, kWinTabPos, false) + ",";
  const uint32_t id = le32(w, kWinNotifyId);
  if (id) line += std::to_string(id);
  return line;
}

}  // namespace

bool rebuildProject(ChmReader& reader, const std::vector<std::string>& written,
                    const std::string& bookName, std::string* hhpName,
                    std::string* text) {
  for (const std::string& name : written)
    if (endsWithNoCase(name, ".hhp")) return false;
  const ChmEntry* sysEntry = reader.find("/#SYSTEM");
  std::string sys;
  if (!sysEntry || !reader.readAll(*sysEntry, &sys, 1u << 20).ok || sys.size() < 4)
    return false;

  std::map<uint16_t, std::string> rec;
  for (size_t p = 4; p + 4 <= sys.size();) {
    const uint16_t code = le16(sys, p);
    const uint16_t len = le16(sys, p + 2);
    p += 4;
    if (len > sys.size() - p) break;
    rec.emplace(code, sys.substr(p, len));
    p += len;
  }
  auto field = [&](uint16_t code) {
    auto it = rec.find(code);
    return it == rec.end() ? std::string() : cString(it->second);
  };

  std::string base = field(kSysCompiledFile);
  if (endsWithNoCase(base, ".chm")) base.resize(base.size() - 4);
  std::string why;
  auto plain = [&](const std::string& b) {
    if (b.empty()) return false;
    auto parts = safeEntryParts("/" + b + ".hhp", &why);
    return parts && parts->size() == 1;
  };
  if (!plain(base)) {
    base = bookName;
    if (endsWithNoCase(base, ".chm")) base.resize(base.size() - 4);
    if (!plain(base)) base = "project";
  }
  *hhpName = base + ".hhp";

  const std::string crlf = "\r\n";
  std::string t = "[OPTIONS]" + crlf;
  t += "Compatibility=1.1 or later" + crlf;
  t += "Compiled file=" + base + ".chm" + crlf;
  const std::string contents = field(kSysContentsFile);
  const std::string index = field(kSysIndexFile);
  if (!contents.empty()) t += "Contents file=" + contents + crlf;
  if (!index.empty()) t += "Index file=" + index + crlf;
  if (const std::string s = field(kSysDefaultTopic); !s.empty())
    t += "Default topic=" + s + crlf;
  if (const std::string s = field(kSysDefaultWindow); !s.empty())
    t += "Default Window=" + s + crlf;
  if (const std::string s = field(kSysDefaultFont); !s.empty())
    t += "Default Font=" + s + crlf;
  t += "Display compile progress=No" + crlf;
  if (auto it = rec.find(kSysLanguage); it != rec.end() && it->second.size() >= 4) {
    // chmcmd leaves the language 0 when the project names none.
    if (le32(it->second, 0) != 0) t += "Language=" + hex(le32(it->second, 0)) + crlf;
    if (it->second.size() >= 12 && le32(it->second, 8) != 0)
      t += "Full-text search=Yes" + crlf;
  }
  if (const std::string s = field(kSysTitle); !s.empty()) t += "Title=" + s + crlf;

  std::string windows, strings;
  const ChmEntry* winEntry = reader.find("/#WINDOWS");
  const ChmEntry* strEntry = reader.find("/#STRINGS");
  if (winEntry && strEntry && reader.readAll(*winEntry, &windows, 1u << 20).ok &&
      reader.readAll(*strEntry, &strings, 16u << 20).ok && windows.size() >= 8) {
    const uint32_t count = le32(windows, 0);
    const uint32_t size = le32(windows, 4);
    if (count > 0 && count <= kMaxWindows && size >= kWinMinSize &&
        uint64_t{count} * size <= windows.size() - 8) {
      t += crlf + "[WINDOWS]" + crlf;
      for (uint32_t i = 0; i < count; ++i)
        t += windowLine(std::string_view(windows).substr(8 + size_t{i} * size, size),
                        strings) + crlf;
    }
  }

  t += crlf + "[FILES]" + crlf;
  for (const std::string& name : written) {
    std::string rel = name.substr(1);
    if (rel == contents || rel == index) continue;
    for (char& c : rel)
      if (c == '/') c = '\\';
    t += rel + crlf;
  }
  *text = std::move(t);
  return true;
}

}  // namespace zanvo

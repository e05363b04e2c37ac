#include "chmfile/hhp_project.h"

#include <cstdlib>

namespace zanvo::chm {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Splits a window definition at commas outside quotes and brackets (the
// position "[0,0,1010,738]" is one field).  Quotes around a field are
// removed; a field that was quoted but empty ("") counts as given.
struct Field {
  std::string text;
  bool present = false;
};
std::vector<Field> splitWindowFields(std::string_view s) {
  std::vector<Field> fields;
  Field cur;
  bool inQuote = false;
  int bracket = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (inQuote) {
      if (c == '"') inQuote = false; else cur.text.push_back(c);
      continue;
    }
    if (c == '"') {
      inQuote = true;
      cur.present = true;
    } else if (c == '[') {
      ++bracket;
      cur.text.push_back(c);
    } else if (c == ']') {
      if (bracket > 0) --bracket;
      cur.text.push_back(c);
    } else if (c == ',' && bracket == 0) {
      cur.present = cur.present || !trim(cur.text).empty();
      fields.push_back(std::move(cur));
      cur = Field();
    } else {
      cur.text.push_back(c);
    }
  }
  cur.present = cur.present || !trim(cur.text).empty();
  fields.push_back(std::move(cur));
  return fields;
}

}  // namespace

std::optional<uint32_t> parseProjectNumber(std::string_view text) {
  text = trim(text);
  int base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  uint64_t value = 0;
  size_t digits = 0;
  for (char c : text) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    value = value * base + d;
    if (value > 0xFFFFFFFFull) return std::nullopt;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return static_cast<uint32_t>(value);
}

bool projectFlag(const ProjectValue& v) {
  const std::string_view t = trim(v.value);
  return equalsIgnoreCase(t, "yes") || equalsIgnoreCase(t, "true") || t == "1";
}

const WindowDefinition* Project::findWindow(std::string_view name) const {
  for (const WindowDefinition& w : windows)
    if (equalsIgnoreCase(w.name, trim(name))) return &w;
  return nullptr;
}

Project parseProject(std::string_view text, const std::string& fileName,
                     std::vector<Diagnostic>& diagnostics) {
  Project project;
  enum class Section { kNone, kOptions, kWindows, kFiles, kOther } section = Section::kNone;
  auto report = [&](bool error, int line, std::string message) {
    diagnostics.push_back({error, fileName, line, std::move(message)});
  };

  struct Key {
    const char* name;
    ProjectValue Project::*field;
  };
  static const Key kKeys[] = {
      {"Compiled file", &Project::compiledFile},
      {"Contents file", &Project::contentsFile},
      {"Index file", &Project::indexFile},
      {"Default topic", &Project::defaultTopic},
      {"Default Window", &Project::defaultWindow},
      {"Title", &Project::title},
      {"Language", &Project::language},
      {"Default Font", &Project::defaultFont},
      {"Display compile progress", &Project::displayProgress},
      {"Full-text search", &Project::fullTextSearch},
      {"Binary TOC", &Project::binaryToc},
      {"Binary Index", &Project::binaryIndex},
      {"Compatibility", &Project::compatibility},
  };
  // Options other compilers accept that change nothing in the book we write.
  static const char* const kIgnoredKeys[] = {
      "Auto Index", "Auto TOC", "Create CHI file", "Custom tab",
      "Enhanced decompilation", "Error log file", "Flat",
      "Full text search stop list file", "Sample Staging Path",
      "Sample list file", "Prefix", "Display compile notes",
  };

  int lineNo = 0;
  size_t pos = 0;
  // A UTF-8 byte order mark is skipped; the project is otherwise code page
  // bytes.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = trim(text.substr(pos, end - pos));
    ++lineNo;
    pos = end + 1;
    if (line.empty() || line.front() == ';') {
      if (end == text.size()) break;
      continue;
    }
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) {
        report(true, lineNo, "malformed section header");
        section = Section::kOther;
      } else {
        const std::string_view name = trim(line.substr(1, close - 1));
        if (equalsIgnoreCase(name, "OPTIONS")) section = Section::kOptions;
        else if (equalsIgnoreCase(name, "WINDOWS")) section = Section::kWindows;
        else if (equalsIgnoreCase(name, "FILES")) section = Section::kFiles;
        else {
          section = Section::kOther;
          report(false, lineNo, "section [" + std::string(name) + "] is not supported and is ignored");
        }
      }
    } else if (section == Section::kFiles) {
      project.files.push_back({std::string(line), lineNo});
    } else if (section == Section::kOptions || section == Section::kWindows) {
      const size_t eq = line.find('=');
      if (eq == std::string_view::npos || trim(line.substr(0, eq)).empty()) {
        report(true, lineNo, "malformed line: expected name=value");
      } else if (section == Section::kOptions) {
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        bool known = false;
        for (const Key& k : kKeys) {
          if (equalsIgnoreCase(key, k.name)) {
            project.*(k.field) = {std::string(value), lineNo};
            known = true;
            break;
          }
        }
        for (const char* k : kIgnoredKeys)
          if (!known && equalsIgnoreCase(key, k)) known = true;
        if (!known) report(false, lineNo, "unknown option \"" + std::string(key) + "\" ignored");
      } else {
        WindowDefinition w;
        w.name = std::string(trim(line.substr(0, eq)));
        w.line = lineNo;
        const std::vector<Field> f = splitWindowFields(line.substr(eq + 1));
        auto fieldText = [&](size_t i) -> std::optional<std::string> {
          if (i < f.size() && f[i].present) return std::string(f[i].text);
          return std::nullopt;
        };
        bool bad = false;
        auto number = [&](size_t i) -> std::optional<uint32_t> {
          if (i >= f.size() || !f[i].present) return std::nullopt;
          std::optional<uint32_t> n = parseProjectNumber(f[i].text);
          if (!n) bad = true;
          return n;
        };
        w.title = fieldText(0);
        w.contentsFile = fieldText(1);
        w.indexFile = fieldText(2);
        w.defaultTopic = fieldText(3);
        w.home = fieldText(4);
        w.jump1Url = fieldText(5);
        w.jump1Text = fieldText(6);
        w.jump2Url = fieldText(7);
        w.jump2Text = fieldText(8);
        w.navigationStyle = number(9);
        w.navigationWidth = number(10);
        w.buttons = number(11);
        if (f.size() > 12 && f[12].present) {
          std::string_view r = trim(f[12].text);
          std::array<int32_t, 4> rect{};
          int got = 0;
          if (r.size() >= 2 && r.front() == '[' && r.back() == ']') {
            r = r.substr(1, r.size() - 2);
            while (got < 4) {
              const size_t comma = r.find(',');
              std::string_view part = trim(r.substr(0, comma));
              const bool negative = !part.empty() && part.front() == '-';
              if (negative) part.remove_prefix(1);
              const std::optional<uint32_t> n = parseProjectNumber(part);
              if (!n) break;
              rect[got++] = negative ? -static_cast<int32_t>(*n) : static_cast<int32_t>(*n);
              if (comma == std::string_view::npos) break;
              r.remove_prefix(comma + 1);
            }
          }
          if (got == 4) w.position = rect; else bad = true;
        }
        w.styles = number(13);
        w.extendedStyles = number(14);
        w.showState = number(15);
        w.navigationClosed = number(16);
        w.defaultPane = number(17);
        w.tabPosition = number(18);
        w.notifyId = number(19);
        if (bad) report(true, lineNo, "malformed window definition \"" + w.name + "\"");
        else project.windows.push_back(std::move(w));
      }
    } else if (section == Section::kNone) {
      report(true, lineNo, "malformed line: text before the first section");
    }
    if (end == text.size()) break;
  }
  return project;
}

}  // namespace zanvo::chm

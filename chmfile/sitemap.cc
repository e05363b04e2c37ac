#include "chmfile/sitemap.h"

#include <algorithm>
#include <optional>

#include "chmfile/code_page.h"

namespace zanvo::chm {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

struct Tag {
  std::string name;  // lower case, "/ul" for an end tag
  std::vector<std::pair<std::string, std::string>> attributes;  // names lower case
  const std::string* find(std::string_view attr) const {
    for (const auto& a : attributes)
      if (a.first == attr) return &a.second;
    return nullptr;
  }
};

// Reads the tag that starts at html[pos] == '<'; pos ends after its '>'.
// Attribute values may hold any byte but their own quote; a code page 936
// trail byte is never a quote or '>' (they are all 0x40 or above).
Tag readTag(std::string_view html, size_t& pos) {
  Tag tag;
  size_t i = pos + 1;
  const size_t n = html.size();
  while (i < n && isSpace(html[i])) ++i;
  const size_t nameStart = i;
  if (i < n && html[i] == '/') ++i;
  while (i < n && !isSpace(html[i]) && html[i] != '>' && html[i] != '/') ++i;
  tag.name = lowerAscii(html.substr(nameStart, i - nameStart));
  while (i < n && html[i] != '>') {
    if (isSpace(html[i]) || html[i] == '/') {
      ++i;
      continue;
    }
    const size_t attrStart = i;
    while (i < n && !isSpace(html[i]) && html[i] != '=' && html[i] != '>') ++i;
    std::string name = lowerAscii(html.substr(attrStart, i - attrStart));
    while (i < n && isSpace(html[i])) ++i;
    std::string value;
    if (i < n && html[i] == '=') {
      ++i;
      while (i < n && isSpace(html[i])) ++i;
      if (i < n && (html[i] == '"' || html[i] == '\'')) {
        const char quote = html[i++];
        const size_t close = html.find(quote, i);
        const size_t stop = close == std::string_view::npos ? n : close;
        value = decodeEntities(html.substr(i, stop - i));
        i = stop == n ? n : stop + 1;
      } else {
        const size_t valueStart = i;
        while (i < n && !isSpace(html[i]) && html[i] != '>') ++i;
        value = decodeEntities(html.substr(valueStart, i - valueStart));
      }
    }
    if (!name.empty()) tag.attributes.emplace_back(std::move(name), std::move(value));
  }
  pos = i < n ? i + 1 : n;
  return tag;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string decodeEntities(std::string_view s) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    if (c >= 0x80 && i + 1 < s.size()) {  // a two-byte character, kept whole
      out.append(s.substr(i, 2));
      i += 2;
      continue;
    }
    if (c != '&') {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const size_t semi = s.find(';', i);
    if (semi == std::string_view::npos || semi - i > 10) {
      out.push_back('&');
      ++i;
      continue;
    }
    const std::string name = lowerAscii(s.substr(i + 1, semi - i - 1));
    std::optional<std::string> replacement;
    if (name == "amp") replacement = "&";
    else if (name == "lt") replacement = "<";
    else if (name == "gt") replacement = ">";
    else if (name == "quot") replacement = "\"";
    else if (name == "apos") replacement = "'";
    else if (name == "nbsp") replacement = " ";
    else if (name.size() > 1 && name[0] == '#') {
      uint32_t cp = 0;
      bool ok = true;
      const bool hex = name[1] == 'x';
      for (size_t k = hex ? 2 : 1; k < name.size() && ok; ++k) {
        const char d = name[k];
        int v = -1;
        if (d >= '0' && d <= '9') v = d - '0';
        else if (hex && d >= 'a' && d <= 'f') v = d - 'a' + 10;
        if (v < 0) ok = false; else cp = cp * (hex ? 16 : 10) + v;
        if (cp > 0x10FFFF) ok = false;
      }
      if (ok && cp != 0 && name.size() > (hex ? 2u : 1u)) {
        std::string utf8;
        appendUtf8(utf8, cp);
        replacement = gb18030FromUtf8(utf8);
      }
    }
    if (replacement) {
      out += *replacement;
      i = semi + 1;
    } else {
      out.push_back('&');
      ++i;
    }
  }
  return out;
}

Sitemap parseSitemap(std::string_view html) {
  Sitemap map;
  int depth = 0;
  int line = 1;
  size_t lineCountedTo = 0;
  bool inObject = false;
  bool sitemapObject = false;
  bool propertiesObject = false;
  SitemapEntry current;
  bool haveName = false, haveLocal = false;
  size_t pos = 0;
  while (pos < html.size()) {
    const size_t lt = html.find('<', pos);
    if (lt == std::string_view::npos) break;
    line += static_cast<int>(std::count(html.begin() + lineCountedTo, html.begin() + lt, '\n'));
    lineCountedTo = lt;
    pos = lt;
    if (html.substr(lt, 4) == "<!--") {
      const size_t close = html.find("-->", lt + 4);
      pos = close == std::string_view::npos ? html.size() : close + 3;
      continue;
    }
    const Tag tag = readTag(html, pos);
    if (tag.name == "ul") {
      ++depth;
    } else if (tag.name == "/ul") {
      if (depth > 0) --depth;  // an extra </UL> closes nothing
    } else if (tag.name == "object") {
      const std::string* type = tag.find("type");
      const std::string t = type ? lowerAscii(*type) : std::string();
      inObject = true;
      sitemapObject = t == "text/sitemap";
      propertiesObject = t == "text/site properties";
      current = SitemapEntry();
      current.depth = depth;
      current.line = line;
      haveName = haveLocal = false;
    } else if (tag.name == "param" && inObject) {
      const std::string* name = tag.find("name");
      const std::string* value = tag.find("value");
      if (name && value) {
        const std::string key = lowerAscii(*name);
        if (sitemapObject && key == "name" && !haveName) {
          current.name = *value;
          haveName = true;
        } else if (sitemapObject && key == "local" && !haveLocal) {
          current.local = *value;
          haveLocal = true;
        } else if (propertiesObject && key == "imagetype") {
          map.folderImages = lowerAscii(*value) == "folder";
        }
      }
    } else if (tag.name == "/object") {
      if (inObject && sitemapObject && (haveName || haveLocal))
        map.entries.push_back(std::move(current));
      inObject = sitemapObject = propertiesObject = false;
    }
  }
  return map;
}

}  // namespace zanvo::chm

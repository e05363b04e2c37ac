// The internal files a viewer reads to set up a book: #SYSTEM, #WINDOWS,
// #STRINGS, #TOPICS, #URLTBL, #URLSTR and #IDXHDR (docs/chm-format.md
// "Internal files").  Texts are bytes in the book's code page, as the
// project wrote them; viewers decode them by the language id.
#ifndef ZANVO_CHMFILE_CHM_INTERNAL_FILES_H_
#define ZANVO_CHMFILE_CHM_INTERNAL_FILES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chmfile/hhp_project.h"

namespace zanvo::chm {

struct Topic {
  std::string title;  // empty: no title
  std::string local;  // path in the book without the leading "/", "/" separators
  bool inContents = false;
};

// One entry of the contents tree, in tree order.
struct TocNode {
  std::string title;
  int topic = -1;  // index into BookSettings::topics, -1 for a folder entry
  int depth = 0;   // nesting as read; only the order of depths matters
};

struct BookSettings {
  uint32_t languageId = 0x0804;
  std::string contentsFile, indexFile, defaultTopic, title, defaultWindow;
  std::string compiledStem;  // the book's file name without folder and extension
  std::string defaultFont;   // "face,size,charset"
  bool fullTextSearch = false;
  uint32_t timestamp = 0;    // seconds since 1970
  std::vector<WindowDefinition> windows;
  std::vector<Topic> topics;
  std::vector<TocNode> toc;
};

struct InternalFiles {
  std::string system, windows, strings, topics, urltbl, urlstr, idxhdr;
  std::string tocidx;  // empty when the book has no contents tree
};

InternalFiles makeInternalFiles(const BookSettings& book);

// The hash #URLTBL is sorted by, over the URL's bytes with "\" read as "/".
uint32_t urlHash(std::string_view url);

// The character set a language's default font uses (134 for Chinese, PRC).
uint32_t charsetForLanguage(uint32_t languageId);
// True for the languages whose code pages use two-byte characters.
bool isDbcsLanguage(uint32_t languageId);

// Offsets into #STRINGS.  Offset 0 is the empty string; no string is split
// across a 4,096-byte page, because viewers read the file page by page.
class StringTable {
 public:
  StringTable() { m_bytes.push_back('\0'); }
  uint32_t add(std::string_view s);
  const std::string& bytes() const { return m_bytes; }

 private:
  std::string m_bytes;
  std::vector<std::pair<std::string, uint32_t>> m_known;
};

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_CHM_INTERNAL_FILES_H_

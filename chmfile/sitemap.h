// The contents (.hhc) and index (.hhk) sitemaps: HTML lists of
// <OBJECT type="text/sitemap"> entries.  They are read the way browsers read
// HTML: tags and attribute names in any case, attributes in any order,
// unbalanced or extra <UL> and </UL>, entities in values.  Texts stay in the
// file's code page; numeric character references become GB18030 bytes.
#ifndef ZANVO_CHMFILE_SITEMAP_H_
#define ZANVO_CHMFILE_SITEMAP_H_

#include <string>
#include <string_view>
#include <vector>

namespace zanvo::chm {

struct SitemapEntry {
  std::string name;   // first "Name" parameter
  std::string local;  // first "Local" parameter, empty for a folder entry
  int depth = 0;      // open lists around the entry (1 = outermost list)
  int line = 0;
};

struct Sitemap {
  std::vector<SitemapEntry> entries;
  // "ImageType" of the site properties object equals "Folder".
  bool folderImages = false;
};

Sitemap parseSitemap(std::string_view html);

// Decodes &amp; &lt; &gt; &quot; &apos; &nbsp; and numeric references;
// anything else is kept as written.
std::string decodeEntities(std::string_view s);

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_SITEMAP_H_

#include "chm/contents.h"

#include <vector>

#include "chm/web_import.h"

namespace zanvo {
namespace {

constexpr const char* kHeader =
    "<HTML><HEAD><META name=\"GENERATOR\" content=\"Vexlore 1.0.1\">\r\n"
    "<!-- Sitemap 1.0 --></HEAD><BODY>\r\n"
    "<OBJECT type=\"text/site properties\">\r\n"
    "<PARAM name=\"Window Styles\" value=\"0x800627\">\r\n"
    "<PARAM name=\"ImageType\" value=\"Folder\">\r\n"
    "</OBJECT>\r\n"
    "<UL>\r\n";
constexpr const char* kTrailer = "\r\n</UL></BODY></HTML>";

constexpr const char* kFolderEntry =
    "<LI><OBJECT type=\"text/sitemap\">\r\n"
    "<PARAM name=\"Name\" value=\"BBBBBB\">\r\n"
    "</OBJECT>";
constexpr const char* kNestedPageEntry =
    "<LI><OBJECT type=\"text/sitemap\">\r\n"
    "<PARAM name=\"Name\" value=\"AAAAAA\">\r\n"
    "<PARAM name=\"Local\" value=\"CCCCCC\">\r\n"
    "</OBJECT>";
constexpr const char* kTopPageEntry =
    "<LI><OBJECT type=\"text/sitemap\">\r\n"
    "<PARAM name=\"Name\" value=\"AAAAAA\">\r\n"
    "<PARAM name=\"Local\" value=\"GGGGGG\">\r\n"
    "</OBJECT>";

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kListOpen = "\r\n<UL>\r\n";

Text withoutMarks(const Text& t) {
  return replaceText(replaceText(t, ">"), "<");
}

Text withoutPageExtension(const Text& t) {
  // ".html" first, so a.html loses all of its extension.
  return replaceText(replaceText(t, ".html"), ".htm");
}

// Only a backslash in the very last byte goes.
Text withoutFinalBackslash(Text t) {
  if (!t.empty() && t.back() == '\\') t.pop_back();
  return t;
}

}  // namespace

Text buildContents(const DocumentTree& tree) {
  const std::vector<TreeItem>& items = tree.items();
  const std::vector<Text> paths = itemPaths(tree);
  const int n = tree.count();
  Text body;
  for (int i = 0; i < n; ++i) {
    const Text& p = paths[i];
    const Text& c = items[i].caption;
    // The placeholders are replaced one after the other over the whole
    // entry, so a name that itself holds a later placeholder is changed by
    // that later replacement too, exactly as the entry text has it.
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ">\\") == 0) {
      body += replaceText(kFolderEntry, "BBBBBB", withoutMarks(c));
      body += tree.hasChildren(i) ? kListOpen : kLineEnd;
    } else if (p[0] == '<') {
      const Text name = withoutPageExtension(withoutMarks(c));
      const Text local = withoutFinalBackslash(withoutMarks(p));
      body += replaceText(replaceText(kNestedPageEntry, "AAAAAA", name),
                          "CCCCCC", local);
      body += kLineEnd;
      // Close one list for every level that the next item (or the end of
      // the tree, level 0) stands higher.  Only page entries inside a
      // folder close lists; the trailer closes the outermost list once
      // more, so a tree ending in a nested page closes it twice.
      const int drop = tree.level(i) - tree.level(i + 1);
      if (drop >= 1) {
        body += "\r\n";
        for (int k = 0; k < drop; ++k) body += "</UL>\r\n";
      }
    } else {
      const Text local = withoutFinalBackslash(p);
      const Text name = withoutPageExtension(local);
      body += replaceText(replaceText(kTopPageEntry, "GGGGGG", local),
                          "AAAAAA", name);
      body += kLineEnd;
    }
  }
  Text result;
  result.reserve(body.size() + 300);
  result += kHeader;
  result += body;
  result += kTrailer;
  return result;
}

}  // namespace zanvo

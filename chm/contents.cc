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

// The page entries split at their placeholders, for the common case in
// which the inserted texts hold no later placeholder.
constexpr const char* kEntryStart =
    "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"";
constexpr const char* kNameToLocal =
    "\">\r\n<PARAM name=\"Local\" value=\"";
constexpr const char* kEntryEnd = "\">\r\n</OBJECT>";

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kListOpen = "\r\n<UL>\r\n";

Text withoutMarks(const Text& t) {
  Text out;
  appendWithoutMarks(out, t);
  return out;
}

void eraseAll(Text& t, std::string_view s) {
  for (size_t at = t.find(s); at != Text::npos; at = t.find(s, at)) {
    t.erase(at, s.size());
  }
}

Text withoutPageExtension(const Text& t) {
  if (t.find(".htm") == Text::npos) return t;  // neither extension occurs
  // ".html" first, so a.html loses all of its extension.
  if (!isAscii(t)) return replaceText(replaceText(t, ".html"), ".htm");
  // Every byte is a character, and searching on behind each removal is
  // what the scan of the replacement does.
  Text out = t;
  eraseAll(out, ".html");
  eraseAll(out, ".htm");
  return out;
}

// Only a backslash that is the very last character goes.
void dropFinalBackslash(Text& t) {
  if (endsWithBackslash(t)) t.pop_back();
}

bool holds(const Text& t, const char* s) {
  return t.find(s) != Text::npos;
}

void appendPageEntry(Text& body, const Text& name, const Text& local) {
  body += kEntryStart;
  body += name;
  body += kNameToLocal;
  body += local;
  body += kEntryEnd;
}

}  // namespace

Text buildContents(const DocumentTree& tree) {
  const std::vector<TreeItem>& items = tree.items();
  const int n = tree.count();
  // One allocation for the whole text: each entry holds its path about
  // twice (name and local path) and some 110 bytes of markup.
  size_t estimate = 300;
  size_t depthBytes = 0;
  for (const TreeItem& item : items) {
    depthBytes += static_cast<size_t>(item.level) * 24;
    estimate += 2 * item.caption.size() + 130;
  }
  Text body;
  body.reserve(estimate + depthBytes);
  body += kHeader;
  Text local;
  forEachItemPath(tree, [&](int i, const Text& p) {
    const Text& c = items[i].caption;
    // Entries are built by replacing their placeholders one after the
    // other over the whole entry, so a name that itself holds a later
    // placeholder is changed by that later replacement too.  Where the
    // inserted text holds none, plain joining gives the same bytes.
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ">\\") == 0) {
      body += replaceText(kFolderEntry, "BBBBBB", withoutMarks(c));
      body += tree.hasChildren(i) ? kListOpen : kLineEnd;
    } else if (p[0] == '<') {
      const Text name = withoutPageExtension(withoutMarks(c));
      local.clear();
      appendWithoutMarks(local, p);
      dropFinalBackslash(local);
      if (holds(name, "CCCCCC")) {
        body += replaceText(replaceText(kNestedPageEntry, "AAAAAA", name),
                            "CCCCCC", local);
      } else {
        appendPageEntry(body, name, local);
      }
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
      local = p;
      dropFinalBackslash(local);
      const Text name = withoutPageExtension(local);
      if (holds(local, "AAAAAA")) {
        body += replaceText(replaceText(kTopPageEntry, "GGGGGG", local),
                            "AAAAAA", name);
      } else {
        appendPageEntry(body, name, local);
      }
      body += kLineEnd;
    }
  });
  body += kTrailer;
  return body;
}

}  // namespace zanvo

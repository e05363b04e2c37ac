#include "chm/web_import.h"

#include <string_view>

#include "core/files.h"

namespace zanvo {
namespace {

void appendSegment(Text& path, const Text& caption) {
  path += caption;
  if (!endsWithBackslash(caption)) path += '\\';
}

// Items of one walk, with levels relative to the item the walk started
// under; they go into the tree in one step when the walk is done, so a view
// over the tree hears of the import once, not once per file.
using ItemRun = std::vector<TreeItem>;

void addItem(ItemRun& run, Text caption, int image, int level) {
  TreeItem item;
  item.caption = std::move(caption);
  item.image = image;
  item.selectedImage = image;  // the walk passes -1: the image itself
  item.itemValue = 0;
  item.level = level;
  run.push_back(std::move(item));
}

bool walkInto(ItemRun& run, Text folder, int level) {
  if (!endsWithBackslash(folder)) folder += '\\';
  if (!setCurrentFolder(folder)) return false;
  // One read of the folder serves both of its listings: the folder listing
  // (subfolders) and the attribute-any listing less those folders (files).
  std::vector<FolderEntry> entries = listFolderEntries("*.*");
  for (const FolderEntry& e : entries) {
    if ((e.attributes & kAttrFolder) == 0 || e.name == "." || e.name == "..") continue;
    addItem(run, "<" + e.name + ">", 0, level);
    walkInto(run, folder + e.name, level + 1);
    // The inner walk left its own folder current; go back, as the walk
    // keeps each folder current while it lists it.
    setCurrentFolder(folder);
  }
  constexpr int kAnyOf = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
  for (FolderEntry& e : entries) {
    if ((e.attributes & kAttrFolder) != 0 || (e.attributes & kAnyOf) == 0) continue;
    addItem(run, std::move(e.name), 1, level);
  }
  return true;
}

}  // namespace

// Found by characters: a name may end in a two-byte character whose second
// byte has the value of "\", and that byte must not pass for a separator.
// The byte after a byte below 0x80 always begins a character (that byte
// ended one, alone or as a second byte), so only the run of high bytes
// right before the last byte matters: they pair up from its start, and the
// last byte stands alone when the run is even.
bool endsWithBackslash(std::string_view t) {
  if (t.empty() || t.back() != '\\') return false;
  size_t high = 0;
  for (size_t i = t.size() - 1; i > 0 && static_cast<unsigned char>(t[i - 1]) >= 0x80;
       --i) {
    ++high;
  }
  return high % 2 == 0;
}

bool isAscii(std::string_view t) {
  unsigned char any = 0;
  for (char c : t) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

void appendWithoutMarks(Text& out, std::string_view t) {
  // One pass does what removing every ">" and then every "<" does: taking
  // out a one-byte character leaves the characters after it as they were.
  // In a text of one-byte characters only, every byte is a character.
  if (isAscii(t)) {
    size_t run = 0;
    for (size_t at = 0; at < t.size(); ++at) {
      if (t[at] == '<' || t[at] == '>') {
        out.append(t, run, at - run);
        run = at + 1;
      }
    }
    out.append(t, run, t.size() - run);
    return;
  }
  size_t run = 0;
  for (size_t i = 0; i < t.size();) {
    const size_t n = charLength(t, i);
    if (n == 1 && (t[i] == '<' || t[i] == '>')) {
      out.append(t, run, i - run);
      run = i + 1;
    }
    i += n;
  }
  out.append(t, run, t.size() - run);
}

Text itemPath(const DocumentTree& tree, int i) {
  if (!tree.contains(i)) return Text();
  // Outermost ancestor first: the path is the chain of segments down to i.
  std::vector<int> chain;
  for (int k = i; k != -1; k = tree.parent(k)) chain.push_back(k);
  Text path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    appendSegment(path, tree.items()[*it].caption);
  }
  return path;
}

void forEachItemPath(const DocumentTree& tree,
                     const std::function<void(int, const Text&)>& visit) {
  const std::vector<TreeItem>& items = tree.items();
  // One buffer holds the path of the current item; ends[k] is where the
  // path of its ancestor at level k + 1 ends in it.
  Text path;
  std::vector<size_t> ends;
  for (size_t i = 0; i < items.size(); ++i) {
    const int level = items[i].level;
    ends.resize(level - 1);
    path.resize(ends.empty() ? 0 : ends.back());
    appendSegment(path, items[i].caption);
    ends.push_back(path.size());
    visit(static_cast<int>(i), path);
  }
}

Text lastPathPart(const Text& path) {
  const int64_t at = findLastText(path, "\\");
  if (at == -1) return path;
  return midPart(path, at + 1, textLength(path) - at);
}

bool walkFolder(DocumentTree& tree, const Text& folder, int parent) {
  ItemRun run;
  const bool entered = walkInto(run, folder, 1);
  tree.addChildren(parent, std::move(run));
  return entered;
}

void importWebFolder(WindowModel& w, const Text& path) {
  DocumentTree& tree = w.tree();
  AppState& state = w.state();
  const int attributes = fileAttributes(path);
  tree.setSelection(-1);
  w.setText(Ctl::编辑框4, Text());
  w.setText(Ctl::编辑框10, Text());
  state.fileList.clear();
  tree.clear();
  w.setText(Ctl::编辑框_网页文件夹, path);
  if (attributes == -1 || (attributes & kAttrFolder) == 0) return;

  const Text folder = w.text(Ctl::编辑框_网页文件夹);
  walkFolder(tree, folder, -1);
  state.projectName = lastPathPart(folder);
  // The list is taken before any filtering, so it names every file of the
  // folder, web page or not.
  Text& list = state.fileList;
  // One allocation for the whole list: no line is longer than its path
  // plus the line end.
  size_t size = 0;
  forEachItemPath(tree, [&size](int, const Text& p) { size += p.size() + 2; });
  list.reserve(size);
  forEachItemPath(tree, [&list](int, const Text& p) {
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ">\\") == 0) return;
    const size_t start = list.size();
    if (p[0] == '<') {
      appendWithoutMarks(list, p);
    } else {
      list += p;
    }
    // Only a "\" that is the path's very last character goes.
    if (endsWithBackslash(std::string_view(list).substr(start))) list.pop_back();
    list += "\r\n";
  });
}

bool containsHtm(const Text& caption) {
  if (!isAscii(caption)) return findText(caption, ".htm", 1, true) != -1;
  // Every byte is a character: a plain search with ASCII case folding.
  for (size_t at = caption.find('.'); at != Text::npos;
       at = caption.find('.', at + 1)) {
    if (caption.size() - at >= 4 && (caption[at + 1] | 0x20) == 'h' &&
        (caption[at + 2] | 0x20) == 't' && (caption[at + 3] | 0x20) == 'm') {
      return true;
    }
  }
  return false;
}

void filterTree(DocumentTree& tree) {
  // Only childless items are noted, so removing all of them at once leaves
  // the same tree as removing them one by one; a folder emptied here stays
  // until the next pass.
  const int n = tree.count();
  std::vector<bool> noted(n, false);
  bool any = false;
  for (int i = 0; i < n; ++i) {
    if (tree.hasChildren(i)) continue;
    if (containsHtm(tree.items()[i].caption)) continue;
    noted[i] = true;
    any = true;
  }
  if (any) tree.removeItems(noted);
}

}  // namespace zanvo

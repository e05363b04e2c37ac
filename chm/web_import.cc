#include "chm/web_import.h"

#include <string_view>

#include "core/files.h"

namespace zanvo {
namespace {

// True when the last character of t is "\".  Found by characters: a name
// may end in a two-byte character whose second byte has the value of "\",
// and that byte must not pass for a separator.
bool endsWithBackslash(std::string_view t) {
  size_t i = 0;
  size_t last = 0;
  while (i < t.size()) {
    last = i;
    i += charLength(t, i);
  }
  return !t.empty() && i - last == 1 && t[last] == '\\';
}

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
  const std::vector<Text> folders = listFolder("*.*", ListFilter::kFolders);
  for (const Text& name : folders) {
    if (name == "." || name == "..") continue;
    addItem(run, "<" + name + ">", 0, level);
    walkInto(run, folder + name, level + 1);
    // The inner walk left its own folder current; the file names below are
    // relative to this one.
    setCurrentFolder(folder);
  }
  const std::vector<Text> files =
      listFolder("*.*", ListFilter::kAttributeAny);
  for (const Text& name : files) {
    // The attribute-any listing also returns folders that carry one of its
    // attributes (a hidden or read-only folder); they were added above.
    const int attributes = fileAttributes(name);
    if (attributes == -1 || (attributes & kAttrFolder) != 0) continue;
    addItem(run, name, 1, level);
  }
  return true;
}

}  // namespace

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

std::vector<Text> itemPaths(const DocumentTree& tree) {
  const std::vector<TreeItem>& items = tree.items();
  std::vector<Text> paths;
  paths.reserve(items.size());
  // open[k] is the index into paths of the open ancestor at level k + 1.
  std::vector<size_t> open;
  for (const TreeItem& item : items) {
    open.resize(item.level - 1);
    Text path = open.empty() ? Text() : paths[open.back()];
    appendSegment(path, item.caption);
    open.push_back(paths.size());
    paths.push_back(std::move(path));
  }
  return paths;
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
  for (Text& p : itemPaths(tree)) {
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ">\\") == 0) continue;
    if (!p.empty() && p[0] == '<') {
      p = replaceText(replaceText(p, ">"), "<");
    }
    // Only a backslash in the very last byte goes.
    if (!p.empty() && p.back() == '\\') p.pop_back();
    state.fileList += p;
    state.fileList += "\r\n";
  }
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
    if (findText(tree.items()[i].caption, ".htm", 1, true) != -1) continue;
    noted[i] = true;
    any = true;
  }
  if (any) tree.removeItems(noted);
}

}  // namespace zanvo

#include "chm/web_import.h"

#include <string_view>
#include <unordered_set>

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
  const std::vector<Text> folders = listFolder("*.*", ListFilter::kFolders);
  for (const Text& name : folders) {
    if (name == "." || name == "..") continue;
    addItem(run, "<" + name + ">", 0, level);
    walkInto(run, folder + name, level + 1);
    // The inner walk left its own folder current; the file names below are
    // relative to this one.
    setCurrentFolder(folder);
  }
  // Files: the attribute-any listing, less the folders that carry one of
  // its attributes (a hidden or read-only folder).  Those are exactly the
  // names of the folder listing above, which saves reading the attributes
  // of every file once more.
  const std::unordered_set<std::string_view> folderNames(folders.begin(),
                                                         folders.end());
  for (Text& name : listFolder("*.*", ListFilter::kAttributeAny)) {
    if (folderNames.count(name) != 0) continue;
    addItem(run, std::move(name), 1, level);
  }
  return true;
}

}  // namespace

// Found by characters: a name may end in a two-byte character whose second
// byte has the value of "\", and that byte must not pass for a separator.
bool endsWithBackslash(std::string_view t) {
  size_t i = 0;
  size_t last = 0;
  while (i < t.size()) {
    last = i;
    i += charLength(t, i);
  }
  return !t.empty() && i - last == 1 && t[last] == '\\';
}

void appendWithoutMarks(Text& out, std::string_view t) {
  // One pass does what removing every ">" and then every "<" does: taking
  // out a one-byte character leaves the characters after it as they were.
  for (size_t i = 0; i < t.size();) {
    const size_t n = charLength(t, i);
    if (n == 2 || (t[i] != '<' && t[i] != '>')) out.append(t, i, n);
    i += n;
  }
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

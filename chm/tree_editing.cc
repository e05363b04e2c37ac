#include "chm/tree_editing.h"

namespace zanvo {
namespace {

ItemRecord snapshot(const DocumentTree& tree, int i, ItemRecord& scratch) {
  scratch.caption = tree.caption(i);
  scratch.image = tree.image(i);
  scratch.selectedImage = tree.selectedImage(i);
  scratch.itemValue = tree.itemValue(i);
  scratch.level = tree.level(i);
  return scratch;
}

void writeOwnFields(DocumentTree& tree, int i, const ItemRecord& r) {
  tree.setCaption(i, r.caption);
  tree.setImage(i, r.image);
  tree.setSelectedImage(i, r.selectedImage);
  tree.setItemValue(i, r.itemValue);
}

// Exchanges the own fields of the sibling items first < second and the
// subtrees below them.  The later item is rebuilt first, so that the index
// of the earlier one still holds when its turn comes.
void exchangeSiblings(DocumentTree& tree, AppState& state, int first,
                      int second, std::vector<ItemRecord>& firstList,
                      std::vector<ItemRecord>& secondList) {
  const ItemRecord a = snapshot(tree, first, state.itemScratch);
  const ItemRecord b = snapshot(tree, second, state.itemScratch);
  writeOwnFields(tree, first, b);
  writeOwnFields(tree, second, a);
  deleteDescendants(tree, second);
  rebuildChildren(tree, second, firstList);
  deleteDescendants(tree, first);
  rebuildChildren(tree, first, secondList);
}

void emptyScratch(AppState& state) {
  state.moveListA.clear();
  state.moveListB.clear();
  state.itemScratch = ItemRecord();
}

}  // namespace

int findSibling(const DocumentTree& tree, int i, Direction direction) {
  if (i == -1 || tree.count() == 1) return -1;
  const int level = tree.level(i);
  const int step = direction == Direction::kForward ? 1 : -1;
  const int last = tree.count() - 1;
  for (int j = i + step; direction == Direction::kForward ? j <= last : j >= 0;
       j += step) {
    const int lj = tree.level(j);
    if (lj < level) return -1;
    if (lj == level) return j;
  }
  return -1;
}

int countDescendants(const DocumentTree& tree, int i) {
  if (i == -1) return -1;
  if (tree.count() == 1 || i == tree.count() - 1 || !tree.hasChildren(i)) {
    return 0;
  }
  return tree.subtreeSize(i);
}

void deleteDescendants(DocumentTree& tree, int i) {
  // The whole run goes in one step; removing it item by item from the last
  // would leave the same tree at quadratic cost.
  if (countDescendants(tree, i) > 0) tree.removeDescendants(i);
}

bool collectSubtree(const DocumentTree& tree, int i,
                    std::vector<ItemRecord>& list, ItemRecord& scratch) {
  list.clear();
  if (i == -1) return false;
  list.push_back(snapshot(tree, i, scratch));
  const int level = tree.level(i);
  for (int j = i + 1; j < tree.count() && tree.level(j) > level; ++j) {
    list.push_back(snapshot(tree, j, scratch));
  }
  return true;
}

void rebuildChildren(DocumentTree& tree, int i,
                     const std::vector<ItemRecord>& list) {
  if (list.size() < 2) return;
  // Each record becomes the first child of the item added before it when
  // its level rises, that item's sibling when it stays, and climbs one
  // parent per level when it falls.  For a list taken by collectSubtree
  // that is its level relative to the first record, and the whole run can
  // go into the tree in one step.
  std::vector<TreeItem> run;
  run.reserve(list.size() - 1);
  int relative = 0;
  bool nested = true;
  for (size_t k = 1; k < list.size(); ++k) {
    const int rise = list[k].level - list[k - 1].level;
    relative = rise > 0 ? relative + 1 : relative + rise;
    if (relative < 1) {
      nested = false;
      break;
    }
    TreeItem item;
    item.caption = list[k].caption;
    item.image = list[k].image;
    item.selectedImage = list[k].selectedImage;
    item.itemValue = list[k].itemValue;
    item.level = relative;
    run.push_back(std::move(item));
  }
  if (nested && tree.addChildren(i, std::move(run))) return;

  // A list whose levels climb above its first record: follow the parents
  // one item at a time.
  int prev = i;
  int par = i;
  for (size_t k = 1; k < list.size(); ++k) {
    const int rise = list[k].level - list[k - 1].level;
    if (rise > 0) {
      par = prev;
    } else if (rise < 0) {
      for (int up = 0; up < -rise; ++up) par = tree.parent(par);
    }
    prev = tree.addChild(par, list[k].caption, list[k].image,
                         list[k].selectedImage, list[k].itemValue);
  }
}

int moveDown(DocumentTree& tree, AppState& state, int i) {
  if (i < 0) return -1;
  const int d = findSibling(tree, i, Direction::kForward);
  if (d == -1) return i;
  if (!collectSubtree(tree, i, state.moveListA, state.itemScratch) ||
      !collectSubtree(tree, d, state.moveListB, state.itemScratch)) {
    emptyScratch(state);
    return -1;
  }
  exchangeSiblings(tree, state, i, d, state.moveListA, state.moveListB);
  const int n = static_cast<int>(state.moveListB.size());
  emptyScratch(state);
  return i + n;
}

int moveUp(DocumentTree& tree, AppState& state, int i) {
  // Item 0, and item 1 as the first child of item 0, lose the selection.
  if (i <= 1 && tree.parent(i) + 1 == i) return -1;
  const int p = findSibling(tree, i, Direction::kBackward);
  if (p == -1) return i;
  if (!collectSubtree(tree, i, state.moveListA, state.itemScratch) ||
      !collectSubtree(tree, p, state.moveListB, state.itemScratch)) {
    emptyScratch(state);
    return -1;
  }
  exchangeSiblings(tree, state, p, i, state.moveListB, state.moveListA);
  emptyScratch(state);
  return p;
}

int deleteItem(DocumentTree& tree, int i) {
  int t;
  if (findSibling(tree, i, Direction::kForward) != -1) {
    t = i;  // the next sibling moves up into i's place
  } else {
    t = findSibling(tree, i, Direction::kBackward);
    if (t == -1) t = tree.parent(i);
  }
  return tree.removeItem(i) ? t : i;
}

void deleteChildren(DocumentTree& tree, int i) { deleteDescendants(tree, i); }

}  // namespace zanvo

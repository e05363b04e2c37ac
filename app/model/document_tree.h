// The document tree of the "生成CHM" page: an ordered, indented tree of
// captioned items, addressed by 0-based pre-order index.  The tree view
// 树型框1 shows exactly this data.
//
// Items are kept as one flat pre-order list with their levels, so an item's
// level is derived from its place (1 at the top, parent + 1 below) and a
// subtree is a run of consecutive items.  Parent and child positions are
// computed in one pass when first asked for after a change, so walking the
// tree costs linear time overall.
#ifndef ZANVO_APP_MODEL_DOCUMENT_TREE_H_
#define ZANVO_APP_MODEL_DOCUMENT_TREE_H_

#include <cstdint>
#include <functional>
#include <vector>

#include "core/text.h"

namespace zanvo {

struct TreeItem {
  Text caption;
  int32_t image = 0;
  int32_t selectedImage = 0;
  int32_t itemValue = 0;
  int32_t level = 1;
};

class DocumentTree {
 public:
  DocumentTree() = default;
  DocumentTree(const DocumentTree&) = delete;
  DocumentTree& operator=(const DocumentTree&) = delete;

  int count() const { return static_cast<int>(m_items.size()); }
  bool contains(int i) const { return i >= 0 && i < count(); }

  // 0 when i is outside the tree.
  int level(int i) const;
  // -1 for a top-level item or when i is outside the tree.
  int parent(int i) const;
  bool hasChildren(int i) const;
  // Empty when i is outside the tree.
  Text caption(int i) const;
  void setCaption(int i, const Text& caption);
  // -1 when i is outside the tree.
  int image(int i) const;
  int selectedImage(int i) const;
  void setImage(int i, int image);
  void setSelectedImage(int i, int image);
  // 0 when i is outside the tree.
  int itemValue(int i) const;
  void setItemValue(int i, int value);

  // Appends an item as the last child of p (as the last top-level item when
  // p is -1 or outside the tree).  An image below 0 is stored as 0; a
  // selected image below 0 is stored as the image.  Returns its index.
  int addChild(int p, const Text& caption, int image, int selectedImage,
               int itemValue = 0);
  // Removes i with all its descendants; false when i is outside the tree.
  bool removeItem(int i);
  // Removes every item whose flag is set, each with its descendants, in one
  // pass (flags has one entry per item).  Indexes refer to the tree before
  // the call.
  void removeItems(const std::vector<bool>& flags);
  // Removes the descendants of i in one step (i itself stays); returns how
  // many were removed, 0 when i is outside the tree or has none.
  int removeDescendants(int i);
  // Appends a run of items below p in one step, as repeated addChild calls
  // would: the items are given in pre-order, their `level` fields relative
  // to p (1 for a child of p, 2 for a grandchild, ...), and they go after
  // the end of p's subtree (after the last top-level item when p is -1 or
  // outside the tree).  Images are stored as addChild stores them.  False,
  // with nothing added, when the relative levels do not describe a forest
  // under p (the first is not 1, or one rises by more than 1 or is below 1).
  bool addChildren(int p, std::vector<TreeItem> items);
  void clear();

  int selection() const { return m_selection; }
  // Selects i; -1 or an index outside the tree leaves no item selected.
  void setSelection(int i);

  // Number of descendants of i (the run after i with greater levels).
  int subtreeSize(int i) const;
  // Index of the row of i among its parent's children (0-based), and the
  // index of the n-th child of p (-1 for the top level); for the view.
  int rowInParent(int i) const;
  int childAt(int p, int row) const;
  int childCount(int p) const;

  const std::vector<TreeItem>& items() const { return m_items; }

  // Called after every change of the items or of the selection; the window
  // model uses it to keep the view in step.
  void setChangeListener(std::function<void(bool selectionOnly)> listener) {
    m_listener = std::move(listener);
  }

 private:
  void changed(bool selectionOnly);
  void buildIndex() const;

  std::vector<TreeItem> m_items;
  int m_selection = -1;
  std::function<void(bool)> m_listener;

  // Derived, rebuilt lazily after a change.
  mutable bool m_indexValid = false;
  mutable std::vector<int> m_parent;
  mutable std::vector<int> m_row;
  mutable std::vector<std::vector<int>> m_children;  // [0] is the top level
  // Ancestors of the last item, by level, while every change so far has
  // appended at the end: addChild under one of them is a plain append.
  std::vector<int> m_spine;
  bool m_spineValid = true;
};

}  // namespace zanvo

#endif  // ZANVO_APP_MODEL_DOCUMENT_TREE_H_

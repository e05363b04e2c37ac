#include "app/model/document_tree.h"

#include <algorithm>

namespace zanvo {

int DocumentTree::level(int i) const {
  return contains(i) ? m_items[i].level : 0;
}

int DocumentTree::parent(int i) const {
  if (!contains(i)) return -1;
  buildIndex();
  return m_parent[i];
}

bool DocumentTree::hasChildren(int i) const {
  return contains(i) && i + 1 < count() && m_items[i + 1].level > m_items[i].level;
}

Text DocumentTree::caption(int i) const {
  return contains(i) ? m_items[i].caption : Text();
}

void DocumentTree::setCaption(int i, const Text& caption) {
  if (!contains(i)) return;
  m_items[i].caption = caption;
  changed(false);
}

int DocumentTree::image(int i) const { return contains(i) ? m_items[i].image : -1; }

int DocumentTree::selectedImage(int i) const {
  return contains(i) ? m_items[i].selectedImage : -1;
}

void DocumentTree::setImage(int i, int image) {
  if (!contains(i)) return;
  m_items[i].image = image;
  changed(false);
}

void DocumentTree::setSelectedImage(int i, int image) {
  if (!contains(i)) return;
  m_items[i].selectedImage = image;
  changed(false);
}

int DocumentTree::itemValue(int i) const {
  return contains(i) ? m_items[i].itemValue : 0;
}

void DocumentTree::setItemValue(int i, int value) {
  if (!contains(i)) return;
  m_items[i].itemValue = value;
  changed(false);
}

int DocumentTree::subtreeSize(int i) const {
  if (!contains(i)) return 0;
  const int level = m_items[i].level;
  int j = i + 1;
  while (j < count() && m_items[j].level > level) ++j;
  return j - i - 1;
}

int DocumentTree::addChild(int p, const Text& caption, int image,
                           int selectedImage, int itemValue) {
  TreeItem item;
  item.caption = caption;
  item.image = image < 0 ? 0 : image;
  item.selectedImage = selectedImage < 0 ? item.image : selectedImage;
  item.itemValue = itemValue;
  if (!contains(p)) p = -1;
  item.level = p < 0 ? 1 : m_items[p].level + 1;

  // The new item goes right after the end of p's subtree.  While items are
  // only ever appended (an import), p is an ancestor of the last item and
  // its subtree ends at the end of the list, which needs no scan.
  if (!m_spineValid) {
    m_spine.clear();
    int want = count() > 0 ? m_items.back().level : 0;
    for (int j = count() - 1; j >= 0 && want > 0; --j) {
      if (m_items[j].level == want) {
        m_spine.push_back(j);
        --want;
      }
    }
    std::reverse(m_spine.begin(), m_spine.end());
    m_spineValid = true;
  }
  int at;
  const bool append =
      p < 0 || (item.level - 2 < static_cast<int>(m_spine.size()) &&
                m_spine[item.level - 2] == p);
  if (append) {
    at = count();
    m_items.push_back(std::move(item));
    m_spine.resize(m_items[at].level - 1);
    m_spine.push_back(at);
  } else {
    at = p + 1 + subtreeSize(p);
    m_items.insert(m_items.begin() + at, std::move(item));
    m_spineValid = false;
    if (m_selection >= at) ++m_selection;
  }
  changed(false);
  return at;
}

bool DocumentTree::removeItem(int i) {
  if (!contains(i)) return false;
  const int n = 1 + subtreeSize(i);
  m_items.erase(m_items.begin() + i, m_items.begin() + i + n);
  m_spineValid = false;
  if (m_selection >= i + n) {
    m_selection -= n;
  } else if (m_selection >= i) {
    m_selection = -1;
  }
  changed(false);
  return true;
}

void DocumentTree::removeItems(const std::vector<bool>& flags) {
  // Compacts in place: the kept items slide down over the removed ones.
  int kept = 0;
  int newSelection = -1;
  int removeBelowLevel = 0;  // > 0 while inside a removed subtree
  for (int i = 0; i < count(); ++i) {
    if (removeBelowLevel > 0 && m_items[i].level > removeBelowLevel) continue;
    removeBelowLevel = 0;
    if (i < static_cast<int>(flags.size()) && flags[i]) {
      removeBelowLevel = m_items[i].level;
      continue;
    }
    if (i == m_selection) newSelection = kept;
    if (kept != i) m_items[kept] = std::move(m_items[i]);
    ++kept;
  }
  m_items.erase(m_items.begin() + kept, m_items.end());
  m_selection = newSelection;
  m_spineValid = false;
  changed(false);
}

int DocumentTree::removeDescendants(int i) {
  const int n = subtreeSize(i);
  if (n == 0) return 0;
  m_items.erase(m_items.begin() + i + 1, m_items.begin() + i + 1 + n);
  m_spineValid = false;
  if (m_selection > i + n) {
    m_selection -= n;
  } else if (m_selection > i) {
    m_selection = -1;
  }
  changed(false);
  return n;
}

bool DocumentTree::addChildren(int p, std::vector<TreeItem> items) {
  if (items.empty()) return true;
  int previous = 0;
  for (const TreeItem& item : items) {
    if (item.level < 1 || item.level > previous + 1) return false;
    previous = item.level;
  }
  if (!contains(p)) p = -1;
  const int base = p < 0 ? 0 : m_items[p].level;
  for (TreeItem& item : items) {
    item.level += base;
    if (item.image < 0) item.image = 0;
    if (item.selectedImage < 0) item.selectedImage = item.image;
  }
  const int at = p < 0 ? count() : p + 1 + subtreeSize(p);
  const int n = static_cast<int>(items.size());
  if (m_items.empty()) {
    m_items = std::move(items);  // an import into the emptied tree
  } else {
    m_items.insert(m_items.begin() + at, std::make_move_iterator(items.begin()),
                   std::make_move_iterator(items.end()));
  }
  m_spineValid = false;
  if (m_selection >= at) m_selection += n;
  changed(false);
  return true;
}

void DocumentTree::clear() {
  m_items.clear();
  m_selection = -1;
  m_spine.clear();
  m_spineValid = true;
  changed(false);
}

void DocumentTree::setSelection(int i) {
  m_selection = contains(i) ? i : -1;
  changed(true);
}

void DocumentTree::changed(bool selectionOnly) {
  if (!selectionOnly) m_indexValid = false;
  if (m_listener) m_listener(selectionOnly);
}

void DocumentTree::buildIndex() const {
  if (m_indexValid) return;
  const int n = count();
  m_parent.assign(n, -1);
  m_row.assign(n, 0);
  m_children.assign(n + 1, {});
  std::vector<int> open;  // ancestors of the current item, by level
  for (int i = 0; i < n; ++i) {
    const int lv = m_items[i].level;
    if (static_cast<int>(open.size()) >= lv) open.resize(lv - 1);
    const int p = open.empty() ? -1 : open.back();
    m_parent[i] = p;
    auto& siblings = m_children[p + 1];
    m_row[i] = static_cast<int>(siblings.size());
    siblings.push_back(i);
    open.push_back(i);
  }
  m_indexValid = true;
}

int DocumentTree::rowInParent(int i) const {
  if (!contains(i)) return -1;
  buildIndex();
  return m_row[i];
}

int DocumentTree::childAt(int p, int row) const {
  if (p != -1 && !contains(p)) return -1;
  buildIndex();
  const auto& c = m_children[p + 1];
  return row >= 0 && row < static_cast<int>(c.size()) ? c[row] : -1;
}

int DocumentTree::childCount(int p) const {
  if (p != -1 && !contains(p)) return 0;
  buildIndex();
  return static_cast<int>(m_children[p + 1].size());
}

}  // namespace zanvo

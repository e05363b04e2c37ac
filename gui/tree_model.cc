#include "gui/tree_model.h"

#include <QPainter>

#include "core/files.h"

namespace zanvo {
namespace {

// The tree's two 16 x 16 pictures: 0 a folder, 1 a page.
QPixmap drawPicture(int which) {
  QPixmap pix(16, 16);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing, false);
  if (which == 0) {
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 3, 6, 2);
    p.drawRect(1, 4, 13, 9);
  } else {
    p.setPen(QColor(70, 90, 130));
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 10, 13);
    p.setPen(QColor(60, 120, 200));
    for (int y = 4; y <= 11; y += 2) p.drawLine(5, y, 11, y);
  }
  return pix;
}

}  // namespace

TreeModel::TreeModel(const DocumentTree& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {
  m_pictures[0] = drawPicture(0);
  m_pictures[1] = drawPicture(1);
}

void TreeModel::treeChanging() {
  if (m_resetting) return;
  m_resetting = true;
  beginResetModel();
}

void TreeModel::flush() {
  if (!m_resetting) return;
  m_resetting = false;
  endResetModel();
}

int TreeModel::itemOf(const QModelIndex& index) {
  return index.isValid() ? static_cast<int>(index.internalId()) : -1;
}

QModelIndex TreeModel::indexOfItem(int item) const {
  if (m_resetting || !m_tree.contains(item)) return {};
  return createIndex(m_tree.rowInParent(item), 0, static_cast<quintptr>(item));
}

QModelIndex TreeModel::index(int row, int column,
                             const QModelIndex& parent) const {
  if (m_resetting || column != 0) return {};
  const int item = m_tree.childAt(itemOf(parent), row);
  if (item < 0) return {};
  return createIndex(row, 0, static_cast<quintptr>(item));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
  const int item = itemOf(child);
  if (m_resetting || !m_tree.contains(item)) return {};
  return indexOfItem(m_tree.parent(item));
}

int TreeModel::rowCount(const QModelIndex& parent) const {
  if (m_resetting || parent.column() > 0) return 0;
  return m_tree.childCount(itemOf(parent));
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

QIcon TreeModel::icon(int image, int selectedImage) const {
  QIcon icon;
  if (image >= 0 && image < 2) icon.addPixmap(m_pictures[image], QIcon::Normal);
  if (selectedImage >= 0 && selectedImage < 2)
    icon.addPixmap(m_pictures[selectedImage], QIcon::Selected);
  return icon;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
  const int item = itemOf(index);
  if (m_resetting || !m_tree.contains(item)) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(utf8OfText(m_tree.caption(item)));
    case Qt::DecorationRole:
      return icon(m_tree.image(item), m_tree.selectedImage(item));
    default:
      return {};
  }
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Captions are not edited in place.
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace zanvo

// A Qt item model over the window model's document tree.  It holds no copy
// of the items: rows, parents and captions are read from the DocumentTree
// itself (its flat pre-order list), and an item's internal id is its
// pre-order index.
#ifndef ZANVO_GUI_TREE_MODEL_H_
#define ZANVO_GUI_TREE_MODEL_H_

#include <QAbstractItemModel>
#include <QIcon>

#include "app/model/document_tree.h"

namespace zanvo {

class TreeModel : public QAbstractItemModel {
 public:
  explicit TreeModel(const DocumentTree& tree, QObject* parent = nullptr);

  // The tree has changed, or is about to change, behind the model's back:
  // views are told once, and the change is published by flush().
  void treeChanging();
  void flush();

  QModelIndex indexOfItem(int item) const;
  static int itemOf(const QModelIndex& index);

  QModelIndex index(int row, int column,
                    const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  QIcon icon(int image, int selectedImage) const;

  const DocumentTree& m_tree;
  bool m_resetting = false;
  QPixmap m_pictures[2];
};

}  // namespace zanvo

#endif  // ZANVO_GUI_TREE_MODEL_H_

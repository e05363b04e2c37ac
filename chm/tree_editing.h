// The tree commands of the "生成CHM" page: move an item with its subtree
// past its neighbouring sibling, delete an item with its subtree, delete
// only what is below an item.  Items are addressed by pre-order index, -1
// for none; an item never changes its level or its parent by a move.
//
// The moves snapshot both subtrees into AppState's moveListA and moveListB
// (through itemScratch) and leave all three empty when they return.  Every
// command costs time linear in the size of the tree.
#ifndef ZANVO_CHM_TREE_EDITING_H_
#define ZANVO_CHM_TREE_EDITING_H_

#include <vector>

#include "app/model/app_state.h"
#include "app/model/document_tree.h"

namespace zanvo {

enum class Direction { kForward, kBackward };

// The next (or previous) item of the same level with no item of a lower
// level in between; -1 when there is none, when i is -1, or when the tree
// holds exactly one item.
int findSibling(const DocumentTree& tree, int i, Direction direction);
// Number of descendants of i; -1 when i is -1.
int countDescendants(const DocumentTree& tree, int i);
// Removes the descendants of i; i stays.
void deleteDescendants(DocumentTree& tree, int i);
// Fills list with the snapshots of i and its descendants (each taken
// through scratch).  False, with list empty, when i is -1.
bool collectSubtree(const DocumentTree& tree, int i,
                    std::vector<ItemRecord>& list, ItemRecord& scratch);
// Re-creates below i the descendants recorded in list (its first record
// stands for i; the levels count only as differences between neighbours).
void rebuildChildren(DocumentTree& tree, int i,
                     const std::vector<ItemRecord>& list);

// The commands; each returns the index to select afterwards.
int moveDown(DocumentTree& tree, AppState& state, int i);
// -1 for item 0 and for item 1 when it is the first child of item 0.
int moveUp(DocumentTree& tree, AppState& state, int i);
// Selects next the next sibling (which takes i's index), else the previous
// sibling, else the parent.
int deleteItem(DocumentTree& tree, int i);
void deleteChildren(DocumentTree& tree, int i);

}  // namespace zanvo

#endif  // ZANVO_CHM_TREE_EDITING_H_

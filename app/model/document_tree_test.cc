#include "app/model/document_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace zanvo {
namespace {

// Writes a tree as "caption(level) ..." in index order.
std::string shape(const DocumentTree& t) {
  std::string s;
  for (int i = 0; i < t.count(); ++i) {
    if (!s.empty()) s += ' ';
    s += t.caption(i) + "(" + std::to_string(t.level(i)) + ")";
  }
  return s;
}

TEST(DocumentTree, AddChildAppendsAtTheEndOfTheParentsSubtree) {
  DocumentTree t;
  const int a = t.addChild(-1, "A", 0, -1);
  const int b = t.addChild(-1, "B", 0, -1);
  t.addChild(a, "A1", 1, -1);  // inserted inside, before B
  t.addChild(a, "A2", 1, 5, 7);
  t.addChild(99, "C", -3, -1);  // outside the tree: top level
  EXPECT_EQ(0, a);
  EXPECT_EQ(1, b);
  EXPECT_EQ("A(1) A1(2) A2(2) B(1) C(1)", shape(t));
  EXPECT_EQ(0, t.image(4));          // image below 0 stored as 0
  EXPECT_EQ(0, t.selectedImage(4));  // selected image below 0: the image
  EXPECT_EQ(5, t.selectedImage(2));
  EXPECT_EQ(7, t.itemValue(2));
  EXPECT_EQ(0, t.parent(1));
  EXPECT_EQ(-1, t.parent(3));
  EXPECT_TRUE(t.hasChildren(0));
  EXPECT_FALSE(t.hasChildren(3));
  EXPECT_EQ(1, t.rowInParent(2));
  EXPECT_EQ(3, t.childAt(-1, 1));
  EXPECT_EQ(3, t.childCount(-1));
}

TEST(DocumentTree, OutsideIndexesGiveNeutralValues) {
  DocumentTree t;
  t.addChild(-1, "A", 0, -1);
  for (int i : {-1, 1, 100}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(0, t.level(i));
    EXPECT_EQ(-1, t.parent(i));
    EXPECT_EQ("", t.caption(i));
    EXPECT_EQ(-1, t.image(i));
    EXPECT_EQ(-1, t.selectedImage(i));
    EXPECT_EQ(0, t.itemValue(i));
    EXPECT_FALSE(t.removeItem(i));
    t.setSelection(i);
    EXPECT_EQ(-1, t.selection());
  }
  EXPECT_EQ("A(1)", shape(t));
}

TEST(DocumentTree, RemoveTakesTheSubtreeAndKeepsTheSelectionOnItsItem) {
  DocumentTree t;
  const int a = t.addChild(-1, "A", 0, -1);
  const int a1 = t.addChild(a, "A1", 0, -1);
  t.addChild(a1, "A1a", 1, -1);
  t.addChild(-1, "B", 1, -1);
  t.setSelection(3);
  EXPECT_TRUE(t.removeItem(a1));
  EXPECT_EQ("A(1) B(1)", shape(t));
  EXPECT_EQ(1, t.selection());
  EXPECT_TRUE(t.removeItem(1));
  EXPECT_EQ(-1, t.selection());
}

TEST(DocumentTree, RemoveItemsDropsFlaggedSubtreesInOnePass) {
  DocumentTree t;
  const int a = t.addChild(-1, "A", 0, -1);
  t.addChild(a, "A1", 1, -1);
  t.addChild(a, "A2", 1, -1);
  const int b = t.addChild(-1, "B", 0, -1);
  t.addChild(b, "B1", 1, -1);
  t.setSelection(4);
  t.removeItems({false, true, false, true, true});
  EXPECT_EQ("A(1) A2(2)", shape(t));
  EXPECT_EQ(-1, t.selection());
  // Appending after a removal still lands under the right parent.
  t.addChild(0, "A3", 1, -1);
  t.addChild(-1, "C", 1, -1);
  EXPECT_EQ("A(1) A2(2) A3(2) C(1)", shape(t));
}

}  // namespace
}  // namespace zanvo

namespace zanvo {
namespace {

TEST(DocumentTree, BulkRemoveAndAddBelowAnItem) {
  DocumentTree t;
  const int a = t.addChild(-1, "A", 0, -1);
  const int a1 = t.addChild(a, "A1", 1, -1);
  t.addChild(a1, "A1a", 1, -1);
  t.addChild(-1, "B", 0, -1);
  t.setSelection(3);
  EXPECT_EQ(0, t.removeDescendants(3));  // a leaf
  EXPECT_EQ(2, t.removeDescendants(a));
  EXPECT_EQ("A(1) B(1)", shape(t));
  EXPECT_EQ(1, t.selection());  // B moved up with the removal

  std::vector<TreeItem> run(3);
  run[0].caption = "x";
  run[0].level = 1;
  run[0].image = -4;  // stored as 0, and the selected image follows it
  run[0].selectedImage = -1;
  run[1].caption = "y";
  run[1].level = 2;
  run[2].caption = "z";
  run[2].level = 1;
  run[2].itemValue = 9;
  EXPECT_TRUE(t.addChildren(0, run));
  EXPECT_EQ("A(1) x(2) y(3) z(2) B(1)", shape(t));
  EXPECT_EQ(0, t.image(1));
  EXPECT_EQ(0, t.selectedImage(1));
  EXPECT_EQ(9, t.itemValue(3));
  EXPECT_EQ(4, t.selection());  // B again, behind the new items
  EXPECT_EQ(0, t.parent(3));
  EXPECT_EQ(1, t.parent(2));
  // Appending at the end still finds the right parent afterwards.
  t.addChild(3, "z1", 1, -1);
  EXPECT_EQ("A(1) x(2) y(3) z(2) z1(3) B(1)", shape(t));

  // Levels that do not describe a forest below the parent add nothing.
  for (const std::vector<int>& levels : std::vector<std::vector<int>>{
           {2}, {1, 3}, {0}, {1, 2, 4}}) {
    std::vector<TreeItem> bad(levels.size());
    for (size_t k = 0; k < levels.size(); ++k) bad[k].level = levels[k];
    EXPECT_FALSE(t.addChildren(-1, bad));
  }
  EXPECT_EQ(6, t.count());
  EXPECT_TRUE(t.addChildren(99, {TreeItem{"C", 0, 0, 0, 1}}));
  EXPECT_EQ("A(1) x(2) y(3) z(2) z1(3) B(1) C(1)", shape(t));
}

}  // namespace
}  // namespace zanvo

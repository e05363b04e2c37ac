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

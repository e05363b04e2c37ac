#include "chm/tree_editing.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "chm/generate_page.h"
#include "chm/generate_test_support.h"

namespace zanvo {
namespace {

using testing::buildTree;
using testing::shape;

enum class Command { kUp, kDown, kDelete, kDeleteChildren };

const char* commandName(Command c) {
  switch (c) {
    case Command::kUp: return "上移";
    case Command::kDown: return "下移";
    case Command::kDelete: return "删除节点";
    case Command::kDeleteChildren: return "删除子节点";
  }
  return "";
}

Ctl button(Command c) {
  switch (c) {
    case Command::kUp: return Ctl::按钮上移;
    case Command::kDown: return Ctl::按钮下移;
    case Command::kDelete: return Ctl::按钮删除节点;
    case Command::kDeleteChildren: return Ctl::按钮删除子节点;
  }
  return Ctl::按钮上移;
}

// What travels with a caption: image, selected image and item value.
std::map<Text, std::tuple<int, int, int>> ownFields(const DocumentTree& t) {
  std::map<Text, std::tuple<int, int, int>> fields;
  for (int i = 0; i < t.count(); ++i) {
    fields[t.caption(i)] = {t.image(i), t.selectedImage(i), t.itemValue(i)};
  }
  return fields;
}

TEST(TreeCommands, TreeSelectionAndCommandGiveTreeAndSelection) {
  struct Case {
    const char* name;
    std::string tree;
    int selection;
    Command command;
    std::string after;
    int selectionAfter;
  };
  const std::string ab = "A(1) A1(2) A2(2) B(1) B1(2)";
  const std::string ba = "B(1) B1(2) A(1) A1(2) A2(2)";
  const Case cases[] = {
      {"down swaps with the next sibling's subtree", ab, 0, Command::kDown, ba, 2},
      {"up swaps with the previous sibling's subtree", ab, 3, Command::kUp, ba, 0},
      {"grandchildren keep their nesting", "A(1) A1(2) A1a(3) A2(2) B(1)", 0,
       Command::kDown, "B(1) A(1) A1(2) A1a(3) A2(2)", 1},
      {"down among children", "P(1) a(2) a1(3) b(2) c(2)", 1, Command::kDown,
       "P(1) b(2) a(2) a1(3) c(2)", 2},
      {"up among children", "P(1) a(2) b(2) b1(3) b2(3) c(2)", 2, Command::kUp,
       "P(1) b(2) b1(3) b2(3) a(2) c(2)", 1},
      {"down on the last child stays in its folder",
       "A(1) A1(2) A2(2) B(1) B1(2)", 2, Command::kDown,
       "A(1) A1(2) A2(2) B(1) B1(2)", 2},
      {"down on the last top-level item", ab, 3, Command::kDown, ab, 3},
      {"up on the first child of another item", ab, 4, Command::kUp, ab, 4},
      {"up on item 0 drops the selection", ab, 0, Command::kUp, ab, -1},
      {"up on the first child of item 0 drops the selection", ab, 1,
       Command::kUp, ab, -1},
      {"up on item 1 at the top level moves", "A(1) B(1)", 1, Command::kUp,
       "B(1) A(1)", 0},
      {"one item: down keeps it selected", "A(1)", 0, Command::kDown, "A(1)", 0},
      {"one item: up leaves nothing selected", "A(1)", 0, Command::kUp, "A(1)", -1},
      {"no selection: up", ab, -1, Command::kUp, ab, -1},
      {"no selection: down", ab, -1, Command::kDown, ab, -1},
      {"no selection: delete", ab, -1, Command::kDelete, ab, -1},
      {"no selection: delete children", ab, -1, Command::kDeleteChildren, ab, -1},
      {"delete selects the next sibling at the same index", ab, 0,
       Command::kDelete, "B(1) B1(2)", 0},
      {"delete selects the previous sibling", ab, 2, Command::kDelete,
       "A(1) A1(2) B(1) B1(2)", 1},
      {"delete selects the parent", ab, 4, Command::kDelete,
       "A(1) A1(2) A2(2) B(1)", 3},
      {"delete of the last item leaves nothing selected", "A(1) A1(2)", 0,
       Command::kDelete, "", -1},
      {"delete children keeps the item selected", ab, 0,
       Command::kDeleteChildren, "A(1) B(1) B1(2)", 0},
      {"delete children of a leaf changes nothing", ab, 1,
       Command::kDeleteChildren, ab, 1},
      {"delete children of the last item", "A(1) B(1)", 1,
       Command::kDeleteChildren, "A(1) B(1)", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " / " + commandName(c.command));
    WindowModel w;
    attachGeneratePage(w);
    buildTree(w.tree(), c.tree);
    const auto fields = ownFields(w.tree());
    w.tree().setSelection(c.selection);
    w.setFocus(Ctl::按钮上移);
    w.click(button(c.command));
    EXPECT_EQ(c.after, shape(w.tree()));
    EXPECT_EQ(c.selectionAfter, w.tree().selection());
    // Every item keeps its own fields wherever it went.
    for (const auto& [caption, f] : ownFields(w.tree())) {
      EXPECT_EQ(fields.at(caption), f) << caption;
    }
    const bool move = c.command == Command::kUp || c.command == Command::kDown;
    EXPECT_EQ(move ? Ctl::树型框1 : Ctl::按钮上移, w.focus());
    EXPECT_TRUE(w.state().moveListA.empty());
    EXPECT_TRUE(w.state().moveListB.empty());
    EXPECT_EQ("", w.state().itemScratch.caption);
    EXPECT_EQ(0, w.state().itemScratch.level);
  }
}

TEST(TreeCommands, SiblingsAndDescendants) {
  DocumentTree t;
  buildTree(t, "A(1) A1(2) A1a(3) A2(2) B(1)");
  struct Case { int i; int next; int previous; int descendants; };
  const Case cases[] = {
      {-1, -1, -1, -1}, {0, 4, -1, 3}, {1, 3, -1, 1}, {2, -1, -1, 0},
      {3, -1, 1, 0}, {4, -1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.i);
    EXPECT_EQ(c.next, findSibling(t, c.i, Direction::kForward));
    EXPECT_EQ(c.previous, findSibling(t, c.i, Direction::kBackward));
    EXPECT_EQ(c.descendants, countDescendants(t, c.i));
  }
}

TEST(TreeCommands, RebuildFollowsLevelDifferencesOnly) {
  DocumentTree t;
  buildTree(t, "A(1) B(1) C(1)");
  std::vector<ItemRecord> list;
  ItemRecord scratch;
  DocumentTree source;
  buildTree(source, "X(2) x1(3) x1a(4) x2(3)");
  ASSERT_FALSE(collectSubtree(source, -1, list, scratch));
  EXPECT_TRUE(list.empty());
  ASSERT_TRUE(collectSubtree(source, 0, list, scratch));
  ASSERT_EQ(4u, list.size());
  rebuildChildren(t, 1, list);  // a subtree from level 2 rebuilt under level 1
  EXPECT_EQ("A(1) B(1) x1(2) x1a(3) x2(2) C(1)", shape(t));
  // Levels that climb above the first record go to the parents' level, one
  // parent per level, as the item-by-item rebuild does.
  std::vector<ItemRecord> odd = {{"r", 0, 0, 0, 5}, {"c", 0, 0, 0, 6},
                                 {"up", 0, 0, 0, 5}};
  rebuildChildren(t, 2, odd);
  EXPECT_EQ("A(1) B(1) x1(2) x1a(3) c(3) x2(2) up(2) C(1)", shape(t));
}

}  // namespace
}  // namespace zanvo

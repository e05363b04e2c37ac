#include "chm/generate_page.h"

#include "chm/compile_run.h"
#include "chm/contents.h"
#include "chm/project.h"
#include "chm/tree_editing.h"
#include "chm/web_import.h"

namespace zanvo {

void onImportWebFolder(WindowModel& w) {
  ChooseFolderParams params;
  params.title = gbk("选择要生成的文件夹");
  // A cancel gives the empty path, and the import runs with it all the same:
  // the page is emptied.
  w.setText(Ctl::编辑框_网页文件夹, w.chooseFolder(params));
  const Text path = w.text(Ctl::编辑框_网页文件夹);
  importWebFolder(w, path);
  filterTree(w.tree());
}

void onPrepareProject(WindowModel& w) {
  filterTree(w.tree());
  w.setText(Ctl::编辑框10, Text());
  w.setText(Ctl::编辑框10, buildContents(w.tree()));
  w.setEnabled(Ctl::按钮转CHM, true);
  buildProject(w);
  saveProjectFiles(w);
}

void attachGeneratePage(WindowModel& w) {
  w.setClickHandler(Ctl::按钮_导入文件夹, onImportWebFolder);
  w.setClickHandler(Ctl::按钮过滤,
                    [](WindowModel& m) { filterTree(m.tree()); });
  w.setClickHandler(Ctl::按钮上移, [](WindowModel& m) {
    DocumentTree& tree = m.tree();
    tree.setSelection(moveUp(tree, m.state(), tree.selection()));
    m.setFocus(Ctl::树型框1);
  });
  w.setClickHandler(Ctl::按钮下移, [](WindowModel& m) {
    DocumentTree& tree = m.tree();
    tree.setSelection(moveDown(tree, m.state(), tree.selection()));
    m.setFocus(Ctl::树型框1);
  });
  w.setClickHandler(Ctl::按钮删除节点, [](WindowModel& m) {
    DocumentTree& tree = m.tree();
    tree.setSelection(deleteItem(tree, tree.selection()));
  });
  w.setClickHandler(Ctl::按钮删除子节点, [](WindowModel& m) {
    deleteChildren(m.tree(), m.tree().selection());
  });
  w.setClickHandler(Ctl::按钮_准备生成, onPrepareProject);
  w.setClickHandler(Ctl::按钮转CHM, compileProject);
}

}  // namespace zanvo

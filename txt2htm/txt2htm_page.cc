#include "txt2htm/txt2htm_page.h"

#include "app/model/window_model.h"
#include "core/ui.h"
#include "txt2htm/template_a.h"
#include "txt2htm/template_b.h"

namespace zanvo {
namespace {

void onConvert(WindowModel& w) {
  const Text folder = w.text(Ctl::编辑框_目录A);
  const Text oldType = w.text(Ctl::编辑框原类型);
  const Text newType = w.text(Ctl::编辑框新类型);
  showWaitCursor();
  const BatchReport report = convertFolder(folder, oldType, newType);
  restoreCursor();
  messageBox(completionMessage(gbk("转换ok!"), report));
  // A refused run has done nothing, so it may be started again.
  if (report.refused) return;
  w.setEnabled(Ctl::按钮批量转换, false);
  w.setEnabled(Ctl::按钮取消转换, true);
}

void onUndo(WindowModel& w) {
  const BatchReport report = undoConversion(w.text(Ctl::编辑框_目录A));
  messageBox(completionMessage(gbk("取消转换ok!"), report));
}

void onChooseTextFolder(WindowModel& w) {
  ChooseFolderParams params;
  params.title = gbk("导入txt目录");
  w.setText(Ctl::编辑框_目录B, w.chooseFolder(params));
  listTextFiles(w, w.text(Ctl::编辑框_目录B));
}

void onMakeBook(WindowModel& w) {
  const BatchReport report =
      makeBook(w.text(Ctl::编辑框_目录B), w.text(Ctl::编辑框11),
               w.checked(Ctl::选择框自动换行), w.checked(Ctl::选择框自动加花),
               w.state().dateText);
  messageBox(completionMessage("ok", report));
}

}  // namespace

void attachTextPage(WindowModel& w) {
  w.setClickHandler(Ctl::按钮批量转换, onConvert);
  w.setClickHandler(Ctl::按钮取消转换, onUndo);
  w.setClickHandler(Ctl::按钮2, onChooseTextFolder);
  w.setClickHandler(Ctl::按钮转网页, onMakeBook);
}

}  // namespace zanvo

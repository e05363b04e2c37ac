#include "tools/tools_page.h"

#include "core/ui.h"
#include "tools/batch_rename.h"
#include "tools/simplify_pages.h"
#include "tools/utf8_gb2312.h"
#include "txt2htm/batch_report.h"

namespace zanvo {
namespace {

void onConvertEncoding(WindowModel& w) {
  const Text folder = w.text(Ctl::编辑框编码转换路径);
  const Text suffix = w.text(Ctl::编辑框编码后缀);
  const BatchReport report = convertFolderToGb2312(folder, suffix);
  messageBox(completionMessage("ok!", report), defaultMessageTitle());
  w.setEnabled(Ctl::按钮编码转换, false);
  w.setText(Ctl::编辑框编码转换路径, Text());
}

void onRenameFiles(WindowModel& w) {
  const Text folder = w.text(Ctl::编辑框路径改字符);
  const Text oldText = w.text(Ctl::编辑框原字符);
  const Text newText = w.text(Ctl::编辑框新字符);
  const BatchReport report = renameFilesInFolder(folder, oldText, newText);
  messageBox(completionMessage(gbk("批量更名 ok!"), report), gbk("提示"));
  w.setEnabled(Ctl::按钮量改字符, false);
  w.setText(Ctl::编辑框路径改字符, Text());
}

void onSimplifyPages(WindowModel& w) {
  showWaitCursor();
  const Text folder = w.text(Ctl::编辑框精简网页);
  const Text suffix = w.text(Ctl::编辑框后缀);
  const Text startMarker = w.text(Ctl::编辑框前标记);
  const Text endMarker = w.text(Ctl::编辑框后标记);
  const BatchReport report =
      simplifyPagesInFolder(folder, suffix, startMarker, endMarker);
  restoreCursor();
  w.setEnabled(Ctl::按钮精简网页, false);
  messageBox(completionMessage(gbk("精简网页结束!"), report),
             defaultMessageTitle());
}

}  // namespace

void attachToolsPage(WindowModel& w) {
  w.setClickHandler(Ctl::按钮编码转换, onConvertEncoding);
  w.setClickHandler(Ctl::按钮量改字符, onRenameFiles);
  w.setClickHandler(Ctl::按钮精简网页, onSimplifyPages);
}

}  // namespace zanvo

// The event table: which handler each control's click runs.
#include "app/startup.h"
#include "chm/decompile_run.h"
#include "chm/generate_page.h"
#include "tools/tools_page.h"
#include "txt2htm/txt2htm_page.h"

namespace zanvo {
namespace {

// The choosers that only fill their box.  Whatever the chooser returns,
// the empty text after a cancel included, replaces the box's text.
struct PlainChooser {
  Ctl button;
  const char* title;  // UTF-8
  bool includeFiles;
  bool showEditBox;
  Ctl target;
};

const PlainChooser kPlainChoosers[] = {
    {Ctl::按钮3, "选择一个CHM文件", true, true, Ctl::编辑框_待编译CHM},
    {Ctl::按钮4, "编译后的文件夹保存位置", false, true, Ctl::编辑框_编译后文件夹},
    {Ctl::按钮1, "导入txt目录", false, false, Ctl::编辑框_目录A},
    {Ctl::按钮5, "导入目录", false, false, Ctl::编辑框编码转换路径},
    {Ctl::按钮7, "导入目录", false, false, Ctl::编辑框路径改字符},
    {Ctl::按钮8, "导入目录", false, false, Ctl::编辑框精简网页},
};

}  // namespace

void attachHandlers(WindowModel& w) {
  for (const PlainChooser& c : kPlainChoosers) {
    w.setClickHandler(c.button, [c](WindowModel& m) {
      ChooseFolderParams params;
      params.title = gbk(c.title);
      if (c.includeFiles) params.includeFiles = true;
      if (c.showEditBox) params.showEditBox = true;
      m.setText(c.target, m.chooseFolder(params));
    });
  }
  attachGeneratePage(w);
  w.setClickHandler(Ctl::按钮CHM解包, decompileChm);
  attachTextPage(w);
  attachToolsPage(w);
  // 按钮6 ("重新填写") has no handler: a click does nothing.
}

}  // namespace zanvo

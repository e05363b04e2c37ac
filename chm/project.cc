#include "chm/project.h"

#include "core/files.h"

namespace zanvo {
namespace {

Text projectTemplate() {
  return gbk(
      "[OPTIONS]\r\n"
      "Display compile progress=no\r\n"
      "Default Window=win\r\n"
      "Compiled file=名字.chm\r\n"
      "Default topic=主页\r\n"
      "\r\n"
      "[WINDOWS]\r\n"
      "win=\"名字\",\"名字.hhc\",,\"主页\",\"主页\",,,,,0x040120,,0x304E,"
      "[0,0,1010,738],0x0,0x0,,,,,\r\n"
      "\r\n"
      "[FILES]\r\n"
      "\r\n"
      "DDDDD");
}

}  // namespace

void buildProject(WindowModel& w) {
  AppState& state = w.state();
  w.setText(Ctl::编辑框4, Text());
  state.homePage = "index.htm";
  w.setText(Ctl::编辑框4,
            replaceText(projectTemplate(), gbk("名字"), state.projectName));
  w.setText(Ctl::编辑框4,
            replaceText(w.text(Ctl::编辑框4), gbk("主页"), state.homePage));
  w.setText(Ctl::编辑框4,
            replaceText(w.text(Ctl::编辑框4), "DDDDD", state.fileList));
}

void saveProjectFiles(WindowModel& w) {
  const Text& folder = w.text(Ctl::编辑框_网页文件夹);
  const Text& name = w.state().projectName;
  writeFile(folder + "\\" + name + ".hhc", bytesOfText(w.text(Ctl::编辑框10)));
  writeFile(folder + "\\" + name + ".hhp", bytesOfText(w.text(Ctl::编辑框4)));
}

}  // namespace zanvo

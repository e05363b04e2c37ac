#include "app/startup.h"

#include "app/executable.h"
#include "core/files.h"
#include "core/system.h"

namespace zanvo {

Text dateText(int year, int month, int day) {
  return numberText(year) + "-" + numberText(month) + "-" + numberText(day);
}

Text todayText() {
  const Date d = today();
  return dateText(d.year, d.month, d.day);
}

Text systemFolder() { return envVariable("windir") + "\\system32"; }

void prepareEnvironment() {
  if (envVariable("windir").empty()) {
    const Text windows = windowsFolder();
    if (!windows.empty()) setEnvVariable("windir", windows);
  }
  if (!envVariable("windir").empty()) createFolder(systemFolder());
}

namespace {

void stage(const Text& name, std::string_view bytes, bool executable) {
  if (bytes.empty()) return;
  const Text path = systemFolder() + "\\" + name;
  if (fileExists(path)) return;
  if (writeFile(path, Bytes(bytes)) && executable) markExecutable(path);
}

}  // namespace

void onWindowCreated(WindowModel& w, const CompilerResources& resources) {
  w.state().dateText = todayText();
  stage("hha.dll", resources.hhaDll, false);
  stage("hhc.exe", resources.hhcExe, true);
}

}  // namespace zanvo

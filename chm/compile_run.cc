#include "chm/compile_run.h"

#include "core/files.h"
#include "core/ui.h"

namespace zanvo {
namespace {

Text trimLine(Text line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\t')) {
    line.pop_back();
  }
  return trimBoth(line);
}

// The line that says what went wrong: the first that mentions an error,
// else the first that is not blank.
Text firstErrorLine(const Text& output) {
  Text firstLine;
  for (const Text& piece : splitText(output, "\n")) {
    const Text line = trimLine(piece);
    if (line.empty()) continue;
    if (findText(line, "error", 1, true) != -1 ||
        findText(line, gbk("错误")) != -1) {
      return line;
    }
    if (firstLine.empty()) firstLine = line;
  }
  return firstLine;
}

}  // namespace

Text compileCommandLine(const Text& folder, const Text& projectName) {
  return "hhc.exe \"" + folder + "\\" + projectName + ".hhp\"";
}

Text compileMessage(const CommandResult& result, bool bookExists) {
  if (result.started && result.finished && result.exitCode == 0 &&
      bookExists) {
    return "ok";
  }
  if (!result.started) {
    return gbk("CHM文件没有生成：找不到编译程序 hhc.exe。");
  }
  Text message = gbk("CHM文件没有生成");
  const Text line = firstErrorLine(result.output);
  if (!line.empty()) {
    message += gbk("：") + line;
  } else if (result.finished && result.exitCode != 0) {
    message += gbk("：编译程序退出码 ") + numberText(result.exitCode) + gbk("。");
  } else {
    message += gbk("。");
  }
  return message;
}

void compileProject(WindowModel& w) {
  // The folder is read anew: a folder typed after "准备生成" is compiled
  // with the project name of the last import.
  const Text folder = w.text(Ctl::编辑框_网页文件夹);
  const Text& name = w.state().projectName;
  const CommandResult result =
      runCommand(compileCommandLine(folder, name), true, ShowWindow::kHidden);
  // The book is looked for only after a clean run: a book left by an
  // earlier build must not make a failed run look done.
  const bool built = result.started && result.finished &&
                     result.exitCode == 0 &&
                     fileExists(folder + "\\" + name + ".chm");
  messageBox(compileMessage(result, built));
}

}  // namespace zanvo

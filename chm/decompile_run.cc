#include "chm/decompile_run.h"

#include "core/ui.h"

namespace zanvo {
namespace {

bool hasBlank(const Text& t) {
  return t.find(' ') != Text::npos || t.find('\t') != Text::npos;
}

// Quotes a path for the Windows splitting rules: backslashes are plain
// except before a quote, so the ones that end the path are doubled to keep
// "D:\my books\" from swallowing its closing quote.
Text quoted(const Text& path) {
  size_t trailing = 0;
  // Only whole one-byte characters count: the second byte of a two-byte
  // character may be 5C and is no backslash.
  for (size_t i = 0; i < path.size(); i += charLength(path, i)) {
    trailing = (charLength(path, i) == 1 && path[i] == '\\') ? trailing + 1 : 0;
  }
  return "\"" + path + Text(trailing, '\\') + "\"";
}

Text argument(const Text& path) { return hasBlank(path) ? quoted(path) : path; }

Text firstLine(const Text& output) {
  for (Text line : splitText(output, "\n")) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\t')) line.pop_back();
    line = trimBoth(line);
    if (!line.empty()) return line;
  }
  return Text();
}

}  // namespace

Text decompileCommandLine(const Text& folder, const Text& book) {
  return "hh.exe -decompile " + argument(folder) + " " + argument(book);
}

Text decompileMessage(const CommandResult& result) {
  if (result.started && result.finished && result.exitCode == 0) return "ok";
  if (!result.started) return gbk("CHM文件没有解包：找不到反编译程序 hh.exe。");
  Text message = gbk("CHM文件没有完整解包");
  const Text line = firstLine(result.output);
  if (!line.empty()) {
    message += gbk("：") + line;
  } else if (result.finished) {
    message += gbk("：反编译程序退出码 ") + numberText(result.exitCode) + gbk("。");
  } else {
    message += gbk("。");
  }
  return message;
}

void decompileChm(WindowModel& w) {
  const Text folder = w.text(Ctl::编辑框_编译后文件夹);
  const Text book = w.text(Ctl::编辑框_待编译CHM);
  // Hidden rather than shown: our decompiler is a console program with no
  // window of its own, and only a hidden run hands its messages back for
  // the failure message.
  const CommandResult result =
      runCommand(decompileCommandLine(folder, book), true, ShowWindow::kHidden);
  messageBox(decompileMessage(result));
}

}  // namespace zanvo

#include "tools/batch_rename.h"

#include "core/files.h"
#include "tools/text_match.h"

namespace zanvo {

Text replaceInName(const Text& name, const Text& oldText, const Text& newText) {
  if (name.empty() || oldText.empty()) return name;
  Text result;
  result.reserve(name.size());
  const size_t x = oldText.size();
  size_t i = 0;
  while (i < name.size()) {
    if (name.size() - i < x) break;  // fewer bytes left than the old text has
    if (matchesAt(name, i, oldText)) {
      result += newText;
      i += x;
      continue;
    }
    const size_t len = charLength(name, i);
    result.append(name, i, len);
    i += len;
  }
  result.append(name, i, Text::npos);
  return result;
}

BatchReport renameFilesInFolder(const Text& folder, const Text& oldText,
                                const Text& newText) {
  BatchReport report;
  const Text base = folder + "\\";
  for (const Text& name : listFolder(base + "*", ListFilter::kFiles)) {
    if (name == "." || name == "..") continue;
    const Text newName = replaceInName(name, oldText, newText);
    if (newName == name) continue;  // nothing to do, and nothing can fail
    if (renameFile(base + name, base + newName)) {
      ++report.done;
    } else {
      report.problems.push_back(
          {base + name, fileExists(base + newName)
                            ? gbk("新文件名已被占用：") + newName
                            : gbk("无法改名为：") + newName});
    }
  }
  return report;
}

}  // namespace zanvo

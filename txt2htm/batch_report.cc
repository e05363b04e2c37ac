#include "txt2htm/batch_report.h"

#include "txt2htm/safe_files.h"

namespace zanvo {
namespace {
// A message box has room for a few names; the count says how many more.
constexpr size_t kNamedProblems = 5;
}  // namespace

Text completionMessage(const Text& fixed, const BatchReport& report) {
  if (report.refused) return report.refusal;
  if (report.problems.empty()) return fixed;
  Text m = fixed + "\r\n\r\n" + numberText(static_cast<int64_t>(report.problems.size())) +
           gbk(" 个文件未能处理，原样保留：");
  size_t shown = 0;
  for (const FileProblem& p : report.problems) {
    if (shown == kNamedProblems) {
      m += "\r\n" + gbk("……");
      break;
    }
    m += "\r\n" + displayPath(p.path) + gbk("（") + p.reason + gbk("）");
    ++shown;
  }
  return m;
}

}  // namespace zanvo

#include "tools/simplify_pages.h"

#include <filesystem>
#include <system_error>

#include "assets/assets.h"
#include "core/files.h"
#include "tools/text_match.h"
#include "txt2htm/template_a.h"

namespace zanvo {

Text cutBetweenMarkers(const Text& page, const Text& startMarker,
                       const Text& endMarker) {
  if (page.empty()) return Text();
  const size_t a = startMarker.empty() ? 0 : findFolded(page, startMarker, 0);
  if (a == Text::npos) return Text();
  const size_t q = a + startMarker.size();
  // An empty end marker stands at the first byte, never after the start.
  if (endMarker.empty()) return Text();
  const size_t z = findFolded(page, endMarker, q);
  if (z == Text::npos) return Text();
  return page.substr(q, z - q);
}

BatchReport simplifyPagesInFolder(const Text& folder, const Text& suffix,
                                  const Text& startMarker,
                                  const Text& endMarker) {
  BatchReport report;
  const Text base = folder + "\\";
  const Text outFolder = base + gbk("处理后");
  createFolder(outFolder);  // may exist already
  for (const Text& name : listFolder(base + "*" + suffix, ListFilter::kFiles)) {
    if (name == "." || name == "..") continue;
    const Text source = base + name;
    const Bytes bytes = readFile(source);
    const Text kept = cutBetweenMarkers(textOfBytes(bytes), startMarker, endMarker);
    const Text copy = outFolder + "\\" + name;
    if (!writeFile(copy, bytesOfText(TemplateAHeader() + kept + TemplateAFooter()))) {
      report.problems.push_back({copy, gbk("无法写入副本，原网页保留")});
      continue;
    }
    // The copy is the page's only other form: a copy holding the frame
    // alone (markers not found, nothing between them, page unreadable)
    // must not cost the user the page.
    if (kept.empty()) {
      std::error_code ec;
      const bool unreadable =
          bytes.empty() && (std::filesystem::file_size(nativePath(source), ec) > 0 || ec);
      report.problems.push_back(
          {source, unreadable ? gbk("无法读取，原网页保留")
                              : gbk("未找到标记之间的文字，原网页保留")});
      continue;
    }
    if (deleteFile(source))
      ++report.done;
    else
      report.problems.push_back({source, gbk("副本已写入，但原网页无法删除")});
  }
  const std::string_view image = imageAsset("leftbg.gif");
  writeFile(outFolder + "\\leftbg.gif", Bytes(image));
  return report;
}

}  // namespace zanvo

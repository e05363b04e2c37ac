#include "app/model/chooser.h"

#include "app/model/app_state.h"

namespace zanvo {

unsigned chooserFlags(const ChooseFolderParams& params) {
  unsigned flags = 0;
  if (params.showEditBox.value_or(false)) flags += kBifEditBox;
  if (params.newDialogStyle.value_or(true)) flags += kBifNewDialogStyle;
  if (params.includeFiles.value_or(false)) flags += kBifBrowseIncludeFiles;
  return flags;
}

Text chooseFolder(FolderBrowser* browser, AppState& state,
                  const ChooseFolderParams& params) {
  BrowseRequest request;
  request.title = params.title ? *params.title : gbk("请选择一个文件夹");
  request.flags = chooserFlags(params);
  request.owner = params.owner;
  state.chooserStartFolder = params.startFolder.value_or(Text());
  // The dialog selects the start folder as soon as it has opened.
  request.startFolder = state.chooserStartFolder;
  if (browser == nullptr) return Text();
  std::optional<Text> chosen = browser->browse(request);
  if (!chosen) return Text();
  // The shell writes the path into a buffer of blanks; only its text up to
  // the first zero byte, without blanks at either end, is the answer.
  return trimBoth(textOfBytes(*chosen));
}

}  // namespace zanvo

// The one folder chooser behind every "选择" button.
//
// chooseFolder fills a browse request the way the Windows shell's folder
// browser takes it and hands it to the FolderBrowser that the window
// installs (tests install a fake).  The result is the chosen path in the
// program's form, trimmed of blanks at both ends, or empty after a cancel.
#ifndef ZANVO_APP_MODEL_CHOOSER_H_
#define ZANVO_APP_MODEL_CHOOSER_H_

#include <optional>

#include "core/text.h"

namespace zanvo {

struct AppState;

inline constexpr unsigned kBifEditBox = 0x10;
inline constexpr unsigned kBifNewDialogStyle = 0x40;
inline constexpr unsigned kBifBrowseIncludeFiles = 0x4000;

// What the dialog is asked to do.
struct BrowseRequest {
  Text title;
  unsigned flags = 0;   // sum of the kBif* values
  Text startFolder;     // folder to select when the dialog opens (may be empty)
  void* owner = nullptr;
};

class FolderBrowser {
 public:
  virtual ~FolderBrowser() = default;
  // Shows the modal dialog.  Returns the chosen entry's path in the
  // program's form, or nullopt when the user cancels.
  virtual std::optional<Text> browse(const BrowseRequest& request) = 0;
};

struct ChooseFolderParams {
  std::optional<Text> title;           // default "请选择一个文件夹"
  std::optional<bool> includeFiles;    // default false
  std::optional<Text> startFolder;     // default empty
  std::optional<bool> showEditBox;     // default false
  std::optional<bool> newDialogStyle;  // default true
  void* owner = nullptr;
};

// The flag word of the browse request.
unsigned chooserFlags(const ChooseFolderParams& params);

// Shows the chooser; state.chooserStartFolder keeps a copy of the start
// folder.  Empty text when there is no browser, on cancel, or when the
// chosen entry has no path.
Text chooseFolder(FolderBrowser* browser, AppState& state,
                  const ChooseFolderParams& params);

}  // namespace zanvo

#endif  // ZANVO_APP_MODEL_CHOOSER_H_

// The "辅助工具" page: click handlers of its three batch tools.
#ifndef ZANVO_TOOLS_TOOLS_PAGE_H_
#define ZANVO_TOOLS_TOOLS_PAGE_H_

#include "app/model/window_model.h"

namespace zanvo {

// Attaches the handlers of 按钮编码转换, 按钮量改字符 and 按钮精简网页.  Each
// runs its tool over the folder in its box, shows its fixed completion
// message (followed, when files could not be processed, by how many and the
// first few of them) and disables its button for the rest of the run.
void attachToolsPage(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_TOOLS_TOOLS_PAGE_H_

// The click handlers of the "文本转网页" page.
#ifndef ZANVO_TXT2HTM_TXT2HTM_PAGE_H_
#define ZANVO_TXT2HTM_TXT2HTM_PAGE_H_

namespace zanvo {

class WindowModel;

// Attaches the handlers of 按钮批量转换 and 按钮取消转换 (Template A) and of
// 按钮2 and 按钮转网页 (Template B).  按钮1, the plain folder chooser of
// Template A, is attached by the window itself.
void attachTextPage(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_TXT2HTM_TXT2HTM_PAGE_H_

// The click handlers of the "生成CHM" page.
#ifndef ZANVO_CHM_GENERATE_PAGE_H_
#define ZANVO_CHM_GENERATE_PAGE_H_

#include "app/model/window_model.h"

namespace zanvo {

// Attaches the handlers of 按钮_导入文件夹, 按钮过滤, 按钮上移, 按钮下移,
// 按钮删除节点, 按钮删除子节点, 按钮_准备生成 and 按钮转CHM.
void attachGeneratePage(WindowModel& w);

// "导入网页": choose the web folder, import it, filter the tree.
void onImportWebFolder(WindowModel& w);
// "准备生成": filter, contents text, enable "开始生成", project text, save.
void onPrepareProject(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_CHM_GENERATE_PAGE_H_

// The project file (.hhp) of the book and the saving of both generated
// files into the web folder.
#ifndef ZANVO_CHM_PROJECT_H_
#define ZANVO_CHM_PROJECT_H_

#include "app/model/window_model.h"
#include "core/text.h"

namespace zanvo {

// Builds the project text from projectName and fileList into 编辑框4 and
// sets homePage to "index.htm".  The placeholders are replaced one after
// the other over the whole text (名字, then 主页, then DDDDD).
void buildProject(WindowModel& w);

// Writes the text of 编辑框10 to <folder>\<projectName>.hhc and that of
// 编辑框4 to <folder>\<projectName>.hhp, folder being the text of
// 编辑框_网页文件夹 as it stands.  A write that fails is passed over.
void saveProjectFiles(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_CHM_PROJECT_H_

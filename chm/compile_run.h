// The compile run of "开始生成": the HTML Help compiler on the saved project.
#ifndef ZANVO_CHM_COMPILE_RUN_H_
#define ZANVO_CHM_COMPILE_RUN_H_

#include "app/model/window_model.h"
#include "core/system.h"
#include "core/text.h"

namespace zanvo {

// "hhc.exe" + " " + the quoted project path (folder + "\" + projectName +
// ".hhp"); the program is found by the command runner's search.
Text compileCommandLine(const Text& folder, const Text& projectName);

// The message that follows a compile run: "ok" when the compiler ran to its
// end with exit code 0 and the book exists; otherwise a message that the
// book was not built, with the compiler's first error line when it printed
// one.
Text compileMessage(const CommandResult& result, bool bookExists);

// Runs the compiler hidden on the project named by the folder box and
// projectName, waits for it without time limit, and shows compileMessage.
void compileProject(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_CHM_COMPILE_RUN_H_

// The decompile run of "CHM解包": the decompiler on the chosen book.
#ifndef ZANVO_CHM_DECOMPILE_RUN_H_
#define ZANVO_CHM_DECOMPILE_RUN_H_

#include "app/model/window_model.h"
#include "core/system.h"
#include "core/text.h"

namespace zanvo {

// "hh.exe -decompile " + folder + " " + book.  A path that holds a blank is
// put between quotes (with its trailing backslashes doubled, so that the
// closing quote stays a quote under the Windows splitting rules); any other
// path, the empty one included, goes in exactly as it is.
Text decompileCommandLine(const Text& folder, const Text& book);

// "ok" when the decompiler ran to its end with exit code 0; otherwise a
// message that the book was not (fully) unpacked, with the decompiler's
// first error line when it printed one.
Text decompileMessage(const CommandResult& result);

// Click handler of 按钮CHM解包: reads 编辑框_编译后文件夹 and
// 编辑框_待编译CHM, runs the decompiler hidden (so that its messages can be
// read), waits for it without time limit and shows decompileMessage.
void decompileChm(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_CHM_DECOMPILE_RUN_H_

// Start-up steps that need no window toolkit: the date text, the system
// folder, and the staging of the compiler files.
#ifndef ZANVO_APP_STARTUP_H_
#define ZANVO_APP_STARTUP_H_

#include <string_view>

#include "app/model/window_model.h"
#include "core/text.h"

namespace zanvo {

// The two data resources that start-up writes into the system folder: the
// compiler program and its engine library.
struct CompilerResources {
  std::string_view hhaDll;  // the engine library
  std::string_view hhcExe;  // the compiler program
};

// Today's local date as year-month-day without leading zeros ("2024-3-5").
Text todayText();
Text dateText(int year, int month, int day);

// The value of "windir" followed by "\system32".
Text systemFolder();

// Before the window is created: on POSIX there is no Windows folder, so
// "windir" is pointed at the per-user data folder that stands in for it
// (unless it is set already), and its system32 folder is made, so that
// start-up never writes at the root of the file system.
void prepareEnvironment();

// The window's creation step: records today's date in the state and writes
// each compiler file into the system folder unless an entry of that name
// (file or folder) is there already.  An existing file is never replaced.
// A resource with no bytes (a build without the compiler) is not written.
void onWindowCreated(WindowModel& w, const CompilerResources& resources);

// Attaches every click handler of the window: the plain choosers and the
// handlers of the four pages.
void attachHandlers(WindowModel& w);

}  // namespace zanvo

#endif  // ZANVO_APP_STARTUP_H_

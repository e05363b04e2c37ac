// Processes, environment, date and the program's own location.
#ifndef ZANVO_CORE_SYSTEM_H_
#define ZANVO_CORE_SYSTEM_H_

#include <cstdint>
#include <vector>

#include "core/text.h"

namespace zanvo {

enum class ShowWindow { kHidden, kNormal };

struct CommandResult {
  bool started = false;   // the program was found and its process began
  bool finished = false;  // waited for, and it ended (normally or by signal)
  int exitCode = -1;      // valid when finished; 128 + signal when killed
  // What the program printed (stdout and stderr together) when it was run
  // hidden and waited for; empty otherwise.  Code page 936 bytes.
  Text output;
};

// Starts a process from a whole Windows command line: the line is split by
// the Windows rules (quotes, backslashes), and the program named first is
// looked up in the running program's folder, the system folder
// (systemFolder) and PATH, with and without ".exe".  With wait, returns when
// the process has ended, with no time limit.  Nothing is inherited but the
// environment and the current folder.
CommandResult runCommand(const Text& commandLine, bool wait, ShowWindow show);

// Splits a command line as the Windows C runtime does.
std::vector<Text> splitCommandLine(const Text& commandLine);

// The variable's value, or empty when it is not set.
Text envVariable(const Text& name);
// Sets or (with an empty value) removes an environment variable; for start-up
// and tests.
void setEnvVariable(const Text& name, const Text& value);

struct Date {
  int year = 0;   // four digits
  int month = 0;  // 1-12
  int day = 0;    // 1-31
};
Date today();

// Milliseconds since an arbitrary start, wrapping at 2^32 as on Windows.
uint32_t tickCount();

// The folder of the running program, in the program's path form.
Text programFolder();

// The folder that stands in for the Windows folder ("windir"): on POSIX a
// per-user, per-version data folder ($XDG_DATA_HOME or ~/.local/share,
// then "zanvochm/<version>/windows").  Created on first use when missing.
Text windowsFolder();

}  // namespace zanvo

#endif  // ZANVO_CORE_SYSTEM_H_

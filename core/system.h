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
// splitCommandLine.  A program name with a "\" or "/" is used as it is
// (relative to the current folder); any other is looked up in the running
// program's folder, then windowsFolder() + "\system32", then PATH.  In each
// folder the names tried are the name as given, the name without ".exe"
// (any case), and "zanvochm-" + that stem, so "hhc.exe" and "hh.exe" find
// our zanvochm-hhc and zanvochm-hh.  Arguments are decoded from GB18030 to
// UTF-8; one that holds a "\" is taken for a path and its "\" become "/".
// With wait, returns when the process has ended, with no time limit.
// Nothing is inherited but the environment, the current folder and, when
// shown normally, the standard handles; a hidden program reads from
// /dev/null and its output is captured (when waited for; at most 64 KiB are
// kept, the rest is read and dropped) or discarded.  A program started
// without wait is reaped in the background.
CommandResult runCommand(const Text& commandLine, bool wait, ShowWindow show);

// Splits a command line as the Windows C runtime does: the program name
// up to the first blank outside quotes, quotes dropped, backslashes plain;
// then arguments where 2n backslashes before a quote give n and the quote
// groups, 2n+1 give n and a literal quote, and "" inside a group is a
// literal quote.  Two-byte characters are copied whole.  Leading blanks are
// skipped.
std::vector<Text> splitCommandLine(const Text& commandLine);

// The variable's value, or empty when it is not set.  Names and values are
// UTF-8 in the environment and code page 936 (GB18030) here.
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

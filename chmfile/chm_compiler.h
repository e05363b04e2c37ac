// Compiles an HTML Help project (.hhp) into a CHM book: reads the project,
// its contents file and every listed file, builds the internal files and
// the container, and writes the book named by "Compiled file=".
//
// The book is written under a temporary name in its own folder and renamed
// into place only when every byte was written; on any failure nothing new
// is left behind (an older book of the same name stays as it was).
#ifndef ZANVO_CHMFILE_CHM_COMPILER_H_
#define ZANVO_CHMFILE_CHM_COMPILER_H_

#include <functional>
#include <string>

namespace zanvo::chm {

enum class CompileMessage { kProgress, kWarning, kError };

struct CompileOptions {
  int lzxLevel = 2;  // the LZX encoder's level, 0 (store) .. 3
  int threads = 0;   // 0: one per core
};

// Receives progress lines and "file:line: message" diagnostics.
using CompileLog = std::function<void(CompileMessage kind, const std::string& text)>;

// projectPath is a file system path; "\" separators are accepted too.
// Returns true when the book was written.
bool compileProject(const std::string& projectPath, const CompileOptions& options,
                    const CompileLog& log);

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_CHM_COMPILER_H_

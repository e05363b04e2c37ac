// The "批量改文件名" tool: replaces a text in the names of all files of a
// folder.
#ifndef ZANVO_TOOLS_BATCH_RENAME_H_
#define ZANVO_TOOLS_BATCH_RENAME_H_

#include "core/text.h"
#include "txt2htm/batch_report.h"

namespace zanvo {

// name with every occurrence of oldText replaced by newText, scanning left
// to right without overlap; ASCII letters match without regard to case, and
// a match never starts on the second byte of a two-byte character.  Text put
// in by newText is not searched again.  An empty name or oldText gives name
// unchanged; an empty newText removes the occurrences.
Text replaceInName(const Text& name, const Text& oldText, const Text& newText);

// Gives every file of folder (not those in subfolders, and never a folder)
// the name replaceInName makes of its own.  The folder's names are listed
// before the first rename, so a renamed file never comes up again.  A rename
// onto a name that exists already fails and changes nothing; the report
// names every file whose rename failed.
BatchReport renameFilesInFolder(const Text& folder, const Text& oldText,
                                const Text& newText);

}  // namespace zanvo

#endif  // ZANVO_TOOLS_BATCH_RENAME_H_

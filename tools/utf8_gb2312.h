// The "utf8-gb2312" tool: code page 936 copies of the UTF-8 pages of a
// folder.
#ifndef ZANVO_TOOLS_UTF8_GB2312_H_
#define ZANVO_TOOLS_UTF8_GB2312_H_

#include "core/text.h"
#include "txt2htm/batch_report.h"

namespace zanvo {

// UTF-8 content as code page 936 text, converted the way Windows converts
// UTF-8 to UTF-16 and on to code page 936:
// - each malformed UTF-8 sequence becomes one replacement character (see
//   the source for which bytes make up one sequence), which has no code
//   page 936 form and so becomes "?";
// - a base character followed by combining marks is merged into the
//   precomposed character where one exists;
// - a character without a code page 936 form becomes "?", one for each
//   UTF-16 code unit (so "??" for a character beyond U+FFFF); no best-fit
//   substitutes are used;
// - the text ends before the first U+0000.
// A byte-order mark at the head of the content is dropped; U+FEFF anywhere
// else becomes "?" like any other character without a code page 936 form.
Text utf8ToGb2312(const Bytes& content);

// Converts every file of folder whose name ends in suffix (letter case
// ignored; an empty suffix takes every file) into folder + "\处理后\" under
// the same name, creating that folder when needed.  Files in subfolders are
// not converted; the sources are never changed.  The report names the
// files that could not be read or whose copy could not be written.
BatchReport convertFolderToGb2312(const Text& folder, const Text& suffix);

}  // namespace zanvo

#endif  // ZANVO_TOOLS_UTF8_GB2312_H_

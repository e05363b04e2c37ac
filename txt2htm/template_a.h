// Template A: plain-text files of a folder tree turned into web pages in
// place, and the pages of one folder turned back into text files.
//
// A Template A page is TemplateAHeader() + the text (trailing blanks
// removed, every CR LF made "<br><br>") + TemplateAFooter(), in code page
// 936 bytes.  The page-simplification tool uses the same header and footer.
//
// Neither operation loses a file's text: a source file is deleted only after
// its replacement has been written and read back unchanged, and only when
// the replacement is a different file.  Files that could not be processed
// are left as they are and named in the returned report.
#ifndef ZANVO_TXT2HTM_TEMPLATE_A_H_
#define ZANVO_TXT2HTM_TEMPLATE_A_H_

#include "core/text.h"
#include "txt2htm/batch_report.h"

namespace zanvo {

// The fixed head of a Template A page: one line of 844 bytes, no line break.
const Text& TemplateAHeader();
// The fixed end of a Template A page.
const Text& TemplateAFooter();
// A further page head (230 bytes, six CR LF separated lines) that the undo
// removes as well; the conversion never writes it.
const Text& SecondPageHeader();

// The page text of one text file's bytes: the text up to the first zero byte,
// trailing blanks removed, CR LF made "<br><br>", between header and footer.
Bytes templateAPage(const Bytes& fileBytes);

// The text-file bytes that the undo makes of one page's bytes.
Bytes templateAText(const Bytes& pageBytes);

// Converts the files of folder whose names match "*" + oldType into pages
// named by newType, then the subfolders (depth first; names beginning with
// "." skipped).  "leftbg.gif" is written into each folder where a file was
// converted, unless one exists there.  Refused (report.refused, nothing
// touched) when folder or oldType is empty.
BatchReport convertFolder(const Text& folder, const Text& oldType,
                          const Text& newType);

// Turns the ".htm" pages of folder (that folder only) back into ".txt"
// files.  An existing text file is never replaced: such a page stays and is
// reported.  Refused when folder is empty.
BatchReport undoConversion(const Text& folder);

}  // namespace zanvo

#endif  // ZANVO_TXT2HTM_TEMPLATE_A_H_

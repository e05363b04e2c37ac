// A project file (.hhp) rebuilt from a compiled book, so that a decompiled
// folder compiles again without editing.
#ifndef ZANVO_CHMFILE_CHM_EXTRACT_PROJECT_H_
#define ZANVO_CHMFILE_CHM_EXTRACT_PROJECT_H_

#include <string>
#include <vector>

namespace zanvo {

class ChmReader;

// Builds the text of an HTML Help Workshop project from the book's #SYSTEM
// (compiled file, contents and index file, default topic, title, language,
// default window), #WINDOWS and #STRINGS (the window definitions) and the
// list of files written (book names such as "/ch1/a.htm", listed under
// [FILES] in the "ch1\a.htm" form).  Texts are the book's own bytes; lines
// end with CR LF.  *hhpName is a plain file name for the project.
//
// false when the written files already include a project (*.hhp) or the
// book has no readable #SYSTEM.
bool rebuildProject(ChmReader& reader, const std::vector<std::string>& written,
                    const std::string& bookName, std::string* hhpName,
                    std::string* text);

}  // namespace zanvo

#endif  // ZANVO_CHMFILE_CHM_EXTRACT_PROJECT_H_

// The "精简网页" tool: pages cut down to the text between two markers and
// framed as plain Template A pages.
#ifndef ZANVO_TOOLS_SIMPLIFY_PAGES_H_
#define ZANVO_TOOLS_SIMPLIFY_PAGES_H_

#include "core/text.h"
#include "txt2htm/batch_report.h"

namespace zanvo {

// The text strictly between the first startMarker in page and the first
// endMarker after it; empty when either is not found.  Searches run left to
// right, step over two-byte characters whole and compare ASCII letters
// without regard to case.  An empty startMarker counts as found at the
// first byte of a non-empty page; an empty endMarker counts as found at the
// first byte, which is never after the start marker, so it keeps nothing.
Text cutBetweenMarkers(const Text& page, const Text& startMarker,
                       const Text& endMarker);

// For every file of folder whose name ends in suffix (letter case ignored;
// empty: every file; not in subfolders), writes TemplateAHeader + the cut
// text + TemplateAFooter as folder + "\处理后\" + name, then writes
// "leftbg.gif" there (also when no page was found).  The page bytes are
// taken as they are up to the first zero byte.
//
// A source page is deleted only when its copy was written and holds text
// cut from it.  A page whose markers are not found (and every page when the
// markers cut nothing, as with both markers empty) keeps its source and is
// named in the report, as is every page that could not be read or written.
BatchReport simplifyPagesInFolder(const Text& folder, const Text& suffix,
                                  const Text& startMarker,
                                  const Text& endMarker);

}  // namespace zanvo

#endif  // ZANVO_TOOLS_SIMPLIFY_PAGES_H_

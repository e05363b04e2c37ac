// The contents file (.hhc, an HTML sitemap) built from the document tree.
#ifndef ZANVO_CHM_CONTENTS_H_
#define ZANVO_CHM_CONTENTS_H_

#include "app/model/document_tree.h"
#include "core/text.h"

namespace zanvo {

// The sitemap text for the tree, CR LF line ends; reads the tree and
// changes nothing.  One entry per item in tree order: a folder entry for an
// item whose path ends with ">\" (opening a list when it has children), a
// nested page entry for an item below a folder (closing one list per level
// that the next item stands higher), and a top-level page entry otherwise.
Text buildContents(const DocumentTree& tree);

}  // namespace zanvo

#endif  // ZANVO_CHM_CONTENTS_H_

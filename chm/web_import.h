// The document tree of the "生成CHM" page filled from a folder of web pages,
// and the filter that keeps only web pages and the folders that hold them.
//
// Folders and files are told apart by their captions alone: a folder item is
// captioned "<" + name + ">", a file item with its bare name (neither mark
// can occur in a Windows file name).  Paths are texts with "\" separators in
// the program's form; the file layer maps them to the platform.
#ifndef ZANVO_CHM_WEB_IMPORT_H_
#define ZANVO_CHM_WEB_IMPORT_H_

#include <functional>
#include <string_view>
#include <vector>

#include "app/model/document_tree.h"
#include "app/model/window_model.h"
#include "core/text.h"

namespace zanvo {

// The path of item i from the captions of its ancestors: every caption
// followed by "\" (unless it already ends with one), outermost first.  A
// top-level file index.htm gives "index.htm\", a file a.htm in folder ch1
// "<ch1>\a.htm\", the folder item itself "<ch1>\".  Empty outside the tree.
Text itemPath(const DocumentTree& tree, int i);
// Calls visit(i, itemPath(i)) for every item in index order, in one pass
// over the tree; the path is valid only during the call.
void forEachItemPath(const DocumentTree& tree,
                     const std::function<void(int, const Text&)>& visit);

// Appends t without its "<" and ">" characters (the marks of folder
// captions); a byte that is the second byte of a character stays.
void appendWithoutMarks(Text& out, std::string_view t);
// True when t holds only bytes below 0x80, so every byte is a character.
bool isAscii(std::string_view t);
// True when caption contains ".htm" in any letter case (a web page's name).
bool containsHtm(const Text& caption);
// True when the last character of t is "\\" (not the second byte of a
// two-byte character).
bool endsWithBackslash(std::string_view t);

// The part of path after its last "\" (found by characters, so the second
// byte of a two-byte character is never taken for one); the whole path when
// it has none, empty when it ends with one.
Text lastPathPart(const Text& path);

// Adds the content of folder below the item parent (-1: at the top level):
// in each folder first its subfolders, each captioned "<name>" with image 0
// and followed by its own content, then its files (entries with read-only,
// hidden, system or archive attribute that are no folders) with image 1;
// each group in listing order.  A subfolder that cannot be entered keeps its
// item without children.  Leaves the process's current folder at folder.
// False, adding nothing, when folder cannot be made the current folder.
bool walkFolder(DocumentTree& tree, const Text& folder, int parent);

// Replaces the tree, the file list, the two generated texts and the folder
// box from the folder at path.  projectName becomes the folder's own name
// only when path is a folder; fileList names every file found (web page or
// not) relative to the folder, one per line with CR LF, in tree order.
void importWebFolder(WindowModel& w, const Text& path);

// Removes every childless item whose caption does not contain ".htm" (any
// letter case).  A folder whose children all go in this pass stays, without
// children, until the next pass.
void filterTree(DocumentTree& tree);

}  // namespace zanvo

#endif  // ZANVO_CHM_WEB_IMPORT_H_

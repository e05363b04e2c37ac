// Whole-file and folder operations over paths in the program's own form:
// code page 936 texts with "\" separators.  None of them shows anything to
// the user; failures come back as false, -1 or empty values.
//
// On POSIX a path is decoded (GB18030, the superset of code page 936 that
// covers all of Unicode) before its "\" become "/", so the second byte of a
// two-byte character is never taken for a separator; a path that begins
// with "\" starts at the root of the file system.  Names that come back from
// the file system are mapped the other way.
#ifndef ZANVO_CORE_FILES_H_
#define ZANVO_CORE_FILES_H_

#include <string>
#include <vector>

#include "core/text.h"

namespace zanvo {

// The whole file, or empty Bytes when the path is empty, the file is missing
// or unreadable, or the file is empty.
Bytes readFile(const Text& path);

// Writes b as the whole content of path.  The bytes go to a temporary name
// in the same folder first and replace the file only when all were written,
// so a failed write never leaves a truncated file.  False, with nothing
// changed, when the path is empty, the folder is missing, the path names a
// folder or a read-only file (as Windows refuses it), or the write fails.
// A replaced file keeps its permissions; a link is written through.
bool writeFile(const Text& path, const Bytes& b);

// True when any entry, file or folder, exists under path; a wildcard in the
// last part of the path matches as in a folder listing ("." and ".." do not
// count, so "folder\*" is false for an empty folder).
bool fileExists(const Text& path);
// Deletes one file (never a folder, nor a read-only file, as on Windows);
// true on success.
bool deleteFile(const Text& path);
// Renames or moves one file or folder.  Never replaces: fails, changing
// nothing, when newPath names an existing entry other than oldPath itself.
bool renameFile(const Text& oldPath, const Text& newPath);
// Creates one folder level; false when it exists or its parent is missing.
bool createFolder(const Text& path);
bool setCurrentFolder(const Text& path);
// The process's current folder in the program's form (without final "\").
Text currentFolder();

enum FileAttribute : int {
  kAttrReadOnly = 1,
  kAttrHidden = 2,
  kAttrSystem = 4,
  kAttrFolder = 16,
  kAttrArchive = 32,
};
// The entry's attribute bits (the FileAttribute values only), or -1 when
// there is no such entry.  On POSIX a regular file is archive, and read-only
// when its mode bits deny this user writing (read the same way for root); a
// folder is folder only (Windows keeps no read-only meaning on folders); any
// other entry (socket, FIFO, device, dangling link) is system; a name that
// starts with "." (other than "." and "..") is hidden.
int fileAttributes(const Text& path);

enum class ListFilter {
  kFiles,         // every entry that is not a folder
  kFolders,       // entries with the folder attribute, "." and ".." included
  kAttributeAny,  // entries with read-only, hidden, system or archive
};
// The bare names of the entries of one folder that match the mask and pass
// the filter.  pattern is a folder path, "\" and a mask ("*" any run, "?"
// one character, letter case ignored); a mask alone lists the current
// folder; a pattern "\mask" lists the root.  The mask is matched by
// matchesMask.  Names come in the order an NTFS folder lists them: "." and
// ".." first, then compared by their UTF-16 code units, each upper-cased on
// its own.  An unreadable folder lists nothing.
std::vector<Text> listFolder(const Text& pattern, ListFilter filter);

// One entry of a folder listing: its bare name and its attribute bits (as
// fileAttributes gives them).
struct FolderEntry {
  Text name;
  int attributes = 0;
};
// Every entry of one folder that matches the mask, "." and ".." included,
// with its attributes, in the order of listFolder: one read of the folder
// serves every filter.
std::vector<FolderEntry> listFolderEntries(const Text& pattern);

// True when name matches a Windows wildcard mask, by characters: "*" any
// run, "?" one character (or none, where the name reaches a dot or its
// end), ASCII case ignored; "*.*" matches every name, with or without a
// dot, and "name.*" matches "name".  Short 8.3 names play no part.
bool matchesMask(const Text& name, const Text& mask);

// The path in the file system's own form (UTF-8 with "/" on POSIX), and
// back.  Used at the edges: the Qt view, command lines, tests.  The euro is
// the byte 0x80 as in code page 936.  pathFromNative is lossless: a byte of
// a name that is not valid UTF-8, and a "\" inside a name, become a
// four-byte sequence FE 39 xx yy that GB18030 leaves unassigned and that
// nativePath turns back into that byte, so every listed name can be opened,
// renamed and deleted.
std::string nativePath(const Text& path);
Text pathFromNative(const std::string& native);
// Text (code page 936, as GB18030) to and from UTF-8, for the view's edit
// boxes and captions.  Bytes that do not decode become U+FFFD.
std::string utf8OfText(const Text& t);
Text textOfUtf8(const std::string& utf8);

}  // namespace zanvo

#endif  // ZANVO_CORE_FILES_H_

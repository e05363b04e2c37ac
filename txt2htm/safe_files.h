// File checks that the batches need beyond core/files.h, so that they can
// tell an unreadable file from an empty one and never delete the only copy
// of a text.
#ifndef ZANVO_TXT2HTM_SAFE_FILES_H_
#define ZANVO_TXT2HTM_SAFE_FILES_H_

#include <cstdint>

#include "core/text.h"

namespace zanvo {

// True when path names a regular file (not a folder).
bool isPlainFile(const Text& path);
// The size of the file in bytes, or -1 when there is no such file.
int64_t fileSize(const Text& path);
// True when both paths name the same existing file (same device and node),
// whatever their spelling; false when either is missing.
bool sameFile(const Text& a, const Text& b);
// Reads path whole into out.  False when the file exists with bytes that
// could not be read (out is then empty); a missing or empty file reads as
// empty with true.
bool readWhole(const Text& path, Bytes& out);
// Writes b to path and reads it back; true only when the file now holds
// exactly b.
bool writeVerified(const Text& path, const Bytes& b);
// The path as the user sees it (native form), in code page 936 text, for
// messages.
Text displayPath(const Text& path);

}  // namespace zanvo

#endif  // ZANVO_TXT2HTM_SAFE_FILES_H_

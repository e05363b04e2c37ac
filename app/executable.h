// Marks a file as a program that may be run (on POSIX: the execute bits
// for everyone who may read it).  True on success; does nothing where files
// carry no such mark.
#ifndef ZANVO_APP_EXECUTABLE_H_
#define ZANVO_APP_EXECUTABLE_H_

#include "core/text.h"

namespace zanvo {
bool markExecutable(const Text& path);
}

#endif  // ZANVO_APP_EXECUTABLE_H_

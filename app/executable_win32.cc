#include "app/executable.h"

namespace zanvo {

// Windows runs any file whose name ends in ".exe"; there is no mark to set.
bool markExecutable(const Text&) { return true; }

}  // namespace zanvo

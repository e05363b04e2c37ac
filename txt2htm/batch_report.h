// What a batch over the user's files did, for its completion message.
#ifndef ZANVO_TXT2HTM_BATCH_REPORT_H_
#define ZANVO_TXT2HTM_BATCH_REPORT_H_

#include <cstdint>
#include <vector>

#include "core/text.h"

namespace zanvo {

struct FileProblem {
  Text path;    // the file that was left as it was, in the program's form
  Text reason;  // a short code page 936 text
};

struct BatchReport {
  // Nothing was done because an input was empty; refusal holds the message.
  bool refused = false;
  Text refusal;
  int64_t done = 0;  // files processed completely
  std::vector<FileProblem> problems;
};

// The batch's fixed completion message; when files were left unprocessed,
// followed by how many and the first few of them with their reasons.
Text completionMessage(const Text& fixed, const BatchReport& report);

}  // namespace zanvo

#endif  // ZANVO_TXT2HTM_BATCH_REPORT_H_

// The process-wide values that several pages share.
#ifndef ZANVO_APP_MODEL_APP_STATE_H_
#define ZANVO_APP_MODEL_APP_STATE_H_

#include <cstdint>
#include <vector>

#include "core/text.h"

namespace zanvo {

// A snapshot of one tree item, used while a move command runs.
struct ItemRecord {
  Text caption;
  int32_t image = 0;
  int32_t selectedImage = 0;
  int32_t itemValue = 0;
  int32_t level = 0;
};

struct AppState {
  Text projectName;         // the web folder's own name, set by the import
  Text homePage;            // set each time the project text is built
  Text fileList;            // every file of the web folder, one per line
  Text dateText;            // today's date when the window was created
  Text chooserStartFolder;  // last start folder passed to the chooser
  // Scratch of the tree's move commands; empty between commands.
  std::vector<ItemRecord> moveListA;
  std::vector<ItemRecord> moveListB;
  ItemRecord itemScratch;
};

}  // namespace zanvo

#endif  // ZANVO_APP_MODEL_APP_STATE_H_

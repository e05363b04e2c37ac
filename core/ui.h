// The few user-interface operations that page logic calls directly: the
// message box and the wait cursor.  The window installs its implementation
// at start-up; tests install a recording fake.  With none installed the
// calls do nothing, so the logic runs headless.
#ifndef ZANVO_CORE_UI_H_
#define ZANVO_CORE_UI_H_

#include "core/text.h"

namespace zanvo {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal box with one OK button and no icon.
  virtual void messageBox(const Text& text, const Text& title) = 0;
  virtual void showWaitCursor() = 0;
  // Puts back the cursor shown before the first showWaitCursor.
  virtual void restoreCursor() = 0;
};

// Installs ui (not owned; nullptr removes it).  Returns the previous one.
UserInterface* setUserInterface(UserInterface* ui);

// "信息：", the title of a message box when its caller names none.
const Text& defaultMessageTitle();
void messageBox(const Text& text);
void messageBox(const Text& text, const Text& title);
void showWaitCursor();
void restoreCursor();

}  // namespace zanvo

#endif  // ZANVO_CORE_UI_H_

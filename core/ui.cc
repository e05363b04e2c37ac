// The installed user interface and the calls that reach it.  Page logic runs
// on one thread; the pointer is atomic only so that installing it from a test
// fixture never races with a check.
#include "core/ui.h"

#include <atomic>

namespace zanvo {
namespace {

std::atomic<UserInterface*> g_ui{nullptr};

}  // namespace

UserInterface* setUserInterface(UserInterface* ui) { return g_ui.exchange(ui); }

const Text& defaultMessageTitle() {
  static const Text title = gbk("信息：");
  return title;
}

void messageBox(const Text& text) { messageBox(text, defaultMessageTitle()); }

void messageBox(const Text& text, const Text& title) {
  if (UserInterface* ui = g_ui.load()) ui->messageBox(text, title);
}

void showWaitCursor() {
  if (UserInterface* ui = g_ui.load()) ui->showWaitCursor();
}

void restoreCursor() {
  if (UserInterface* ui = g_ui.load()) ui->restoreCursor();
}

}  // namespace zanvo

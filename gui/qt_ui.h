// The window's implementations of the user-interface services that page
// logic calls: message boxes, the wait cursor and the folder chooser.
#ifndef ZANVO_GUI_QT_UI_H_
#define ZANVO_GUI_QT_UI_H_

#include "app/model/chooser.h"
#include "core/ui.h"

class QWidget;

namespace zanvo {

class MainWindow;

class QtUserInterface : public UserInterface {
 public:
  explicit QtUserInterface(MainWindow* window) : m_window(window) {}
  void messageBox(const Text& text, const Text& title) override;
  void showWaitCursor() override;
  void restoreCursor() override;

 private:
  MainWindow* m_window;
  int m_waitDepth = 0;
};

// Qt's own file dialog (the same on every desktop), modal, with the keyboard
// focus in its path line so that a typed full path and Return accept it.
class QtFolderBrowser : public FolderBrowser {
 public:
  explicit QtFolderBrowser(MainWindow* window) : m_window(window) {}
  std::optional<Text> browse(const BrowseRequest& request) override;

 private:
  MainWindow* m_window;
};

}  // namespace zanvo

#endif  // ZANVO_GUI_QT_UI_H_

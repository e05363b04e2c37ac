// The main window as plain data: every control of the control map with its
// text, enabled and checked state, the document tree of 树型框1, and the
// click handlers.  Page logic reads and writes controls only through this
// model, so every handler runs headless in tests; the Qt view mirrors the
// model and forwards clicks to it.
#ifndef ZANVO_APP_MODEL_WINDOW_MODEL_H_
#define ZANVO_APP_MODEL_WINDOW_MODEL_H_

#include <array>
#include <functional>

#include "app/model/app_state.h"
#include "app/model/chooser.h"
#include "app/model/controls.h"
#include "app/model/document_tree.h"
#include "core/text.h"

namespace zanvo {

// What the view needs to hear about.  Default implementations do nothing.
class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void textChanged(Ctl) {}
  virtual void enabledChanged(Ctl) {}
  virtual void checkedChanged(Ctl) {}
  virtual void focusRequested(Ctl) {}
  // The tree's items changed (selectionOnly false) or only its selection.
  virtual void treeChanged(bool selectionOnly) {}
  virtual void keepSelectionVisibleChanged() {}
};

class WindowModel {
 public:
  using Handler = std::function<void(WindowModel&)>;

  // All controls at their start state: texts from the control map (in code
  // page 936), every control enabled but 按钮转CHM, check boxes unchecked.
  WindowModel();
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  // Edit boxes, labels, buttons, group boxes and check boxes all have a
  // text; path boxes hold paths in the program's form ("\" separators).
  const Text& text(Ctl id) const;
  void setText(Ctl id, Text text);
  bool enabled(Ctl id) const;
  void setEnabled(Ctl id, bool enabled);
  bool checked(Ctl id) const;
  void setChecked(Ctl id, bool checked);
  // Gives a control the input focus (the view moves it); the model only
  // remembers the last request.
  void setFocus(Ctl id);
  Ctl focus() const { return m_focus; }

  // 树型框1.  Any change of its selection switches on keepSelectionVisible,
  // as the tree view's selection-changed handler does.
  DocumentTree& tree() { return m_tree; }
  const DocumentTree& tree() const { return m_tree; }
  bool keepSelectionVisible() const { return m_keepSelectionVisible; }

  // The process-wide state shared by the pages.
  AppState& state() { return m_state; }

  // The chooser the window provides (not owned; may be null in tests that
  // click no chooser button).
  void setFolderBrowser(FolderBrowser* browser) { m_browser = browser; }
  FolderBrowser* folderBrowser() const { return m_browser; }
  // chooseFolder with this window's browser and state; the owner is the
  // tab control.
  Text chooseFolder(ChooseFolderParams params);

  // Attaches the click handler of a button (replacing an earlier one).
  void setClickHandler(Ctl id, Handler handler);
  bool hasClickHandler(Ctl id) const;
  // A click: runs the button's handler unless the button is disabled or
  // has none.  Returns true when a handler ran.
  bool click(Ctl id);

  void setObserver(WindowObserver* observer) { m_observer = observer; }

 private:
  struct ControlState {
    Text text;
    bool enabled = true;
    bool checked = false;
  };
  ControlState& state(Ctl id) { return m_controls[static_cast<size_t>(id)]; }
  const ControlState& state(Ctl id) const {
    return m_controls[static_cast<size_t>(id)];
  }

  std::array<ControlState, kControlCount> m_controls;
  std::array<Handler, kControlCount> m_handlers;
  DocumentTree m_tree;
  bool m_keepSelectionVisible = false;
  AppState m_state;
  FolderBrowser* m_browser = nullptr;
  WindowObserver* m_observer = nullptr;
  Ctl m_focus = Ctl::高级选择夹1;
};

}  // namespace zanvo

#endif  // ZANVO_APP_MODEL_WINDOW_MODEL_H_

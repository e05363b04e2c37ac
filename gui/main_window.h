// The Qt view of the window model: one widget per control of the control
// map, at its place, mirroring the model's texts and states and forwarding
// clicks and typing to it.  It holds no logic of its own.
#ifndef ZANVO_GUI_MAIN_WINDOW_H_
#define ZANVO_GUI_MAIN_WINDOW_H_

#include <QWidget>
#include <array>

#include "app/model/window_model.h"

class QTabWidget;
class QTreeView;

namespace zanvo {

class TreeModel;

class MainWindow : public QWidget, private WindowObserver {
 public:
  explicit MainWindow(WindowModel& model, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The widget that shows a control (the tab control for 高级选择夹1).
  QWidget* widget(Ctl id) const { return m_widgets[static_cast<size_t>(id)]; }
  QTabWidget* tabs() const;
  QTreeView* treeView() const;
  TreeModel* treeModel() const { return m_treeModel; }

  // Publishes pending tree changes to the view; the message box and the
  // chooser call it before they run their own event loop.
  void flushTree();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void build();
  void placePageControls();
  void showText(Ctl id);
  void clicked(Ctl id);
  void syncSelectionToView();
  void applySelectionVisibility();

  // WindowObserver
  void textChanged(Ctl id) override;
  void enabledChanged(Ctl id) override;
  void checkedChanged(Ctl id) override;
  void focusRequested(Ctl id) override;
  void treeChanged(bool selectionOnly) override;
  void keepSelectionVisibleChanged() override;

  WindowModel& m_model;
  std::array<QWidget*, kControlCount> m_widgets{};
  TreeModel* m_treeModel = nullptr;
  bool m_updating = false;  // the view is writing the model's state
  bool m_placed = false;
};

}  // namespace zanvo

#endif  // ZANVO_GUI_MAIN_WINDOW_H_

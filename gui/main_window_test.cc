// Builds the real window on Qt's offscreen platform and checks it against
// the control map, then drives a chooser button through the view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <fstream>
#include <sstream>

#include "app/model/fake_browser.h"
#include "core/files.h"
#include "app/startup.h"
#include "gui/main_window.h"
#include "gui/startup_qt.h"
#include "gui/tree_model.h"

namespace zanvo {
namespace {

using testing::FakeBrowser;

QApplication* app() {
  static int argc = 1;
  static char name[] = "gui_test";
  static char* argv[] = {name, nullptr};
  static QApplication* a = new QApplication(argc, argv);
  return a;
}


QString u(std::string_view s) { return QString::fromUtf8(s.data(), s.size()); }

TEST(MainWindow, EveryControlSitsWhereTheMapSays) {
  app();
  WindowModel model;
  MainWindow window(model);
  window.show();
  QApplication::processEvents();

  const WindowLayout& layout = windowLayout();
  EXPECT_EQ(QSize(layout.width, layout.height), window.size());
  EXPECT_EQ(u(layout.caption), window.windowTitle());
  EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("（")));

  QTabWidget* tabs = window.tabs();
  ASSERT_EQ(4, tabs->count());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(u(pageCaptions()[i]), tabs->tabText(i));
  EXPECT_EQ(QRect(4, 3, 708, 461), tabs->geometry());

  for (const ControlInfo& control : controlMap()) {
    if (control.id == Ctl::高级选择夹1) continue;
    SCOPED_TRACE(std::string(control.name));
    QWidget* w = window.widget(control.id);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(u(control.name), w->objectName());
    EXPECT_EQ(QSize(control.width, control.height), w->size());
    // Measured from the tab control's corner (or the group box's).
    QWidget* origin = control.parent == Ctl::高级选择夹1
                          ? static_cast<QWidget*>(tabs)
                          : window.widget(control.parent);
    EXPECT_EQ(QPoint(control.left, control.top), w->mapTo(origin, QPoint(0, 0)));
    EXPECT_EQ(control.id != Ctl::按钮转CHM, w->isEnabled());
    QString shown;
    if (auto* b = qobject_cast<QPushButton*>(w)) shown = b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) shown = l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) shown = e->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) shown = g->title();
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
      shown = c->text();
      EXPECT_FALSE(c->isChecked());
    }
    if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
      shown = m->toPlainText();
      EXPECT_EQ(Qt::ScrollBarAlwaysOn, m->verticalScrollBarPolicy());
      EXPECT_EQ((control.scrollBars & kHorizontalScroll) ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff,
                m->horizontalScrollBarPolicy());
    }
    EXPECT_EQ(u(control.startText), shown);
  }
  QTreeView* tree = window.treeView();
  EXPECT_EQ(QAbstractItemView::NoEditTriggers, tree->editTriggers());
  EXPECT_TRUE(tree->rootIsDecorated());
}

TEST(MainWindow, ChooserButtonFillsItsBoxThroughTheView) {
  app();
  WindowModel model;
  MainWindow window(model);
  FakeBrowser browser;
  model.setFolderBrowser(&browser);
  attachHandlers(model);
  window.show();
  QApplication::processEvents();

  browser.answer = pathFromNative("/srv/电子书/第一卷");
  static_cast<QPushButton*>(window.widget(Ctl::按钮4))->click();
  EXPECT_EQ(1, browser.calls);
  auto* box = static_cast<QLineEdit*>(window.widget(Ctl::编辑框_编译后文件夹));
  EXPECT_EQ(QStringLiteral("/srv/电子书/第一卷"), box->text());
  EXPECT_EQ(gbk("\\srv\\电子书\\第一卷"), model.text(Ctl::编辑框_编译后文件夹));

  // Typing into a path box hands the logic its "\" form.
  box->setText(QString());
  box->insert(QStringLiteral("/tmp/书"));
  Q_EMIT box->textEdited(box->text());
  EXPECT_EQ(gbk("\\tmp\\书"), model.text(Ctl::编辑框_编译后文件夹));

  browser.answer.reset();
  static_cast<QPushButton*>(window.widget(Ctl::按钮4))->click();
  EXPECT_EQ(QString(), box->text());

  // A disabled button does not reach the model.
  model.setClickHandler(Ctl::按钮转CHM, [&](WindowModel&) { ADD_FAILURE(); });
  static_cast<QPushButton*>(window.widget(Ctl::按钮转CHM))->click();
}

TEST(MainWindow, TreeViewShowsTheModelsTreeAndSelection) {
  app();
  WindowModel model;
  MainWindow window(model);
  window.show();
  DocumentTree& t = model.tree();
  model.setClickHandler(Ctl::按钮过滤, [](WindowModel& m) {
    const int ch1 = m.tree().addChild(-1, "<ch1>", 0, -1);
    m.tree().addChild(ch1, "a.htm", 1, -1);
    m.tree().addChild(-1, "index.htm", 1, -1);
    m.tree().setSelection(1);
  });
  static_cast<QPushButton*>(window.widget(Ctl::按钮过滤))->click();
  QTreeView* view = window.treeView();
  QAbstractItemModel* m = view->model();
  ASSERT_EQ(2, m->rowCount());
  const QModelIndex ch1 = m->index(0, 0);
  EXPECT_EQ(QStringLiteral("<ch1>"), m->data(ch1).toString());
  EXPECT_EQ(1, m->rowCount(ch1));
  const QModelIndex a = m->index(0, 0, ch1);
  EXPECT_EQ(QStringLiteral("a.htm"), m->data(a).toString());
  EXPECT_EQ(ch1, m->parent(a));
  EXPECT_EQ(a, view->currentIndex());
  EXPECT_TRUE(model.keepSelectionVisible());

  // Choosing with the mouse sets the model's selection.
  view->setCurrentIndex(m->index(1, 0));
  EXPECT_EQ(2, t.selection());
}

TEST(StartUp, DialogButtonsSpeakChinese) {
  installChinese(*app());
  EXPECT_EQ(QStringLiteral("确定"),
            QCoreApplication::translate("QPlatformTheme", "OK"));
  EXPECT_EQ(QStringLiteral("取消"),
            QCoreApplication::translate("QPlatformTheme", "Cancel"));
}

TEST(DesktopEntry, NamesTheProgramAsItsVersionInformationDoes) {
  std::ifstream in(ZANVO_BUILD_DIR "/packaging/zanvochm.desktop");
  ASSERT_TRUE(in.good());
  std::stringstream s;
  s << in.rdbuf();
  const VersionInfo& v = versionInfo();
  EXPECT_NE(std::string::npos, s.str().find("\nName=" + std::string(v.productName) + "\n"));
  EXPECT_NE(std::string::npos, s.str().find("\nComment=" + std::string(v.description) + "\n"));
  EXPECT_NE(std::string::npos, s.str().find("\nExec=zanvochm\n"));
}

}  // namespace
}  // namespace zanvo

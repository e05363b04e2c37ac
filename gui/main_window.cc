#include "gui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <algorithm>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

#include "core/files.h"
#include "gui/tree_model.h"

namespace zanvo {
namespace {

QString qtext(const Text& t) { return QString::fromStdString(utf8OfText(t)); }
Text textOf(const QString& s) { return textOfUtf8(s.toStdString()); }

// Path boxes show the file system's own separators and hand the logic its
// "\" form.  "\" never occurs inside a multi-byte UTF-8 character, so the
// swap is done on the decoded text.
QString shownPath(const Text& t) {
  QString s = qtext(t);
  s.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return s;
}
Text typedPath(QString s) {
  s.replace(QLatin1Char('/'), QLatin1Char('\\'));
  return textOf(s);
}

// A label's text is fixed and its box is small: where the text does not
// fit in the box's lines at the window's font, a smaller one (down to 9
// pixels) is used, so no caption is cut off.
void fitLabel(QLabel* label) {
  QFont font = QApplication::font();
  const QString text = label->text();
  for (int px = font.pixelSize(); px > 9; --px) {
    font.setPixelSize(px);
    const QFontMetrics m(font);
    const int lines = std::max(1, label->height() / m.lineSpacing());
    if (m.horizontalAdvance(text) <= label->width() * lines - 2) break;
  }
  if (font.pixelSize() > 0) label->setFont(font);
}

}  // namespace

MainWindow::MainWindow(WindowModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
  const WindowLayout& layout = windowLayout();
  setWindowTitle(QString::fromUtf8(layout.caption.data(), layout.caption.size()));
  setGeometry(layout.left, layout.top, layout.width, layout.height);
  setFixedSize(layout.width, layout.height);
  build();
  m_model.setObserver(this);
}

MainWindow::~MainWindow() { m_model.setObserver(nullptr); }

QTabWidget* MainWindow::tabs() const {
  return static_cast<QTabWidget*>(widget(Ctl::高级选择夹1));
}

QTreeView* MainWindow::treeView() const {
  return static_cast<QTreeView*>(widget(Ctl::树型框1));
}

void MainWindow::build() {
  const ControlInfo& tabInfo = controlInfo(Ctl::高级选择夹1);
  auto* tabs = new QTabWidget(this);
  tabs->setGeometry(tabInfo.left, tabInfo.top, tabInfo.width, tabInfo.height);
  tabs->setObjectName(QString::fromUtf8(tabInfo.name.data(), tabInfo.name.size()));
  m_widgets[static_cast<size_t>(Ctl::高级选择夹1)] = tabs;
  for (std::string_view caption : pageCaptions()) {
    tabs->addTab(new QWidget(), QString::fromUtf8(caption.data(), caption.size()));
  }

  // Group boxes first, so that their controls have a parent.
  for (int pass = 0; pass < 2; ++pass) {
    for (const ControlInfo& control : controlMap()) {
      if (control.id == Ctl::高级选择夹1) continue;
      if ((control.kind == ControlKind::kGroupBox) != (pass == 0)) continue;
      QWidget* parent = control.parent == Ctl::高级选择夹1
                            ? tabs->widget(control.page)
                            : widget(control.parent);
      const Ctl id = control.id;
      QWidget* w = nullptr;
      switch (control.kind) {
        case ControlKind::kLabel: {
          auto* label = new QLabel(parent);
          label->setWordWrap(true);
          label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
          w = label;
          break;
        }
        case ControlKind::kButton: {
          auto* button = new QPushButton(parent);
          connect(button, &QPushButton::clicked, this, [this, id] { clicked(id); });
          w = button;
          break;
        }
        case ControlKind::kEdit: {
          auto* edit = new QLineEdit(parent);
          const bool isPath = (control.flags & kPathBox) != 0;
          connect(edit, &QLineEdit::textEdited, this, [this, id, isPath](const QString& s) {
            m_updating = true;
            m_model.setText(id, isPath ? typedPath(s) : textOf(s));
            m_updating = false;
          });
          w = edit;
          break;
        }
        case ControlKind::kMultiLineEdit: {
          auto* edit = new QPlainTextEdit(parent);
          edit->setVerticalScrollBarPolicy((control.scrollBars & kVerticalScroll)
                                               ? Qt::ScrollBarAlwaysOn
                                               : Qt::ScrollBarAlwaysOff);
          if (control.scrollBars & kHorizontalScroll) {
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
          } else {
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
          }
          connect(edit, &QPlainTextEdit::textChanged, this, [this, id, edit] {
            if (m_updating) return;
            m_updating = true;
            // Windows edit boxes hold CR LF line ends.
            QString s = edit->toPlainText();
            s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            m_model.setText(id, textOf(s));
            m_updating = false;
          });
          w = edit;
          break;
        }
        case ControlKind::kGroupBox:
          w = new QGroupBox(parent);
          break;
        case ControlKind::kCheckBox: {
          auto* box = new QCheckBox(parent);
          connect(box, &QCheckBox::toggled, this, [this, id](bool on) {
            if (m_updating) return;
            m_updating = true;
            m_model.setChecked(id, on);
            m_updating = false;
          });
          w = box;
          break;
        }
        case ControlKind::kTreeView: {
          auto* view = new QTreeView(parent);
          m_treeModel = new TreeModel(m_model.tree(), this);
          view->setModel(m_treeModel);
          view->setHeaderHidden(true);
          view->setRootIsDecorated(true);  // buttons and lines at the root
          view->setItemsExpandable(true);
          view->setEditTriggers(QAbstractItemView::NoEditTriggers);
          view->setSelectionMode(QAbstractItemView::SingleSelection);
          view->setIconSize(QSize(16, 16));
          view->setIndentation(19);
          // The classic style draws the dotted lines between items.
          if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
            classic->setParent(view);
            view->setStyle(classic);
          }
          connect(view->selectionModel(), &QItemSelectionModel::currentChanged,
                  this, [this](const QModelIndex& current) {
                    if (m_updating) return;
                    m_updating = true;
                    m_model.tree().setSelection(TreeModel::itemOf(current));
                    m_updating = false;
                  });
          w = view;
          break;
        }
        case ControlKind::kTabControl:
          break;
      }
      w->setObjectName(QString::fromUtf8(control.name.data(), control.name.size()));
      w->setGeometry(control.left, control.top, control.width, control.height);
      m_widgets[static_cast<size_t>(id)] = w;
      showText(id);
      w->setEnabled(m_model.enabled(id));
    }
  }
  applySelectionVisibility();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!m_placed) placePageControls();
}

// Places on a page are measured from the tab control's own corner, tab bar
// included, while Qt places a page's children from the page area below the
// bar: move every page-level control up and left by the page's offset.
void MainWindow::placePageControls() {
  QTabWidget* t = tabs();
  t->ensurePolished();
  QWidget* page = t->widget(0);
  const QPoint offset = page->mapTo(t, QPoint(0, 0));
  if (offset.isNull() && !t->isVisible()) return;
  for (const ControlInfo& control : controlMap()) {
    if (control.id == Ctl::高级选择夹1 || control.parent != Ctl::高级选择夹1) continue;
    widget(control.id)->move(control.left - offset.x(), control.top - offset.y());
  }
  m_placed = true;
}

void MainWindow::showText(Ctl id) {
  QWidget* w = widget(id);
  if (w == nullptr) return;
  const ControlInfo& control = controlInfo(id);
  const Text& t = m_model.text(id);
  const bool wasUpdating = m_updating;
  m_updating = true;
  switch (control.kind) {
    case ControlKind::kLabel: {
      auto* label = static_cast<QLabel*>(w);
      label->setText(qtext(t));
      fitLabel(label);
      break;
    }
    case ControlKind::kButton:
      static_cast<QPushButton*>(w)->setText(qtext(t));
      break;
    case ControlKind::kEdit: {
      auto* edit = static_cast<QLineEdit*>(w);
      const QString s = (control.flags & kPathBox) ? shownPath(t) : qtext(t);
      if (edit->text() != s) edit->setText(s);
      break;
    }
    case ControlKind::kMultiLineEdit: {
      QString s = qtext(t);
      s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
      auto* edit = static_cast<QPlainTextEdit*>(w);
      if (edit->toPlainText() != s) edit->setPlainText(s);
      break;
    }
    case ControlKind::kGroupBox:
      static_cast<QGroupBox*>(w)->setTitle(qtext(t));
      break;
    case ControlKind::kCheckBox: {
      auto* box = static_cast<QCheckBox*>(w);
      box->setText(qtext(t));
      box->setChecked(m_model.checked(id));
      break;
    }
    case ControlKind::kTreeView:
    case ControlKind::kTabControl:
      break;
  }
  m_updating = wasUpdating;
}

void MainWindow::clicked(Ctl id) {
  flushTree();
  m_model.click(id);
  flushTree();
}

void MainWindow::flushTree() {
  if (m_treeModel == nullptr) return;
  m_treeModel->flush();
  syncSelectionToView();
}

void MainWindow::syncSelectionToView() {
  QTreeView* view = treeView();
  const QModelIndex index = m_treeModel->indexOfItem(m_model.tree().selection());
  if (view->currentIndex() == index) return;
  const bool wasUpdating = m_updating;
  m_updating = true;
  if (index.isValid()) {
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
  } else {
    view->selectionModel()->clearSelection();
    view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
  }
  m_updating = wasUpdating;
}

// Until the tree's selection first changes, its highlight is hidden while
// another control has the focus; afterwards it stays visible.
void MainWindow::applySelectionVisibility() {
  QTreeView* view = treeView();
  QPalette pal = view->palette();
  if (m_model.keepSelectionVisible()) {
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight).lighter(130));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
  } else {
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Inactive, QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Inactive, QPalette::Text));
  }
  view->setPalette(pal);
}

void MainWindow::textChanged(Ctl id) {
  if (!m_updating) showText(id);
}

void MainWindow::enabledChanged(Ctl id) {
  if (QWidget* w = widget(id)) w->setEnabled(m_model.enabled(id));
}

void MainWindow::checkedChanged(Ctl id) {
  if (!m_updating) showText(id);
}

void MainWindow::focusRequested(Ctl id) {
  if (QWidget* w = widget(id)) w->setFocus(Qt::OtherFocusReason);
}

void MainWindow::treeChanged(bool selectionOnly) {
  if (m_treeModel == nullptr) return;
  if (!selectionOnly) {
    m_treeModel->treeChanging();
  } else if (!m_updating) {
    // Published with the items when they are changing too.
    flushTree();
  }
}

void MainWindow::keepSelectionVisibleChanged() { applySelectionVisibility(); }

}  // namespace zanvo

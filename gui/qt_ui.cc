#include "gui/qt_ui.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "core/files.h"
#include "gui/main_window.h"

namespace zanvo {
namespace {
QString qtext(const Text& t) { return QString::fromStdString(utf8OfText(t)); }
}  // namespace

void QtUserInterface::messageBox(const Text& text, const Text& title) {
  if (m_window) m_window->flushTree();
  // Application-modal, without owner, one OK button, no icon.
  QMessageBox box(QMessageBox::NoIcon, qtext(title), qtext(text), QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(QMessageBox::Ok);
  // The wait cursor of a running batch must not hide the pointer over the
  // box's button.
  const bool waiting = m_waitDepth > 0;
  if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (waiting) QApplication::restoreOverrideCursor();
}

void QtUserInterface::showWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ++m_waitDepth;
}

void QtUserInterface::restoreCursor() {
  while (m_waitDepth > 0) {
    QApplication::restoreOverrideCursor();
    --m_waitDepth;
  }
}

std::optional<Text> QtFolderBrowser::browse(const BrowseRequest& request) {
  if (m_window) m_window->flushTree();
  QFileDialog dialog(m_window, qtext(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const bool withFiles = (request.flags & kBifBrowseIncludeFiles) != 0;
  if (withFiles) {
    // A file or a folder may be chosen; a typed path is taken as it is.
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
  }
  if (!request.startFolder.empty()) {
    dialog.setDirectory(QString::fromStdString(nativePath(request.startFolder)));
  }
  if (!(request.flags & kBifNewDialogStyle)) dialog.setSizeGripEnabled(false);
  // Keyboard focus in the path line, so a typed full path and Return accept.
  QTimer::singleShot(0, &dialog, [&dialog] {
    if (auto* line = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      line->setFocus(Qt::OtherFocusReason);
    }
  });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return pathFromNative(chosen.first().toStdString());
}

}  // namespace zanvo

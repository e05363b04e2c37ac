#include "gui/startup_qt.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <memory>

#include "gui/main_window.h"
#include "gui/qt_ui.h"

namespace zanvo {
namespace {

// The one window model of the process, with the AppState it carries.
std::unique_ptr<WindowModel> g_model;

}  // namespace

void installChinese(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  for (const char* family : {"WenQuanYi Micro Hei", "Noto Sans CJK SC",
                             "WenQuanYi Zen Hei", "AR PL UMing CN"}) {
    if (QFontDatabase::hasFamily(QString::fromUtf8(family))) {
      QFont font(QString::fromUtf8(family));
      font.setPixelSize(11);
      QApplication::setFont(font);
      break;
    }
  }
}

void shutDown() { g_model.reset(); }

int startUp(int argc, char** argv, const CompilerResources& resources) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("zanvochm"));
  installChinese(app);
  prepareEnvironment();

  g_model = std::make_unique<WindowModel>();
  std::atexit(shutDown);

  MainWindow window(*g_model);
  QtUserInterface ui(&window);
  QtFolderBrowser browser(&window);
  setUserInterface(&ui);
  g_model->setFolderBrowser(&browser);
  attachHandlers(*g_model);
  window.show();
  onWindowCreated(*g_model, resources);

  const int rc = app.exec();
  setUserInterface(nullptr);
  g_model->setFolderBrowser(nullptr);
  return rc == 0 ? 0 : rc;
}

}  // namespace zanvo

#include "platform/ui/Runtime.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

namespace tess {

void EnsurePlatformStarted(int argc, char** argv) {
  if (QCoreApplication::instance() != nullptr) return;
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  // The application object must outlive every widget; it lives until the process ends.
  static int storedArgc = 1;
  static char name[] = "tessarine";
  static char* defaultArgv[] = {name, nullptr};
  if (argc > 0 && argv != nullptr) {
    storedArgc = argc;
    new QApplication(storedArgc, argv);
  } else {
    new QApplication(storedArgc, defaultArgv);
  }
  // The program speaks Japanese whatever the locale, and so do the toolkit's own dialogs (print, file,
  // message boxes) where its Japanese translations are installed.
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
}

Cp932String ToolkitText(const char* context, const char* text) {
  return Cp932String::FromUtf8(QCoreApplication::translate(context, text).toStdString());
}

}  // namespace tess

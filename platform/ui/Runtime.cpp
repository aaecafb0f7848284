#include "platform/ui/Runtime.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/Messages.h"

namespace tess {
namespace {

QtMessageHandler gToolkitHandler = nullptr;
bool gShowToolkitMessages = false;
bool gStarting = false;
std::string gLastWarning;  // the toolkit's last warning while it starts: usually why it could not

std::string FirstLine(const QString& text) {
  const std::string utf8 = text.toStdString();
  return utf8.substr(0, utf8.find('\n'));
}

void ProgramMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (gShowToolkitMessages && gToolkitHandler != nullptr) gToolkitHandler(type, context, message);
  if (type == QtFatalMsg) {
    // The toolkit aborts after a fatal message; the program ends with its own line instead.
    std::string reason = gStarting && !gLastWarning.empty() ? gLastWarning : FirstLine(message);
    const std::string line = gStarting ? Message("app.no-window-system", {reason}) : reason;
    std::fprintf(stderr, "tessarine: %s\n", line.c_str());
    std::fflush(stderr);
    std::_Exit(1);
  }
  if (gStarting && type != QtDebugMsg && type != QtInfoMsg) gLastWarning = FirstLine(message);
}

}  // namespace

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

void StartProgramPlatform(TDisplayUse use) {
  if (QCoreApplication::instance() != nullptr) return;
  const char* show = std::getenv("TESSARINE_TOOLKIT_MESSAGES");
  gShowToolkitMessages = show != nullptr && *show != '\0' && std::string(show) != "0";
  gToolkitHandler = qInstallMessageHandler(ProgramMessageHandler);
  if (use == TDisplayUse::Offscreen) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The offscreen platform's OpenGL support would still connect to a display the environment names;
    // nothing drawn here uses OpenGL.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
  }
  gStarting = true;
  EnsurePlatformStarted();
  gStarting = false;
  gLastWarning.clear();
}

}  // namespace tess

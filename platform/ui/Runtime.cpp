#include "platform/ui/Runtime.h"

#include <fontconfig/fontconfig.h>
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

#include "platform/core/Messages.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/TerminalText.h"
#include "platform/printing/Printers.h"

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
    // Said on standard error, so in the locale's language whatever the windows would have spoken.
    const std::string line =
        gStarting ? MessageIn(LocaleLanguage(), "app.no-window-system", {reason}) : reason;
    std::fprintf(stderr, "tessarine: %s\n", EscapeForTerminal(line).c_str());
    std::fflush(stderr);
    std::_Exit(1);
  }
  if (gStarting && type != QtDebugMsg && type != QtInfoMsg) gLastWarning = FirstLine(message);
}

// Without a display the toolkit runs on the offscreen platform.
void UseOffscreenWithoutDisplay() {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
}

// What the toolkit changes in the process as it starts, done before a thread that reads it starts beside
// it. The toolkit sets the locale the environment names (setlocale(LC_ALL, "")); set here first, the
// toolkit's call finds every category set as it asks and keeps their names. It removes the start-up
// notice's variable from the environment, which moves every later variable one place down under a
// reader's feet; moved to the end first, its removal only ends the list one entry earlier.
void SettleToolkitStartChanges() {
  std::setlocale(LC_ALL, "");
  for (const char* name : {"DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN"}) {
    const char* value = std::getenv(name);
    if (value == nullptr) continue;
    const std::string kept = value;
    unsetenv(name);
    setenv(name, kept.c_str(), 1);  // added at the end
  }
}

// The font configuration, read beside the toolkit's start instead of at the dialog's first text, where it
// held up the window by several milliseconds. The toolkit finds it read and uses it as it stands; should
// the toolkit ask before it is read, the library reads it on both threads and keeps one of the readings.
void ReadFontConfiguration() {
  FcInit();
}

}  // namespace

void EnsurePlatformStarted(int argc, char** argv) {
  if (QCoreApplication::instance() != nullptr) return;
  UseOffscreenWithoutDisplay();
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

void StartProgramPlatform(TDisplayUse use, TPrinterWarmUp printers) {
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
  UseOffscreenWithoutDisplay();
  if (printers == TPrinterWarmUp::BesideToolkit) {
    SettleToolkitStartChanges();
    StartPrinterWarmUp([] { return CreateCupsPrinterSystem(); });
  }
  // Read on a thread of its own while the toolkit starts, and finished before the toolkit's first text.
  std::thread fontConfiguration;
  if (use == TDisplayUse::Screen) {
    try {
      fontConfiguration = std::thread(ReadFontConfiguration);
    } catch (const std::system_error&) {
      // No thread to be had: the toolkit reads it at its first text, as it would anyway.
    }
  }
  {
    const TScopeGuard fontConfigurationRead([&fontConfiguration] {
      if (fontConfiguration.joinable()) fontConfiguration.join();
    });
    gStarting = true;
    EnsurePlatformStarted();
  }
  gStarting = false;
  gLastWarning.clear();
}

}  // namespace tess

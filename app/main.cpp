// Tessarine start-up: with no arguments the worksheet dialog; subcommands for scripted use.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FormOptions.h"
#include "app/WorksheetBatch.h"
#include "platform/core/Messages.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Runtime.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/WorksheetDialog.h"

namespace {

// The dialog: initialise and title the application, create the main form from its stored design
// (FormCreate runs at the end of that), fill in the options given, and run the message loop until the form
// closes. Options the dialog cannot hold end the program before any window appears, as they end export.
int RunDialog(const tess::Command& command, int argc) {
  // Without a display the dialog would run where nobody can see or close it.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    std::fprintf(stderr, "tessarine: %s\n", tess::Message("app.no-display").c_str());
    return 1;
  }
  tess::StartProgramPlatform(tess::TDisplayUse::Screen);
  tess::TApplication& application = tess::Application();
  application.Initialize();
  application.SetTitle("Tessarine");
  tess::InstallPreviewWindowHost();
  tess::TForm1* form = nullptr;
  try {
    form = application.CreateForm<tess::TForm1>();
  } catch (const std::exception& e) {
    tess::SetMessageLanguage(tess::TLanguage::Japanese);
    application.ShowException(e);
    return 1;
  }
  if (argc > 1) {
    if (int code = tess::FillDialog(*form, command.worksheet, std::cerr); code != tess::kExitOk) {
      application.DestroyComponents();
      return code;
    }
  }
  // From here on the program speaks through its windows.
  tess::SetMessageLanguage(tess::TLanguage::Japanese);
  application.Run();
  application.DestroyComponents();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The command line speaks the locale's language; the dialog and its windows always speak Japanese.
  tess::SetMessageLanguage(tess::LocaleLanguage());
  std::vector<std::string> args(argv + 1, argv + argc);
  tess::ParsedCommand parsed = tess::ParseCommandLine(args);
  if (parsed.error) {
    std::fprintf(stderr, "tessarine: %s\n", tess::EscapeForTerminal(parsed.error->message).c_str());
    return 2;
  }
  switch (parsed.command->kind) {
    case tess::CommandKind::Dialog:
      return RunDialog(*parsed.command, argc);
    case tess::CommandKind::Help:
      std::fputs(tess::UsageText().c_str(), stdout);
      return 0;
    case tess::CommandKind::Version:
      std::puts("Tessarine Ver.1.10");
      return 0;
    default:
      // Export and print show no window: they run off screen whatever display the environment names.
      tess::StartProgramPlatform(tess::TDisplayUse::Offscreen);
      return tess::RunWorksheetBatch(*parsed.command, std::cout, std::cerr, tess::StandardErrorIsTerminal());
  }
}

// Tessarine start-up: with no arguments the worksheet dialog; subcommands for scripted use.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/WorksheetBatch.h"
#include "platform/core/ScopeGuard.h"
#include "platform/printing/Printers.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Runtime.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/WorksheetDialog.h"

namespace {

// The dialog: initialise and title the application, create the main form from its stored design
// (FormCreate runs at the end of that), and run the message loop until the form closes.
int RunDialog() {
  // Without a display the dialog would run where nobody can see or close it.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    std::fprintf(stderr, "tessarine: the dialog needs a display; see --help for the commands that do not\n");
    return 1;
  }
  // The printer questions the dialog asks first are asked on a thread of their own while the toolkit
  // starts; the dialog takes their answers over where it first needs the printer.
  tess::StartProgramPlatform(tess::TDisplayUse::Screen, tess::TPrinterWarmUp::BesideToolkit);
  // A warm-up the dialog never took over (its creation failed first) ends before the program does.
  const tess::TScopeGuard endWarmUp([] { tess::EndPrinterWarmUp(); });
  tess::TApplication& application = tess::Application();
  application.Initialize();
  application.SetTitle("Tessarine");
  tess::InstallPreviewWindowHost();
  try {
    application.CreateForm<tess::TForm1>();
  } catch (const std::exception& e) {
    application.ShowException(e);
    return 1;
  }
  application.Run();
  application.DestroyComponents();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  tess::ParsedCommand parsed = tess::ParseCommandLine(args);
  if (parsed.error) {
    std::fprintf(stderr, "tessarine: %s\n", tess::EscapeForTerminal(parsed.error->message).c_str());
    return 2;
  }
  switch (parsed.command->kind) {
    case tess::CommandKind::Dialog:
      return RunDialog();
    case tess::CommandKind::Help:
      std::fputs(tess::UsageText().c_str(), stdout);
      return 0;
    case tess::CommandKind::Version:
      std::puts("Tessarine Ver.1.10");
      return 0;
    default:
      // Export and print show no window: they run off screen whatever display the environment names.
      tess::StartProgramPlatform(tess::TDisplayUse::Offscreen);
      return tess::RunWorksheetBatch(*parsed.command, std::cout, std::cerr);
  }
}

// Tessarine start-up: with no arguments the worksheet dialog; subcommands for scripted use.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FormOptions.h"
#include "app/WorksheetBatch.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Interruption.h"
#include "platform/core/Messages.h"
#include "platform/core/ScopeGuard.h"
#include "platform/printing/Printers.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Runtime.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/CatalogueGenerator.h"
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
  // The program speaks through its windows from here on, the printer questions asked beside the toolkit's
  // start included; only what ends it before its window appears goes to standard error in the locale's
  // language.
  tess::SetMessageLanguage(tess::TLanguage::Japanese);
  // The printer questions the dialog asks first are asked on a thread of their own while the toolkit
  // starts; the dialog takes their answers over where it first needs the printer.
  tess::StartProgramPlatform(tess::TDisplayUse::Screen, tess::TPrinterWarmUp::BesideToolkit);
  // A warm-up the dialog never took over (its creation failed first) ends before the program does.
  const tess::TScopeGuard endWarmUp([] { tess::EndPrinterWarmUp(); });
  tess::TApplication& application = tess::Application();
  application.Initialize();
  application.SetTitle("Tessarine");
  tess::InstallPreviewWindowHost();
  tess::TForm1* form = nullptr;
  try {
    form = application.CreateForm<tess::TForm1>();
  } catch (const std::exception& e) {
    application.ShowException(e);
    return 1;
  }
  if (argc > 1) {
    tess::SetMessageLanguage(tess::LocaleLanguage());
    const int code = tess::FillDialog(*form, command.worksheet, std::cerr);
    tess::SetMessageLanguage(tess::TLanguage::Japanese);
    if (code != tess::kExitOk) {
      application.DestroyComponents();
      return code;
    }
  }
  application.Run();
  application.DestroyComponents();
  return 0;
}

// The last resort's lines, made before anything can run out of memory.
std::string gOutOfMemoryLine;
std::string gInternalErrorLine;

// An exception no handler took, or one thrown while another was on its way out (the toolkit's PDF writer
// running out of memory inside its own code, say): the temporary files go and the program ends with its
// message and exit code 1, never an abort with a file half written.
[[noreturn]] void EndOnUnhandledException() {
  tess::RemoveUnfinishedFiles();
  const std::string* line = &gInternalErrorLine;
  std::string described;
  try {
    if (std::exception_ptr failure = std::current_exception()) std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    line = &gOutOfMemoryLine;
  } catch (const std::exception& e) {
    try {
      described =
          "tessarine: " + tess::EscapeForTerminal(tess::Message("app.internal-error", {e.what()})) + "\n";
      line = &described;
    } catch (...) {
      // Without memory for the words, the line made at start-up.
    }
  } catch (...) {
  }
  (void)!::write(STDERR_FILENO, line->data(), line->size());
  std::_Exit(tess::kExitFailure);
}

// Standard input, output and error that were closed are opened on /dev/null, so that no file the program
// writes takes their numbers (a report "written" into a PDF). Answers whether standard output was closed.
bool ReserveStandardStreams() {
  bool outputClosed = false;
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == STDOUT_FILENO) outputClosed = true;
    const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
  return outputClosed;
}

}  // namespace

int main(int argc, char** argv) {
  const bool outputClosed = ReserveStandardStreams();
  // The command line speaks the locale's language; the dialog and its windows always speak Japanese.
  tess::SetMessageLanguage(tess::LocaleLanguage());
  gOutOfMemoryLine = "tessarine: " + tess::Message("app.out-of-memory") + "\n";
  gInternalErrorLine = "tessarine: " + tess::Message("app.internal-error", {"?"}) + "\n";
  std::set_terminate(EndOnUnhandledException);
  std::vector<std::string> args(argv + 1, argv + argc);
  tess::ParsedCommand parsed = tess::ParseCommandLine(args);
  if (parsed.error) {
    std::fprintf(stderr, "tessarine: %s\n", tess::EscapeForTerminal(parsed.error->message).c_str());
    return 2;
  }
  if (parsed.command->kind == tess::CommandKind::Export || parsed.command->kind == tess::CommandKind::Print) {
    // The puzzle catalogues are made beside the toolkit's start; the first worksheet takes them. The
    // dialog makes them at its first worksheet instead, so that they do not slow its window's start.
    tess::StartCatalogueGeneration();
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
      if (outputClosed && parsed.command->worksheet.report) {
        std::fprintf(stderr, "tessarine: %s\n", tess::Message("app.stdout-closed").c_str());
        return tess::kExitFailure;
      }
      // Export and print show no window: they run off screen whatever display the environment names.
      tess::StartProgramPlatform(tess::TDisplayUse::Offscreen);
      // A print asked to stop withdraws the job it was making, says so, and ends as the signal ends a
      // program (the shell sees 130 for an interrupt, 143 for a termination).
      if (parsed.command->kind == tess::CommandKind::Print) tess::NoteInterruptions();
      const int code =
          tess::RunWorksheetBatch(*parsed.command, std::cout, std::cerr, tess::StandardErrorIsTerminal());
      std::cout.flush();
      std::cerr.flush();
      tess::EndAsInterrupted();
      return code;
  }
}

#include "app/WorksheetBatch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/FormOptions.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Interruption.h"
#include "platform/core/Messages.h"
#include "platform/gfx/FontFaces.h"
#include "platform/gfx/emf/Exports.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/printing/Printers.h"
#include "platform/ui/Application.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/PuzzleSolver.h"
#include "worksheet/Random.h"
#include "worksheet/WorksheetDialog.h"

namespace tess {
namespace {

// Progress on standard error, for a person watching: shown only on a terminal, as one line rewritten in
// place ("worksheet 3/40") and ended with a newline once the last worksheet is done. A message that comes in
// between starts on a line of its own.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, bool shown) : FErr(err), FShown(shown) {}
  void Show(int done, int count) {
    if (!FShown || count <= 1) return;
    FErr << '\r' << Message("export.progress", {std::to_string(done), std::to_string(count)}) << std::flush;
    FOpen = true;
    if (done == count) End();
  }
  void End() {
    if (FOpen) FErr << '\n' << std::flush;
    FOpen = false;
  }

 private:
  std::ostream& FErr;
  bool FShown;
  bool FOpen = false;  // the line holds progress and no newline yet
};

struct Output {
  std::ostream& out;  // the figure report
  std::ostream& err;  // messages and progress
  ProgressLine& progress;
};

template <class T>
std::string Joined(const T& items, const std::function<std::string(typename T::value_type)>& text) {
  std::string joined;
  for (const auto& item : items) {
    if (!joined.empty()) joined += ',';
    joined += text(item);
  }
  return joined;
}

// One line per figure of the worksheet just built, as its question page puts it:
//   worksheet=1 number=5 slot=0 values=14,15,16,17 given=2:3,4:9,6:1,8:7 answers=1
void ReportFigures(const TForm1& form, const GivenPositionTable& given, int sheet, int problemNo,
                   std::ostream& out) {
  const WorksheetSettings settings = form.CurrentSettings();
  const int n = settings.sizeIndex + kMinQuadrilaterals;
  for (int slot = 0; slot < WorksheetFigureCount(settings.sizeIndex); ++slot) {
    const TPuzzleData& puzzle = PuzzleData()[static_cast<std::size_t>(slot)];
    const std::vector<int>& positions = given[static_cast<std::size_t>(slot)];
    const PuzzleQuestion question = QuestionOf(puzzle, n, settings.operation, positions);
    const std::vector<long long> values(question.values.begin(), question.values.begin() + n);
    out << "worksheet=" << sheet << " number=" << problemNo << " slot=" << slot
        << " values=" << Joined(values, [](long long v) { return std::to_string(v); }) << " given="
        << Joined(positions,
                  [&puzzle](int p) {
                    return std::to_string(p) + ":" + puzzle.NumStr[static_cast<std::size_t>(p)].Bytes();
                  })
        << " answers=" << CountAnswers(question) << "\n";
  }
  out << std::flush;
  // A report that does not arrive is a failure of the run, not something to pass over.
  if (!out)
    throw Exception(MessageCp932("export.report-lost", {Cp932String::FromUtf8(FileErrorReason(errno))}));
}

// Builds one worksheet exactly as "プレビュー" does, without opening the preview; `sheet` counts the
// worksheets of this run from 1.
void Build(TForm1& form, const WorksheetOptions& options, int sheet, std::ostream& out) {
  const int problemNo = StrToInt(form.edtPrintNum->Text());
  GivenPositionTable given;
  form.BuildDocument(&given);
  if (options.report) ReportFigures(form, given, sheet, problemNo, out);
}

// SVG units of a tenth of a millimetre.
constexpr int kSvgDpi = 254;

// A file's title: the program and the problem numbers the file holds.
std::string FileTitle(long long first, long long last) {
  std::string title = "Tessarine 問題No." + std::to_string(first);
  if (last != first) title += "～" + std::to_string(last);
  return title;
}

// --output names the file to write (or, for one file per page, the name the page files are made from).
int CheckOutput(const Command& command, std::ostream& err) {
  if (command.ToStandardOutput()) {
    // A PDF's bytes on a terminal help nobody and can upset it.
    if (::isatty(STDOUT_FILENO)) {
      ReportError(err, Message("export.standard-output-is-terminal"));
      return kExitUsage;
    }
    return kExitOk;
  }
  const std::string& output = command.output;
  struct stat st {};
  const bool exists = ::stat(output.c_str(), &st) == 0;
  if (output.back() == '/' || (exists && S_ISDIR(st.st_mode))) {
    ReportError(err, Message("export.output-is-folder", {output}));
    return kExitUsage;
  }
  if (command.format != ExportFormat::Pdf && exists && !S_ISREG(st.st_mode)) {
    ReportError(err, Message("export.output-not-regular", {output, FormatExtension(command.format)}));
    return kExitUsage;
  }
  const std::size_t slash = output.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string folder = output.substr(0, slash);
    struct stat folderStat {};
    if (::stat(folder.c_str(), &folderStat) != 0) {
      ReportError(err, Message("export.no-folder", {output, folder}));
      return kExitFailure;
    }
    if (!S_ISDIR(folderStat.st_mode)) {
      ReportError(err, Message("export.not-a-folder", {output, folder}));
      return kExitFailure;
    }
  }
  return kExitOk;
}

int Export(TForm1& form, const Command& command, const Output& io) {
  std::ostream& err = io.err;
  const WorksheetOptions& options = command.worksheet;
  if (int code = CheckOutput(command, err); code != kExitOk) return code;
  RemoveUnfinishedFilesOnSignals();
  // Pages are written as they are built; each file takes its name only once it is complete.
  const int lastPage = options.count * 2;
  // Standard output is written as the device it is (a pipe directly; a file it is redirected to whole).
  const std::string pdfPath = command.ToStandardOutput() ? "/dev/stdout" : command.output;
  const long long firstNumber = options.firstNumber;
  TPdfExport pdf(pdfPath, TPdfInfo{FileTitle(firstNumber, firstNumber + options.count - 1), "Tessarine"});
  TResult result;
  if (command.format == ExportFormat::Pdf) result = pdf.Open();  // an unwritable folder fails at once
  int page = 0;
  for (int sheet = 0; sheet < options.count && result; ++sheet) {
    form.edtPrintNum->SetText(IntToStr(static_cast<long long>(options.firstNumber) + sheet));
    Build(form, options, sheet + 1, io.out);
    for (int i = 0; i < form.plPrev1->PageCount() && result; ++i) {
      const TMetafile& metafile = *form.plPrev1->Pages(i);
      const std::string path = PageFileName(command.output, command.format, ++page, lastPage);
      switch (command.format) {
        case ExportFormat::Pdf:
          result = pdf.AddPage(metafile);
          break;
        case ExportFormat::Svg:
          result = ExportSvg(metafile, path, kSvgDpi, FileTitle(firstNumber + sheet, firstNumber + sheet));
          break;
        case ExportFormat::Png:
          result = ExportPng(metafile, path, 150);
          break;
        case ExportFormat::Emf:
          result = ExportEmf(metafile, path);
          break;
      }
    }
    if (result) io.progress.Show(sheet + 1, options.count);
  }
  if (result && command.format == ExportFormat::Pdf) result = pdf.Finish();
  if (!result) {
    io.progress.End();
    ReportError(err, result.Message());
    return kExitFailure;
  }
  return kExitOk;
}

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The printer a print goes to: the one named (letter case aside) or the system's default one; nothing, with
// the message and exit code, when there is none.
std::optional<Cp932String> ChoosePrinter(const Command& command, std::ostream& err, int& exitCode) {
  TplSetPrinter::CountPrinters();  // the printers installed now
  std::string names;
  const TPrinterRecord* chosen = nullptr;
  for (const TPrinterRecord& record : Printer().PrinterRecords()) {
    if (record.attributes & PRINTER_ATTRIBUTE_HIDDEN) continue;
    const std::string name = record.name.ToUtf8();
    names += (names.empty() ? "" : ", ") + name;
    const bool wanted = command.printer ? SameName(name, *command.printer)
                                        : (record.attributes & PRINTER_ATTRIBUTE_DEFAULT) != 0;
    if (wanted && chosen == nullptr) chosen = &record;
  }
  if (chosen != nullptr) return chosen->name;
  ThrowIfInterrupted();  // an interrupted list is no list
  exitCode = kExitUsage;
  if (names.empty()) {
    const Cp932String problem = Printer().ServiceProblem();
    ReportError(err, problem.IsEmpty() ? Message("print.no-printer-installed") : problem.ToUtf8());
    exitCode = kExitFailure;
  } else if (command.printer) {
    ReportError(err, Message("print.unknown-printer", {*command.printer, names}));
  } else {
    ReportError(err, Message("print.no-default-printer", {names}));
  }
  return std::nullopt;
}

// What an interrupted print says: how many worksheets were printed, and the job that was being made, which
// was withdrawn. The program then ends as the signal ends it (EndAsInterrupted).
int ReportInterruption(const Output& io, int printed, int count,
                       const std::optional<Cp932String>& withdrawnOn) {
  io.progress.End();
  const std::string done = std::to_string(printed), all = std::to_string(count);
  ReportError(io.err, withdrawnOn
                          ? Message("print.interrupted-job-cancelled", {done, all, withdrawnOn->ToUtf8()})
                          : Message("print.interrupted", {done, all}));
  return kExitFailure;
}

int Print(TForm1& form, const Command& command, const Output& io) {
  std::ostream& err = io.err;
  const WorksheetOptions& options = command.worksheet;
  int printed = 0;
  const int withdrawnBefore = Printer().JobsWithdrawn();
  std::optional<Cp932String> printer;
  // An interruption is only noted while the run prints: the printing code asks between pages and around its
  // requests to CUPS and withdraws the job it was making; the worksheets printed before stay printed.
  try {
    int exitCode = kExitOk;
    printer = ChoosePrinter(command, err, exitCode);
    if (!printer) return exitCode;
    form.plSetPrinter1->SetPrinterName(*printer);
    form.plSetPrinter1->SetCopies(command.copies);
    form.FormShow(&form);  // the printable area of the printer chosen
    for (int sheet = 0; sheet < options.count; ++sheet) {
      ThrowIfInterrupted();
      // Each worksheet its own number; a printed one leaves the next number in the dialog, as on screen.
      form.edtPrintNum->SetText(IntToStr(static_cast<long long>(options.firstNumber) + sheet));
      Build(form, options, sheet + 1, io.out);
      form.plPrev1->Print();  // a job CUPS refuses or drops ends the run with its message
      ++printed;
      io.progress.Show(sheet + 1, options.count);
    }
  } catch (const std::exception&) {
    // Whatever failed once the run was interrupted failed because of the interruption.
    if (InterruptionSignal() == 0) throw;
  }
  if (InterruptionSignal() == 0) return kExitOk;
  const bool withdrawn = Printer().JobsWithdrawn() != withdrawnBefore;
  return ReportInterruption(io, printed, options.count, withdrawn ? printer : std::nullopt);
}

// The default printer's name when it cannot describe a page (a queue without a driver, a driver that
// fails or reports no resolution or paper); nothing when it can, or when there is no printer at all.
std::optional<Cp932String> DefaultPrinterWithoutPage() {
  TPrinterSystem& printer = Printer();
  Cp932String name;
  try {
    const std::vector<TPrinterRecord>& records = printer.PrinterRecords();
    if (records.empty()) return std::nullopt;  // laid out on the stored values anyway
    printer.SetPrinterIndex(-1);
    const int index = printer.PrinterIndex();
    if (index >= 0 && index < static_cast<int>(records.size()))
      name = records[static_cast<std::size_t>(index)].name;
    const TDeviceCaps caps = printer.DeviceCaps();
    if (caps.logPixelsX > 0 && caps.logPixelsY > 0 && caps.physicalWidth > 0 && caps.physicalHeight > 0 &&
        caps.horzRes > 0 && caps.vertRes > 0) {
      return std::nullopt;
    }
  } catch (const std::exception&) {
    // A printer whose questions fail describes no page either.
  }
  return name;
}

// An export is what "プレビュー" makes on this machine, laid out on the default printer's page. With
// --no-printer, and when the default printer cannot describe a page, it is laid out as if no printer were
// installed: no printer makes an export fail, and --no-printer gives the same files on every machine.
void ChooseExportPrinters(const Command& command, std::ostream& err) {
  if (!command.noPrinter) {
    const std::optional<Cp932String> without = DefaultPrinterWithoutPage();
    if (!without) return;
    ReportError(err, Message("export.printer-gives-no-page", {without->ToUtf8()}));
  }
  SetPrinterSystem(CreateNoPrinterSystem());
}

}  // namespace

bool StandardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

int RunWorksheetBatch(const Command& command, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle("Tessarine");
  InstallPreviewWindowHost();
  ProgressLine progress(err, errIsTerminal && !command.quiet);
  // Message boxes have nobody to answer them here: they become messages on standard error.
  application.SetMessageBoxHook([&err, &progress](const TMessageBoxRequest& request) {
    progress.End();
    ReportError(err, request.Text.ToUtf8());
    return mrOk;
  });
  try {
    if (command.kind == CommandKind::Export) ChooseExportPrinters(command, err);
    TForm1 form(nullptr);
    form.FormShow(&form);  // as when the dialog appears: the printable area the header is placed in
    ApplyWorksheetOptions(form, command.worksheet);
    if (int code = CheckWorksheetTexts(form, command.worksheet, err); code != kExitOk) return code;
    const Output io{out, err, progress};
    return command.kind == CommandKind::Print ? Print(form, command, io) : Export(form, command, io);
  } catch (const std::exception& e) {
    if (command.kind == CommandKind::Print && InterruptionSignal() != 0) {
      return ReportInterruption(Output{out, err, progress}, 0, command.worksheet.count, std::nullopt);
    }
    progress.End();
    ReportError(err, ExceptionMessage(e).ToUtf8());
    return kExitFailure;
  }
}

}  // namespace tess

#include "app/WorksheetBatch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/core/AtomicFile.h"
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

// One line on standard error, with whatever came from outside (paths, names, texts) shown safely.
void Report(std::ostream& err, const std::string& message) {
  err << "tessarine: " << EscapeForTerminal(message) << "\n" << std::flush;
}

std::string CodePoint(char32_t ch) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(ch));
  return text;
}

// The character itself where it can be shown, after its code point.
std::string NameCharacter(char32_t ch, const std::string& utf8) {
  if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) return CodePoint(ch);
  return CodePoint(ch) + " '" + utf8 + "'";
}

// Whether an instruction line given on the command line is one the dialog could hold and the worksheet
// can print; the message says what is wrong.
bool CheckLine(const char* option, const std::string& utf8, std::size_t maxBytes, std::ostream& err) {
  if (std::optional<Cp932Misfit> misfit = FindCp932Misfit(utf8)) {
    if (misfit->invalidUtf8) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(misfit->value));
      Report(err, Message("export.line-not-utf8", {option, byte, std::to_string(misfit->offset)}));
    } else {
      std::size_t length = 1;
      while (misfit->offset + length < utf8.size() &&
             (static_cast<unsigned char>(utf8[misfit->offset + length]) & 0xC0) == 0x80) {
        ++length;
      }
      Report(err, Message("export.line-no-code",
                          {option, NameCharacter(misfit->value, utf8.substr(misfit->offset, length))}));
    }
    return false;
  }
  for (unsigned char c : utf8) {
    if (c < 0x20 || c == 0x7F) {
      Report(err, Message("export.line-control", {option, CodePoint(c)}));
      return false;
    }
  }
  const std::size_t bytes = Cp932String::FromUtf8(utf8).Length();
  if (maxBytes > 0 && bytes > maxBytes) {
    Report(err, Message("export.line-too-long", {option, std::to_string(bytes), std::to_string(maxBytes),
                                                 std::to_string(maxBytes / 2)}));
    return false;
  }
  return true;
}

// The texts every worksheet prints, checked against the installed fonts before anything is built.
int CheckTexts(TForm1& form, const WorksheetOptions& options, std::ostream& err) {
  if (options.line1 &&
      !CheckLine("--line1", *options.line1, static_cast<std::size_t>(form.edtQuestMes1->MaxLength()), err)) {
    return kExitUsage;
  }
  if (options.line2 &&
      !CheckLine("--line2", *options.line2, static_cast<std::size_t>(form.edtQuestMes2->MaxLength()), err)) {
    return kExitUsage;
  }
  // Without a font that has Japanese characters every one of them would print as an empty box.
  const Cp932String face = WorksheetFaceName();
  const Cp932String fixedTexts = Cp932String::FromUtf8("問題No.（　）月日分秒");
  if (FirstCharacterWithoutGlyph(face, fixedTexts)) {
    Report(err, Message("export.no-japanese-font"));
    return kExitFailure;
  }
  for (const auto& [option, text] :
       {std::pair{"--line1", form.edtQuestMes1->Text()}, std::pair{"--line2", form.edtQuestMes2->Text()}}) {
    if (std::optional<char16_t> missing = FirstCharacterWithoutGlyph(face, text)) {
      Report(err, Message("export.line-no-glyph", {option, CodePoint(*missing)}));
      return kExitUsage;
    }
  }
  return kExitOk;
}

// Puts the command's choices into the dialog, as the user would.
void ApplyOptions(TForm1& form, const WorksheetOptions& options) {
  form.SquareNums->SetItemIndex(options.sizeIndex);
  form.LevelType->SetItemIndex(options.level);
  form.rgOpe->SetItemIndex(options.operation);
  form.rgDate->SetItemIndex(options.dateLine ? 1 : 0);
  form.chkOneAnswer->SetChecked(options.oneAnswer);
  form.SquareNumsClick(form.SquareNums);  // the instruction texts for the size and operation
  if (options.line1) form.edtQuestMes1->SetText(Cp932String::FromUtf8(*options.line1));
  if (options.line2) form.edtQuestMes2->SetText(Cp932String::FromUtf8(*options.line2));
  form.edtPrintNum->SetText(IntToStr(options.firstNumber));
  if (options.seed) RandSeed(*options.seed);
}

struct Output {
  std::ostream& out;  // the figure report
  std::ostream& err;  // messages and progress
};

template <class T>
std::string Joined(const T& items, const std::function<std::string(typename T::value_type)>& text) {
  std::string joined;
  for (const auto& item : items) joined += (joined.empty() ? "" : ",") + text(item);
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
}

// Builds one worksheet exactly as "プレビュー" does, without opening the preview; `sheet` counts the
// worksheets of this run from 1.
void Build(TForm1& form, const WorksheetOptions& options, int sheet, std::ostream& out) {
  const int problemNo = StrToInt(form.edtPrintNum->Text());
  GivenPositionTable given;
  form.BuildDocument(&given);
  if (options.report) ReportFigures(form, given, sheet, problemNo, out);
}

void Progress(std::ostream& err, const WorksheetOptions& options, int done) {
  if (options.count > 1) {
    err << Message("export.progress", {std::to_string(done), std::to_string(options.count)}) << "\n"
        << std::flush;
  }
}

// The PDF's title: the program and the problem numbers it holds.
std::string PdfTitle(const WorksheetOptions& options) {
  const long long last = static_cast<long long>(options.firstNumber) + options.count - 1;
  std::string title = "Tessarine 問題No." + std::to_string(options.firstNumber);
  if (last != options.firstNumber) title += "～" + std::to_string(last);
  return title;
}

// --output names the file to write (or, for one file per page, the name the page files are made from).
int CheckOutput(const Command& command, std::ostream& err) {
  const std::string& output = command.output;
  struct stat st {};
  const bool exists = ::stat(output.c_str(), &st) == 0;
  if (output.back() == '/' || (exists && S_ISDIR(st.st_mode))) {
    Report(err, Message("export.output-is-folder", {output}));
    return kExitUsage;
  }
  if (command.format != ExportFormat::Pdf && exists && !S_ISREG(st.st_mode)) {
    Report(err, Message("export.output-not-regular", {output, FormatExtension(command.format)}));
    return kExitUsage;
  }
  const std::size_t slash = output.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string folder = output.substr(0, slash);
    struct stat folderStat {};
    if (::stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode)) {
      Report(err, Message("export.no-folder", {output, folder}));
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
  TPdfExport pdf(command.output, TPdfInfo{PdfTitle(options), "Tessarine"});
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
          result = ExportSvg(metafile, path);
          break;
        case ExportFormat::Png:
          result = ExportPng(metafile, path, 150);
          break;
        case ExportFormat::Emf:
          result = ExportEmf(metafile, path);
          break;
      }
    }
    if (result) Progress(err, options, sheet + 1);
  }
  if (result && command.format == ExportFormat::Pdf) result = pdf.Finish();
  if (!result) {
    Report(err, result.Message());
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
  exitCode = kExitUsage;
  if (names.empty()) {
    const Cp932String problem = Printer().ServiceProblem();
    Report(err, problem.IsEmpty() ? Message("print.no-printer-installed") : problem.ToUtf8());
    exitCode = kExitFailure;
  } else if (command.printer) {
    Report(err, Message("print.unknown-printer", {*command.printer, names}));
  } else {
    Report(err, Message("print.no-default-printer", {names}));
  }
  return std::nullopt;
}

int Print(TForm1& form, const Command& command, const Output& io) {
  std::ostream& err = io.err;
  const WorksheetOptions& options = command.worksheet;
  int exitCode = kExitOk;
  const std::optional<Cp932String> printer = ChoosePrinter(command, err, exitCode);
  if (!printer) return exitCode;
  form.plSetPrinter1->SetPrinterName(*printer);
  form.plSetPrinter1->SetCopies(command.copies);
  form.FormShow(&form);  // the printable area of the printer chosen
  for (int sheet = 0; sheet < options.count; ++sheet) {
    // Each worksheet its own number; a printed one leaves the next number in the dialog, as on screen.
    form.edtPrintNum->SetText(IntToStr(static_cast<long long>(options.firstNumber) + sheet));
    Build(form, options, sheet + 1, io.out);
    form.plPrev1->Print();  // a job CUPS refuses or drops ends the run with its message
    Progress(err, options, sheet + 1);
  }
  return kExitOk;
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
    Report(err, Message("export.printer-gives-no-page", {without->ToUtf8()}));
  }
  SetPrinterSystem(CreateNoPrinterSystem());
}

}  // namespace

int RunWorksheetBatch(const Command& command, std::ostream& out, std::ostream& err) {
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle("Tessarine");
  InstallPreviewWindowHost();
  // Message boxes have nobody to answer them here: they become messages on standard error.
  application.SetMessageBoxHook([&err](const TMessageBoxRequest& request) {
    Report(err, request.Text.ToUtf8());
    return mrOk;
  });
  try {
    if (command.kind == CommandKind::Export) ChooseExportPrinters(command, err);
    TForm1 form(nullptr);
    form.FormShow(&form);  // as when the dialog appears: the printable area the header is placed in
    ApplyOptions(form, command.worksheet);
    if (int code = CheckTexts(form, command.worksheet, err); code != kExitOk) return code;
    const Output io{out, err};
    return command.kind == CommandKind::Print ? Print(form, command, io) : Export(form, command, io);
  } catch (const std::exception& e) {
    Report(err, ExceptionMessage(e).ToUtf8());
    return kExitFailure;
  }
}

}  // namespace tess

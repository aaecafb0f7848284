#include "app/WorksheetBatch.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/gfx/emf/Exports.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/printing/Printers.h"
#include "platform/ui/Application.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/Random.h"
#include "worksheet/WorksheetDialog.h"

namespace tess {
namespace {

// Puts the command's choices into the dialog, as the user would.
void ApplyOptions(TForm1& form, const WorksheetOptions& options) {
  form.SquareNums->SetItemIndex(options.sizeIndex);
  form.LevelType->SetItemIndex(options.level);
  form.rgOpe->SetItemIndex(options.operation);
  form.rgDate->SetItemIndex(options.dateLine ? 1 : 0);
  form.SquareNumsClick(form.SquareNums);  // the instruction texts for the size and operation
  if (options.line1) form.edtQuestMes1->SetText(Cp932String::FromUtf8(*options.line1));
  if (options.line2) form.edtQuestMes2->SetText(Cp932String::FromUtf8(*options.line2));
  form.edtPrintNum->SetText(IntToStr(options.firstNumber));
  if (options.seed) RandSeed(*options.seed);
}

// Builds one worksheet exactly as "プレビュー" does, without opening the preview.
void Build(TForm1& form) {
  form.BuildDocument();
}

void Progress(std::ostream& err, const WorksheetOptions& options, int done) {
  if (options.count > 1) err << "worksheet " << done << "/" << options.count << "\n" << std::flush;
}

int Export(TForm1& form, const Command& command, std::ostream& err) {
  const WorksheetOptions& options = command.worksheet;
  const std::filesystem::path target(command.output);
  if (target.has_parent_path() && !std::filesystem::is_directory(target.parent_path())) {
    err << "tessarine: cannot write " << command.output << ": the folder " << target.parent_path().string()
        << " does not exist\n";
    return kExitFailure;
  }
  std::vector<TMetafile> pages;  // every page of every worksheet, in order
  pages.reserve(static_cast<std::size_t>(options.count) * 2);
  for (int sheet = 0; sheet < options.count; ++sheet) {
    form.edtPrintNum->SetText(IntToStr(static_cast<long long>(options.firstNumber) + sheet));
    Build(form);
    for (int page = 0; page < form.plPrev1->PageCount(); ++page) pages.push_back(*form.plPrev1->Pages(page));
    Progress(err, options, sheet + 1);
  }
  TResult result = TResult::Ok();
  if (command.format == ExportFormat::Pdf) {
    std::vector<const TMetafile*> all;
    all.reserve(pages.size());
    for (const TMetafile& page : pages) all.push_back(&page);
    result = ExportPdf(all, command.output);
  } else {
    for (std::size_t i = 0; i < pages.size() && result.IsOk(); ++i) {
      const std::string path = PageFileName(command.output, command.format, static_cast<int>(i) + 1);
      switch (command.format) {
        case ExportFormat::Svg:
          result = ExportSvg(pages[i], path);
          break;
        case ExportFormat::Png:
          result = ExportPng(pages[i], path, 150);
          break;
        default:
          result = ExportEmf(pages[i], path);
          break;
      }
    }
  }
  if (!result.IsOk()) {
    err << "tessarine: cannot write " << command.output << ": " << result.Message() << "\n";
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
    err << "tessarine: " << (problem.IsEmpty() ? std::string("no printer is installed") : problem.ToUtf8())
        << "\n";
    exitCode = kExitFailure;
  } else if (command.printer) {
    err << "tessarine: unknown printer '" << *command.printer << "' (printers: " << names << ")\n";
  } else {
    err << "tessarine: there is no default printer; choose one with --printer (printers: " << names << ")\n";
  }
  return std::nullopt;
}

int Print(TForm1& form, const Command& command, std::ostream& err) {
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
    Build(form);
    form.plPrev1->Print();  // a job CUPS refuses or drops ends the run with its message
    Progress(err, options, sheet + 1);
  }
  return kExitOk;
}

}  // namespace

int RunWorksheetBatch(const Command& command, std::ostream& err) {
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle("Tessarine");
  InstallPreviewWindowHost();
  // Message boxes have nobody to answer them here: they become messages on standard error.
  application.SetMessageBoxHook([&err](const TMessageBoxRequest& request) {
    err << "tessarine: " << request.Text.ToUtf8() << "\n";
    return mrOk;
  });
  try {
    TForm1 form(nullptr);
    form.FormShow(&form);  // as when the dialog appears: the printable area the header is placed in
    ApplyOptions(form, command.worksheet);
    return command.kind == CommandKind::Print ? Print(form, command, err) : Export(form, command, err);
  } catch (const std::exception& e) {
    err << "tessarine: " << ExceptionMessage(e).ToUtf8() << "\n";
    return kExitFailure;
  }
}

}  // namespace tess

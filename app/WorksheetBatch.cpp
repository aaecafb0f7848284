#include "app/WorksheetBatch.h"

#include <filesystem>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/gfx/emf/Exports.h"
#include "platform/gfx/emf/Metafile.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/WorksheetDialog.h"
#include "worksheet/Random.h"

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
  const int problemNo = StrToInt(form.edtPrintNum->Text());
  int countedDown = problemNo;
  BuildWorksheet(*form.plPrev1, form.CurrentSettings(), form.PrintArea(), problemNo, form.Catalogues(),
                 [&countedDown] { --countedDown; });
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

int Print(TForm1& form, const Command& command, std::ostream& err) {
  const WorksheetOptions& options = command.worksheet;
  if (form.plSetPrinter1->PrinterCount() == 0) {
    err << "tessarine: no printer is installed\n";
    return kExitFailure;
  }
  if (command.printer) {
    const Cp932String wanted = Cp932String::FromUtf8(*command.printer);
    if (TplSetPrinter::MatchPrinterName(wanted).IsEmpty()) {
      err << "tessarine: unknown printer '" << *command.printer << "'\n";
      return kExitUsage;
    }
    form.plSetPrinter1->SetPrinterName(wanted);
    form.FormShow(&form);  // the printable area of the printer chosen
  }
  for (int sheet = 0; sheet < options.count; ++sheet) {
    // The problem number comes from the dialog's field, which every printed page advances.
    Build(form);
    form.plPrev1->Print();
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

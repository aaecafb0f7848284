#include "app/WorksheetBatch.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/gfx/emf/Exports.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/ui/Application.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/PuzzleSolver.h"
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
  int countedDown = problemNo;
  GivenPositionTable given;
  BuildWorksheet(
      *form.plPrev1, form.CurrentSettings(), form.PrintArea(), problemNo, form.Catalogues(),
      [&countedDown] { --countedDown; }, &given);
  if (options.report) ReportFigures(form, given, sheet, problemNo, out);
}

void Progress(std::ostream& err, const WorksheetOptions& options, int done) {
  if (options.count > 1) err << "worksheet " << done << "/" << options.count << "\n" << std::flush;
}

int Export(TForm1& form, const Command& command, const Output& io) {
  std::ostream& err = io.err;
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
    Build(form, options, sheet + 1, io.out);
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

int Print(TForm1& form, const Command& command, const Output& io) {
  std::ostream& err = io.err;
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
    Build(form, options, sheet + 1, io.out);
    form.plPrev1->Print();
    Progress(err, options, sheet + 1);
  }
  return kExitOk;
}

}  // namespace

int RunWorksheetBatch(const Command& command, std::ostream& out, std::ostream& err) {
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
    const Output io{out, err};
    return command.kind == CommandKind::Print ? Print(form, command, io) : Export(form, command, io);
  } catch (const std::exception& e) {
    err << "tessarine: " << ExceptionMessage(e).ToUtf8() << "\n";
    return kExitFailure;
  }
}

}  // namespace tess

// Whole-worksheet figures, each against a reference measured in the same run:
// - one worksheet page rendered for the screen (the stored page replayed into a bitmap of the preview's size)
//   against the same page drawn directly with QPainter;
// - 100 worksheets built and exported to PDF as the command line does it, against the same pages drawn
//   directly into a QPdfWriter;
// - "プレビュー" to the first page shown, against Qt's print preview dialog showing the same pages;
// - solving every figure of a question page, and choosing one-answer puzzles for it, against building that
//   page.
// The figures that involve a printer come twice: with the CUPS default printer (groups ending in "Cups";
// bench/report.py --queue makes a CUPS-PDF queue the default for the run) and with a virtual printer.
// Start-up to the dialog shown is a whole-process figure: bench/startup.py.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/WorksheetBatch.h"
#include "platform/gfx/emf/EmfRecords.h"
#include "platform/gfx/emf/Exports.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/gfx/internal/QtCanvas.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "platform/ui/PrintDialogs.h"
#include "preview/PreviewDocument.h"
#include "preview_window/PreviewWindowHost.h"
#include "worksheet/CatalogueGenerator.h"
#include "worksheet/FigureModel.h"
#include "worksheet/PuzzleData.h"
#include "worksheet/PuzzleSolver.h"
#include "worksheet/Random.h"
#include "worksheet/WorksheetDialog.h"
#include "worksheet/WorksheetPage.h"

namespace tess {
namespace {

// A4 at the preview window's whole-page size.
constexpr int kViewWidth = 560;
constexpr int kViewHeight = 792;

// One worksheet built the way the dialog builds it, without a printer (paper from the stored design).
class Worksheet {
 public:
  Worksheet() : scope_(std::make_unique<TVirtualPrinterSystem>()), owner_(nullptr), doc_(&owner_) {
    ComponentFromText(doc_, R"({"class":"TplPrev","name":"plPrev1","properties":{"DesignPaperValue":)"
                            R"(["FinePrint","A4","",2100,2970,600,600,0,35,2067,31,2921,9]}})");
    for (int n = 3; n <= 6; ++n) FillCatalogue(lists_[static_cast<std::size_t>(n - 3)], n);
  }
  void Build(int number, int sheets = 1) {
    WorksheetSettings settings;
    settings.line1 = Cp932String::FromUtf8("１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角");
    settings.line2 = Cp932String::FromUtf8("形の中の指定された数になるように入れなさい。");
    BuildWorksheets(doc_, settings, {35, 31, 2032}, number, sheets,
                    {&lists_[0], &lists_[1], &lists_[2], &lists_[3]}, {});
  }
  // Page 1 alone, header and question figures, from the puzzles already in the table.
  void BuildQuestionPage(const WorksheetSettings& settings) {
    doc_.BeginDoc();
    DrawWorksheetHeader(doc_, settings, {35, 31, 2032}, 1);
    DrawWorksheetFigures(doc_, settings, 0);
    doc_.EndDoc();
  }
  const TStringList& Catalogue(int sizeIndex) const { return lists_[static_cast<std::size_t>(sizeIndex)]; }
  TplPrev& Doc() { return doc_; }

 private:
  TScopedPrinterSystem scope_;
  TComponent owner_;
  TplPrev doc_;
  std::array<TStringList, 4> lists_;
};

// The drawing of a page as plain primitives in page units (0.1 mm), taken from its records once, so the
// reference can draw it with QPainter alone.
struct PagePrimitives {
  struct Line {
    QPointF from, to;
  };
  struct Disc {
    QRectF box;
  };
  struct Text {
    QPointF topLeft;
    QString text;
    int height;
  };
  std::vector<Line> lines;
  std::vector<Disc> discs;
  std::vector<Text> texts;
};

// A page whose records cannot all be read ends the benchmark with its error: the reference would draw less
// than the page holds.
PagePrimitives Primitives(const TMetafile& page, benchmark::State& state) {
  PagePrimitives out;
  QPointF current;
  int fontHeight = 37;
  TResult read = EnumerateMetafile(page, nullptr, nullptr, [&](TEnumContext& ctx) {
    const TEmfRecord& r = ctx.Record();
    if (r.Type == emf::EMR_MOVETOEX || r.Type == emf::EMR_LINETO) {
      auto p = emf::ReadAt<emf::EmrPoint>(r.Bytes, 0);
      QPointF point(p->point.x, p->point.y);
      if (r.Type == emf::EMR_LINETO) out.lines.push_back({current, point});
      current = point;
    } else if (r.Type == emf::EMR_ELLIPSE) {
      auto e = emf::ReadAt<emf::EmrRect>(r.Bytes, 0);
      out.discs.push_back(
          {QRectF(QPointF(e->rect.left, e->rect.top), QPointF(e->rect.right, e->rect.bottom))});
    } else if (r.Type == emf::EMR_EXTCREATEFONTINDIRECTW) {
      auto lf = emf::ReadAt<emf::LogFontW>(r.Bytes, 12);
      fontHeight = std::abs(lf->lfHeight);
    } else if (r.Type == emf::EMR_EXTTEXTOUTW) {
      auto t = emf::ReadAt<emf::EmrExtTextOut>(r.Bytes, 0);
      QString text;
      for (std::uint32_t i = 0; i < t->nChars; ++i) {
        text.append(QChar(emf::ReadAt<char16_t>(r.Bytes, t->offString + 2 * i).value_or(u'?')));
      }
      out.texts.push_back({QPointF(t->ptlReference.x, t->ptlReference.y), text, fontHeight});
    }
    return true;
  });
  if (!read) state.SkipWithError(read.Message().c_str());
  return out;
}

void DrawDirect(QPainter& painter, const PagePrimitives& page, double pixelsPerUnit) {
  painter.save();
  painter.scale(pixelsPerUnit, pixelsPerUnit);
  painter.setPen(QPen(Qt::black, 2));
  for (const auto& l : page.lines) painter.drawLine(l.from, l.to);
  painter.setBrush(Qt::white);
  for (const auto& d : page.discs) painter.drawEllipse(d.box);
  QFont font(QStringLiteral("IPAGothic"));
  for (const auto& t : page.texts) {
    font.setPixelSize(t.height);
    painter.setFont(font);
    painter.drawText(QRectF(t.topLeft, QSizeF(4000, t.height * 2)), Qt::AlignLeft | Qt::AlignTop, t.text);
  }
  painter.restore();
}

Worksheet& SharedWorksheet() {
  static Worksheet* sheet = [] {
    auto* w = new Worksheet;
    RandSeed(1);
    w->Build(1);
    return w;
  }();
  return *sheet;
}

void BM_WorksheetPageRender_DirectQPainterReference(benchmark::State& state) {
  const PagePrimitives page = Primitives(*SharedWorksheet().Doc().Pages(0), state);
  QImage image(kViewWidth, kViewHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawDirect(painter, page, kViewWidth / 2100.0);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_WorksheetPageRender_DirectQPainterReference)->Unit(benchmark::kMillisecond);

void BM_WorksheetPageRender_Playback(benchmark::State& state) {
  TplPrev& doc = SharedWorksheet().Doc();
  QImage image(kViewWidth, kViewHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    // What the preview shows: the page rendered (paper, clip, stored page) and replayed into the picture.
    TMetafile* rendered = doc.RenderPage(1);
    QPainter painter(&image);
    auto canvas = MakePainterCanvas(painter, TDeviceDescription::FromPixels(96, 96, kViewWidth, kViewHeight));
    TResult played = canvas->StretchDraw(TRect{0, 0, kViewWidth, kViewHeight}, *rendered);
    canvas.reset();
    painter.end();
    if (!played) {
      state.SkipWithError(played.Message().c_str());
      break;
    }
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_WorksheetPageRender_Playback)->Unit(benchmark::kMillisecond);

constexpr int kBatchWorksheets = 100;

std::string ScratchPdf(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// The printers a figure runs with: CUPS (its default queue the default printer) or a virtual system with
// one default printer. False (and the benchmark skipped) when CUPS names no default printer.
class Printers {
 public:
  explicit Printers(bool cups) : scope_(cups ? CreateCupsPrinterSystem() : VirtualLaser()) {}
  bool Ready(benchmark::State& state) {
    for (const TPrinterRecord& r : Printer().PrinterRecords()) {
      if (r.attributes & PRINTER_ATTRIBUTE_DEFAULT) return true;
    }
    state.SkipWithError("no default printer (bench/report.py --queue makes a CUPS-PDF queue the default)");
    return false;
  }

 private:
  static std::unique_ptr<TPrinterSystem> VirtualLaser() {
    auto system = std::make_unique<TVirtualPrinterSystem>();
    TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter("Laser");
    laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    system->AddPrinter(laser);
    return system;
  }
  TScopedPrinterSystem scope_;
};

void ExportDirectQPdfWriter(benchmark::State& state) {
  // The pages' primitives are taken outside the timing: the reference only draws.
  Worksheet sheet;
  RandSeed(2);
  std::vector<PagePrimitives> pages;
  for (int i = 0; i < kBatchWorksheets; ++i) {
    sheet.Build(i + 1);
    for (int p = 0; p < 2; ++p) pages.push_back(Primitives(*sheet.Doc().Pages(p), state));
  }
  const std::string path = ScratchPdf("tessarine-bench-direct.pdf");
  for (auto _ : state) {
    QPdfWriter writer(QString::fromStdString(path));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(300);
    QPainter painter(&writer);
    for (std::size_t i = 0; i < pages.size(); ++i) {
      if (i > 0) writer.newPage();
      DrawDirect(painter, pages[i], 300 / 254.0);
    }
  }
  std::filesystem::remove(path);
}

void ExportBuildAndExportPdf(benchmark::State& state, bool cups) {
  Printers printers(cups);
  if (!printers.Ready(state)) return;
  // The command line's own path: `export --count 100 --seed 2 --format pdf --output PATH`, from the dialog
  // made off screen to the PDF written page by page.
  Command command;
  command.kind = CommandKind::Export;
  command.worksheet.count = kBatchWorksheets;
  command.worksheet.seed = 2;
  command.format = ExportFormat::Pdf;
  command.output = ScratchPdf("tessarine-bench-export.pdf");
  for (auto _ : state) {
    std::ostringstream out, err;
    if (RunWorksheetBatch(command, out, err) != kExitOk) state.SkipWithError(err.str().c_str());
  }
  std::filesystem::remove(command.output);
}

void BM_Export100Worksheets_DirectQPdfWriterReference(benchmark::State& state) {
  ExportDirectQPdfWriter(state);
}
void BM_Export100Worksheets_BuildAndExportPdf(benchmark::State& state) {
  ExportBuildAndExportPdf(state, false);
}
void BM_Export100WorksheetsCups_DirectQPdfWriterReference(benchmark::State& state) {
  ExportDirectQPdfWriter(state);
}
void BM_Export100WorksheetsCups_BuildAndExportPdf(benchmark::State& state) {
  ExportBuildAndExportPdf(state, true);
}
BENCHMARK(BM_Export100Worksheets_DirectQPdfWriterReference)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Export100Worksheets_BuildAndExportPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Export100WorksheetsCups_DirectQPdfWriterReference)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Export100WorksheetsCups_BuildAndExportPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// "プレビュー" pressed until the first page is on the screen (the build of both pages, the window created
// and laid out, the page drawn), against Qt's own print preview dialog showing the same two pages drawn
// directly. Closing the windows is not timed. With CUPS the reference previews for the default printer,
// its printer made on each press as a Qt program's handler makes it; with the virtual printer it previews
// a PDF printer made once.
void ShowQtPreview(QPrinter& printer, const std::vector<PagePrimitives>& pages, benchmark::State& state) {
  QPrintPreviewDialog dialog(&printer);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&pages](QPrinter* target) {
    QPainter painter(target);
    const double pixelsPerUnit = target->resolution() / 254.0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
      if (i > 0) target->newPage();
      DrawDirect(painter, pages[i], pixelsPerUnit);
    }
  });
  dialog.resize(853, 533);
  dialog.show();
  QApplication::processEvents();
  state.PauseTiming();
  dialog.close();
  QApplication::processEvents();
  state.ResumeTiming();
}

std::vector<PagePrimitives> PreviewPages(benchmark::State& state) {
  std::vector<PagePrimitives> pages;
  for (int p = 0; p < 2; ++p) pages.push_back(Primitives(*SharedWorksheet().Doc().Pages(p), state));
  return pages;
}

void BM_PreviewShown_QPrintPreviewDialogReference(benchmark::State& state) {
  const std::vector<PagePrimitives> pages = PreviewPages(state);
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setFullPage(true);
  for (auto _ : state) ShowQtPreview(printer, pages, state);
}

void BM_PreviewShownCups_QPrintPreviewDialogReference(benchmark::State& state) {
  const std::vector<PagePrimitives> pages = PreviewPages(state);
  for (auto _ : state) {
    QPrinter printer(QPrinter::ScreenResolution);  // the default printer
    if (printer.outputFormat() != QPrinter::NativeFormat) {
      state.SkipWithError("no default printer (bench/report.py --queue makes a CUPS-PDF queue the default)");
      break;
    }
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    ShowQtPreview(printer, pages, state);
  }
}

void PreviewShownTessarine(benchmark::State& state, bool cups, int sheets = 1) {
  Printers printers(cups);
  if (!printers.Ready(state)) return;
  Application().Initialize();
  InstallPreviewWindowHost();
  TForm1 form(nullptr);
  form.FormShow(&form);
  for (auto _ : state) {
    // What the button does, shown modelessly so the benchmark keeps control.
    const int number = StrToInt(form.edtPrintNum->Text());
    BuildWorksheets(*form.plPrev1, form.CurrentSettings(), form.PrintArea(), number, sheets,
                    form.Catalogues(), {});
    form.plPrev1->ShowPreview();
    QApplication::processEvents();
    state.PauseTiming();
    form.plPrev1->ClosePreview();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_PreviewShown_Tessarine(benchmark::State& state) {
  PreviewShownTessarine(state, false);
}
void BM_PreviewShownCups_Tessarine(benchmark::State& state) {
  PreviewShownTessarine(state, true);
}
BENCHMARK(BM_PreviewShown_QPrintPreviewDialogReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewShown_Tessarine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewShownCups_QPrintPreviewDialogReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewShownCups_Tessarine)->Unit(benchmark::kMillisecond);

// A class: 40 worksheets (80 pages) from one "プレビュー" until the first page is on the screen, against Qt's
// print preview dialog opening the same 80 pages drawn directly (a PDF printer, as above); and the set
// printed on the CUPS default printer from the print dialog's OK until CUPS has accepted the job, against
// exporting the same set to PDF with the command line's batch and handing the file to `lp`. Each job is
// cancelled outside the timing, so CUPS-PDF does not work through 80 pages beside the next run.
constexpr int kClassSheets = 40;

void BM_ClassPreviewShown_QPrintPreviewDialogReference(benchmark::State& state) {
  Worksheet sheet;
  RandSeed(3);
  sheet.Build(1, kClassSheets);
  std::vector<PagePrimitives> pages;
  for (int p = 0; p < 2 * kClassSheets; ++p) pages.push_back(Primitives(*sheet.Doc().Pages(p), state));
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setFullPage(true);
  for (auto _ : state) ShowQtPreview(printer, pages, state);
}
void BM_ClassPreviewShown_Tessarine(benchmark::State& state) {
  PreviewShownTessarine(state, false, kClassSheets);
}
BENCHMARK(BM_ClassPreviewShown_QPrintPreviewDialogReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassPreviewShown_Tessarine)->Unit(benchmark::kMillisecond);

// Withdraws every job of the default queue (only that queue: other programs may be printing elsewhere).
void CancelJobsOfTheDefaultQueue(benchmark::State& state) {
  state.PauseTiming();
  std::string queue;
  for (const TPrinterRecord& r : Printer().PrinterRecords()) {
    if (r.attributes & PRINTER_ATTRIBUTE_DEFAULT) queue = r.name.ToUtf8();
  }
  if (queue.empty() || std::system(("cancel -a '" + queue + "' >/dev/null 2>&1").c_str()) != 0) {
    state.SkipWithError("the jobs of the default queue could not be cancelled");
  }
  state.ResumeTiming();
}

void BM_ClassPrintCups_ExportAndLpReference(benchmark::State& state) {
  Printers printers(true);
  if (!printers.Ready(state)) return;
  Command command;
  command.kind = CommandKind::Export;
  command.worksheet.count = kClassSheets;
  command.worksheet.seed = 3;
  command.format = ExportFormat::Pdf;
  command.output = ScratchPdf("tessarine-bench-class.pdf");
  const std::string lp = "lp -t tessarine-bench '" + command.output + "' >/dev/null 2>&1";
  for (auto _ : state) {
    std::ostringstream out, err;
    if (RunWorksheetBatch(command, out, err) != kExitOk) state.SkipWithError(err.str().c_str());
    if (std::system(lp.c_str()) != 0) state.SkipWithError("lp failed");
    CancelJobsOfTheDefaultQueue(state);
  }
  std::filesystem::remove(command.output);
}

void BM_ClassPrintCups_Tessarine(benchmark::State& state) {
  Printers printers(true);
  if (!printers.Ready(state)) return;
  Application().Initialize();
  InstallPreviewWindowHost();
  TForm1 form(nullptr);
  form.FormShow(&form);
  RandSeed(3);
  form.spnCount->SetValue(kClassSheets);
  form.BuildDocument();
  form.plPrev1->ShowPreview();
  QApplication::processEvents();
  // The print dialog confirmed at once, with its defaults: every page on the default printer.
  SetPrintDialogScript([](TPrintDialog&) { return true; });
  for (auto _ : state) {
    form.plPrev1->PrintButtonClick();
    CancelJobsOfTheDefaultQueue(state);
  }
  SetPrintDialogScript({});
  form.plPrev1->ClosePreview();
  QApplication::processEvents();
}
BENCHMARK(BM_ClassPrintCups_ExportAndLpReference)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ClassPrintCups_Tessarine)->Unit(benchmark::kMillisecond)->Iterations(3);

// Solving against the page build, for a question page of n = 3 (six figures) and of n = 6 (two figures),
// in sum mode at level 2 (three random givens): the level whose questions are the hardest to solve.
// The figures cycle through 64 seeded pages, so the times are averages over many puzzles.
constexpr int kSolverPages = 64;

struct SolverPages {
  WorksheetSettings settings;
  std::vector<TPuzzleTable> tables;
  std::vector<GivenPositionTable> given;
};

SolverPages MakeSolverPages(int sizeIndex) {
  SolverPages pages;
  pages.settings.sizeIndex = sizeIndex;
  pages.settings.level = 2;
  const FigureModel& figure = FigureModel::ForKind(sizeIndex);
  const TStringList& catalogue = SharedWorksheet().Catalogue(sizeIndex);
  RandSeed(5);
  for (int i = 0; i < kSolverPages; ++i) {
    TPuzzleTable table;
    MakePuzzleData(catalogue, sizeIndex, table);
    GivenPositionTable given;
    for (int slot = 0; slot < WorksheetFigureCount(sizeIndex); ++slot)
      given[static_cast<std::size_t>(slot)] = ChooseGivenPositions(figure, pages.settings.level);
    pages.tables.push_back(table);
    pages.given.push_back(given);
  }
  return pages;
}

void BuildQuestionPageReference(benchmark::State& state, int sizeIndex) {
  const SolverPages pages = MakeSolverPages(sizeIndex);
  Worksheet sheet;  // its own: the shared worksheet's two pages are read by other benchmarks
  int i = 0;
  for (auto _ : state) {
    PuzzleData() = pages.tables[static_cast<std::size_t>(i++ % kSolverPages)];
    sheet.BuildQuestionPage(pages.settings);
  }
}

void CountEveryFigure(benchmark::State& state, int sizeIndex) {
  const SolverPages pages = MakeSolverPages(sizeIndex);
  const int n = sizeIndex + kMinQuadrilaterals;
  int i = 0;
  for (auto _ : state) {
    const std::size_t page = static_cast<std::size_t>(i++ % kSolverPages);
    int answers = 0;
    for (int slot = 0; slot < WorksheetFigureCount(sizeIndex); ++slot) {
      const std::size_t k = static_cast<std::size_t>(slot);
      answers += CountAnswers(QuestionOf(pages.tables[page][k], n, 0, pages.given[page][k]));
    }
    benchmark::DoNotOptimize(answers);
  }
}

void MakeOneAnswerPuzzles(benchmark::State& state, int sizeIndex) {
  const TStringList& catalogue = SharedWorksheet().Catalogue(sizeIndex);
  RandSeed(6);
  TPuzzleTable table;
  for (auto _ : state) {
    MakeOneAnswerPuzzleData(catalogue, sizeIndex, 2, 0, table);
    benchmark::DoNotOptimize(table);
  }
}

void BM_SolvePage3_BuildQuestionPageReference(benchmark::State& state) {
  BuildQuestionPageReference(state, 0);
}
BENCHMARK(BM_SolvePage3_BuildQuestionPageReference)->Unit(benchmark::kMicrosecond);
void BM_SolvePage3_CountEveryFigure(benchmark::State& state) {
  CountEveryFigure(state, 0);
}
BENCHMARK(BM_SolvePage3_CountEveryFigure)->Unit(benchmark::kMicrosecond);
void BM_SolvePage3_MakeOneAnswerPuzzles(benchmark::State& state) {
  MakeOneAnswerPuzzles(state, 0);
}
BENCHMARK(BM_SolvePage3_MakeOneAnswerPuzzles)->Unit(benchmark::kMicrosecond);

void BM_SolvePage6_BuildQuestionPageReference(benchmark::State& state) {
  BuildQuestionPageReference(state, 3);
}
BENCHMARK(BM_SolvePage6_BuildQuestionPageReference)->Unit(benchmark::kMicrosecond);
void BM_SolvePage6_CountEveryFigure(benchmark::State& state) {
  CountEveryFigure(state, 3);
}
BENCHMARK(BM_SolvePage6_CountEveryFigure)->Unit(benchmark::kMicrosecond);
void BM_SolvePage6_MakeOneAnswerPuzzles(benchmark::State& state) {
  MakeOneAnswerPuzzles(state, 3);
}
BENCHMARK(BM_SolvePage6_MakeOneAnswerPuzzles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tess

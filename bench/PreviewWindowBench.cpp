// The preview window's page flip and zoom step, each with the one playback that shows its result, against
// a plain playback of the stored page into pixels of the same size and format (the reference, same run):
// a step contains such a playback, so its ratio cannot fall below 1. A flip that re-records the page first
// (what the window does when an event draws into the rendering) is measured beside them for contrast.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>

#include "platform/gfx/internal/QtCanvas.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "preview/PreviewDocument.h"
#include "preview_window/PreviewWindowForm.h"
#include "preview_window/PreviewWindowHost.h"
#include "tests/support/SamplePage.h"

namespace tess {
namespace {

// One shown preview window on a two-page worksheet-like document, made once for every benchmark here.
struct TShownPreview {
  std::unique_ptr<TScopedPrinterSystem> printers;
  std::unique_ptr<TComponent> owner;
  TplPrev* preview = nullptr;
  TplPrevForm* window = nullptr;

  TShownPreview() {
    auto system = std::make_unique<TVirtualPrinterSystem>();
    TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter("Laser");
    laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    system->AddPrinter(laser);
    printers = std::make_unique<TScopedPrinterSystem>(std::move(system));
    InstallPreviewWindowHost();
    owner = std::make_unique<TComponent>(nullptr);
    preview = new TplPrev(owner.get());
    preview->SetName("plPrev1");
    preview->SetFormPosition(plprev::TPosition::poDesigned);
    preview->SetFormWidth(654);
    preview->SetFormHeight(498);
    preview->BeginDoc();
    testing::DrawSamplePage(*preview->Canvas());
    preview->NewPage();
    testing::DrawSamplePage(*preview->Canvas());
    preview->EndDoc();
    preview->ShowPreview();
    Application().ProcessMessages();
    window = dynamic_cast<TplPrevForm*>(preview->PreviewForm());
  }
};

TShownPreview& Shown() {
  // Never destroyed: at exit the toolkit's own statics are gone before ours, and a window destroyed then
  // crashes. The process ends right after the benchmarks.
  static TShownPreview* shown = new TShownPreview;
  return *shown;
}

// The window repaints what changed, as it does on the screen.
void ShowOnScreen(TShownPreview& s) {
  s.window->Image1->Repaint();
  Application().ProcessMessages();
}

// How often the picture was played per step: one playback per step, never a recording.
void ReportPlays(benchmark::State& state, TShownPreview& s, int before) {
  state.counters["plays_per_step"] =
      static_cast<double>(s.window->Image1->PlayCount() - before) / static_cast<double>(state.iterations());
}

void BM_WindowPage_PlainPlaybackReference(benchmark::State& state) {
  // The page played onto white pixels of the window picture's size and format, nothing else: a step
  // that shows a page contains at least this.
  TShownPreview& s = Shown();
  const TMetafile& page = *s.preview->Pages(0);
  const int w = s.window->Image1->Width(), h = s.window->Image1->Height();
  for (auto _ : state) {
    QImage pixels(w, h, QImage::Format_ARGB32_Premultiplied);
    pixels.fill(Qt::white);
    QPainter painter(&pixels);
    (void)MakePainterCanvas(painter, DescribePaintDevice(pixels))->StretchDraw(Rect(0, 0, w, h), page);
    painter.end();
    benchmark::DoNotOptimize(pixels.constBits());
  }
}

void BM_WindowPage_Flip(benchmark::State& state) {
  TShownPreview& s = Shown();
  s.preview->OnBeforeView = nullptr;
  const int plays = s.window->Image1->PlayCount();
  bool forward = true;
  for (auto _ : state) {
    if (forward) {
      s.window->NextPageBtnClick(s.window->NextPageBtn);
    } else {
      s.window->PriorPageBtnClick(s.window->PriorPageBtn);
    }
    forward = !forward;
    ShowOnScreen(s);
  }
  ReportPlays(state, s, plays);
}

void BM_WindowPage_ZoomStep(benchmark::State& state) {
  TShownPreview& s = Shown();
  s.preview->OnBeforeView = nullptr;
  s.window->PageWholeBtnClick(nullptr);
  const int plays = s.window->Image1->PlayCount();
  bool in = true;
  for (auto _ : state) {
    // In and out in turn, so the picture stays about the size of the plain playback.
    if (in) {
      s.window->ZoomUpBtnClick(s.window->ZoomUpBtn);
    } else {
      s.window->ZoomDownBtnClick(s.window->ZoomDownBtn);
    }
    in = !in;
    ShowOnScreen(s);
  }
  ReportPlays(state, s, plays);
  s.window->PageWholeBtnClick(nullptr);
}

void BM_WindowPage_FlipReRecording(benchmark::State& state) {
  TShownPreview& s = Shown();
  s.preview->OnBeforeView = [](TComponent*, int) {};
  const int plays = s.window->Image1->PlayCount();
  bool forward = true;
  for (auto _ : state) {
    if (forward) {
      s.window->NextPageBtnClick(s.window->NextPageBtn);
    } else {
      s.window->PriorPageBtnClick(s.window->PriorPageBtn);
    }
    forward = !forward;
    ShowOnScreen(s);
  }
  ReportPlays(state, s, plays);
  s.preview->OnBeforeView = nullptr;
}

BENCHMARK(BM_WindowPage_PlainPlaybackReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPage_Flip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPage_ZoomStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPage_FlipReRecording)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tess

// Recording a worksheet-like page (six figures with lines, circles and numbers, header texts) and playing
// it onto a screen-sized image: the EMF recording and player against Qt's own QPicture recording and
// replay of the very same drawing (the same canvas calls, painted into a QPicture), in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPicture>

#include "platform/gfx/emf/Metafile.h"
#include "platform/gfx/internal/QtCanvas.h"
#include "tests/support/SamplePage.h"

namespace tess {
namespace {

constexpr int kDpi = 96;

const TDeviceDescription& Screen() {
  static const TDeviceDescription d = testing::A4Device(kDpi);
  return d;
}

void DrawPage(TCanvas& c) {
  testing::PreparePage(c, Screen().WidthPixels, Screen().HeightPixels);
  testing::DrawSamplePage(c);
}

TMetafile RecordEmf() {
  TMetafile m;
  m.SetMMWidth(testing::kPageWidth * 10);
  m.SetMMHeight(testing::kPageHeight * 10);
  {
    TMetafileCanvas c(m, Screen());
    DrawPage(c);
  }
  return m;
}

QPicture RecordPicture() {
  QPicture picture;
  QPainter painter(&picture);
  auto canvas = MakePainterCanvas(painter, Screen());
  DrawPage(*canvas);
  return picture;
}

QImage Target() {
  QImage image(Screen().WidthPixels, Screen().HeightPixels, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

void PlayEmfOnto(QImage& image, const TMetafile& m) {
  QPainter painter(&image);
  auto canvas = MakePainterCanvas(painter, Screen());
  TResult r = canvas->StretchDraw(TRect{0, 0, image.width(), image.height()}, m);
  if (!r) std::abort();
}

void PlayPictureOnto(QImage& image, QPicture& picture) {
  QPainter painter(&image);
  picture.play(&painter);
}

void BM_PageRecordAndPlay_Emf(benchmark::State& state) {
  QImage image = Target();
  for (auto _ : state) {
    TMetafile m = RecordEmf();
    PlayEmfOnto(image, m);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_PageRecordAndPlay_QPictureReference(benchmark::State& state) {
  QImage image = Target();
  for (auto _ : state) {
    QPicture picture = RecordPicture();
    PlayPictureOnto(image, picture);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_PageRecord_Emf(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RecordEmf().Bytes().data());
}

void BM_PageRecord_QPictureReference(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RecordPicture().size());
}

void BM_PagePlay_Emf(benchmark::State& state) {
  TMetafile m = RecordEmf();
  QImage image = Target();
  for (auto _ : state) {
    PlayEmfOnto(image, m);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_PagePlay_QPictureReference(benchmark::State& state) {
  QPicture picture = RecordPicture();
  QImage image = Target();
  for (auto _ : state) {
    PlayPictureOnto(image, picture);
    benchmark::DoNotOptimize(image.constBits());
  }
}

BENCHMARK(BM_PageRecordAndPlay_Emf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageRecordAndPlay_QPictureReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageRecord_Emf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageRecord_QPictureReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagePlay_Emf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagePlay_QPictureReference)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tess

// Recording a worksheet-like page (six figures with lines, circles and numbers, header texts) and playing
// it onto a screen-sized image: the EMF recording and player against Qt's own QPicture recording and
// replay of the same drawing made with plain QPainter calls (texts with drawText, which a QPicture keeps
// as text), in the same run.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPicture>

#include <cmath>

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

// The sample page (tests/support/SamplePage.h) with QPainter alone, in page units (0.1 mm) scaled to the
// screen: the same fills, clips, pens, ellipses and texts, each number centred by its measured width, and
// replayed the way the page's own playback looks (antialiased lines and ellipses).
void DrawTextAt(QPainter& p, const QFont& font, QPointF topLeft, const QString& text) {
  p.setFont(font);
  p.drawText(QRectF(topLeft, QSizeF(4000, 400)), Qt::AlignLeft | Qt::AlignTop, text);
}

QFont PageFont(const char* family, int pixelSize, bool bold = false) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

void DrawFigureDirect(QPainter& p, int cx, int cy, int n, int seed) {
  const double pi = 3.14159265358979;
  p.setPen(QPen(Qt::black, 5));
  int r1 = 180, r2 = 330;
  for (int k = 0; k < 2 * n; ++k) {
    double a = 2 * pi * k / (2 * n) - pi / 2;
    int r = k % 2 == 0 ? r1 : r2;
    QPointF v(cx + std::lround(r * std::cos(a)), cy + std::lround(r * std::sin(a)));
    double b = 2 * pi * (k + 1) / (2 * n) - pi / 2;
    int rn = (k + 1) % 2 == 0 ? r1 : r2;
    p.drawLine(v, QPointF(cx + std::lround(rn * std::cos(b)), cy + std::lround(rn * std::sin(b))));
    if (k % 2 == 0) p.drawLine(QPointF(cx, cy), v);
  }
  p.setPen(QPen(Qt::black, 3));
  p.setBrush(Qt::white);
  const QFont font = PageFont("DejaVu Sans", 33, true);
  p.setFont(font);
  const QFontMetrics metrics(font);
  for (int k = 0; k <= 2 * n; ++k) {
    double a = 2 * pi * (k - 1) / (2 * n) - pi / 2;
    int r = k == 0 ? 0 : (k % 2 == 1 ? r1 : r2);
    int x = cx + static_cast<int>(std::lround(r * std::cos(a)));
    int y = cy + static_cast<int>(std::lround(r * std::sin(a)));
    p.drawEllipse(QRect(x - 45, y - 45, 90, 90));
    QString number = QString::number((k * 3 + seed) % (2 * n + 1) + 1);
    p.drawText(
        QPointF(x - metrics.horizontalAdvance(number) / 2.0, y - metrics.height() / 2.0 + metrics.ascent()),
        number);
  }
}

void DrawSamplePageDirect(QPainter& p) {
  p.scale(static_cast<double>(Screen().WidthPixels) / testing::kPageWidth,
          static_cast<double>(Screen().HeightPixels) / testing::kPageHeight);
  p.fillRect(QRect(0, 0, testing::kPageWidth, testing::kPageHeight), QColor(250, 250, 235));
  p.setClipRect(QRect(QPoint(35, 31), QPoint(2066, 2920)));
  p.setRenderHint(QPainter::Antialiasing);  // as the player draws lines and ellipses
  p.setPen(Qt::black);
  DrawTextAt(p, PageFont("IPAGothic", 37), QPointF(150, 100),
             QString::fromUtf8("問題No.1　　月　　日　　分　　秒"));
  DrawTextAt(p, PageFont("IPAPGothic", 52), QPointF(150, 170),
             QString::fromUtf8("１～７の数を１回ずつ使って、四角形の頂点の合計"));
  p.setBackgroundMode(Qt::OpaqueMode);
  p.setBackground(QColor(255, 255, 0));
  p.setPen(QColor(0, 0, 160));
  DrawTextAt(p, PageFont("IPAPGothic", 50), QPointF(150, 260), QString::fromUtf8("Opaque ｶﾞｲﾄﾞ text"));
  p.setBackgroundMode(Qt::TransparentMode);

  p.setPen(QPen(QColor(192, 192, 192), 0, Qt::DotLine));
  p.drawLine(127, 0, 127, testing::kPageHeight);
  p.setPen(QPen(Qt::red, 0));
  p.drawLine(100, 350, 2000, 350);

  p.save();
  p.setClipRect(QRect(QPoint(1500, 80), QPoint(1899, 329)), Qt::IntersectClip);
  p.setBrush(QColor(200, 230, 255));
  p.setPen(QPen(Qt::darkBlue, 8));
  p.drawEllipse(QRect(QPoint(1450, 60), QPoint(1949, 359)));
  p.restore();

  for (int i = 0; i < 6; ++i) DrawFigureDirect(p, 550 + (i % 2) * 1000, 750 + (i / 2) * 850, 3 + i % 4, i);
}

QPicture RecordPicture() {
  QPicture picture;
  QPainter painter(&picture);
  DrawSamplePageDirect(painter);
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

#include "platform/ui/Image.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/gfx/internal/QtCanvas.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

class ImageWidget : public QWidget {
 public:
  explicit ImageWidget(TImage* image) : FImage(image) {}

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  TImage* FImage;
  QImage FCache;
  unsigned FCacheGeneration = 0;
};

}  // namespace

TImage::TImage(TComponent* owner) : TControl(owner) {
  TControlAccess::Attach(*this, new ImageWidget(this));
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  ++FGeneration;
  Invalidate();
}

void TImage::SetPicture(const TMetafile& picture) {
  FPicture = picture;
  ++FGeneration;
  Invalidate();
}

void TImage::ClearPicture() {
  FPicture.Clear();
  ++FGeneration;
  Invalidate();
}

void TImage::SetPaper(TColor color, const TRect* clip, int extentX, int extentY) {
  FHasPaper = true;
  FPaperColor = color;
  FHasClip = clip != nullptr && extentX > 0 && extentY > 0;
  if (FHasClip) {
    FClip = *clip;
    FClipExtentX = extentX;
    FClipExtentY = extentY;
  }
  ++FGeneration;
  Invalidate();
}

void TImage::ClearPaper() {
  FHasPaper = false;
  FHasClip = false;
  ++FGeneration;
  Invalidate();
}

// Plays what an image control shows into pixels.
class TImagePainter {
 public:
  static unsigned Generation(const TImage& image) { return image.FGeneration; }
  // The control as it shows at `pixelRatio` device pixels per pixel, into an image of that many pixels.
  static QImage Paint(const TImage& image, int width, int height, double pixelRatio) {
    QSize pixels(std::max(0, static_cast<int>(std::ceil(width * pixelRatio))),
                 std::max(0, static_cast<int>(std::ceil(height * pixelRatio))));
    QImage out(pixels, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return out;
    out.fill(Qt::transparent);
    if (!image.HasPicture() && !image.FHasPaper) return out;
    QPainter p(&out);
    if (image.FHasPaper) p.fillRect(QRect(QPoint(0, 0), pixels), ToQColor(image.FPaperColor));
    if (!image.HasPicture()) return out;
    const TMetafile& picture = image.FPicture;
    TRect target = image.FStretch ? Rect(0, 0, pixels.width(), pixels.height())
                                  : Rect(0, 0, static_cast<int>(std::lround(picture.Width() * pixelRatio)),
                                         static_cast<int>(std::lround(picture.Height() * pixelRatio)));
    if (image.FHasClip) {
      double sx = static_cast<double>(target.Right - target.Left) / image.FClipExtentX;
      double sy = static_cast<double>(target.Bottom - target.Top) / image.FClipExtentY;
      p.setClipRect(QRectF(image.FClip.Left * sx, image.FClip.Top * sy,
                           (image.FClip.Right - image.FClip.Left) * sx,
                           (image.FClip.Bottom - image.FClip.Top) * sy));
    }
    std::unique_ptr<TCanvas> canvas = MakePainterCanvas(p, DescribePaintDevice(out));
    ++image.FPlayCount;
    // A recording that cannot be played shows as an empty picture; the page data stays with its owner.
    (void)canvas->StretchDraw(target, picture);
    return out;
  }
};

TBitmap24 TImage::Render(double pixelRatio) const {
  QImage image = TImagePainter::Paint(*this, Width(), Height(), pixelRatio);
  TBitmap24 bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = line[x];
      // Transparent pixels show the parent's colour; the bitmap shows them white.
      int a = qAlpha(c);
      auto blend = [a](int v) { return v + (255 - a); };
      bitmap.SetPixel(x, y,
                      static_cast<std::uint32_t>(blend(qRed(c))) |
                          (static_cast<std::uint32_t>(blend(qGreen(c))) << 8) |
                          (static_cast<std::uint32_t>(blend(qBlue(c))) << 16));
    }
  }
  return bitmap;
}

void ImageWidget::paintEvent(QPaintEvent*) {
  if (!FImage->HasPicture() && !FImage->HasPaper()) return;
  // The picture is played once per size and pixel ratio at the screen's device pixels; repaints while
  // scrolling or dragging show the kept pixels. Very large pictures (far zoomed in) are played straight
  // onto the window instead of being kept, to bound the memory.
  const double ratio = devicePixelRatioF();
  const double pixels = width() * ratio * height() * ratio;
  QPainter p(this);
  if (pixels > 24.0 * 1024 * 1024) {
    FCache = QImage();
    QImage part = TImagePainter::Paint(*FImage, width(), height(), 1.0);
    p.drawImage(0, 0, part);
    return;
  }
  QSize want(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
  if (FCache.isNull() || FCache.size() != want || FCacheGeneration != TImagePainter::Generation(*FImage)) {
    FCache = TImagePainter::Paint(*FImage, width(), height(), ratio);
    FCache.setDevicePixelRatio(ratio);
    FCacheGeneration = TImagePainter::Generation(*FImage);
  }
  p.drawImage(0, 0, FCache);
}

void TImage::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  filer.Boolean(
      "Stretch", [this] { return FStretch; }, [this](bool v) { SetStretch(v); }, FStretch);
}

}  // namespace tess

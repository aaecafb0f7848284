// 24-bit device-independent bitmaps and the canvas that draws on their pixels.
#include "platform/gfx/Bitmap.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/gfx/internal/QtCanvas.h"

namespace tess {

struct TBitmap24::CanvasHolder {
  QImage image;
  QPainter painter;
  std::unique_ptr<TCanvas> canvas;
};

TBitmap24::TBitmap24(int width, int height) : FWidth(std::max(width, 0)), FHeight(std::max(height, 0)) {
  FBits.assign(static_cast<std::size_t>(BytesPerLine()) * static_cast<std::size_t>(FHeight), 0xFF);
}

TBitmap24::TBitmap24() = default;

TBitmap24::~TBitmap24() {
  ReleaseCanvas();
}

TBitmap24::TBitmap24(const TBitmap24& other)
    : FWidth(other.FWidth), FHeight(other.FHeight), FBits(other.FBits) {}

TBitmap24& TBitmap24::operator=(const TBitmap24& other) {
  if (this == &other) return *this;
  ReleaseCanvas();
  FWidth = other.FWidth;
  FHeight = other.FHeight;
  FBits = other.FBits;
  return *this;
}

std::uint32_t TBitmap24::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
  const std::uint8_t* p = ScanLine(y) + 3 * x;
  return static_cast<std::uint32_t>(RGB(p[2], p[1], p[0]));
}

void TBitmap24::SetPixel(int x, int y, std::uint32_t rgb) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  std::uint8_t* p = ScanLine(y) + 3 * x;
  p[0] = static_cast<std::uint8_t>(GetBValue(rgb));
  p[1] = static_cast<std::uint8_t>(GetGValue(rgb));
  p[2] = static_cast<std::uint8_t>(GetRValue(rgb));
}

TCanvas& TBitmap24::Canvas(int dpiX, int dpiY) {
  if (FCanvas) return *FCanvas->canvas;
  FCanvas = std::make_unique<CanvasHolder>();
  // The image draws straight into this bitmap's rows (no copy: QImage does not own them).
  FCanvas->image = QImage(FBits.data(), FWidth, FHeight, BytesPerLine(), QImage::Format_BGR888);
  FCanvas->image.setDotsPerMeterX(static_cast<int>(std::lround(dpiX / 0.0254)));
  FCanvas->image.setDotsPerMeterY(static_cast<int>(std::lround(dpiY / 0.0254)));
  FCanvas->painter.begin(&FCanvas->image);
  TDeviceDescription d = TDeviceDescription::FromPixels(dpiX, dpiY, FWidth, FHeight);
  FCanvas->canvas = MakePainterCanvas(FCanvas->painter, d);
  return *FCanvas->canvas;
}

void TBitmap24::ReleaseCanvas() {
  if (!FCanvas) return;
  FCanvas->canvas.reset();
  FCanvas->painter.end();
  FCanvas.reset();
}

BitmapInfoHeader TBitmap24::InfoHeader() const {
  BitmapInfoHeader h{};
  h.biSize = sizeof(h);
  h.biWidth = FWidth;
  h.biHeight = FHeight;  // bottom-up rows
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = 0;  // BI_RGB
  h.biSizeImage = static_cast<std::uint32_t>(FBits.size());
  h.biXPelsPerMeter = 3780;
  h.biYPelsPerMeter = 3780;
  return h;
}

std::vector<std::uint8_t> TBitmap24::DibBits() const {
  std::vector<std::uint8_t> out(FBits.size());
  const std::size_t stride = static_cast<std::size_t>(BytesPerLine());
  for (int y = 0; y < FHeight; ++y) {
    std::copy_n(ScanLine(y), stride, out.data() + static_cast<std::size_t>(FHeight - 1 - y) * stride);
  }
  return out;
}

TResult TBitmap24::FromDib(const BitmapInfoHeader& h, std::span<const std::uint8_t> bits, TBitmap24& out) {
  if (h.biSize < sizeof(h)) return TResult::Error("bitmap header too short");
  if (h.biBitCount != 24 || h.biCompression != 0 || h.biPlanes != 1) {
    return TResult::Error("only 24-bit uncompressed bitmaps are supported");
  }
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
    return TResult::Error("bitmap has no size");
  const long long width = h.biWidth;
  const long long height = h.biHeight > 0 ? h.biHeight : -static_cast<long long>(h.biHeight);
  const long long stride = (width * 3 + 3) & ~3LL;
  if (width > 65535 || height > 65535 || stride * height > static_cast<long long>(bits.size())) {
    return TResult::Error("bitmap pixels are missing");
  }
  TBitmap24 b(static_cast<int>(width), static_cast<int>(height));
  for (long long row = 0; row < height; ++row) {
    long long srcRow = h.biHeight > 0 ? height - 1 - row : row;
    std::copy_n(bits.data() + srcRow * stride, stride, b.ScanLine(static_cast<int>(row)));
  }
  out = b;
  return TResult::Ok();
}

TResult TBitmap24::SaveToPng(const std::string& path) const {
  if (Empty()) return TResult::Error("the bitmap is empty");
  QImage view(FBits.data(), FWidth, FHeight, BytesPerLine(), QImage::Format_BGR888);
  if (!view.save(QString::fromStdString(path), "PNG")) return TResult::Error("cannot write " + path);
  return TResult::Ok();
}

TResult TBitmap24::LoadFromFile(const std::string& path, TBitmap24& out) {
  QImage image;
  if (!image.load(QString::fromStdString(path))) return TResult::Error("cannot read a picture from " + path);
  image = image.convertToFormat(QImage::Format_BGR888);
  TBitmap24 b(image.width(), image.height());
  const int rowBytes = image.width() * 3;
  for (int y = 0; y < image.height(); ++y) std::copy_n(image.constScanLine(y), rowBytes, b.ScanLine(y));
  out = b;
  return TResult::Ok();
}

}  // namespace tess

#include "platform/ui/Clipboard.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

#include "platform/core/Exceptions.h"
#include "platform/gfx/internal/QtCanvas.h"
#include "platform/ui/Forms.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

// The MIME type under which desktop programs exchange enhanced metafiles.
const QString kEmfMime = QStringLiteral("image/x-emf");

QImage ToQImage(const TBitmap24& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint32_t c = bitmap.Pixel(x, y);  // 0x00BBGGRR
      line[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                     static_cast<int>((c >> 16) & 0xFF));
    }
  }
  return image;
}

TBitmap24 FromQImage(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_RGB32);
  TBitmap24 bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = line[x];
      bitmap.SetPixel(x, y,
                      static_cast<std::uint32_t>(qRed(c)) | (static_cast<std::uint32_t>(qGreen(c)) << 8) |
                          (static_cast<std::uint32_t>(qBlue(c)) << 16));
    }
  }
  return bitmap;
}

}  // namespace

void TClipboard::Clear() {
  QGuiApplication::clipboard()->clear();
}

void TClipboard::SetMetafile(const TMetafile& metafile) {
  auto* data = new QMimeData;
  const std::vector<std::uint8_t>& bytes = metafile.Bytes();
  QByteArray emf(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  data->setData(kEmfMime, emf);
  data->setData(QStringLiteral("image/emf"), emf);
  if (!metafile.Empty() && metafile.MMWidth() > 0 && metafile.MMHeight() > 0) {
    // The picture at screen resolution, 96 pixels per inch from the frame (hundredths of a millimetre).
    constexpr int kDpi = 96;
    int width =
        std::clamp(static_cast<int>(metafile.MMWidth() * static_cast<long long>(kDpi) / 2540), 1, 4000);
    int height =
        std::clamp(static_cast<int>(metafile.MMHeight() * static_cast<long long>(kDpi) / 2540), 1, 4000);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(std::lround(kDpi / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(kDpi / 0.0254)));
    {
      QPainter painter(&image);
      std::unique_ptr<TCanvas> canvas = MakePainterCanvas(painter, DescribePaintDevice(image));
      // A recording that does not play to its end gives the picture of what played; the recording itself
      // is on the clipboard in any case.
      (void)canvas->StretchDraw(Rect(0, 0, width, height), metafile);
    }
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    image.save(&pngBuffer, "PNG");
    data->setData(QStringLiteral("image/png"), png);
    data->setImageData(image);

    // The drawing at 254 dots per inch: one SVG unit is a tenth of a millimetre.
    QSize units(static_cast<int>(std::lround(metafile.MMWidth() / 10.0)),
                static_cast<int>(std::lround(metafile.MMHeight() / 10.0)));
    QByteArray svg;
    QBuffer svgBuffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&svgBuffer);
    generator.setResolution(254);
    generator.setSize(units);
    generator.setViewBox(QRect(QPoint(0, 0), units));
    QPainter painter;
    if (painter.begin(&generator)) {
      std::unique_ptr<TCanvas> canvas = MakePainterCanvas(painter, DescribePaintDevice(generator));
      // As for the picture above: what played.
      (void)canvas->StretchDraw(Rect(0, 0, units.width(), units.height()), metafile);
      painter.end();
      data->setData(QStringLiteral("image/svg+xml"), svg);
    }
  }
  QGuiApplication::clipboard()->setMimeData(data);
}

std::vector<std::string> TClipboard::Formats() const {
  std::vector<std::string> formats;
  if (const QMimeData* data = QGuiApplication::clipboard()->mimeData()) {
    for (const QString& f : data->formats()) formats.push_back(f.toStdString());
  }
  return formats;
}

std::string TClipboard::Data(const std::string& mimeType) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return {};
  QByteArray bytes = data->data(QString::fromStdString(mimeType));
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool TClipboard::HasMetafile() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasFormat(kEmfMime);
}

TResult TClipboard::GetMetafile(TMetafile& out) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasFormat(kEmfMime))
    return TResult::Error("The clipboard holds no page recording");
  QByteArray bytes = data->data(kEmfMime);
  return out.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool TClipboard::HasBitmap() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasImage();
}

TBitmap24 TClipboard::GetBitmap() const {
  QImage image = QGuiApplication::clipboard()->image();
  if (image.isNull()) throw Exception(Cp932String::FromUtf8("未対応のクリップボード データです"));
  return FromQImage(image);
}

void TClipboard::SetBitmap(const TBitmap24& bitmap) {
  QGuiApplication::clipboard()->setImage(ToQImage(bitmap));
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

void CaptureToClipboard(const TForm* window) {
  QPixmap picture;
  if (window != nullptr && WidgetOf(window) != nullptr) {
    picture = WidgetOf(window)->grab();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    picture = screen->grabWindow(0);
  }
  if (!picture.isNull()) QGuiApplication::clipboard()->setPixmap(picture);
}

}  // namespace tess

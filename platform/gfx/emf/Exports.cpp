// Files made from page recordings, each page drawn by the player.
#include "platform/gfx/emf/Exports.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

#include "platform/gfx/internal/QtCanvas.h"

namespace tess {
namespace {

// The frame's size in millimetres (the recording keeps it in 0.01 mm).
QSizeF FrameMM(const TMetafile& m) {
  return QSizeF(m.MMWidth() / 100.0, m.MMHeight() / 100.0);
}

QSize FramePixels(const TMetafile& m, int dpi) {
  return QSize(static_cast<int>(std::lround(m.MMWidth() / 2540.0 * dpi)),
               static_cast<int>(std::lround(m.MMHeight() / 2540.0 * dpi)));
}

TResult CheckPage(const TMetafile& m) {
  if (m.Empty()) return TResult::Error("the metafile holds no recording");
  if (m.MMWidth() <= 0 || m.MMHeight() <= 0) return TResult::Error("the recording has no frame size");
  return TResult::Ok();
}

TResult Draw(QPainter& painter, const QPaintDevice& device, const TMetafile& m, QSize pixels) {
  auto canvas = MakePainterCanvas(painter, DescribePaintDevice(device));
  return canvas->StretchDraw(TRect{0, 0, pixels.width(), pixels.height()}, m);
}

}  // namespace

TResult ExportEmf(const TMetafile& metafile, const std::string& path) {
  return metafile.SaveToFile(path);
}

TResult ExportPdf(const std::vector<const TMetafile*>& pages, const std::string& path) {
  if (pages.empty()) return TResult::Error("no pages to export");
  for (const TMetafile* page : pages) {
    if (!page) return TResult::Error("a page is missing");
    if (TResult r = CheckPage(*page); !r) return r;
  }
  constexpr int kDpi = 600;
  QPdfWriter writer(QString::fromStdString(path));
  writer.setResolution(kDpi);
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setPageSize(QPageSize(FrameMM(*pages[0]), QPageSize::Millimeter));
  QPainter painter;
  if (!painter.begin(&writer)) return TResult::Error("cannot write " + path);
  TResult result;
  for (std::size_t i = 0; i < pages.size() && result; ++i) {
    if (i > 0) {
      writer.setPageSize(QPageSize(FrameMM(*pages[i]), QPageSize::Millimeter));
      writer.newPage();
    }
    result = Draw(painter, writer, *pages[i], FramePixels(*pages[i], kDpi));
  }
  if (!painter.end() && result) return TResult::Error("cannot write " + path);
  return result;
}

TResult ExportPdf(const TMetafile& metafile, const std::string& path) {
  return ExportPdf(std::vector<const TMetafile*>{&metafile}, path);
}

TResult ExportSvg(const TMetafile& metafile, const std::string& path, int dpi) {
  if (TResult r = CheckPage(metafile); !r) return r;
  if (dpi <= 0) return TResult::Error("resolution must be positive");
  QSize pixels = FramePixels(metafile, dpi);
  QSvgGenerator svg;
  svg.setFileName(QString::fromStdString(path));
  svg.setResolution(dpi);
  svg.setSize(pixels);
  svg.setViewBox(QRect(QPoint(0, 0), pixels));
  QPainter painter;
  if (!painter.begin(&svg)) return TResult::Error("cannot write " + path);
  TResult result = Draw(painter, svg, metafile, pixels);
  painter.end();
  return result;
}

TResult ExportPng(const TMetafile& metafile, const std::string& path, int dpi) {
  if (TResult r = CheckPage(metafile); !r) return r;
  if (dpi <= 0 || dpi > 2400) return TResult::Error("resolution must be between 1 and 2400");
  QSize pixels = FramePixels(metafile, dpi);
  QImage image(pixels, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
  TResult result;
  {
    QPainter painter(&image);
    result = Draw(painter, image, metafile, pixels);
  }
  if (!result) return result;
  if (!image.save(QString::fromStdString(path), "PNG")) return TResult::Error("cannot write " + path);
  return TResult::Ok();
}

}  // namespace tess

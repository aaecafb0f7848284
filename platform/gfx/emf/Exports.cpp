// Files made from page recordings, each page drawn by the player.
#include "platform/gfx/emf/Exports.h"

#include <QBuffer>
#include <QIODevice>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
#include <set>
#include <string>

#include "platform/core/AtomicFile.h"
#include "platform/core/Messages.h"
#include "platform/gfx/internal/PdfOutput.h"
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
  if (m.Empty()) return TResult::Error(Message("export.no-recording"));
  if (m.MMWidth() <= 0 || m.MMHeight() <= 0) return TResult::Error(Message("export.no-frame"));
  return TResult::Ok();
}

TResult CannotWrite(const std::string& path, const TResult& reason) {
  return TResult::Error(Message("files.cannot-write", {path, reason.Message()}));
}

TResult Draw(QPainter& painter, const QPaintDevice& device, const TMetafile& m, QSize pixels,
             std::set<char16_t>* drawn = nullptr) {
  auto canvas = MakePainterCanvas(painter, DescribePaintDevice(device), drawn);
  return canvas->StretchDraw(TRect{0, 0, pixels.width(), pixels.height()}, m);
}

// A write-only device over an atomic file, for the toolkit's writers. The first failure stays in the file's
// status.
class AtomicFileDevice : public QIODevice {
 public:
  explicit AtomicFileDevice(TAtomicFile& file) : FFile(file) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    return FFile.Write(data, static_cast<std::size_t>(size)) ? size : -1;
  }

 private:
  TAtomicFile& FFile;
};

}  // namespace

// ---- PDF -----------------------------------------------------------------------------------------------

struct TPdfExport::State {
  State(std::string path, TPdfInfo pdfInfo) : file(std::move(path)), info(std::move(pdfInfo)) {}
  TAtomicFile file;
  TPdfInfo info;
  std::unique_ptr<TPdfOutputDevice> device;
  std::unique_ptr<QPdfWriter> writer;
  QPainter painter;
  int pages = 0;
  TResult failure;
};

namespace {
constexpr int kPdfDpi = 600;
}

TPdfExport::TPdfExport(std::string path, TPdfInfo info)
    : FState(std::make_unique<State>(std::move(path), std::move(info))) {}

TPdfExport::~TPdfExport() {
  State& s = *FState;
  if (s.painter.isActive()) s.painter.end();
  s.file.Discard();
}

TResult TPdfExport::Open() {
  State& s = *FState;
  if (!s.failure) return s.failure;
  if (s.file.IsOpen()) return TResult::Ok();
  if (TResult r = s.file.Open(); !r) s.failure = r;
  return s.failure;
}

TResult TPdfExport::AddPage(const TMetafile& page) {
  State& s = *FState;
  if (TResult r = Open(); !r) return r;
  if (TResult r = CheckPage(page); !r) {
    s.failure = CannotWrite(s.file.Target(), r);
    return s.failure;
  }
  if (s.pages == 0) {
    s.device = std::make_unique<TPdfOutputDevice>(
        [&file = s.file](const char* data, std::size_t size) { return file.Write(data, size).IsOk(); });
    s.writer = std::make_unique<QPdfWriter>(s.device.get());
    s.writer->setTitle(QString::fromStdString(s.info.title));
    s.writer->setCreator(QString::fromStdString(s.info.creator));
    s.writer->setResolution(kPdfDpi);
    s.writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    s.writer->setPageSize(QPageSize(FrameMM(page), QPageSize::Millimeter));
    if (!s.painter.begin(s.writer.get())) {
      s.failure = CannotWrite(s.file.Target(), TResult::Error(Message("export.pdf-writer-did-not-start")));
      return s.failure;
    }
  } else {
    s.writer->setPageSize(QPageSize(FrameMM(page), QPageSize::Millimeter));
    s.writer->newPage();
  }
  ++s.pages;
  if (TResult r = Draw(s.painter, *s.writer, page, FramePixels(page, kPdfDpi), &s.device->DrawnCharacters());
      !r) {
    s.failure = CannotWrite(s.file.Target(), r);
  } else if (!s.file.Status()) {
    s.failure = s.file.Status();  // a finished page went to the file and did not fit
  }
  return s.failure;
}

TResult TPdfExport::Finish() {
  State& s = *FState;
  if (s.failure && s.pages == 0)
    s.failure = CannotWrite(s.file.Target(), TResult::Error(Message("export.no-pages")));
  if (!s.failure) {
    if (s.painter.isActive()) s.painter.end();
    s.file.Discard();
    return s.failure;
  }
  const bool ended = s.painter.end() && s.device->Finish();
  if (!s.file.Status()) {
    s.failure = s.file.Status();
  } else if (!ended) {
    s.failure = CannotWrite(s.file.Target(), TResult::Error(Message("export.pdf-writer-failed")));
  }
  if (!s.failure) {
    s.file.Discard();
    return s.failure;
  }
  s.failure = s.file.Commit();
  return s.failure;
}

TResult ExportPdf(const std::vector<const TMetafile*>& pages, const std::string& path, const TPdfInfo& info) {
  if (pages.empty()) return CannotWrite(path, TResult::Error(Message("export.no-pages")));
  for (const TMetafile* page : pages) {
    if (!page) return CannotWrite(path, TResult::Error(Message("export.page-missing")));
    if (TResult r = CheckPage(*page); !r) return CannotWrite(path, r);
  }
  TPdfExport pdf(path, info);
  for (const TMetafile* page : pages) {
    if (TResult r = pdf.AddPage(*page); !r) return r;
  }
  return pdf.Finish();
}

TResult ExportPdf(const TMetafile& metafile, const std::string& path) {
  return ExportPdf(std::vector<const TMetafile*>{&metafile}, path);
}

// ---- One file per page -----------------------------------------------------------------------------------

TResult ExportEmf(const TMetafile& metafile, const std::string& path) {
  if (TResult r = CheckPage(metafile); !r) return CannotWrite(path, r);
  TAtomicFile file(path);
  if (TResult r = file.Open(); !r) return r;
  const std::vector<std::uint8_t>& bytes = metafile.Bytes();
  if (TResult r = file.Write(bytes.data(), bytes.size()); !r) return r;
  return file.Commit();
}

TResult ExportSvg(const TMetafile& metafile, const std::string& path, int dpi, const std::string& title) {
  if (TResult r = CheckPage(metafile); !r) return CannotWrite(path, r);
  if (dpi <= 0) return CannotWrite(path, TResult::Error(Message("export.resolution-not-positive")));
  TAtomicFile file(path);
  if (TResult r = file.Open(); !r) return r;
  AtomicFileDevice device(file);
  QSize pixels = FramePixels(metafile, dpi);
  QSvgGenerator svg;
  svg.setOutputDevice(&device);
  svg.setResolution(dpi);
  svg.setSize(pixels);
  svg.setViewBox(QRect(QPoint(0, 0), pixels));
  // The drawing's own title and no description: the generator would otherwise name itself in both. The
  // generator writes the title as it is given, so markup characters stay out of it.
  std::string plainTitle = title;
  std::erase_if(plainTitle, [](char c) { return c == '<' || c == '>' || c == '&'; });
  svg.setTitle(QString::fromStdString(plainTitle));
  svg.setDescription(QString());
  QPainter painter;
  if (!painter.begin(&svg))
    return CannotWrite(path, TResult::Error(Message("export.svg-writer-did-not-start")));
  TResult result = Draw(painter, svg, metafile, pixels);
  const bool ended = painter.end();
  if (!file.Status()) return file.Status();
  if (!result) return CannotWrite(path, result);
  if (!ended) return CannotWrite(path, TResult::Error(Message("export.svg-writer-failed")));
  return file.Commit();
}

TResult ExportPng(const TMetafile& metafile, const std::string& path, int dpi) {
  if (TResult r = CheckPage(metafile); !r) return CannotWrite(path, r);
  if (dpi <= 0 || dpi > 2400) return CannotWrite(path, TResult::Error(Message("export.bad-resolution")));
  QSize pixels = FramePixels(metafile, dpi);
  QImage image(pixels, QImage::Format_RGB32);
  if (image.isNull()) return CannotWrite(path, TResult::Error(Message("export.no-memory-for-picture")));
  image.fill(Qt::white);
  image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
  TResult result;
  {
    QPainter painter(&image);
    result = Draw(painter, image, metafile, pixels);
  }
  if (!result) return CannotWrite(path, result);
  // Encoded in memory first: the encoder reports a failing file only on standard error.
  QByteArray encoded;
  QBuffer buffer(&encoded);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return CannotWrite(path, TResult::Error(writer.errorString().toStdString()));
  TAtomicFile file(path);
  if (TResult r = file.Open(); !r) return r;
  if (TResult r = file.Write(encoded.constData(), static_cast<std::size_t>(encoded.size())); !r) return r;
  return file.Commit();
}

}  // namespace tess

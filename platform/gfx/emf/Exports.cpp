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
#include <cstring>
#include <set>

#include "platform/core/AtomicFile.h"
#include "platform/core/Messages.h"
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

TResult Draw(QPainter& painter, const QPaintDevice& device, const TMetafile& m, QSize pixels) {
  auto canvas = MakePainterCanvas(painter, DescribePaintDevice(device));
  return canvas->StretchDraw(TRect{0, 0, pixels.width(), pixels.height()}, m);
}

// The characters a recording's text records draw, as the player reads them.
void CollectDrawnCharacters(const TMetafile& page, std::set<char16_t>& drawn) {
  // A page the enumerator cannot read fails with its own message when it is drawn; here the records read
  // up to that point are all there is to collect.
  (void)EnumerateMetafile(page, nullptr, nullptr, [&drawn](TEnumContext& context) {
    const TEmfRecord& r = context.Record();
    const bool wide = r.Type == emf::EMR_EXTTEXTOUTW;
    if ((!wide && r.Type != emf::EMR_EXTTEXTOUTA) || r.Bytes.size() < sizeof(emf::EmrExtTextOut)) return true;
    emf::EmrExtTextOut t{};
    std::memcpy(&t, r.Bytes.data(), sizeof t);
    const std::uint64_t unit = wide ? 2 : 1;
    if (t.nChars == 0 || t.offString + t.nChars * unit > r.Bytes.size()) return true;
    const std::uint8_t* text = r.Bytes.data() + t.offString;
    if (wide) {
      for (std::uint32_t i = 0; i < t.nChars; ++i) {
        drawn.insert(static_cast<char16_t>(text[2 * i] | (text[2 * i + 1] << 8)));
      }
    } else {
      const std::string bytes(reinterpret_cast<const char*>(text), t.nChars);
      for (char16_t ch : ToUtf16(Cp932String::FromBytes(bytes))) drawn.insert(ch);
    }
    return true;
  });
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The PDF writer names each glyph in the text layer (the ToUnicode map) by the lowest character the font
// maps to it. Where a font draws a code page 932 character and its JIS name with one glyph (～ U+FF5E and
// 〜 U+301C in IPAGothic), the text layer would give back the JIS name, which was never drawn. The map
// names every glyph with four hex digits, so the character drawn takes its place in the same bytes.
void NameDrawnCharacters(char* map, std::size_t size, const std::set<char16_t>& drawn) {
  enum class Section { None, Ranges, Chars } section = Section::None;
  std::size_t line = 0;
  while (line < size) {
    std::size_t end = line;
    while (end < size && map[end] != '\n') ++end;
    const std::string_view text(map + line, end - line);
    if (text.ends_with("beginbfrange")) {
      section = Section::Ranges;
    } else if (text.ends_with("beginbfchar")) {
      section = Section::Chars;
    } else if (text.starts_with("end")) {
      section = Section::None;
    } else if (section != Section::None) {
      // The four-digit tokens of the line: source codes first, then the characters they stand for.
      std::vector<std::size_t> tokens;
      for (std::size_t i = 0; i + 5 < text.size(); ++i) {
        if (text[i] == '<' && text[i + 5] == '>' && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]) &&
            IsHexDigit(text[i + 3]) && IsHexDigit(text[i + 4])) {
          tokens.push_back(line + i + 1);
        }
      }
      std::size_t first = 1;  // a character entry: <code> <character>
      if (section == Section::Ranges) {
        // <low> <high> [<character> ...], or <low> <high> <first character> of a run, which only a range of
        // one glyph leaves free to change.
        const bool list = text.find('[') != std::string_view::npos;
        first = list || (tokens.size() == 3 &&
                         std::string_view(map + tokens[0], 4) == std::string_view(map + tokens[1], 4))
                    ? 2
                    : tokens.size();
      }
      for (std::size_t k = first; k < tokens.size(); ++k) {
        char* digits = map + tokens[k];
        const auto named = static_cast<char16_t>(std::stoul(std::string(digits, 4), nullptr, 16));
        const char16_t own = Cp932NameForJisName(named);
        if (own == 0 || drawn.count(named) != 0 || drawn.count(own) == 0) continue;
        char hex[5];
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(own));
        std::memcpy(digits, hex, 4);
      }
    }
    line = end + 1;
  }
}

// A write-only device over an atomic file, for the toolkit's writers. The first failure stays in the file's
// status. With a set of drawn characters, the PDF text-layer maps passing through are corrected on the way.
class AtomicFileDevice : public QIODevice {
 public:
  explicit AtomicFileDevice(TAtomicFile& file, const std::set<char16_t>* drawn = nullptr)
      : FFile(file), FDrawn(drawn) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    static constexpr std::string_view kTextMap = "/CIDInit /ProcSet findresource begin";
    if (FDrawn != nullptr && std::string_view(data, static_cast<std::size_t>(size)).starts_with(kTextMap)) {
      std::string map(data, static_cast<std::size_t>(size));
      NameDrawnCharacters(map.data(), map.size(), *FDrawn);
      return FFile.Write(map) ? size : -1;
    }
    return FFile.Write(data, static_cast<std::size_t>(size)) ? size : -1;
  }

 private:
  TAtomicFile& FFile;
  const std::set<char16_t>* FDrawn;
};

}  // namespace

// ---- PDF -----------------------------------------------------------------------------------------------

struct TPdfExport::State {
  State(std::string path, TPdfInfo pdfInfo) : file(std::move(path)), info(std::move(pdfInfo)) {}
  TAtomicFile file;
  TPdfInfo info;
  std::set<char16_t> drawn;
  std::unique_ptr<AtomicFileDevice> device;
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
  CollectDrawnCharacters(page, s.drawn);
  if (s.pages == 0) {
    s.device = std::make_unique<AtomicFileDevice>(s.file, &s.drawn);
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
  if (TResult r = Draw(s.painter, *s.writer, page, FramePixels(page, kPdfDpi)); !r) {
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
  const bool ended = s.painter.end();
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

TResult ExportSvg(const TMetafile& metafile, const std::string& path, int dpi) {
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

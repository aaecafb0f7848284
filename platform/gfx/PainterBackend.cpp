// Drawing with GDI semantics onto a QPainter: coordinates go through the context's logical-to-device
// transform and are drawn in device pixels; pens of width 0 are one device pixel; ellipse and rectangle
// boxes exclude their right and bottom edges; text is placed glyph by glyph at the given advances with the
// first cell's top-left at the reference point (TA_TOP | TA_LEFT), backgrounds painted in OPAQUE mode.
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/internal/DeviceBackend.h"
#include "platform/gfx/internal/QtCanvas.h"
#include "platform/gfx/internal/QtText.h"
#include "platform/gfx/internal/TextEngine.h"

namespace tess {
namespace {

QColor ToQColor(std::uint32_t c) {
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QTransform ToQTransform(const TXForm& m) {
  return QTransform(m.eM11, m.eM12, m.eM21, m.eM22, m.eDx, m.eDy);
}

class TPainterBackend : public TDeviceBackend {
 public:
  TPainterBackend(QPainter& painter, std::set<char16_t>* drawn)
      : FPainter(painter),
        FDrawn(drawn),
        FBase(painter.worldTransform()),
        FHadClip(painter.hasClipping()),
        FInitialClip(painter.hasClipping() ? painter.clipRegion() : QRegion()),
        FSoftClip(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::SVG) {}

  void OnClipChanged() override {
    const TDCState& s = FDC->State();
    UseBaseTransform();
    if (s.HasClip) {
      QRegion r(QRect(QPoint(s.ClipLeft, s.ClipTop), QPoint(s.ClipRight - 1, s.ClipBottom - 1)));
      if (s.ClipRight <= s.ClipLeft || s.ClipBottom <= s.ClipTop) r = QRegion();
      if (FHadClip) r = r.intersected(FInitialClip);
      FPainter.setClipRegion(r);
    } else if (FHadClip) {
      FPainter.setClipRegion(FInitialClip);
    } else {
      FPainter.setClipping(false);
    }
  }

  void LineTo(TPoint from, TPoint to) override {
    if (!SetPen()) return;
    QPointF a = Device(from.X, from.Y), b = Device(to.X, to.Y);
    if (FThinPen) {
      // One-pixel lines on whole device pixels, the last pixel left out as GDI does.
      a = QPointF(std::round(a.x()), std::round(a.y()));
      b = QPointF(std::round(b.x()), std::round(b.y()));
    }
    if (SoftClip()) {
      QPainterPath line(a);
      line.lineTo(b);
      return StrokeClipped(line);
    }
    FPainter.drawLine(a, b);
  }

  void Ellipse(const TRect& box) override {
    QRectF r = DeviceBox(box);
    bool pen = SetPen();
    bool brush = SetBrush();
    if (!pen && !brush) return;
    SetHint(QPainter::Antialiasing, true);
    if (SoftClip()) {
      QPainterPath path;
      path.addEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
      if (brush) FillClipped(path, FPainter.brush());
      if (pen) StrokeClipped(path);
      return;
    }
    FPainter.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
  }

  void Rectangle(const TRect& box) override {
    QRectF r = DeviceBox(box);
    bool pen = SetPen();
    bool brush = SetBrush();
    if (!pen && !brush) return;
    SetHint(QPainter::Antialiasing, false);
    if (SoftClip()) {
      QPainterPath path;
      path.addRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
      if (brush) FillClipped(path, FPainter.brush());
      if (pen) StrokeClipped(path);
      return;
    }
    FPainter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
  }

  void PatBlt(const TRect& rect, std::uint32_t) override {
    const TLogBrush& b = FDC->State().Brush;
    if (b.Style == BS_NULL) return;
    UseBaseTransform();
    SetHint(QPainter::Antialiasing, false);
    FPainter.fillRect(SoftClipped(DeviceBox(rect)), ToQColor(b.Color));
  }

  void ExtTextOut(TPoint p, unsigned options, const TRect* rect, std::u16string_view text,
                  const std::vector<int>& advances, const Cp932String* ansi) override;
  void StretchDIBits(const TRect& dest, const TRect& src, const TBitmap24& bitmap,
                     std::uint32_t rop) override;

 private:
  // Paint engines without clipping (the SVG generator) get the clip applied to each shape here.
  bool SoftClip() const { return FSoftClip && (FDC->State().HasClip || FTextClip); }
  QRectF ClipRect() const {
    const TDCState& s = FDC->State();
    QRectF r = s.HasClip ? QRectF(s.ClipLeft, s.ClipTop, std::max(0, s.ClipRight - s.ClipLeft),
                                  std::max(0, s.ClipBottom - s.ClipTop))
                         : QRectF(-1e9, -1e9, 2e9, 2e9);
    return FTextClip ? r.intersected(*FTextClip) : r;
  }
  // Fills a path given in glyph space (see ExtTextOut).
  void FillGlyphPath(const QPainterPath& path, const QColor& color) {
    if (SoftClip()) return FillClipped(FGlyphToPage.map(path), color);
    FPainter.setWorldTransform(FGlyphToDevice);
    FPainter.fillPath(path, color);
  }
  QRectF SoftClipped(const QRectF& r) const { return SoftClip() ? r.intersected(ClipRect()) : r; }
  // Fills a path given in device pixels, cut to the clip.
  void FillClipped(const QPainterPath& path, const QBrush& brush) {
    QPainterPath clip;
    clip.addRect(ClipRect());
    UseBaseTransform();
    FPainter.fillPath(path.intersected(clip), brush);
  }
  void StrokeClipped(const QPainterPath& path) {
    QPainterPathStroker stroker(FPainter.pen());
    FillClipped(stroker.createStroke(path), FPainter.pen().color());
  }

  // Device coordinates are kept within 2^27 pixels either way, as GDI keeps them, so that absurd
  // records cannot push the painter into overflowing arithmetic.
  static double ClampDevice(double v) {
    constexpr double kLimit = 134217727.0;
    if (!(v == v)) return 0;  // NaN
    return std::clamp(v, -kLimit, kLimit);
  }
  QPointF Device(double x, double y) const {
    double dx, dy;
    MapPoint(FDC->LogicalToDevice(), x, y, dx, dy);
    return QPointF(ClampDevice(dx), ClampDevice(dy));
  }
  // A logical box in whole device pixels, normalised (mirrored boxes come out the right way round).
  QRectF DeviceBox(const TRect& box) const {
    QPointF a = Device(box.Left, box.Top), b = Device(box.Right, box.Bottom);
    double l = std::round(std::min(a.x(), b.x())), r = std::round(std::max(a.x(), b.x()));
    double t = std::round(std::min(a.y(), b.y())), bt = std::round(std::max(a.y(), b.y()));
    return QRectF(l, t, r - l, bt - t);
  }
  // State is set only where it changes: a paint engine may write out every change (a PDF page gets its
  // graphics state saved, restored and set up again for each one).
  void UseBaseTransform() {
    if (FPainter.worldTransform() != FBase) FPainter.setWorldTransform(FBase);
  }
  void SetHint(QPainter::RenderHint hint, bool on) {
    if (FPainter.testRenderHint(hint) != on) FPainter.setRenderHint(hint, on);
  }
  bool SetPen();
  bool SetBrush() {
    const TLogBrush& b = FDC->State().Brush;
    if (b.Style == BS_NULL) {
      if (FPainter.brush().style() != Qt::NoBrush) FPainter.setBrush(Qt::NoBrush);
      return false;
    }
    const QBrush brush(ToQColor(b.Color));
    if (FPainter.brush() != brush) FPainter.setBrush(brush);
    return true;
  }
  void DrawTextRun(const QTransform& glyphToDevice, const std::vector<std::pair<double, char16_t>>& glyphs,
                   double emDevice, TFontFace& face);

  QPainter& FPainter;
  std::set<char16_t>* FDrawn;  // where the characters of each text drawn are noted, if anywhere
  QTransform FBase;
  bool FHadClip;
  QRegion FInitialClip;
  bool FThinPen = true;
  bool FSoftClip = false;
  std::optional<QRectF> FTextClip;  // ETO_CLIPPED rectangle while a text is drawn with the soft clip
  QTransform FGlyphToPage;          // glyph space to device pixels, and on to the painter's device
  QTransform FGlyphToDevice;
};

bool TPainterBackend::SetPen() {
  const TLogPen& lp = FDC->State().Pen;
  UseBaseTransform();
  if (lp.Style == PS_NULL) {
    FPainter.setPen(Qt::NoPen);
    return false;
  }
  // A geometric pen scales with the mapping; width 0 is the thinnest line the device draws.
  double width = lp.Width == 0 ? 1.0 : std::max(1.0, lp.Width * XScale(FDC->LogicalToDevice()));
  FThinPen = width <= 1.0;
  QPen pen(ToQColor(lp.Color));
  pen.setWidthF(FThinPen ? 1.0 : width);
  if (FThinPen &&
      (lp.Style == PS_DOT || lp.Style == PS_DASH || lp.Style == PS_DASHDOT || lp.Style == PS_DASHDOTDOT)) {
    // Styled lines exist only for one-pixel pens (wider ones draw solid, as in GDI).
    QList<qreal> pattern;
    switch (lp.Style) {
      case PS_DOT:
        pattern = {3, 3};
        break;
      case PS_DASH:
        pattern = {18, 6};
        break;
      case PS_DASHDOT:
        pattern = {9, 6, 3, 6};
        break;
      default:
        pattern = {9, 3, 3, 3, 3, 3};
        break;
    }
    pen.setDashPattern(pattern);
  }
  pen.setCapStyle(FThinPen ? Qt::FlatCap : Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  if (FPainter.pen() != pen) FPainter.setPen(pen);
  SetHint(QPainter::Antialiasing, !FThinPen);
  return true;
}

void TPainterBackend::ExtTextOut(TPoint p, unsigned options, const TRect* rect, std::u16string_view text,
                                 const std::vector<int>& advances, const Cp932String* ansi) {
  const TDCState& s = FDC->State();
  const TXForm m = FDC->LogicalToDevice();
  UseBaseTransform();
  if (rect && (options & ETO_OPAQUE)) FPainter.fillRect(SoftClipped(DeviceBox(*rect)), ToQColor(s.BkColor));
  if (text.empty()) return;
  if (FDrawn != nullptr) FDrawn->insert(text.begin(), text.end());

  // Advances per UTF-16 unit (ExtTextOutA gives them per byte: a two-byte character takes both).
  std::vector<double> unitAdvance(text.size(), 0.0);
  if (ansi) {
    std::size_t unit = 0;
    for (std::size_t pos = 0; pos < ansi->Length() && unit < text.size(); ++unit) {
      std::size_t next = NextCharOffset(*ansi, pos);
      for (std::size_t b = pos; b < next && b < advances.size(); ++b) unitAdvance[unit] += advances[b];
      pos = next;
    }
  } else {
    for (std::size_t i = 0; i < text.size() && i < advances.size(); ++i) unitAdvance[i] = advances[i];
  }
  double total = 0;
  for (double a : unitAdvance) total += a;

  TFontFace& face = FontFaceFor(s.Font);
  TTextMetric tm = TextMetrics(s.Font, m);
  double em = FontEmHeight(s.Font);
  // Baseline direction u and the downward direction v in logical units (escapement counter-clockwise).
  double angle = s.Font.Escapement * M_PI / 1800.0;
  double ux = std::cos(angle), uy = -std::sin(angle), vx = std::sin(angle), vy = std::cos(angle);
  double start = 0;
  unsigned h = s.TextAlign & (TA_CENTER | TA_RIGHT);
  if (h == TA_CENTER) start = -total / 2;
  if (h == TA_RIGHT) start = -total;
  double down = tm.Ascent;  // TA_TOP: the reference point is the cell's top
  if ((s.TextAlign & TA_BASELINE) == TA_BASELINE) {
    down = 0;
  } else if (s.TextAlign & TA_BOTTOM) {
    down = -tm.Descent;
  }
  double ox = p.X + ux * start + vx * down, oy = p.Y + uy * start + vy * down;

  // Glyph space: device pixels of the em at the device's scale, origin at the baseline start.
  double sy = YScale(m);
  if (!(sy > 0) || !(em > 0)) return;
  double emDevice = em * sy;
  // Glyphs beyond any page or below a hundredth of a pixel are not drawn.
  if (!(emDevice < 65536.0) || emDevice < 0.01) return;
  QTransform rotate(ux, uy, vx, vy, 0, 0);
  QTransform glyphToLogical =
      QTransform::fromScale(1.0 / sy, 1.0 / sy) * rotate * QTransform::fromTranslate(ox, oy);
  FGlyphToPage = glyphToLogical * ToQTransform(m);
  FGlyphToDevice = FGlyphToPage * FBase;
  const QTransform& glyphToDevice = FGlyphToDevice;

  bool clipped = rect && (options & ETO_CLIPPED);
  if (clipped && FSoftClip) {
    FTextClip = DeviceBox(*rect);
  } else if (clipped) {
    FPainter.save();
    FPainter.setClipRect(DeviceBox(*rect), Qt::IntersectClip);
  }
  if (s.BkMode == OPAQUE) {
    QPainterPath cell;
    cell.addRect(QRectF(QPointF(0, -tm.Ascent * sy), QPointF(total * sy, tm.Descent * sy)));
    SetHint(QPainter::Antialiasing, false);
    FillGlyphPath(cell, ToQColor(s.BkColor));
  }
  std::vector<std::pair<double, char16_t>> glyphs;
  glyphs.reserve(text.size());
  double pos = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    glyphs.emplace_back(pos * sy, text[i]);
    pos += unitAdvance[i];
  }
  FPainter.setPen(ToQColor(s.TextColor));
  DrawTextRun(glyphToDevice, glyphs, emDevice, face);
  if (s.Font.Underline || s.Font.StrikeOut) {
    QRawFont raw = face.RawAt(0, emDevice);
    double thickness = std::max(1.0, raw.lineThickness());
    QPainterPath lines;
    if (s.Font.Underline) lines.addRect(QRectF(0, raw.underlinePosition(), total * sy, thickness));
    if (s.Font.StrikeOut) lines.addRect(QRectF(0, -raw.xHeight() / 2, total * sy, thickness));
    FillGlyphPath(lines, ToQColor(s.TextColor));
  }
  if (clipped && FSoftClip) {
    FTextClip.reset();
  } else if (clipped) {
    FPainter.restore();
  }
  UseBaseTransform();
}

void TPainterBackend::DrawTextRun(const QTransform& glyphToDevice,
                                  const std::vector<std::pair<double, char16_t>>& glyphs, double emDevice,
                                  TFontFace& face) {
  // How large an em comes out on the device once the whole transform is applied.
  const double stretch = std::max(std::hypot(glyphToDevice.m11(), glyphToDevice.m12()),
                                  std::hypot(glyphToDevice.m21(), glyphToDevice.m22()));
  const double emOnDevice = emDevice * stretch;
  if (!std::isfinite(emOnDevice) || !std::isfinite(glyphToDevice.dx()) ||
      !std::isfinite(glyphToDevice.dy())) {
    return;
  }
  // The glyph cache serves glyphs of ordinary size drawn upright, turned or mirrored. Very large glyphs,
  // glyphs stretched more one way than the other and sub-pixel fonts are filled as outlines instead.
  const double squeeze = std::min(std::hypot(glyphToDevice.m11(), glyphToDevice.m12()),
                                  std::hypot(glyphToDevice.m21(), glyphToDevice.m22()));
  const bool outlines =
      emOnDevice > 1024.0 || emDevice < 1.0 || !(squeeze > 0) || stretch / squeeze > 1.01 || SoftClip();
  // Glyphs take the pen's colour and outlines an explicit fill: no brush is needed, and one left set would
  // be written out again with every change of transform around each text.
  if (FPainter.brush().style() != Qt::NoBrush) FPainter.setBrush(Qt::NoBrush);
  FPainter.setWorldTransform(glyphToDevice);
  SetHint(QPainter::Antialiasing, true);
  SetHint(QPainter::TextAntialiasing, true);
  const QColor color = FPainter.pen().color();
  for (int which = 0; which < 2; ++which) {
    // Glyphs of each face go in one run, each at its own position.
    QList<quint32> indexes;
    QList<QPointF> positions;
    for (const auto& [x, ch] : glyphs) {
      const TFontFace::Glyph& g = face.GlyphFor(ch);
      if (g.face != which || g.index == 0) continue;
      indexes.push_back(g.index);
      positions.push_back(QPointF(x, 0));
    }
    if (indexes.isEmpty()) continue;
    if (outlines) {
      // Outlines taken at a fixed size and scaled to the em.
      constexpr double kOutlineSize = 64.0;
      QRawFont raw = face.RawAt(which, kOutlineSize);
      const QTransform toEm = QTransform::fromScale(emDevice / kOutlineSize, emDevice / kOutlineSize);
      QPainterPath path;
      for (qsizetype i = 0; i < indexes.size(); ++i) {
        path.addPath(toEm.map(raw.pathForGlyph(indexes[i])).translated(positions[i]));
      }
      FillGlyphPath(path, color);
      continue;
    }
    QRawFont raw = face.RawAt(which, emDevice);
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    FPainter.drawGlyphRun(QPointF(0, 0), run);
  }
}

void TPainterBackend::StretchDIBits(const TRect& dest, const TRect& src, const TBitmap24& bitmap,
                                    std::uint32_t) {
  if (bitmap.Empty()) return;
  QPointF a = Device(dest.Left, dest.Top), b = Device(dest.Right, dest.Bottom);
  bool mirrorX = b.x() < a.x(), mirrorY = b.y() < a.y();
  // The source rectangle may be reversed too; the two mirrorings cancel.
  if (src.Right < src.Left) mirrorX = !mirrorX;
  if (src.Bottom < src.Top) mirrorY = !mirrorY;
  QRect source(QPoint(std::min(src.Left, src.Right), std::min(src.Top, src.Bottom)),
               QPoint(std::max(src.Left, src.Right) - 1, std::max(src.Top, src.Bottom) - 1));
  QImage view(bitmap.Bits().data(), bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(),
              QImage::Format_BGR888);
  QImage part = view.copy(source).mirrored(mirrorX, mirrorY);
  UseBaseTransform();
  SetHint(QPainter::SmoothPixmapTransform, false);
  QRectF box = DeviceBox(dest);
  if (SoftClip()) {
    // Only the part inside the clip: the picture scaled to the box, then cut.
    QRectF visible = box.intersected(ClipRect());
    if (visible.isEmpty() || box.width() > 65536 || box.height() > 65536) return;
    QImage scaled = part.scaled(static_cast<int>(box.width()), static_cast<int>(box.height()));
    FPainter.drawImage(visible, scaled, visible.translated(-box.topLeft()));
    return;
  }
  FPainter.drawImage(box, part);
}

}  // namespace

std::unique_ptr<TDeviceContext> MakePainterDeviceContext(QPainter& painter, const TDeviceDescription& device,
                                                         std::set<char16_t>* drawn) {
  return std::make_unique<TDeviceContext>(std::make_unique<TPainterBackend>(painter, drawn), device);
}

std::unique_ptr<TCanvas> MakePainterCanvas(QPainter& painter, const TDeviceDescription& device,
                                           std::set<char16_t>* drawn) {
  auto canvas = std::make_unique<TCanvas>(MakePainterDeviceContext(painter, device, drawn));
  canvas->Font().SetPixelsPerInch(device.DpiY);
  return canvas;
}

TDeviceDescription DescribePaintDevice(const QPaintDevice& device) {
  TDeviceDescription d = TDeviceDescription::FromPixels(device.logicalDpiX(), device.logicalDpiY(),
                                                        device.width(), device.height());
  if (device.widthMM() > 0) d.WidthMM = device.widthMM();
  if (device.heightMM() > 0) d.HeightMM = device.heightMM();
  return d;
}

TDeviceDescription TDeviceDescription::Screen() {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (QScreen* screen = app->primaryScreen()) {
      int dpi = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
      if (dpi <= 0) dpi = 96;
      QSize size = screen->size();
      if (size.width() > 0 && size.height() > 0) {
        return FromPixels(dpi, dpi, size.width(), size.height());
      }
    }
  }
  return FromPixels(96, 96, 1920, 1080);
}

}  // namespace tess

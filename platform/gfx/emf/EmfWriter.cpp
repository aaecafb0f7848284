// Recording backend: MS-EMF records for every change of the device context and every drawing call.
#include "platform/gfx/emf/internal/EmfWriter.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/internal/TextEngine.h"

namespace tess {
namespace {

emf::RectL ToRectL(const TRect& r) {
  return emf::RectL{r.Left, r.Top, r.Right, r.Bottom};
}

emf::Xform ToXform(const TXForm& m) {
  return emf::Xform{m.eM11, m.eM12, m.eM21, m.eM22, m.eDx, m.eDy};
}

emf::LogFontPanose ToLogFontPanose(const TLogFont& f) {
  emf::LogFontPanose p{};
  emf::LogFontW& lf = p.logFont;
  lf.lfHeight = f.Height;
  lf.lfWidth = f.Width;
  lf.lfEscapement = f.Escapement;
  lf.lfOrientation = f.Orientation;
  lf.lfWeight = f.Weight;
  lf.lfItalic = f.Italic;
  lf.lfUnderline = f.Underline;
  lf.lfStrikeOut = f.StrikeOut;
  lf.lfCharSet = f.CharSet;
  lf.lfOutPrecision = f.OutPrecision;
  lf.lfClipPrecision = f.ClipPrecision;
  lf.lfQuality = f.Quality;
  lf.lfPitchAndFamily = f.PitchAndFamily;
  std::size_t n = std::min<std::size_t>(f.FaceName.size(), 31);
  std::copy_n(f.FaceName.begin(), n, lf.lfFaceName);
  return p;
}

double PenPad(const TDeviceContext& dc) {
  const TLogPen& pen = dc.State().Pen;
  if (pen.Style == PS_NULL) return 0;
  return std::max(1.0, pen.Width * XScale(dc.LogicalToDevice())) / 2.0;
}

}  // namespace

TEmfWriter::TEmfWriter(const TDeviceDescription& reference) : FReference(reference) {}

void TEmfWriter::WriteBytes(const std::vector<std::uint8_t>& record) {
  FBody.insert(FBody.end(), record.begin(), record.end());
  ++FRecords;
}

void TEmfWriter::WriteOne(std::uint32_t type, std::uint32_t value) {
  auto r = emf::MakeRecord<emf::EmrOneValue>(type);
  r.value = value;
  Write(r);
}

void TEmfWriter::WritePoint(std::uint32_t type, std::int32_t x, std::int32_t y) {
  auto r = emf::MakeRecord<emf::EmrPoint>(type);
  r.point = {x, y};
  Write(r);
}

void TEmfWriter::WriteRect(std::uint32_t type, const TRect& rect) {
  auto r = emf::MakeRecord<emf::EmrRect>(type);
  r.rect = ToRectL(rect);
  Write(r);
}

void TEmfWriter::WriteWorldFromState() {
  auto r = emf::MakeRecord<emf::EmrSetWorldTransform>(emf::EMR_SETWORLDTRANSFORM);
  r.xform = ToXform(FDC->LogicalToDevice());
  Write(r);
}

// ---- Handle table ----------------------------------------------------------------------------------------

std::uint32_t TEmfWriter::NewHandle() {
  for (std::size_t i = 1; i < FRefs.size(); ++i) {
    if (FRefs[i] == 0) return static_cast<std::uint32_t>(i);
  }
  FRefs.push_back(0);
  std::uint32_t h = static_cast<std::uint32_t>(FRefs.size() - 1);
  FMaxHandle = std::max(FMaxHandle, h);
  return h;
}

void TEmfWriter::Reference(std::uint32_t handle) {
  if (handle != 0) ++FRefs[handle];
}

// An object is deleted once neither the context nor a saved state selects it any more: deleting an object a
// saved state still holds would leave RESTOREDC pointing at nothing.
void TEmfWriter::Release(std::uint32_t handle) {
  if (handle == 0) return;
  if (--FRefs[handle] == 0) WriteOne(emf::EMR_DELETEOBJECT, handle);
}

void TEmfWriter::Select(Slot slot, std::uint32_t handle) {
  std::uint32_t* current = slot == kFont ? &FCurrent.font : slot == kPen ? &FCurrent.pen : &FCurrent.brush;
  std::uint32_t old = *current;
  *current = handle;
  Reference(handle);
  Release(old);
}

// ---- State -----------------------------------------------------------------------------------------------

void TEmfWriter::OnSaveDC() {
  Write(emf::MakeRecord<emf::EmrSaveDC>(emf::EMR_SAVEDC));
  FSaved.push_back(FCurrent);
  Reference(FCurrent.font);
  Reference(FCurrent.pen);
  Reference(FCurrent.brush);
}

void TEmfWriter::OnRestoreDC(int /*saved*/) {
  // The context has restored already; its depth now is where the saved selections continue.
  const int oldDepth = static_cast<int>(FSaved.size());
  const int keep = FDC->SaveDepth();
  if (keep >= oldDepth || keep < 0) return;
  // EMR_RESTOREDC takes a relative (negative) index.
  WriteOne(emf::EMR_RESTOREDC, static_cast<std::uint32_t>(keep - oldDepth));
  std::vector<Selection> dropped;
  dropped.push_back(FCurrent);
  for (int i = keep + 1; i < oldDepth; ++i) dropped.push_back(FSaved[static_cast<std::size_t>(i)]);
  FCurrent = FSaved[static_cast<std::size_t>(keep)];
  FSaved.resize(static_cast<std::size_t>(keep));
  for (const Selection& s : dropped) {
    Release(s.font);
    Release(s.pen);
    Release(s.brush);
  }
}

void TEmfWriter::OnSetMapMode(int mode) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  WriteOne(emf::EMR_SETMAPMODE, static_cast<std::uint32_t>(mode));
}

void TEmfWriter::OnSetWindowExt(TSize ext) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  WritePoint(emf::EMR_SETWINDOWEXTEX, ext.cx, ext.cy);
}

void TEmfWriter::OnSetViewportExt(TSize ext) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  WritePoint(emf::EMR_SETVIEWPORTEXTEX, ext.cx, ext.cy);
}

void TEmfWriter::OnSetWindowOrg(TPoint org) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  WritePoint(emf::EMR_SETWINDOWORGEX, org.X, org.Y);
}

void TEmfWriter::OnSetViewportOrg(TPoint org) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  WritePoint(emf::EMR_SETVIEWPORTORGEX, org.X, org.Y);
}

void TEmfWriter::OnSetGraphicsMode(int mode) {
  // While a recording plays in, the world transform carries its mapping and needs the advanced mode.
  if (FDC->State().InPlayback) return;
  WriteOne(emf::EMR_SETGRAPHICSMODE, static_cast<std::uint32_t>(mode));
}

void TEmfWriter::OnSetWorldTransform(const TXForm& xform) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  auto r = emf::MakeRecord<emf::EmrSetWorldTransform>(emf::EMR_SETWORLDTRANSFORM);
  r.xform = ToXform(xform);
  Write(r);
}

void TEmfWriter::OnModifyWorldTransform(const TXForm& xform, int mode) {
  if (FDC->State().InPlayback) return WriteWorldFromState();
  auto r = emf::MakeRecord<emf::EmrModifyWorldTransform>(emf::EMR_MODIFYWORLDTRANSFORM);
  r.xform = ToXform(xform);
  r.iMode = static_cast<std::uint32_t>(mode);
  Write(r);
}

void TEmfWriter::OnSetTextColor(std::uint32_t color) {
  WriteOne(emf::EMR_SETTEXTCOLOR, color);
}
void TEmfWriter::OnSetBkColor(std::uint32_t color) {
  WriteOne(emf::EMR_SETBKCOLOR, color);
}
void TEmfWriter::OnSetBkMode(int mode) {
  WriteOne(emf::EMR_SETBKMODE, static_cast<std::uint32_t>(mode));
}
void TEmfWriter::OnSetTextAlign(unsigned align) {
  WriteOne(emf::EMR_SETTEXTALIGN, align);
}
void TEmfWriter::OnIntersectClipRect(const TRect& logical) {
  WriteRect(emf::EMR_INTERSECTCLIPRECT, logical);
}

void TEmfWriter::OnSelectFont(const TLogFont& font) {
  std::uint32_t h = NewHandle();
  auto r = emf::MakeRecord<emf::EmrExtCreateFontIndirectW>(emf::EMR_EXTCREATEFONTINDIRECTW);
  r.ihFont = h;
  r.elfw = ToLogFontPanose(font);
  Write(r);
  WriteOne(emf::EMR_SELECTOBJECT, h);
  Select(kFont, h);
}

void TEmfWriter::OnSelectPen(const TLogPen& pen) {
  std::uint32_t h = NewHandle();
  auto r = emf::MakeRecord<emf::EmrCreatePen>(emf::EMR_CREATEPEN);
  r.ihPen = h;
  r.lopnStyle = pen.Style;
  r.lopnWidth = {pen.Width, 0};
  r.lopnColor = pen.Color;
  Write(r);
  WriteOne(emf::EMR_SELECTOBJECT, h);
  Select(kPen, h);
}

void TEmfWriter::OnSelectBrush(const TLogBrush& brush) {
  std::uint32_t h = NewHandle();
  auto r = emf::MakeRecord<emf::EmrCreateBrushIndirect>(emf::EMR_CREATEBRUSHINDIRECT);
  r.ihBrush = h;
  r.lbStyle = brush.Style;
  r.lbColor = brush.Color;
  r.lbHatch = brush.Hatch;
  Write(r);
  WriteOne(emf::EMR_SELECTOBJECT, h);
  Select(kBrush, h);
}

void TEmfWriter::OnSelectStock(int stockObject) {
  WriteOne(emf::EMR_SELECTOBJECT, emf::kStockObjectBit | static_cast<std::uint32_t>(stockObject));
  TLogFont f;
  TLogPen p;
  TLogBrush b;
  if (TDeviceContext::StockFont(stockObject, f)) Select(kFont, 0);
  if (TDeviceContext::StockPen(stockObject, p)) Select(kPen, 0);
  if (TDeviceContext::StockBrush(stockObject, b)) Select(kBrush, 0);
}

void TEmfWriter::OnBeginPlayback() {
  // The played records draw in this recording's device space through one world transform.
  WriteOne(emf::EMR_SETMAPMODE, MM_TEXT);
  WritePoint(emf::EMR_SETWINDOWORGEX, 0, 0);
  WritePoint(emf::EMR_SETVIEWPORTORGEX, 0, 0);
  WriteOne(emf::EMR_SETGRAPHICSMODE, GM_ADVANCED);
  WriteWorldFromState();
}

// ---- Bounds ----------------------------------------------------------------------------------------------

emf::RectL TEmfWriter::DeviceBoundsOf(const TRect& r, double pad) {
  TXForm m = FDC->LogicalToDevice();
  double xs[4], ys[4];
  MapPoint(m, r.Left, r.Top, xs[0], ys[0]);
  MapPoint(m, r.Right, r.Top, xs[1], ys[1]);
  MapPoint(m, r.Left, r.Bottom, xs[2], ys[2]);
  MapPoint(m, r.Right, r.Bottom, xs[3], ys[3]);
  double l = *std::min_element(xs, xs + 4) - pad, rr = *std::max_element(xs, xs + 4) + pad;
  double t = *std::min_element(ys, ys + 4) - pad, b = *std::max_element(ys, ys + 4) + pad;
  // What the clip region cuts away is not drawn, so it is not in the bounds either.
  const TDCState& s = FDC->State();
  if (s.HasClip) {
    l = std::max(l, static_cast<double>(s.ClipLeft));
    t = std::max(t, static_cast<double>(s.ClipTop));
    rr = std::min(rr, static_cast<double>(s.ClipRight));
    b = std::min(b, static_cast<double>(s.ClipBottom));
  }
  if (!(rr > l) || !(b > t)) return emf::RectL{0, 0, -1, -1};
  constexpr double kLimit = 1073741824.0;  // rclBounds holds 32-bit values
  l = std::clamp(l, -kLimit, kLimit);
  t = std::clamp(t, -kLimit, kLimit);
  rr = std::clamp(rr, -kLimit, kLimit);
  b = std::clamp(b, -kLimit, kLimit);
  if (!FHasBounds) {
    FMinX = l;
    FMinY = t;
    FMaxX = rr;
    FMaxY = b;
    FHasBounds = true;
  }
  FMinX = std::min(FMinX, l);
  FMaxX = std::max(FMaxX, rr);
  FMinY = std::min(FMinY, t);
  FMaxY = std::max(FMaxY, b);
  // Inclusive bounds, as rclBounds is.
  return emf::RectL{static_cast<std::int32_t>(std::floor(l)), static_cast<std::int32_t>(std::floor(t)),
                    static_cast<std::int32_t>(std::ceil(rr)) - 1,
                    static_cast<std::int32_t>(std::ceil(b)) - 1};
}

// ---- Drawing ---------------------------------------------------------------------------------------------

void TEmfWriter::MoveTo(TPoint p) {
  WritePoint(emf::EMR_MOVETOEX, p.X, p.Y);
}

void TEmfWriter::LineTo(TPoint from, TPoint to) {
  DeviceBoundsOf(
      TRect{std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X), std::max(from.Y, to.Y)},
      PenPad(*FDC));
  WritePoint(emf::EMR_LINETO, to.X, to.Y);
}

void TEmfWriter::Ellipse(const TRect& box) {
  DeviceBoundsOf(box, PenPad(*FDC));
  WriteRect(emf::EMR_ELLIPSE, box);
}

void TEmfWriter::Rectangle(const TRect& box) {
  DeviceBoundsOf(box, PenPad(*FDC));
  WriteRect(emf::EMR_RECTANGLE, box);
}

void TEmfWriter::PatBlt(const TRect& rect, std::uint32_t rop) {
  auto r = emf::MakeRecord<emf::EmrBitBlt>(emf::EMR_BITBLT);
  r.rclBounds = DeviceBoundsOf(rect, 0);
  r.xDest = rect.Left;
  r.yDest = rect.Top;
  r.cxDest = rect.Right - rect.Left;
  r.cyDest = rect.Bottom - rect.Top;
  r.dwRop = rop;
  r.xformSrc = emf::Xform{1, 0, 0, 1, 0, 0};
  Write(r);
}

void TEmfWriter::ExtTextOut(TPoint p, unsigned options, const TRect* rect, std::u16string_view text,
                            const std::vector<int>& advances, const Cp932String* ansi) {
  const std::size_t n = ansi ? ansi->Length() : text.size();
  const std::size_t stringBytes = ansi ? n : n * 2;
  const std::size_t padded = (stringBytes + 3) & ~std::size_t{3};
  emf::EmrExtTextOut r{};
  r.iType = ansi ? emf::EMR_EXTTEXTOUTA : emf::EMR_EXTTEXTOUTW;
  r.offString = sizeof(emf::EmrExtTextOut);
  r.offDx = static_cast<std::uint32_t>(sizeof(emf::EmrExtTextOut) + padded);
  r.nSize = static_cast<std::uint32_t>(r.offDx + 4 * n);
  r.iGraphicsMode =
      FDC->State().InPlayback ? GM_ADVANCED : static_cast<std::uint32_t>(FDC->State().GraphicsMode);
  r.ptlReference = {p.X, p.Y};
  r.nChars = static_cast<std::uint32_t>(n);
  r.fOptions = options;
  r.rcl = rect ? ToRectL(*rect) : emf::RectL{0, 0, 0, 0};
  // Bounds: the text cell (alignment aside) and the option rectangle.
  long long total = 0;
  for (int a : advances) total += a;
  TTextMetric tm = TextMetrics(FDC->State().Font, FDC->LogicalToDevice());
  // The reference point and the advances may be any 32-bit values: the cell's edges are kept inside that
  // range.
  long long top = p.Y, bottom = static_cast<long long>(p.Y) + tm.Height;
  if ((FDC->State().TextAlign & TA_BASELINE) == TA_BASELINE) {
    top -= tm.Ascent;
    bottom -= tm.Ascent;
  }
  auto edge = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); };
  TRect cell{p.X, edge(top), edge(p.X + total), edge(bottom)};
  r.rclBounds = DeviceBoundsOf(cell, 0);
  if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED))) DeviceBoundsOf(*rect, 0);

  emf::Append(FBody, r);
  if (ansi) {
    FBody.insert(FBody.end(), ansi->Bytes().begin(), ansi->Bytes().end());
  } else {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    FBody.insert(FBody.end(), bytes, bytes + stringBytes);
  }
  FBody.insert(FBody.end(), padded - stringBytes, 0);
  for (std::size_t i = 0; i < n; ++i) {
    std::int32_t a = i < advances.size() ? advances[i] : 0;
    emf::Append(FBody, a);
  }
  ++FRecords;
}

void TEmfWriter::StretchDIBits(const TRect& dest, const TRect& src, const TBitmap24& bitmap,
                               std::uint32_t rop) {
  if (bitmap.Empty()) return;
  emf::BitmapInfoHeader bmi = bitmap.InfoHeader();
  std::vector<std::uint8_t> bits = bitmap.DibBits();
  auto r = emf::MakeRecord<emf::EmrStretchDIBits>(emf::EMR_STRETCHDIBITS);
  r.rclBounds = DeviceBoundsOf(dest, 0);
  r.xDest = dest.Left;
  r.yDest = dest.Top;
  r.cxDest = dest.Right - dest.Left;
  r.cyDest = dest.Bottom - dest.Top;
  // Source rows count from the bottom in a bottom-up DIB.
  r.xSrc = src.Left;
  r.ySrc = bitmap.Height() - src.Bottom;
  r.cxSrc = src.Right - src.Left;
  r.cySrc = src.Bottom - src.Top;
  r.offBmiSrc = sizeof(emf::EmrStretchDIBits);
  r.cbBmiSrc = sizeof(emf::BitmapInfoHeader);
  r.offBitsSrc = r.offBmiSrc + r.cbBmiSrc;
  r.cbBitsSrc = static_cast<std::uint32_t>(bits.size());
  r.iUsageSrc = 0;  // DIB_RGB_COLORS
  r.dwRop = rop;
  r.nSize = r.offBitsSrc + r.cbBitsSrc;
  emf::Append(FBody, r);
  emf::Append(FBody, bmi);
  FBody.insert(FBody.end(), bits.begin(), bits.end());
  ++FRecords;
}

// ---- Finishing -------------------------------------------------------------------------------------------

std::vector<std::uint8_t> TEmfWriter::Finish(int mmWidth, int mmHeight) {
  emf::EmrHeader h{};
  h.iType = emf::EMR_HEADER;
  h.nSize = sizeof(emf::EmrHeader);
  if (FHasBounds) {
    h.rclBounds = {static_cast<std::int32_t>(std::floor(FMinX)), static_cast<std::int32_t>(std::floor(FMinY)),
                   static_cast<std::int32_t>(std::ceil(FMaxX)) - 1,
                   static_cast<std::int32_t>(std::ceil(FMaxY)) - 1};
  } else {
    h.rclBounds = {0, 0, -1, -1};  // nothing drawn
  }
  if (mmWidth > 0 && mmHeight > 0) {
    h.rclFrame = {0, 0, mmWidth, mmHeight};
  } else if (FHasBounds && FReference.WidthPixels > 0 && FReference.HeightPixels > 0) {
    // Bounds far out in device pixels are farther still in 0.01 mm: the frame's edges stay within half the
    // 32-bit range, so that its width and height are 32-bit values too.
    constexpr double kFrameLimit = 1073741823.0;
    auto toX = [&](double px) {
      return static_cast<std::int32_t>(std::lround(
          std::clamp(px * FReference.WidthMM * 100.0 / FReference.WidthPixels, -kFrameLimit, kFrameLimit)));
    };
    auto toY = [&](double px) {
      return static_cast<std::int32_t>(std::lround(
          std::clamp(px * FReference.HeightMM * 100.0 / FReference.HeightPixels, -kFrameLimit, kFrameLimit)));
    };
    h.rclFrame = {toX(h.rclBounds.left), toY(h.rclBounds.top), toX(h.rclBounds.right + 1.0),
                  toY(h.rclBounds.bottom + 1.0)};
  }
  h.dSignature = emf::ENHMETA_SIGNATURE;
  h.nVersion = emf::kEmfVersion;
  h.nBytes = static_cast<std::uint32_t>(sizeof(emf::EmrHeader) + FBody.size() + sizeof(emf::EmrEof));
  h.nRecords = FRecords + 2;
  h.nHandles = static_cast<std::uint16_t>(FMaxHandle + 1);
  h.szlDevice = {FReference.WidthPixels, FReference.HeightPixels};
  h.szlMillimeters = {FReference.WidthMM, FReference.HeightMM};
  h.szlMicrometers = {FReference.WidthMM * 1000, FReference.HeightMM * 1000};

  std::vector<std::uint8_t> out;
  out.reserve(h.nBytes);
  emf::Append(out, h);
  out.insert(out.end(), FBody.begin(), FBody.end());
  auto eof = emf::MakeRecord<emf::EmrEof>(emf::EMR_EOF);
  eof.offPalEntries = 16;
  eof.nSizeLast = sizeof(emf::EmrEof);
  emf::Append(out, eof);
  return out;
}

}  // namespace tess

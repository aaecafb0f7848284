// Device context state: mapping, world transform, objects, colours, clip and the SaveDC stack, with GDI's
// rules; drawing goes to the backend.
#include "platform/gfx/DeviceContext.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/internal/DeviceBackend.h"
#include "platform/gfx/internal/TextEngine.h"

namespace tess {
namespace {

// Extents of the fixed metric mapping modes: logical units per inch against the device's pixels per inch.
bool FixedModeUnitsPerInch(int mode, double& unitsPerInch) {
  switch (mode) {
    case MM_LOMETRIC:
      unitsPerInch = 254.0;
      return true;
    case MM_HIMETRIC:
      unitsPerInch = 2540.0;
      return true;
    case MM_LOENGLISH:
      unitsPerInch = 100.0;
      return true;
    case MM_HIENGLISH:
      unitsPerInch = 1000.0;
      return true;
    case MM_TWIPS:
      unitsPerInch = 1440.0;
      return true;
    default:
      return false;
  }
}

int RoundHalfAway(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

TDeviceContext::TDeviceContext(std::unique_ptr<TDeviceBackend> backend, const TDeviceDescription& device)
    : FBackend(std::move(backend)), FDevice(device) {
  FBackend->Attach(this);
}

TDeviceContext::~TDeviceContext() = default;

int TDeviceContext::GetDeviceCaps(int index) const {
  switch (index) {
    case HORZSIZE:
      return FDevice.WidthMM;
    case VERTSIZE:
      return FDevice.HeightMM;
    case HORZRES:
      return FDevice.WidthPixels;
    case VERTRES:
      return FDevice.HeightPixels;
    case LOGPIXELSX:
      return FDevice.DpiX;
    case LOGPIXELSY:
      return FDevice.DpiY;
    case PHYSICALWIDTH:
      return FDevice.PhysicalWidth > 0 ? FDevice.PhysicalWidth : FDevice.WidthPixels;
    case PHYSICALHEIGHT:
      return FDevice.PhysicalHeight > 0 ? FDevice.PhysicalHeight : FDevice.HeightPixels;
    case PHYSICALOFFSETX:
      return FDevice.OffsetX;
    case PHYSICALOFFSETY:
      return FDevice.OffsetY;
    default:
      return 0;
  }
}

int TDeviceContext::SaveDC() {
  FSaved.push_back(FState);
  FBackend->OnSaveDC();
  return static_cast<int>(FSaved.size());
}

bool TDeviceContext::RestoreDC(int saved) {
  const int depth = static_cast<int>(FSaved.size());
  int keep;  // number of saved states left afterwards
  if (saved > 0 && saved <= depth) {
    keep = saved - 1;
  } else if (saved < 0 && -saved <= depth) {
    keep = depth + saved;
  } else {
    return false;
  }
  FState = FSaved[static_cast<std::size_t>(keep)];
  FSaved.resize(static_cast<std::size_t>(keep));
  FBackend->OnRestoreDC(saved);
  FBackend->OnClipChanged();
  return true;
}

int TDeviceContext::SetMapMode(int mode) {
  int old = FState.MapMode;
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  FState.MapMode = mode;
  if (mode == MM_TEXT) {
    FState.WindowExt = {1, 1};
    FState.ViewportExt = {1, 1};
  }
  FBackend->OnSetMapMode(mode);
  return old;
}

void TDeviceContext::SetWindowExtEx(int cx, int cy) {
  if (cx == 0 || cy == 0) return;  // GDI refuses zero extents
  if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) FState.WindowExt = {cx, cy};
  FBackend->OnSetWindowExt({cx, cy});
}

void TDeviceContext::SetViewportExtEx(int cx, int cy) {
  if (cx == 0 || cy == 0) return;
  if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) FState.ViewportExt = {cx, cy};
  FBackend->OnSetViewportExt({cx, cy});
}

void TDeviceContext::SetWindowOrgEx(int x, int y) {
  FState.WindowOrg = {x, y};
  FBackend->OnSetWindowOrg({x, y});
}

void TDeviceContext::SetViewportOrgEx(int x, int y) {
  FState.ViewportOrg = {x, y};
  FBackend->OnSetViewportOrg({x, y});
}

int TDeviceContext::SetGraphicsMode(int mode) {
  if (mode != GM_COMPATIBLE && mode != GM_ADVANCED) return 0;
  int old = FState.GraphicsMode;
  FState.GraphicsMode = mode;
  FBackend->OnSetGraphicsMode(mode);
  return old;
}

bool TDeviceContext::SetWorldTransform(const TXForm& xform) {
  FState.World = xform;
  FBackend->OnSetWorldTransform(xform);
  return true;
}

bool TDeviceContext::ModifyWorldTransform(const TXForm& xform, int mode) {
  switch (mode) {
    case MWT_IDENTITY:
      FState.World = TXForm{};
      break;
    case MWT_LEFTMULTIPLY:
      FState.World = Multiply(xform, FState.World);
      break;
    case MWT_RIGHTMULTIPLY:
      FState.World = Multiply(FState.World, xform);
      break;
    case MWT_SET:
      FState.World = xform;
      break;
    default:
      return false;
  }
  FBackend->OnModifyWorldTransform(xform, mode);
  return true;
}

TXForm TDeviceContext::LogicalToDevice() const {
  // Page space to device space (window to viewport).
  double sx = 1, sy = 1;
  double unitsPerInch;
  if (FixedModeUnitsPerInch(FState.MapMode, unitsPerInch)) {
    sx = FDevice.DpiX / unitsPerInch;
    sy = -FDevice.DpiY / unitsPerInch;  // y grows upward in the metric modes
  } else if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) {
    sx = static_cast<double>(FState.ViewportExt.cx) / FState.WindowExt.cx;
    sy = static_cast<double>(FState.ViewportExt.cy) / FState.WindowExt.cy;
    if (FState.MapMode == MM_ISOTROPIC) {
      double m = std::min(std::fabs(sx), std::fabs(sy));
      sx = std::copysign(m, sx);
      sy = std::copysign(m, sy);
    }
  }
  TXForm page;
  page.eM11 = static_cast<float>(sx);
  page.eM22 = static_cast<float>(sy);
  page.eDx = static_cast<float>(FState.ViewportOrg.X - FState.WindowOrg.X * sx);
  page.eDy = static_cast<float>(FState.ViewportOrg.Y - FState.WindowOrg.Y * sy);
  return Multiply(Multiply(FState.World, page), FState.Base);
}

TPoint TDeviceContext::LPtoDP(TPoint p) const {
  double x, y;
  MapPoint(LogicalToDevice(), p.X, p.Y, x, y);
  return {RoundHalfAway(x), RoundHalfAway(y)};
}

std::uint32_t TDeviceContext::SetTextColor(std::uint32_t color) {
  std::uint32_t old = FState.TextColor;
  FState.TextColor = color & 0x00FFFFFF;
  FBackend->OnSetTextColor(FState.TextColor);
  return old;
}

std::uint32_t TDeviceContext::SetBkColor(std::uint32_t color) {
  std::uint32_t old = FState.BkColor;
  FState.BkColor = color & 0x00FFFFFF;
  FBackend->OnSetBkColor(FState.BkColor);
  return old;
}

int TDeviceContext::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  int old = FState.BkMode;
  FState.BkMode = mode;
  FBackend->OnSetBkMode(mode);
  return old;
}

unsigned TDeviceContext::SetTextAlign(unsigned align) {
  unsigned old = FState.TextAlign;
  FState.TextAlign = align;
  FBackend->OnSetTextAlign(align);
  return old;
}

void TDeviceContext::IntersectClipRect(int left, int top, int right, int bottom) {
  TXForm m = LogicalToDevice();
  double x1, y1, x2, y2;
  MapPoint(m, left, top, x1, y1);
  MapPoint(m, right, bottom, x2, y2);
  int l = RoundHalfAway(std::min(x1, x2)), r = RoundHalfAway(std::max(x1, x2));
  int t = RoundHalfAway(std::min(y1, y2)), b = RoundHalfAway(std::max(y1, y2));
  if (FState.HasClip) {
    l = std::max(l, FState.ClipLeft);
    t = std::max(t, FState.ClipTop);
    r = std::min(r, FState.ClipRight);
    b = std::min(b, FState.ClipBottom);
  }
  if (r < l) r = l;
  if (b < t) b = t;
  FState.HasClip = true;
  FState.ClipLeft = l;
  FState.ClipTop = t;
  FState.ClipRight = r;
  FState.ClipBottom = b;
  FBackend->OnIntersectClipRect(TRect{left, top, right, bottom});
  FBackend->OnClipChanged();
}

void TDeviceContext::SelectFont(const TLogFont& font) {
  FState.Font = font;
  FBackend->OnSelectFont(font);
}

void TDeviceContext::SelectPen(const TLogPen& pen) {
  FState.Pen = pen;
  FBackend->OnSelectPen(pen);
}

void TDeviceContext::SelectBrush(const TLogBrush& brush) {
  FState.Brush = brush;
  FBackend->OnSelectBrush(brush);
}

bool TDeviceContext::StockFont(int stockObject, TLogFont& out) {
  switch (stockObject) {
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
      out = TLogFont{};
      out.Height = 12;
      out.FaceName = u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";  // ＭＳ ゴシック
      return true;
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case DEFAULT_GUI_FONT:
      out = TLogFont{};
      out.Height = 16;
      out.Weight = stockObject == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
      out.FaceName = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";  // ＭＳ Ｐゴシック
      return true;
    default:
      return false;
  }
}

bool TDeviceContext::StockPen(int stockObject, TLogPen& out) {
  switch (stockObject) {
    case WHITE_PEN:
      out = TLogPen{PS_SOLID, 0, 0xFFFFFF};
      return true;
    case BLACK_PEN:
      out = TLogPen{PS_SOLID, 0, 0x000000};
      return true;
    case NULL_PEN:
      out = TLogPen{PS_NULL, 0, 0x000000};
      return true;
    default:
      return false;
  }
}

bool TDeviceContext::StockBrush(int stockObject, TLogBrush& out) {
  switch (stockObject) {
    case WHITE_BRUSH:
      out = TLogBrush{BS_SOLID, 0xFFFFFF, 0};
      return true;
    case LTGRAY_BRUSH:
      out = TLogBrush{BS_SOLID, 0xC0C0C0, 0};
      return true;
    case GRAY_BRUSH:
      out = TLogBrush{BS_SOLID, 0x808080, 0};
      return true;
    case DKGRAY_BRUSH:
      out = TLogBrush{BS_SOLID, 0x404040, 0};
      return true;
    case BLACK_BRUSH:
      out = TLogBrush{BS_SOLID, 0x000000, 0};
      return true;
    case NULL_BRUSH:
      out = TLogBrush{BS_NULL, 0, 0};
      return true;
    default:
      return false;
  }
}

bool TDeviceContext::SelectStockObject(int stockObject) {
  TLogFont f;
  TLogPen p;
  TLogBrush b;
  if (StockFont(stockObject, f)) {
    FState.Font = f;
  } else if (StockPen(stockObject, p)) {
    FState.Pen = p;
  } else if (StockBrush(stockObject, b)) {
    FState.Brush = b;
  } else if (stockObject == DEFAULT_PALETTE || stockObject == DC_BRUSH || stockObject == DC_PEN) {
    // Nothing this layer keeps.
  } else {
    return false;
  }
  FBackend->OnSelectStock(stockObject);
  return true;
}

void TDeviceContext::MoveToEx(int x, int y) {
  FState.CurrentPosition = {x, y};
  FBackend->MoveTo({x, y});
}

void TDeviceContext::LineTo(int x, int y) {
  TPoint from = FState.CurrentPosition;
  FState.CurrentPosition = {x, y};
  FBackend->LineTo(from, {x, y});
}

void TDeviceContext::Ellipse(int left, int top, int right, int bottom) {
  FBackend->Ellipse(TRect{left, top, right, bottom});
}

void TDeviceContext::Rectangle(int left, int top, int right, int bottom) {
  FBackend->Rectangle(TRect{left, top, right, bottom});
}

namespace {
// x + size without overflowing: records may carry any 32-bit values.
int SaturatingEnd(int x, int size) {
  long long end = static_cast<long long>(x) + size;
  return static_cast<int>(std::clamp<long long>(end, INT32_MIN, INT32_MAX));
}
}  // namespace

void TDeviceContext::PatBlt(int x, int y, int width, int height, std::uint32_t rop) {
  FBackend->PatBlt(TRect{x, y, SaturatingEnd(x, width), SaturatingEnd(y, height)}, rop);
}

void TDeviceContext::ExtTextOutW(int x, int y, unsigned options, const TRect* rect, std::u16string_view text,
                                 const int* dx) {
  std::vector<int> advances =
      dx ? std::vector<int>(dx, dx + text.size()) : TextAdvances(FState.Font, text, LogicalToDevice());
  FBackend->ExtTextOut({x, y}, options, rect, text, advances, nullptr);
}

void TDeviceContext::ExtTextOutA(int x, int y, unsigned options, const TRect* rect, const Cp932String& text,
                                 const int* dx) {
  std::u16string wide = ToUtf16(text);
  // Advances come per byte; a two-byte character draws at the sum of its two entries.
  std::vector<int> perByte;
  if (dx) {
    perByte.assign(dx, dx + text.Length());
  } else {
    std::vector<int> perUnit = TextAdvances(FState.Font, wide, LogicalToDevice());
    std::size_t unit = 0;
    for (std::size_t pos = 0; pos < text.Length();) {
      std::size_t next = NextCharOffset(text, pos);
      int adv = unit < perUnit.size() ? perUnit[unit] : 0;
      perByte.push_back(adv);
      if (next - pos == 2) perByte.push_back(0);
      ++unit;
      pos = next;
    }
  }
  FBackend->ExtTextOut({x, y}, options, rect, wide, perByte, &text);
}

void TDeviceContext::StretchDIBits(int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                                   int hSrc, const TBitmap24& bitmap, std::uint32_t rop) {
  // The source part is cut to the bitmap; nothing is drawn when nothing of it is left.
  long long l = std::max<long long>(0, std::min<long long>(xSrc, static_cast<long long>(xSrc) + wSrc));
  long long r =
      std::min<long long>(bitmap.Width(), std::max<long long>(xSrc, static_cast<long long>(xSrc) + wSrc));
  long long t = std::max<long long>(0, std::min<long long>(ySrc, static_cast<long long>(ySrc) + hSrc));
  long long b =
      std::min<long long>(bitmap.Height(), std::max<long long>(ySrc, static_cast<long long>(ySrc) + hSrc));
  if (r <= l || b <= t) return;
  TRect src{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};
  if (wSrc < 0) std::swap(src.Left, src.Right);
  if (hSrc < 0) std::swap(src.Top, src.Bottom);
  FBackend->StretchDIBits(TRect{xDest, yDest, SaturatingEnd(xDest, wDest), SaturatingEnd(yDest, hDest)}, src,
                          bitmap, rop);
}

TSize TDeviceContext::GetTextExtentW(std::u16string_view text) const {
  TSize s;
  // Advances of an absurdly large font may add up past the int range: the extent stops at its edge.
  long long width = 0;
  for (int a : TextAdvances(FState.Font, text, LogicalToDevice())) width += a;
  s.cx = static_cast<int>(std::clamp<long long>(width, INT_MIN, INT_MAX));
  s.cy = TextMetrics(FState.Font, LogicalToDevice()).Height;
  return s;
}

TSize TDeviceContext::GetTextExtentA(const Cp932String& text) const {
  return GetTextExtentW(ToUtf16(text));
}

TTextMetric TDeviceContext::GetTextMetrics() const {
  return TextMetrics(FState.Font, LogicalToDevice());
}

std::vector<int> TDeviceContext::TextAdvancesW(std::u16string_view text) const {
  return TextAdvances(FState.Font, text, LogicalToDevice());
}

bool TDeviceContext::GetCharABCWidthsFloat(unsigned code, TABCFloat& out) const {
  std::string bytes;
  if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  std::u16string wide = ToUtf16(Cp932String::FromBytes(bytes));
  if (wide.size() != 1) return false;
  return CharABCWidthsFloat(FState.Font, wide[0], LogicalToDevice(), out);
}

bool TDeviceContext::GetCharABCWidths(unsigned code, TABC& out) const {
  TABCFloat f;
  if (!GetCharABCWidthsFloat(code, f)) return false;
  // Integer widths as GDI gives them for outline fonts: A and C rounded, B what is left of the advance.
  int advance = static_cast<int>(std::lround(f.A + f.B + f.C));
  out.A = static_cast<int>(std::lround(f.A));
  out.C = static_cast<int>(std::lround(f.C));
  int b = advance - out.A - out.C;
  out.B = static_cast<unsigned>(std::max(b, 0));
  return true;
}

void TDeviceContext::BeginPlayback(const TXForm& base) {
  TXForm full = Multiply(base, LogicalToDevice());
  FState.Base = full;
  FState.InPlayback = true;
  FState.MapMode = MM_TEXT;
  FState.WindowExt = {1, 1};
  FState.ViewportExt = {1, 1};
  FState.WindowOrg = {0, 0};
  FState.ViewportOrg = {0, 0};
  FState.World = TXForm{};
  FBackend->OnBeginPlayback();
}

void TDeviceContext::StateChanged() {}

}  // namespace tess

#pragma once
// The device context ("HDC"): GDI-level state (mapping mode, window/viewport extents and origins, world
// transform, selected font/pen/brush, colours, background mode, text alignment, clip rectangle, current
// position) with a SaveDC/RestoreDC stack, drawing to a backend: an EMF record writer
// (platform/gfx/emf/Metafile.h) or a painter with GDI semantics (screen, bitmap, printer page).
//
// Coordinates are logical units of the context; colours are 0x00BBGGRR.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/gfx/Geometry.h"

namespace tess {

class TBitmap24;
class TDeviceBackend;  // platform/gfx/internal/DeviceBackend.h

// Everything SaveDC keeps. Logical to device: Base * Viewport(Window(World(p))).
struct TDCState {
  int MapMode = MM_TEXT;
  TPoint WindowOrg{0, 0};
  TSize WindowExt{1, 1};
  TPoint ViewportOrg{0, 0};
  TSize ViewportExt{1, 1};
  int GraphicsMode = GM_COMPATIBLE;
  TXForm World{};
  TXForm Base{};  // set while a metafile plays into this context (stretch into the target rectangle)
  bool InPlayback = false;

  TLogFont Font{};
  TLogPen Pen{};
  TLogBrush Brush{};
  std::uint32_t TextColor = 0x000000;
  std::uint32_t BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  unsigned TextAlign = TA_TOP | TA_LEFT;
  TPoint CurrentPosition{0, 0};

  bool HasClip = false;
  // Clip rectangle in device pixels (left/top inclusive, right/bottom exclusive).
  int ClipLeft = 0, ClipTop = 0, ClipRight = 0, ClipBottom = 0;
};

class TDeviceContext {
 public:
  TDeviceContext(std::unique_ptr<TDeviceBackend> backend, const TDeviceDescription& device);
  ~TDeviceContext();
  TDeviceContext(const TDeviceContext&) = delete;
  TDeviceContext& operator=(const TDeviceContext&) = delete;

  const TDeviceDescription& Device() const { return FDevice; }
  int GetDeviceCaps(int index) const;
  const TDCState& State() const { return FState; }

  // State stack. SaveDC returns the new depth (1 for the first save). RestoreDC(n > 0) returns to the state
  // saved as number n, RestoreDC(n < 0) goes n saves back; an index outside the stack returns false and
  // changes nothing.
  int SaveDC();
  bool RestoreDC(int saved);
  int SaveDepth() const { return static_cast<int>(FSaved.size()); }

  // Mapping. SetMapMode(MM_TEXT) resets both extents to 1:1 as GDI does; extents are honoured only in
  // MM_ISOTROPIC and MM_ANISOTROPIC.
  int SetMapMode(int mode);
  void SetWindowExtEx(int cx, int cy);
  void SetViewportExtEx(int cx, int cy);
  void SetWindowOrgEx(int x, int y);
  void SetViewportOrgEx(int x, int y);
  int SetGraphicsMode(int mode);
  bool SetWorldTransform(const TXForm& xform);
  bool ModifyWorldTransform(const TXForm& xform, int mode);
  // The whole logical-to-device transform, and the part without Base (what a recording records).
  TXForm LogicalToDevice() const;
  TPoint LPtoDP(TPoint p) const;

  // Colours and modes.
  std::uint32_t SetTextColor(std::uint32_t color);
  std::uint32_t SetBkColor(std::uint32_t color);
  int SetBkMode(int mode);
  unsigned SetTextAlign(unsigned align);

  // Clip: the clip region becomes its intersection with a rectangle in logical units.
  void IntersectClipRect(int left, int top, int right, int bottom);

  // Objects (GDI's create + select, by value).
  void SelectFont(const TLogFont& font);
  void SelectPen(const TLogPen& pen);
  void SelectBrush(const TLogBrush& brush);
  bool SelectStockObject(int stockObject);
  static bool StockFont(int stockObject, TLogFont& out);
  static bool StockPen(int stockObject, TLogPen& out);
  static bool StockBrush(int stockObject, TLogBrush& out);

  // Drawing.
  void MoveToEx(int x, int y);
  void LineTo(int x, int y);
  void Ellipse(int left, int top, int right, int bottom);
  void Rectangle(int left, int top, int right, int bottom);
  // Fills with the selected brush (raster operation PATCOPY); negative sizes mirror.
  void PatBlt(int x, int y, int width, int height, std::uint32_t rop = PATCOPY);
  // dx: one advance per UTF-16 unit (per byte for ExtTextOutA), or nullptr to take the font's own.
  void ExtTextOutW(int x, int y, unsigned options, const TRect* rect, std::u16string_view text,
                   const int* dx);
  void ExtTextOutA(int x, int y, unsigned options, const TRect* rect, const Cp932String& text, const int* dx);
  // The bitmap's pixels (sub-rectangle xSrc.. of it) stretched into the destination; negative destination
  // sizes mirror.
  void StretchDIBits(int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc, int hSrc,
                     const TBitmap24& bitmap, std::uint32_t rop = SRCCOPY);

  // Measurement with the selected font, in logical units.
  TSize GetTextExtentW(std::u16string_view text) const;
  TSize GetTextExtentA(const Cp932String& text) const;
  TTextMetric GetTextMetrics() const;
  // The advances ExtTextOut uses when it is given none (one per UTF-16 unit).
  std::vector<int> TextAdvancesW(std::u16string_view text) const;
  // ABC widths of one character: code is a code-page-932 character code (lead byte * 256 + trail byte).
  bool GetCharABCWidthsFloat(unsigned code, TABCFloat& out) const;
  bool GetCharABCWidths(unsigned code, TABC& out) const;

  TDeviceBackend& Backend() { return *FBackend; }

  // Used by the metafile player: start and end drawing a recording whose device pixels map through
  // `base` (relative to the current logical-to-device transform) into this context.
  void BeginPlayback(const TXForm& base);

 private:
  void StateChanged();
  std::unique_ptr<TDeviceBackend> FBackend;
  TDeviceDescription FDevice;
  TDCState FState;
  std::vector<TDCState> FSaved;
};

}  // namespace tess

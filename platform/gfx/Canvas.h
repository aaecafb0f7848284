#pragma once
// Drawing in the manner of the Windows GDI and the VCL canvas on top of it.
//
// TDeviceContext is the device context ("HDC"): GDI-level state (mapping mode, window/viewport extents and
// origins, world transform, selected font/pen/brush, colours, background mode, text alignment, clip
// rectangle, current position) with a SaveDC/RestoreDC stack, drawing to a backend: an EMF record writer
// (platform/gfx/emf/Metafile.h) or a painter with GDI semantics (screen, bitmap, printer page).
// TCanvas is the VCL-level object on a device context: Font, Pen and Brush that are realised into the
// context when an operation needs them, copy mode, text flags and the familiar drawing operations.
//
// Coordinates are logical units of the context; colours are 0x00BBGGRR or a system colour.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/core/Result.h"

namespace tess {

class TMetafile;
class TBitmap24;
class TDeviceBackend;  // platform/gfx/internal/DeviceBackend.h

// ---- Colours ---------------------------------------------------------------------------------------------

// A colour as the VCL keeps it: 0x00BBGGRR, or clSystemColor | COLOR_xxx for a system colour.
using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr int GetRValue(std::uint32_t c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(std::uint32_t c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(std::uint32_t c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
// System colours (the COLOR_xxx indexes of GetSysColor).
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;

// a * b / c rounded to the nearest integer (halves away from zero); -1 when c is 0, as Windows does.
int MulDiv(int a, int b, int c);

// The RGB value (0x00BBGGRR) a colour stands for; system colours resolve to the desktop's values.
std::uint32_t ColorToRGB(TColor color);

// ---- Geometry --------------------------------------------------------------------------------------------

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
  return TRect{left, top, right, bottom};
}

// An affine transform as GDI's XFORM: x' = x*eM11 + y*eM21 + eDx, y' = x*eM12 + y*eM22 + eDy.
struct TXForm {
  float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
  friend bool operator==(const TXForm&, const TXForm&) = default;
};

// ---- GDI constants ---------------------------------------------------------------------------------------

constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;
constexpr int MWT_IDENTITY = 1;
constexpr int MWT_LEFTMULTIPLY = 2;
constexpr int MWT_RIGHTMULTIPLY = 3;
constexpr int MWT_SET = 4;

constexpr unsigned TA_NOUPDATECP = 0, TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
constexpr unsigned TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;

constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;

constexpr unsigned PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
                   PS_INSIDEFRAME = 6;
constexpr unsigned BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1;

// Stock objects (GetStockObject).
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10,
              ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14,
              DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;

// GetDeviceCaps indexes.
constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90,
              PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;

// Raster operations.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t PATCOPY = 0x00F00021;

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr std::uint8_t ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SHIFTJIS_CHARSET = 128;

// ---- GDI logical objects ---------------------------------------------------------------------------------

// LOGFONTW: the face name is kept as given (UTF-16), so a recording carries the design's face name.
struct TLogFont {
  int Height = 0;  // < 0: character (em) height, > 0: cell height, 0: a default size
  int Width = 0;
  int Escapement = 0;  // tenths of a degree, counter-clockwise
  int Orientation = 0;
  int Weight = FW_NORMAL;
  std::uint8_t Italic = 0;
  std::uint8_t Underline = 0;
  std::uint8_t StrikeOut = 0;
  std::uint8_t CharSet = DEFAULT_CHARSET;
  std::uint8_t OutPrecision = 0;
  std::uint8_t ClipPrecision = 0;
  std::uint8_t Quality = 0;
  std::uint8_t PitchAndFamily = 0;
  std::u16string FaceName;  // at most 31 units are recorded
  friend bool operator==(const TLogFont&, const TLogFont&) = default;
};

struct TLogPen {
  unsigned Style = PS_SOLID;
  int Width = 0;            // logical units; 0 = one device pixel whatever the mapping
  std::uint32_t Color = 0;  // 0x00BBGGRR
  friend bool operator==(const TLogPen&, const TLogPen&) = default;
};

struct TLogBrush {
  unsigned Style = BS_SOLID;
  std::uint32_t Color = 0xFFFFFF;
  std::uint32_t Hatch = 0;
  friend bool operator==(const TLogBrush&, const TLogBrush&) = default;
};

// The few TEXTMETRIC fields the program needs, in logical units.
struct TTextMetric {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  bool Outline = true;  // TMPF_TRUETYPE / TMPF_VECTOR
};

struct TABC {
  int A = 0;
  unsigned B = 0;
  int C = 0;
};

struct TABCFloat {
  float A = 0;
  float B = 0;
  float C = 0;
};

// ---- Devices ---------------------------------------------------------------------------------------------

// What a reference device (printer or screen) looks like to a recording: resolution and size.
struct TDeviceDescription {
  int DpiX = 96;
  int DpiY = 96;
  int WidthPixels = 1920;   // HORZRES
  int HeightPixels = 1080;  // VERTRES
  int WidthMM = 508;        // HORZSIZE
  int HeightMM = 286;       // VERTSIZE
  int OffsetX = 0;          // PHYSICALOFFSETX (printers)
  int OffsetY = 0;
  int PhysicalWidth = 0;  // PHYSICALWIDTH (printers; 0 = WidthPixels)
  int PhysicalHeight = 0;

  // A device of the given resolution and pixel size; the millimetre sizes are worked out from them.
  static TDeviceDescription FromPixels(int dpiX, int dpiY, int widthPixels, int heightPixels);
  // The primary screen (96 dpi and 1920 x 1080 when the platform reports no screen).
  static TDeviceDescription Screen();
  friend bool operator==(const TDeviceDescription&, const TDeviceDescription&) = default;
};

// ---- Device context --------------------------------------------------------------------------------------

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

// ---- VCL-level canvas ------------------------------------------------------------------------------------

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // a set of TFontStyle bits

class TFont {
 public:
  const Cp932String& Name() const { return FName; }
  void SetName(const Cp932String& name) { FName = name; }
  // Height in logical units, GDI's sign convention: negative = character height, positive = cell height.
  int Height() const { return FHeight; }
  void SetHeight(int height) { FHeight = height; }
  // Size in points: -Height * 72 / PixelsPerInch (rounded), and the reverse.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style) { FStyle = style; }
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int ppi) { FPixelsPerInch = ppi; }
  std::uint8_t Charset() const { return FCharset; }
  void SetCharset(std::uint8_t charset) { FCharset = charset; }
  TLogFont ToLogFont() const;
  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  Cp932String FName = Cp932String::FromBytes("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
  int FHeight = -12;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  int FPixelsPerInch = 96;
  std::uint8_t FCharset = DEFAULT_CHARSET;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen {
 public:
  int Width() const { return FWidth; }
  void SetWidth(int width) { FWidth = width; }
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style) { FStyle = style; }
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  TLogPen ToLogPen() const;
  friend bool operator==(const TPen&, const TPen&) = default;

 private:
  int FWidth = 1;
  TPenStyle FStyle = TPenStyle::psSolid;
  TColor FColor = clBlack;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style) { FStyle = style; }
  TLogBrush ToLogBrush() const;
  friend bool operator==(const TBrush&, const TBrush&) = default;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::bsSolid;
};

using TCopyMode = std::uint32_t;
constexpr TCopyMode cmSrcCopy = SRCCOPY;

class TCanvas {
 public:
  // A canvas on a context it does not own, or one it owns.
  explicit TCanvas(TDeviceContext& dc);
  explicit TCanvas(std::unique_ptr<TDeviceContext> dc);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TDeviceContext& Handle() { return *FHandle; }
  const TDeviceContext& Handle() const { return *FHandle; }

  // Font, pen and brush are realised into the context by the operations that use them.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font) { FFont = font; }
  TPen& Pen() { return FPen; }
  const TPen& Pen() const { return FPen; }
  void SetPen(const TPen& pen) { FPen = pen; }
  TBrush& Brush() { return FBrush; }
  const TBrush& Brush() const { return FBrush; }
  void SetBrush(const TBrush& brush) { FBrush = brush; }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode mode) { FCopyMode = mode; }
  // Options given to ExtTextOut by TextOut (ETO_OPAQUE, ETO_CLIPPED).
  unsigned TextFlags() const { return FTextFlags; }
  void SetTextFlags(unsigned flags) { FTextFlags = flags; }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Rectangle(int x1, int y1, int x2, int y2);
  void FillRect(const TRect& r);
  // Draws Text with the top-left corner of the first character cell at (X, Y) (with the default text
  // alignment); the current position moves to (X + TextWidth, Y) as the VCL canvas does.
  void TextOut(int x, int y, const Cp932String& text);
  TSize TextExtent(const Cp932String& text);
  int TextWidth(const Cp932String& text) { return TextExtent(text).cx; }
  int TextHeight(const Cp932String& text) { return TextExtent(text).cy; }
  // ABC widths of one character (code-page-932 code) in the current font, logical units.
  TABCFloat GetCharABCWidthsFloat(unsigned code);
  TABC GetCharABCWidths(unsigned code);
  bool IsOutlineFont();

  // Plays a recording stretched into the rectangle (mirrored on an axis whose corners are reversed). The
  // recording's own state does not leak into this canvas.
  TResult StretchDraw(const TRect& rect, const TMetafile& metafile);
  // The bitmap's pixels stretched into the rectangle (negative sizes mirror), with CopyMode.
  void StretchDIBits(const TRect& rect, const TBitmap24& bitmap);

  // Pass-throughs to the context that the page code uses directly.
  int SaveDC() { return FHandle->SaveDC(); }
  bool RestoreDC(int saved) { return FHandle->RestoreDC(saved); }
  int SetMapMode(int mode) { return FHandle->SetMapMode(mode); }
  void SetWindowExtEx(int cx, int cy) { FHandle->SetWindowExtEx(cx, cy); }
  void SetViewportExtEx(int cx, int cy) { FHandle->SetViewportExtEx(cx, cy); }
  void SetWindowOrgEx(int x, int y) { FHandle->SetWindowOrgEx(x, y); }
  void SetViewportOrgEx(int x, int y) { FHandle->SetViewportOrgEx(x, y); }
  void IntersectClipRect(const TRect& r) { FHandle->IntersectClipRect(r.Left, r.Top, r.Right, r.Bottom); }
  int SetBkMode(int mode) { return FHandle->SetBkMode(mode); }
  int GetDeviceCaps(int index) const { return FHandle->GetDeviceCaps(index); }

 protected:
  void RealizeFont();
  void RealizePen();
  void RealizeBrush();

 private:
  std::unique_ptr<TDeviceContext> FOwned;
  TDeviceContext* FHandle;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  unsigned FTextFlags = 0;
};

}  // namespace tess

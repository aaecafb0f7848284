#pragma once
// The canvas on a device context: Font, Pen and Brush that are realised into the context when an operation
// needs them, copy mode, text flags and the familiar drawing operations. Colours are TColor values (system
// colours included); coordinates are logical units of the context.

#include <cstdint>
#include <memory>

#include "platform/core/Cp932String.h"
#include "platform/core/Result.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/gfx/Geometry.h"

namespace tess {

class TBitmap24;
class TCanvas;

// A picture that draws itself stretched into a rectangle of a canvas (a page recording, for one).
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  // Draws into the rectangle (mirrored on an axis whose corners are reversed).
  virtual TResult Draw(TCanvas& canvas, const TRect& rect) const = 0;

 protected:
  TGraphic() = default;
  TGraphic(const TGraphic&) = default;
  TGraphic& operator=(const TGraphic&) = default;
};

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
  // alignment); the current position moves to (X + TextWidth, Y).
  void TextOut(int x, int y, const Cp932String& text);
  TSize TextExtent(const Cp932String& text);
  int TextWidth(const Cp932String& text) { return TextExtent(text).cx; }
  int TextHeight(const Cp932String& text) { return TextExtent(text).cy; }
  // ABC widths of one character (code-page-932 code) in the current font, logical units.
  TABCFloat GetCharABCWidthsFloat(unsigned code);
  TABC GetCharABCWidths(unsigned code);
  bool IsOutlineFont();

  // Draws the graphic stretched into the rectangle (mirrored on an axis whose corners are reversed). A
  // played recording's own state does not leak into this canvas.
  TResult StretchDraw(const TRect& rect, const TGraphic& graphic);
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

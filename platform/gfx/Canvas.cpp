// The canvas: font, pen and brush realised into the device context when an operation needs them.
#include "platform/gfx/Canvas.h"

#include "platform/gfx/Bitmap.h"

namespace tess {

// ---- TFont, TPen, TBrush ---------------------------------------------------------------------------------

int TFont::Size() const {
  return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int points) {
  FHeight = -MulDiv(points, FPixelsPerInch, 72);
}

TLogFont TFont::ToLogFont() const {
  TLogFont lf;
  lf.Height = FHeight;
  lf.Weight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.Italic = (FStyle & fsItalic) ? 1 : 0;
  lf.Underline = (FStyle & fsUnderline) ? 1 : 0;
  lf.StrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
  lf.CharSet = FCharset;
  // Every text drawn realizes the font, and a program uses one or two face names: the last one converted
  // is kept.
  thread_local Cp932String lastName;
  thread_local std::u16string lastFaceName;
  if (lastName != FName || lastName.IsEmpty()) {
    lastFaceName = ToUtf16(FName);
    if (lastFaceName.size() > 31) lastFaceName.resize(31);
    lastName = FName;
  }
  lf.FaceName = lastFaceName;
  return lf;
}

TLogPen TPen::ToLogPen() const {
  TLogPen p;
  switch (FStyle) {
    case TPenStyle::psSolid:
      p.Style = PS_SOLID;
      break;
    case TPenStyle::psDash:
      p.Style = PS_DASH;
      break;
    case TPenStyle::psDot:
      p.Style = PS_DOT;
      break;
    case TPenStyle::psDashDot:
      p.Style = PS_DASHDOT;
      break;
    case TPenStyle::psDashDotDot:
      p.Style = PS_DASHDOTDOT;
      break;
    case TPenStyle::psClear:
      p.Style = PS_NULL;
      break;
    case TPenStyle::psInsideFrame:
      p.Style = PS_INSIDEFRAME;
      break;
  }
  p.Width = FWidth;
  p.Color = ColorToRGB(FColor);
  return p;
}

TLogBrush TBrush::ToLogBrush() const {
  TLogBrush b;
  b.Style = FStyle == TBrushStyle::bsClear ? BS_NULL : BS_SOLID;
  b.Color = ColorToRGB(FColor);
  return b;
}

// ---- TCanvas ---------------------------------------------------------------------------------------------

TCanvas::TCanvas(TDeviceContext& dc) : FHandle(&dc) {}

TCanvas::TCanvas(std::unique_ptr<TDeviceContext> dc) : FOwned(std::move(dc)), FHandle(FOwned.get()) {}

TCanvas::~TCanvas() = default;

// The context's own state is the reference, so a RestoreDC or a played recording that changed the selected
// objects is noticed and the canvas's objects are selected again.
void TCanvas::RealizeFont() {
  TLogFont lf = FFont.ToLogFont();
  if (!(FHandle->State().Font == lf)) FHandle->SelectFont(lf);
  std::uint32_t color = ColorToRGB(FFont.Color());
  if (FHandle->State().TextColor != color) FHandle->SetTextColor(color);
}

void TCanvas::RealizePen() {
  TLogPen lp = FPen.ToLogPen();
  if (!(FHandle->State().Pen == lp)) FHandle->SelectPen(lp);
}

void TCanvas::RealizeBrush() {
  TLogBrush lb = FBrush.ToLogBrush();
  if (FHandle->State().Brush == lb) return;
  FHandle->SelectBrush(lb);
  // Selecting a brush also sets the text background: a solid brush paints text backgrounds in its colour,
  // a clear brush leaves them transparent.
  if (FBrush.Style() == TBrushStyle::bsSolid) {
    FHandle->SetBkColor(lb.Color);
    FHandle->SetBkMode(OPAQUE);
  } else {
    FHandle->SetBkColor(~ColorToRGB(FBrush.Color()) & 0x00FFFFFF);
    FHandle->SetBkMode(TRANSPARENT);
  }
}

void TCanvas::MoveTo(int x, int y) {
  FHandle->MoveToEx(x, y);
}

void TCanvas::LineTo(int x, int y) {
  RealizePen();
  RealizeBrush();
  FHandle->LineTo(x, y);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  RealizePen();
  RealizeBrush();
  FHandle->Ellipse(x1, y1, x2, y2);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  RealizePen();
  RealizeBrush();
  FHandle->Rectangle(x1, y1, x2, y2);
}

void TCanvas::FillRect(const TRect& r) {
  RealizeBrush();
  FHandle->PatBlt(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, PATCOPY);
}

void TCanvas::TextOut(int x, int y, const Cp932String& text) {
  RealizeFont();
  RealizeBrush();
  std::u16string wide = ToUtf16(text);
  FHandle->ExtTextOutW(x, y, FTextFlags, nullptr, wide, nullptr);
  FHandle->MoveToEx(x + TextWidth(text), y);
}

TSize TCanvas::TextExtent(const Cp932String& text) {
  RealizeFont();
  return FHandle->GetTextExtentA(text);
}

TABCFloat TCanvas::GetCharABCWidthsFloat(unsigned code) {
  RealizeFont();
  TABCFloat abc;
  FHandle->GetCharABCWidthsFloat(code, abc);
  return abc;
}

TABC TCanvas::GetCharABCWidths(unsigned code) {
  RealizeFont();
  TABC abc;
  FHandle->GetCharABCWidths(code, abc);
  return abc;
}

bool TCanvas::IsOutlineFont() {
  RealizeFont();
  return FHandle->GetTextMetrics().Outline;
}

TResult TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
  return graphic.Draw(*this, rect);
}

void TCanvas::StretchDIBits(const TRect& rect, const TBitmap24& bitmap) {
  FHandle->StretchDIBits(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, 0, 0,
                         bitmap.Width(), bitmap.Height(), bitmap, FCopyMode);
}

}  // namespace tess

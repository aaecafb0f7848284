#pragma once
// A worksheet-like page drawn with every canvas operation, in tenths of a millimetre on A4, for the
// drawing tests and the benchmarks.

#include <cmath>

#include "platform/core/Cp932String.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

namespace tess::testing {

constexpr int kPageWidth = 2100;   // 0.1 mm
constexpr int kPageHeight = 2970;  // 0.1 mm

// A4 as a device of the given resolution.
inline TDeviceDescription A4Device(int dpi) {
  return TDeviceDescription::FromPixels(dpi, dpi, static_cast<int>(std::lround(210 / 25.4 * dpi)),
                                        static_cast<int>(std::lround(297 / 25.4 * dpi)));
}

// One logical unit = 0.1 mm of the page, the frame being frameWidth x frameHeight device pixels.
inline void PreparePage(TCanvas& c, int frameWidth, int frameHeight) {
  c.SetMapMode(MM_ANISOTROPIC);
  c.SetWindowExtEx(kPageWidth, kPageHeight);
  c.SetViewportExtEx(frameWidth, frameHeight);
}

// A small figure: a fan of quadrilaterals with circles at the vertices and numbers in them.
inline void DrawFigure(TCanvas& c, int cx, int cy, int n, int seed) {
  const double pi = 3.14159265358979;
  c.Pen().SetWidth(5);
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetColor(clBlack);
  int r1 = 180, r2 = 330;
  for (int k = 0; k < 2 * n; ++k) {
    double a = 2 * pi * k / (2 * n) - pi / 2;
    int r = k % 2 == 0 ? r1 : r2;
    int x = cx + static_cast<int>(std::lround(r * std::cos(a)));
    int y = cy + static_cast<int>(std::lround(r * std::sin(a)));
    double b = 2 * pi * (k + 1) / (2 * n) - pi / 2;
    int rn = (k + 1) % 2 == 0 ? r1 : r2;
    c.MoveTo(x, y);
    c.LineTo(cx + static_cast<int>(std::lround(rn * std::cos(b))),
             cy + static_cast<int>(std::lround(rn * std::sin(b))));
    if (k % 2 == 0) {
      c.MoveTo(cx, cy);
      c.LineTo(x, y);
    }
  }
  c.Pen().SetWidth(3);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clWhite);
  c.Font().SetName(Cp932String::FromUtf8("Tahoma"));
  c.Font().SetHeight(40);
  c.Font().SetStyle(fsBold);
  for (int k = 0; k <= 2 * n; ++k) {
    double a = 2 * pi * (k - 1) / (2 * n) - pi / 2;
    int r = k == 0 ? 0 : (k % 2 == 1 ? r1 : r2);
    int x = cx + static_cast<int>(std::lround(r * std::cos(a)));
    int y = cy + static_cast<int>(std::lround(r * std::sin(a)));
    c.SetBkMode(TRANSPARENT);
    c.Ellipse(x - 45, y - 45, x + 45, y + 45);
    Cp932String number = IntToStr((k * 3 + seed) % (2 * n + 1) + 1);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextOut(x - c.TextWidth(number) / 2, y - c.TextHeight(Cp932String("Hg")) / 2, number);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
  }
  c.Font().SetStyle(0);
}

// Every operation: fill, clip, lines of each pen, ellipses with and without fill, texts in the three
// design faces with transparent and opaque backgrounds, a saved and restored state, six figures.
inline void DrawSamplePage(TCanvas& c, const TBitmap24* picture = nullptr) {
  c.Brush().SetColor(RGB(250, 250, 235));
  c.FillRect(TRect{0, 0, kPageWidth, kPageHeight});
  c.IntersectClipRect(TRect{35, 31, 2067, 2921});
  c.Brush().SetStyle(TBrushStyle::bsClear);

  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  c.Font().SetHeight(-37);
  c.Font().SetColor(clBlack);
  c.TextOut(150, 100, Cp932String::FromUtf8("問題No.1　　月　　日　　分　　秒"));
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ Ｐゴシック"));
  c.Font().SetHeight(60);
  c.TextOut(150, 170, Cp932String::FromUtf8("１～７の数を１回ずつ使って、四角形の頂点の合計"));
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(RGB(255, 255, 0));
  c.Font().SetColor(RGB(0, 0, 160));
  c.Font().SetHeight(-50);
  c.TextOut(150, 260, Cp932String::FromUtf8("Opaque ｶﾞｲﾄﾞ text"));
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Font().SetColor(clBlack);

  c.Pen().SetWidth(0);
  c.Pen().SetColor(RGB(192, 192, 192));
  c.Pen().SetStyle(TPenStyle::psDot);
  c.MoveTo(127, 0);
  c.LineTo(127, kPageHeight);
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetColor(clRed);
  c.MoveTo(100, 350);
  c.LineTo(2000, 350);

  int saved = c.SaveDC();
  c.IntersectClipRect(TRect{1500, 80, 1900, 330});
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(RGB(200, 230, 255));
  c.Pen().SetColor(clNavy);
  c.Pen().SetWidth(8);
  c.Ellipse(1450, 60, 1950, 360);
  c.RestoreDC(saved);

  for (int i = 0; i < 6; ++i) {
    DrawFigure(c, 550 + (i % 2) * 1000, 750 + (i / 2) * 850, 3 + i % 4, i);
  }
  if (picture) c.StretchDIBits(TRect{150, 2760, 450, 2900}, *picture);
  c.Brush().SetStyle(TBrushStyle::bsClear);
}

// A small picture for the bitmap operations: a gradient with a dark corner.
inline TBitmap24 SamplePicture() {
  TBitmap24 b(30, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) b.SetPixel(x, y, x < 5 && y < 5 ? 0 : RGB(x * 8, y * 12, 128));
  }
  return b;
}

}  // namespace tess::testing

// The canvas and its device context: state stack, mapping, GDI drawing rules on pixels, the font, pen
// and brush objects, and text measurement with the requested faces.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/internal/TextEngine.h"
#include "tests/platform/DrawingTestUtil.h"

namespace tess {
namespace {

using testing::CountPixels;

TEST(DeviceContext, SaveAndRestoreFollowGdiIndexRules) {
  TBitmap24 b(10, 10);
  TDeviceContext& dc = b.Canvas().Handle();
  EXPECT_EQ(dc.SaveDC(), 1);
  dc.SetBkMode(TRANSPARENT);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.SetMapMode(MM_ANISOTROPIC);
  EXPECT_EQ(dc.SaveDC(), 3);
  dc.SetTextColor(0x123456);
  // Out of range: nothing changes.
  EXPECT_FALSE(dc.RestoreDC(0));
  EXPECT_FALSE(dc.RestoreDC(4));
  EXPECT_FALSE(dc.RestoreDC(-4));
  EXPECT_EQ(dc.SaveDepth(), 3);
  EXPECT_EQ(dc.State().TextColor, 0x123456u);
  // -1: the latest save.
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.SaveDepth(), 2);
  EXPECT_EQ(dc.State().TextColor, 0u);
  EXPECT_EQ(dc.State().MapMode, MM_ANISOTROPIC);
  // A positive index goes back to that save and drops the later ones.
  EXPECT_TRUE(dc.RestoreDC(1));
  EXPECT_EQ(dc.SaveDepth(), 0);
  EXPECT_EQ(dc.State().BkMode, OPAQUE);
  EXPECT_EQ(dc.State().MapMode, MM_TEXT);
  b.ReleaseCanvas();
}

TEST(DeviceContext, AnisotropicMappingUsesWindowAndViewportApart) {
  TBitmap24 b(10, 10);
  TDeviceContext& dc = b.Canvas().Handle();
  dc.SetWindowExtEx(2100, 2970);  // ignored in MM_TEXT
  EXPECT_EQ(dc.LPtoDP({50, 60}), (TPoint{50, 60}));
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExtEx(2100, 2970);
  dc.SetViewportExtEx(4961, 7016);
  EXPECT_EQ(dc.LPtoDP({2100, 2970}), (TPoint{4961, 7016}));
  EXPECT_EQ(dc.LPtoDP({1050, 0}), (TPoint{2481, 0}));  // 2480.5 rounds up
  // The printer's page mapping: origins shift by the unprintable strip and the print offset.
  dc.SetWindowOrgEx(-50, 0);
  dc.SetViewportOrgEx(-83, -74);
  EXPECT_EQ(dc.LPtoDP({0, 0}), (TPoint{-83 + 118, -74}));
  // Back to MM_TEXT: extents reset to 1:1, origins stay.
  dc.SetMapMode(MM_TEXT);
  EXPECT_EQ(dc.State().WindowExt, (TSize{1, 1}));
  EXPECT_EQ(dc.LPtoDP({0, 0}), (TPoint{-33, -74}));
  b.ReleaseCanvas();
}

TEST(DeviceContext, ClipRectanglesIntersectAndComeBackWithRestore) {
  TBitmap24 b(100, 100);
  TCanvas& c = b.Canvas();
  c.SaveDC();
  c.IntersectClipRect(TRect{10, 10, 60, 60});
  c.IntersectClipRect(TRect{40, 40, 90, 90});
  c.Brush().SetColor(clRed);
  c.FillRect(TRect{0, 0, 100, 100});
  EXPECT_EQ(CountPixels(b, 0x0000FF), 20 * 20);
  c.RestoreDC(-1);
  c.Brush().SetColor(clBlue);
  c.FillRect(TRect{0, 0, 100, 100});
  EXPECT_EQ(CountPixels(b, 0xFF0000), 100 * 100);
  b.ReleaseCanvas();
}

TEST(DeviceContext, FillsAndEllipsesLeaveOutTheRightAndBottomEdges) {
  TBitmap24 b(40, 40);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clBlack);
  c.FillRect(TRect{10, 10, 20, 20});
  EXPECT_EQ(b.Pixel(10, 10), 0u);
  EXPECT_EQ(b.Pixel(19, 19), 0u);
  EXPECT_EQ(b.Pixel(20, 19), 0xFFFFFFu);
  EXPECT_EQ(b.Pixel(19, 20), 0xFFFFFFu);
  EXPECT_EQ(CountPixels(b, 0), 100);
  // A mirrored fill covers the same pixels.
  c.Brush().SetColor(clRed);
  c.FillRect(TRect{20, 20, 10, 10});
  EXPECT_EQ(CountPixels(b, 0x0000FF), 100);
  // An ellipse in the box (20, 20)-(40, 40) has no ink in column 40 or row 40 and reaches column 39.
  TBitmap24 e(50, 50);
  TCanvas& d = e.Canvas();
  d.Pen().SetStyle(TPenStyle::psClear);
  d.Brush().SetColor(clBlack);
  d.Ellipse(20, 20, 40, 40);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(e.Pixel(40, i), 0xFFFFFFu);
    EXPECT_EQ(e.Pixel(i, 40), 0xFFFFFFu);
  }
  EXPECT_NE(e.Pixel(39, 30), 0xFFFFFFu);
  EXPECT_NE(e.Pixel(20, 30), 0xFFFFFFu);
  e.ReleaseCanvas();
  b.ReleaseCanvas();
}

TEST(DeviceContext, PenWidthZeroIsOnePixelWhateverTheMapping) {
  TBitmap24 b(200, 200);
  TCanvas& c = b.Canvas();
  c.SetMapMode(MM_ANISOTROPIC);
  c.SetWindowExtEx(20, 20);
  c.SetViewportExtEx(200, 200);  // ten pixels a unit
  c.Pen().SetWidth(0);
  c.MoveTo(2, 5);
  c.LineTo(18, 5);
  long long thin = CountPixels(b, 0, 100);
  EXPECT_GE(thin, 155);
  EXPECT_LE(thin, 165);  // one row of 160 pixels, the last one left out
  c.Pen().SetWidth(1);   // one logical unit: ten pixels
  c.MoveTo(2, 12);
  c.LineTo(18, 12);
  EXPECT_GT(CountPixels(b, 0, 100) - thin, 1500);
  b.ReleaseCanvas();
}

TEST(DeviceContext, DottedPenLeavesGaps) {
  TBitmap24 b(100, 10);
  TCanvas& c = b.Canvas();
  c.Pen().SetWidth(0);
  c.Pen().SetStyle(TPenStyle::psDot);
  c.MoveTo(0, 5);
  c.LineTo(100, 5);
  long long ink = CountPixels(b, 0, 100);
  EXPECT_GT(ink, 30);
  EXPECT_LT(ink, 70);
  b.ReleaseCanvas();
}

TEST(Canvas, BrushStyleDecidesTheTextBackground) {
  TBitmap24 b(200, 60);
  TCanvas& c = b.Canvas();
  c.Font().SetHeight(-30);
  c.Brush().SetColor(clYellow);
  c.TextOut(5, 5, "Hg");
  EXPECT_EQ(c.Handle().State().BkMode, OPAQUE);
  EXPECT_GT(CountPixels(b, 0x00FFFF), 200);
  TBitmap24 clear(200, 60);
  TCanvas& d = clear.Canvas();
  d.Font().SetHeight(-30);
  d.Brush().SetStyle(TBrushStyle::bsClear);
  d.TextOut(5, 5, "Hg");
  EXPECT_EQ(d.Handle().State().BkMode, TRANSPARENT);
  EXPECT_EQ(CountPixels(clear, 0x00FFFF), 0);
  // A background mode set on the context stays while the brush is unchanged (circles rely on it).
  c.SetBkMode(TRANSPARENT);
  c.Ellipse(0, 0, 10, 10);
  EXPECT_EQ(c.Handle().State().BkMode, TRANSPARENT);
  b.ReleaseCanvas();
  clear.ReleaseCanvas();
}

TEST(Canvas, TextOutPutsTheCellTopLeftAtThePointAndMovesThePen) {
  TBitmap24 b(300, 100);
  TCanvas& c = b.Canvas();
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  c.Font().SetHeight(-40);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.TextOut(50, 30, "H");
  int top = 100, left = 300;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 300; ++x) {
      if (b.Pixel(x, y) != 0xFFFFFFu) {
        top = std::min(top, y);
        left = std::min(left, x);
      }
    }
  }
  TTextMetric tm = c.Handle().GetTextMetrics();
  // The ink of H starts below the cell top (internal leading) and right of the cell's left edge.
  EXPECT_GE(top, 30);
  EXPECT_LT(top, 30 + tm.Ascent);
  EXPECT_GE(left, 50);
  EXPECT_LT(left, 50 + 20);
  EXPECT_EQ(c.Handle().State().CurrentPosition, (TPoint{50 + c.TextWidth("H"), 30}));
  b.ReleaseCanvas();
}

TEST(Canvas, DesignFacesMeasureWithTheirInstalledFaces) {
  TLogFont gothic;
  gothic.FaceName = u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";
  EXPECT_EQ(InstalledFamilyFor(gothic), "IPAGothic");
  TLogFont pgothic;
  pgothic.FaceName = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
  EXPECT_EQ(InstalledFamilyFor(pgothic), "IPAPGothic");
  TLogFont tahoma;
  tahoma.FaceName = u"Tahoma";
  EXPECT_EQ(InstalledFamilyFor(tahoma), "DejaVu Sans");

  TBitmap24 b(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetHeight(-40);
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  // A fixed-pitch face: half-width characters are half an em, full-width ones a whole em.
  EXPECT_EQ(c.TextWidth("ABCi"), 80);
  EXPECT_EQ(c.TextWidth(Cp932String::FromUtf8("問題")), 80);
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ Ｐゴシック"));
  EXPECT_LT(c.TextWidth("iiii"), 80);  // proportional
  b.ReleaseCanvas();
}

TEST(Canvas, FontHeightSignSelectsCharacterOrCellHeight) {
  TBitmap24 b(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  c.Font().SetHeight(60);  // cell height
  EXPECT_NEAR(c.TextHeight("Hg"), 60, 1);
  c.Font().SetHeight(-60);  // character height: the cell is taller
  EXPECT_GT(c.TextHeight("Hg"), 60);
  EXPECT_EQ(c.TextWidth(Cp932String::FromUtf8("問")), 60);
  b.ReleaseCanvas();
}

TEST(Canvas, FontsOfAnyHeightMeasureInsideTheIntRange) {
  TBitmap24 b(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetHeight(INT32_MAX);  // a record's font may ask for any height
  EXPECT_GT(c.TextHeight("Hg"), 1000000000);
  c.Font().SetHeight(-INT32_MAX);
  EXPECT_GT(c.TextHeight("Hg"), 1000000000);
  // Pen positions saturate at the int range. A half-width character is half of the em of 2^31 - 1
  // pixels: the pen stands at 1073741823.5 -> 1073741824, then at 2147483647, then at 3221225470.5, which
  // stops at 2147483647.
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  EXPECT_EQ(c.TextWidth("AAA"), INT32_MAX);  // (measuring puts the font into the context)
  EXPECT_EQ(c.Handle().TextAdvancesW(u"AAA"), (std::vector<int>{1073741824, 1073741823, 0}));
  b.ReleaseCanvas();
}

TEST(Canvas, TextIsMeasuredAtTheReferenceResolutionInLogicalUnits) {
  // A page canvas at 600 dpi in 0.1 mm: 4961 x 7016 pixels for 2100 x 2970 units, so a unit is
  // 2.36238 pixels across and 2.36229 down. A -37 font is an em of 37 x 2.36229 = 87.405 pixels and a
  // half-width digit 43.702. The pen goes to 43.70, 87.40, 131.11, 174.81, 218.51, 262.21 pixels,
  // rounded to 44, 87, 131, 175, 219, 262 and brought back to units: 18.63, 36.83, 55.45, 74.08, 92.70,
  // 110.91, rounded to 19, 37, 55, 74, 93, 111.
  TMetafile m;
  m.SetMMWidth(21000);
  m.SetMMHeight(29700);
  TMetafileCanvas c(m, testing::A4Device(600));
  testing::PreparePage(c, 4961, 7016);
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  c.Font().SetHeight(-37);
  EXPECT_EQ(c.TextWidth("123456"), 111);
  EXPECT_EQ(c.Handle().TextAdvancesW(u"123456"), (std::vector<int>{19, 18, 18, 19, 19, 18}));
  // Full-width digits: 87.40, 174.81, 262.21 pixels -> 87, 175, 262 -> 36.83, 74.08, 110.91 units.
  EXPECT_EQ(c.Handle().TextAdvancesW(u"１２３"), (std::vector<int>{37, 37, 37}));
  const int h = c.TextHeight("Hg");
  EXPECT_GE(h, 37);
  EXPECT_LE(h, 45);
}

TEST(Canvas, AbcWidthsAddUpToTheAdvanceAndUseTheWholeDoubleByteCode) {
  TBitmap24 b(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  c.Font().SetHeight(-100);
  TABCFloat h = c.GetCharABCWidthsFloat('H');
  EXPECT_NEAR(h.A + h.B + h.C, 50.0, 0.01);
  EXPECT_GT(h.A, 0);
  EXPECT_GT(h.B, 20);
  // 0x8250 is the full-width digit one: a whole em, its ink in the middle.
  TABCFloat one = c.GetCharABCWidthsFloat(0x8250);
  EXPECT_NEAR(one.A + one.B + one.C, 100.0, 0.01);
  EXPECT_GT(one.A, 10);
  TABC ints = c.GetCharABCWidths(0x8250);
  EXPECT_EQ(ints.A + static_cast<int>(ints.B) + ints.C, 100);
  EXPECT_EQ(ints.A, static_cast<int>(std::lround(one.A)));
  EXPECT_TRUE(c.IsOutlineFont());
  b.ReleaseCanvas();
}

TEST(Canvas, GlyphsThatOverhangTheirCellHaveNegativeAOrC) {
  TBitmap24 b(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetName("Tahoma");  // DejaVu Sans: the hook of j reaches left, the arm of f right
  c.Font().SetHeight(-100);
  EXPECT_LT(c.GetCharABCWidthsFloat('j').A, -0.5f);
  EXPECT_LT(c.GetCharABCWidthsFloat('f').C, -0.5f);
  EXPECT_LT(c.GetCharABCWidths('j').A, 0);
  EXPECT_GT(c.GetCharABCWidthsFloat('H').A, 0);
  b.ReleaseCanvas();
}

TEST(Canvas, FontSizeAndHeightConvertThroughPixelsPerInch) {
  TFont f;
  f.SetPixelsPerInch(96);
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);
  f.SetPixelsPerInch(600);
  f.SetHeight(-37);
  EXPECT_EQ(f.Size(), 4);
  f.SetHeight(-75);
  EXPECT_EQ(f.Size(), 9);
}

TEST(Canvas, SystemColoursResolveToRgb) {
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(RGB(192, 192, 192)), 0xC0C0C0u);
  EXPECT_EQ(MulDiv(7, 3, 2), 11);
  EXPECT_EQ(MulDiv(-7, 3, 2), -11);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

// Bounding box of the non-white pixels.
TRect InkBox(const TBitmap24& b) {
  TRect r{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.Pixel(x, y) == 0xFFFFFFu) continue;
      r.Left = std::min(r.Left, x);
      r.Top = std::min(r.Top, y);
      r.Right = std::max(r.Right, x + 1);
      r.Bottom = std::max(r.Bottom, y + 1);
    }
  }
  return r;
}

TEST(Canvas, DesignFaceDrawsWithItsInstalledFace) {
  auto draw = [](const char* face) {
    TBitmap24 b(200, 60);
    TCanvas& c = b.Canvas();
    c.Font().SetName(Cp932String::FromUtf8(face));
    c.Font().SetHeight(-32);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextOut(4, 4, Cp932String::FromUtf8("問題 Ag1"));
    b.ReleaseCanvas();
    return b;
  };
  TBitmap24 design = draw("ＭＳ ゴシック");
  TBitmap24 installed = draw("IPAGothic");
  EXPECT_EQ(design.Bits(), installed.Bits());
  EXPECT_NE(design.Bits(), draw("Tahoma").Bits());
}

TEST(Canvas, EscapementTurnsTheBaselineCounterClockwise) {
  TBitmap24 b(200, 200);
  TDeviceContext& dc = b.Canvas().Handle();
  TLogFont f;
  f.Height = -30;
  f.Escapement = 900;  // 90 degrees: the text runs upward from the reference point
  dc.SelectFont(f);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_BASELINE);
  dc.ExtTextOutW(100, 180, 0, nullptr, u"HHHHH", nullptr);
  TRect ink = InkBox(b);
  EXPECT_GT(ink.Height(), 2 * ink.Width());
  EXPECT_LE(ink.Bottom, 181);
  EXPECT_LE(ink.Right, 101);  // the glyphs' tops point left, their feet sit on x = 100
  b.ReleaseCanvas();
}

}  // namespace
}  // namespace tess

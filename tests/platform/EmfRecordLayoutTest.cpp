// The bytes a recording writes, against the MS-EMF record layouts.
#include <gtest/gtest.h>

#include "platform/gfx/emf/Metafile.h"
#include "tests/platform/DrawingTestUtil.h"

namespace tess {
namespace {

using testing::A4Device;
using testing::At;
using testing::RecordsOfType;
using testing::WalkRecords;

TMetafile RecordMmText(const std::function<void(TCanvas&)>& draw, int dpi = 600) {
  return testing::RecordPage(A4Device(dpi), draw, /*pageMapping=*/false);
}

TEST(EmfRecordLayout, HeaderFieldsSitAtTheirOffsetsAndTotalsMatchTheFile) {
  TMetafile m = testing::RecordPage(A4Device(600), [](TCanvas& c) { testing::DrawSamplePage(c); });
  const auto& b = m.Bytes();
  auto records = WalkRecords(b);
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(At<std::uint32_t>(b, 0), 1u);    // iType EMR_HEADER
  EXPECT_EQ(At<std::uint32_t>(b, 4), 108u);  // nSize with both header extensions
  // rclFrame (24): the frame in 0.01 mm exactly as set.
  EXPECT_EQ(At<std::int32_t>(b, 24), 0);
  EXPECT_EQ(At<std::int32_t>(b, 28), 0);
  EXPECT_EQ(At<std::int32_t>(b, 32), 21000);
  EXPECT_EQ(At<std::int32_t>(b, 36), 29700);
  EXPECT_EQ(At<std::uint32_t>(b, 40), 0x464D4520u);  // " EMF"
  EXPECT_EQ(At<std::uint32_t>(b, 44), 0x00010000u);
  EXPECT_EQ(At<std::uint32_t>(b, 48), b.size());        // nBytes
  EXPECT_EQ(At<std::uint32_t>(b, 52), records.size());  // nRecords, header and EOF included
  EXPECT_EQ(At<std::uint16_t>(b, 58), 0u);              // sReserved
  EXPECT_EQ(At<std::uint32_t>(b, 60), 0u);              // nDescription
  EXPECT_EQ(At<std::uint32_t>(b, 68), 0u);              // nPalEntries
  EXPECT_EQ(At<std::int32_t>(b, 72), 4961);             // szlDevice: A4 at 600 dpi
  EXPECT_EQ(At<std::int32_t>(b, 76), 7016);
  EXPECT_EQ(At<std::int32_t>(b, 80), 210);  // szlMillimeters
  EXPECT_EQ(At<std::int32_t>(b, 84), 297);
  EXPECT_EQ(At<std::uint32_t>(b, 88), 0u);      // cbPixelFormat
  EXPECT_EQ(At<std::uint32_t>(b, 96), 0u);      // bOpenGL
  EXPECT_EQ(At<std::int32_t>(b, 100), 210000);  // szlMicrometers
  EXPECT_EQ(At<std::int32_t>(b, 104), 297000);

  // nHandles: one more than the highest object index any record uses.
  std::uint32_t highest = 0;
  for (auto type : {emf::EMR_CREATEPEN, emf::EMR_CREATEBRUSHINDIRECT, emf::EMR_EXTCREATEFONTINDIRECTW}) {
    for (const auto& r : RecordsOfType(b, type))
      highest = std::max(highest, At<std::uint32_t>(b, r.offset + 8));
  }
  EXPECT_GT(highest, 0u);
  EXPECT_EQ(At<std::uint16_t>(b, 56), highest + 1);

  // Every record is a multiple of four bytes and the last is EMR_EOF (MS-EMF 2.3.4.1).
  for (const auto& r : records) EXPECT_EQ(r.size % 4, 0u) << "record at " << r.offset;
  const auto& eof = records.back();
  EXPECT_EQ(eof.type, emf::EMR_EOF);
  EXPECT_EQ(eof.size, 20u);
  EXPECT_EQ(eof.offset + 20, b.size());
  EXPECT_EQ(At<std::uint32_t>(b, eof.offset + 8), 0u);    // nPalEntries
  EXPECT_EQ(At<std::uint32_t>(b, eof.offset + 16), 20u);  // SizeLast

  // rclBounds (8): inclusive device pixels of what was drawn, inside the reference page.
  EXPECT_GE(At<std::int32_t>(b, 8), 0);
  EXPECT_GE(At<std::int32_t>(b, 12), 0);
  EXPECT_LE(At<std::int32_t>(b, 16), 4961);
  EXPECT_LE(At<std::int32_t>(b, 20), 7016);
  EXPECT_GT(At<std::int32_t>(b, 16), 4000);
}

TEST(EmfRecordLayout, EmptyRecordingHasHeaderAndEofOnlyAndEmptyBounds) {
  TMetafile m = RecordMmText([](TCanvas&) {});
  const auto& b = m.Bytes();
  EXPECT_EQ(b.size(), 108u + 20u);
  EXPECT_EQ(At<std::uint32_t>(b, 52), 2u);
  EXPECT_EQ(At<std::int32_t>(b, 8), 0);
  EXPECT_EQ(At<std::int32_t>(b, 16), -1);
  EXPECT_EQ(At<std::int32_t>(b, 20), -1);
  EXPECT_EQ(At<std::uint16_t>(b, 56), 1u);
}

TEST(EmfRecordLayout, BoundsCoverALineInDevicePixels) {
  TMetafile m = RecordMmText([](TCanvas& c) {
    c.Pen().SetWidth(1);
    c.MoveTo(100, 200);
    c.LineTo(300, 250);
  });
  const auto& b = m.Bytes();
  EXPECT_LE(At<std::int32_t>(b, 8), 100);
  EXPECT_GE(At<std::int32_t>(b, 8), 98);
  EXPECT_LE(At<std::int32_t>(b, 12), 200);
  EXPECT_GE(At<std::int32_t>(b, 16), 299);
  EXPECT_LE(At<std::int32_t>(b, 16), 301);
  EXPECT_GE(At<std::int32_t>(b, 20), 249);
}

TEST(EmfRecordLayout, FrameComesFromTheBoundsWhenNoSizeIsSet) {
  TMetafile m;
  {
    TMetafileCanvas c(m, TDeviceDescription::FromPixels(254, 254, 2540, 2540));  // 10 px per mm
    c.Brush().SetColor(clRed);
    c.FillRect(TRect{100, 200, 300, 400});
  }
  // Bounds (100, 200)-(299, 399) px are 10 mm .. 30 mm, 20 mm .. 40 mm.
  EXPECT_EQ(m.Header().rclFrame.left, 1000);
  EXPECT_EQ(m.Header().rclFrame.top, 2000);
  EXPECT_EQ(m.Header().rclFrame.right, 3000);
  EXPECT_EQ(m.Header().rclFrame.bottom, 4000);
  EXPECT_EQ(m.MMWidth(), 2000);
}

TEST(EmfRecordLayout, TextRecordCarriesUtf16TextAndTheAdvancesAtTheReferenceResolution) {
  int width = 0;
  // The worksheet's page mapping at 600 dpi: a unit is 2.36238 pixels across and 2.36229 down, so the
  // -37 font's em is 87.405 pixels. The pen goes to 87.40 (問), 131.11 (A, half an em) and 218.51 (題)
  // pixels, rounded to 87, 131 and 219 and brought back to units: 36.83, 55.45 and 92.70, rounded to
  // 37, 55 and 93.
  TMetafile m = testing::RecordPage(A4Device(600), [&](TCanvas& c) {
    c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
    c.Font().SetHeight(-37);
    c.SetTextFlags(ETO_CLIPPED);
    c.TextOut(120, 340, Cp932String::FromUtf8("問A題"));
    width = c.TextWidth(Cp932String::FromUtf8("問A題"));
  });
  const auto& b = m.Bytes();
  auto texts = RecordsOfType(b, emf::EMR_EXTTEXTOUTW);
  ASSERT_EQ(texts.size(), 1u);
  const std::size_t r = texts[0].offset;
  // 76 fixed bytes, 3 UTF-16 units (6 bytes, padded to 8), 3 advances.
  EXPECT_EQ(texts[0].size, 76u + 8u + 12u);
  EXPECT_EQ(At<std::uint32_t>(b, r + 24), 1u);  // iGraphicsMode GM_COMPATIBLE
  EXPECT_EQ(At<std::int32_t>(b, r + 36), 120);  // ptlReference
  EXPECT_EQ(At<std::int32_t>(b, r + 40), 340);
  EXPECT_EQ(At<std::uint32_t>(b, r + 44), 3u);   // nChars
  EXPECT_EQ(At<std::uint32_t>(b, r + 48), 76u);  // offString
  EXPECT_EQ(At<std::uint32_t>(b, r + 52), static_cast<std::uint32_t>(ETO_CLIPPED));
  EXPECT_EQ(At<std::int32_t>(b, r + 56), 0);  // rcl: none given
  EXPECT_EQ(At<std::int32_t>(b, r + 64), 0);
  EXPECT_EQ(At<std::uint32_t>(b, r + 72), 84u);      // offDx
  EXPECT_EQ(At<std::uint16_t>(b, r + 76), 0x554Fu);  // 問
  EXPECT_EQ(At<std::uint16_t>(b, r + 78), u'A');
  EXPECT_EQ(At<std::uint16_t>(b, r + 80), 0x984Cu);  // 題
  EXPECT_EQ(At<std::uint16_t>(b, r + 82), 0u);       // padding
  EXPECT_EQ(At<std::int32_t>(b, r + 84), 37);
  EXPECT_EQ(At<std::int32_t>(b, r + 88), 18);
  EXPECT_EQ(At<std::int32_t>(b, r + 92), 38);
  EXPECT_EQ(width, 93);
}

TEST(EmfRecordLayout, FontRecordKeepsTheDesignFaceNameInUtf16) {
  TMetafile m = RecordMmText([](TCanvas& c) {
    c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
    c.Font().SetHeight(-37);
    c.Font().SetStyle(fsBold | fsUnderline);
    c.TextOut(0, 0, "x");
  });
  const auto& b = m.Bytes();
  auto fonts = RecordsOfType(b, emf::EMR_EXTCREATEFONTINDIRECTW);
  ASSERT_EQ(fonts.size(), 1u);
  const std::size_t r = fonts[0].offset;
  EXPECT_EQ(fonts[0].size, 332u);  // ihFont + LogFontPanose
  EXPECT_EQ(At<std::uint32_t>(b, r + 8), 1u);
  EXPECT_EQ(At<std::int32_t>(b, r + 12), -37);  // lfHeight
  EXPECT_EQ(At<std::int32_t>(b, r + 28), 700);  // lfWeight
  EXPECT_EQ(b[r + 32], 0);                      // lfItalic
  EXPECT_EQ(b[r + 33], 1);                      // lfUnderline
  std::u16string face = u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";
  for (std::size_t i = 0; i < face.size(); ++i) EXPECT_EQ(At<std::uint16_t>(b, r + 40 + 2 * i), face[i]);
  EXPECT_EQ(At<std::uint16_t>(b, r + 40 + 2 * face.size()), 0u);
  // The font is selected right after it is made.
  auto all = WalkRecords(b);
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].offset == r) {
      EXPECT_EQ(all[i + 1].type, emf::EMR_SELECTOBJECT);
      EXPECT_EQ(At<std::uint32_t>(b, all[i + 1].offset + 8), 1u);
    }
  }
}

TEST(EmfRecordLayout, PenBrushFillAndMappingRecords) {
  TMetafile m = RecordMmText([](TCanvas& c) {
    c.SetMapMode(MM_ANISOTROPIC);
    c.SetWindowExtEx(2100, 2970);
    c.SetViewportExtEx(4961, 7016);
    c.SetWindowOrgEx(-5, -7);
    c.Pen().SetWidth(0);
    c.Pen().SetStyle(TPenStyle::psDot);
    c.Pen().SetColor(RGB(192, 192, 192));
    c.MoveTo(1, 2);
    c.LineTo(3, 4);
    c.Brush().SetColor(clBtnFace);
    c.FillRect(TRect{10, 20, 110, 220});
  });
  const auto& b = m.Bytes();
  auto mode = RecordsOfType(b, emf::EMR_SETMAPMODE);
  ASSERT_EQ(mode.size(), 1u);
  EXPECT_EQ(mode[0].size, 12u);
  EXPECT_EQ(At<std::uint32_t>(b, mode[0].offset + 8), 8u);
  auto wext = RecordsOfType(b, emf::EMR_SETWINDOWEXTEX);
  ASSERT_EQ(wext.size(), 1u);
  EXPECT_EQ(wext[0].size, 16u);
  EXPECT_EQ(At<std::int32_t>(b, wext[0].offset + 8), 2100);
  EXPECT_EQ(At<std::int32_t>(b, wext[0].offset + 12), 2970);
  auto vext = RecordsOfType(b, emf::EMR_SETVIEWPORTEXTEX);
  ASSERT_EQ(vext.size(), 1u);
  EXPECT_EQ(At<std::int32_t>(b, vext[0].offset + 8), 4961);
  auto worg = RecordsOfType(b, emf::EMR_SETWINDOWORGEX);
  ASSERT_EQ(worg.size(), 1u);
  EXPECT_EQ(At<std::int32_t>(b, worg[0].offset + 12), -7);

  auto pens = RecordsOfType(b, emf::EMR_CREATEPEN);
  ASSERT_EQ(pens.size(), 1u);
  EXPECT_EQ(pens[0].size, 28u);
  EXPECT_EQ(At<std::uint32_t>(b, pens[0].offset + 12), PS_DOT);
  EXPECT_EQ(At<std::int32_t>(b, pens[0].offset + 16), 0);
  EXPECT_EQ(At<std::uint32_t>(b, pens[0].offset + 24), 0xC0C0C0u);
  auto brushes = RecordsOfType(b, emf::EMR_CREATEBRUSHINDIRECT);
  ASSERT_EQ(brushes.size(), 1u);
  EXPECT_EQ(brushes[0].size, 24u);
  EXPECT_EQ(At<std::uint32_t>(b, brushes[0].offset + 12), BS_SOLID);
  EXPECT_EQ(At<std::uint32_t>(b, brushes[0].offset + 16), 0xF0F0F0u);  // clBtnFace resolved

  auto lines = RecordsOfType(b, emf::EMR_LINETO);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(At<std::int32_t>(b, lines[0].offset + 8), 3);
  auto fills = RecordsOfType(b, emf::EMR_BITBLT);
  ASSERT_EQ(fills.size(), 1u);
  const std::size_t f = fills[0].offset;
  EXPECT_EQ(fills[0].size, 100u);
  EXPECT_EQ(At<std::int32_t>(b, f + 24), 10);   // xDest
  EXPECT_EQ(At<std::int32_t>(b, f + 28), 20);   // yDest
  EXPECT_EQ(At<std::int32_t>(b, f + 32), 100);  // cxDest
  EXPECT_EQ(At<std::int32_t>(b, f + 36), 200);  // cyDest
  EXPECT_EQ(At<std::uint32_t>(b, f + 40), PATCOPY);
  EXPECT_EQ(At<std::uint32_t>(b, f + 88), 0u);  // cbBmiSrc: no source bitmap
}

TEST(EmfRecordLayout, ObjectsHeldBySavedStatesAreDeletedOnlyAfterTheRestore) {
  TMetafile m = RecordMmText([](TCanvas& c) {
    c.Pen().SetColor(clRed);
    c.LineTo(1, 1);  // pen 1
    c.SaveDC();
    c.Pen().SetColor(clBlue);
    c.LineTo(2, 2);  // pen 2; pen 1 is still held by the saved state
    c.RestoreDC(-1);
    c.Pen().SetColor(clGreen);
    c.LineTo(3, 3);
  });
  const auto& b = m.Bytes();
  std::vector<std::pair<std::uint32_t, std::uint32_t>> seq;  // (type, value) of object records
  for (const auto& r : WalkRecords(b)) {
    if (r.type == emf::EMR_CREATEPEN || r.type == emf::EMR_DELETEOBJECT || r.type == emf::EMR_SAVEDC ||
        r.type == emf::EMR_RESTOREDC) {
      seq.emplace_back(r.type, r.size >= 12 ? At<std::uint32_t>(b, r.offset + 8) : 0);
    }
  }
  using P = std::pair<std::uint32_t, std::uint32_t>;
  std::vector<P> expected{
      {emf::EMR_CREATEPEN, 1},    {emf::EMR_SAVEDC, 0},
      {emf::EMR_CREATEPEN, 2},    {emf::EMR_RESTOREDC, static_cast<std::uint32_t>(-1)},
      {emf::EMR_DELETEOBJECT, 2},  // pen 2 goes with the restored state; pen 1 is selected again
      {emf::EMR_CREATEPEN, 2},    {emf::EMR_DELETEOBJECT, 1},
  };
  EXPECT_EQ(seq, expected);
}

TEST(EmfRecordLayout, RestoreDcIsWrittenAsANegativeRelativeIndex) {
  TMetafile m = RecordMmText([](TCanvas& c) {
    c.SaveDC();
    c.SaveDC();
    c.SaveDC();
    EXPECT_TRUE(c.RestoreDC(1));
  });
  auto restores = RecordsOfType(m.Bytes(), emf::EMR_RESTOREDC);
  ASSERT_EQ(restores.size(), 1u);
  EXPECT_EQ(restores[0].size, 12u);
  EXPECT_EQ(At<std::int32_t>(m.Bytes(), restores[0].offset + 8), -3);
}

TEST(EmfRecordLayout, BuiltStateRecordsHaveTheirPublishedSizes) {
  std::vector<std::uint8_t> save = emf::MakeSaveDCRecord();
  ASSERT_EQ(save.size(), 8u);
  EXPECT_EQ(At<std::uint32_t>(save, 0), 33u);
  EXPECT_EQ(At<std::uint32_t>(save, 4), 8u);
  std::vector<std::uint8_t> bk = emf::MakeSetBkModeRecord(TRANSPARENT);
  ASSERT_EQ(bk.size(), 12u);
  EXPECT_EQ(At<std::uint32_t>(bk, 0), 18u);
  EXPECT_EQ(At<std::uint32_t>(bk, 4), 12u);
  EXPECT_EQ(At<std::uint32_t>(bk, 8), 1u);
  std::vector<std::uint8_t> restore = emf::MakeRestoreDCRecord(-1);
  ASSERT_EQ(restore.size(), 12u);
  EXPECT_EQ(At<std::uint32_t>(restore, 0), 34u);
  EXPECT_EQ(At<std::int32_t>(restore, 8), -1);
}

TEST(EmfRecordLayout, PartOfABitmapIsRecordedBottomUpAndPlaysBackRowForRow) {
  // Five rows of three pixels, each row its own colour: row k is RGB(10 k + 1, 10 k + 2, 10 k + 3).
  constexpr int kRows = 5;
  auto rowColour = [](int k) { return RGB(10 * k + 1, 10 * k + 2, 10 * k + 3); };
  TBitmap24 picture(3, kRows);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < 3; ++x) picture.SetPixel(x, y, rowColour(y));
  }
  // Rows 1 and 2 (counted from the top) drawn 1:1 at (10, 20), on a 10 dpi page (83 x 117 pixels).
  TMetafile m = RecordMmText(
      [&](TCanvas& c) { c.Handle().StretchDIBits(10, 20, 3, 2, 0, 1, 3, 2, picture, SRCCOPY); }, 10);
  const auto& b = m.Bytes();
  auto dibs = RecordsOfType(b, emf::EMR_STRETCHDIBITS);
  ASSERT_EQ(dibs.size(), 1u);
  const std::size_t r = dibs[0].offset;
  EXPECT_EQ(dibs[0].size, 80u + 40u + 5u * 12u);  // rows of 9 bytes padded to 12
  EXPECT_EQ(At<std::int32_t>(b, r + 24), 10);     // xDest
  EXPECT_EQ(At<std::int32_t>(b, r + 28), 20);     // yDest
  EXPECT_EQ(At<std::int32_t>(b, r + 32), 0);      // xSrc
  // Counted from the bottom, rows 1 and 2 of five are rows 3 and 2: the part starts at row 2.
  EXPECT_EQ(At<std::int32_t>(b, r + 36), 2);      // ySrc
  EXPECT_EQ(At<std::int32_t>(b, r + 40), 3);      // cxSrc
  EXPECT_EQ(At<std::int32_t>(b, r + 44), 2);      // cySrc
  EXPECT_EQ(At<std::uint32_t>(b, r + 48), 80u);   // offBmiSrc
  EXPECT_EQ(At<std::uint32_t>(b, r + 52), 40u);   // cbBmiSrc
  EXPECT_EQ(At<std::uint32_t>(b, r + 56), 120u);  // offBitsSrc
  EXPECT_EQ(At<std::uint32_t>(b, r + 60), 60u);   // cbBitsSrc
  EXPECT_EQ(At<std::uint32_t>(b, r + 68), SRCCOPY);
  EXPECT_EQ(At<std::int32_t>(b, r + 72), 3);  // cxDest
  EXPECT_EQ(At<std::int32_t>(b, r + 76), 2);  // cyDest
  EXPECT_EQ(At<std::int32_t>(b, r + 84), 3);  // biWidth
  EXPECT_EQ(At<std::int32_t>(b, r + 88), 5);  // biHeight: positive, bottom-up
  EXPECT_EQ(At<std::uint16_t>(b, r + 94), 24u);
  // Every stored row, bottom row first, each pixel blue, green, red.
  for (int stored = 0; stored < kRows; ++stored) {
    const int k = kRows - 1 - stored;
    for (int x = 0; x < 3; ++x) {
      const std::size_t at =
          r + 120 + 12 * static_cast<std::size_t>(stored) + 3 * static_cast<std::size_t>(x);
      EXPECT_EQ(b[at + 0], 10 * k + 3) << "stored row " << stored << " pixel " << x;
      EXPECT_EQ(b[at + 1], 10 * k + 2) << "stored row " << stored << " pixel " << x;
      EXPECT_EQ(b[at + 2], 10 * k + 1) << "stored row " << stored << " pixel " << x;
    }
  }

  // Played back 1:1: rows 20 and 21 of the page are the picture's rows 1 and 2, the rows around them white.
  const int w = m.Width(), h = m.Height();
  ASSERT_EQ(w, 83);
  TBitmap24 played = testing::Play(m, 10, w, h, TRect{0, 0, w, h});
  for (int x = 10; x < 13; ++x) {
    EXPECT_EQ(played.Pixel(x, 19), RGB(255, 255, 255)) << x;
    EXPECT_EQ(played.Pixel(x, 20), rowColour(1)) << x;
    EXPECT_EQ(played.Pixel(x, 21), rowColour(2)) << x;
    EXPECT_EQ(played.Pixel(x, 22), RGB(255, 255, 255)) << x;
  }
  EXPECT_EQ(played.Pixel(9, 20), RGB(255, 255, 255));
  EXPECT_EQ(played.Pixel(13, 20), RGB(255, 255, 255));
}

}  // namespace
}  // namespace tess

// 24-bit DIBs: their rows in DIB order, drawing on them, and stretching their pixels onto a canvas.
#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "tests/platform/DrawingTestUtil.h"

namespace tess {
namespace {

using testing::At;

TEST(Bitmap24, DibBitsAreBottomUpRowsPaddedToFourBytes) {
  TBitmap24 b(3, 2);
  EXPECT_EQ(b.BytesPerLine(), 12);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFu);  // white at creation
  b.SetPixel(0, 0, RGB(10, 20, 30));
  std::vector<std::uint8_t> bits = b.DibBits();
  ASSERT_EQ(bits.size(), 24u);
  EXPECT_EQ(bits[12], 30);  // the top row is stored last, blue first
  EXPECT_EQ(bits[13], 20);
  EXPECT_EQ(bits[14], 10);
  emf::BitmapInfoHeader h = b.InfoHeader();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 3);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, 0u);

  TBitmap24 back;
  ASSERT_TRUE(TBitmap24::FromDib(h, bits, back));
  EXPECT_EQ(back.Bits(), b.Bits());
  h.biHeight = -2;  // top-down rows
  ASSERT_TRUE(TBitmap24::FromDib(h, b.Bits(), back));
  EXPECT_EQ(back.Pixel(0, 0), static_cast<std::uint32_t>(RGB(10, 20, 30)));
}

TEST(Bitmap24, FromDibRefusesOtherFormatsAndMissingPixels) {
  TBitmap24 b(4, 4);
  emf::BitmapInfoHeader h = b.InfoHeader();
  std::vector<std::uint8_t> bits = b.DibBits();
  TBitmap24 out;
  EXPECT_FALSE(TBitmap24::FromDib(h, std::span(bits).first(bits.size() - 1), out));
  emf::BitmapInfoHeader eight = h;
  eight.biBitCount = 8;
  EXPECT_FALSE(TBitmap24::FromDib(eight, bits, out));
  emf::BitmapInfoHeader huge = h;
  huge.biWidth = 0x7FFFFFFF;
  EXPECT_FALSE(TBitmap24::FromDib(huge, bits, out));
  emf::BitmapInfoHeader none = h;
  none.biHeight = 0;
  EXPECT_FALSE(TBitmap24::FromDib(none, bits, out));
}

TEST(Bitmap24, PixelsStretchIntoARectangleAndMirrorWhenItIsReversed) {
  TBitmap24 picture(2, 2);
  picture.SetPixel(0, 0, RGB(255, 0, 0));
  picture.SetPixel(1, 1, RGB(0, 0, 255));
  TBitmap24 b(20, 20);
  TCanvas& c = b.Canvas();
  c.StretchDIBits(TRect{0, 0, 10, 10}, picture);
  EXPECT_EQ(b.Pixel(2, 2), 0x0000FFu);              // red, top-left, grown five times
  EXPECT_EQ(b.Pixel(7, 7), 0xFF0000u);              // blue, bottom-right
  c.StretchDIBits(TRect{20, 20, 10, 10}, picture);  // reversed: turned
  EXPECT_EQ(b.Pixel(17, 17), 0x0000FFu);
  EXPECT_EQ(b.Pixel(12, 12), 0xFF0000u);
  b.ReleaseCanvas();
}

TEST(Bitmap24, RecordedBitmapPlaysAsDrawnDirectly) {
  TBitmap24 picture = testing::SamplePicture();
  auto draw = [&](TCanvas& c) { c.StretchDIBits(TRect{100, 100, 700, 500}, picture); };
  TMetafile m = testing::RecordPage(testing::A4Device(96), draw);
  const int w = m.Width(), h = m.Height();
  TBitmap24 direct = testing::DrawDirect(96, w, h, draw);
  TBitmap24 played = testing::Play(m, 96, w, h, TRect{0, 0, w, h});
  EXPECT_LT(testing::MismatchShare(played, direct, 0, 0), 0.0001);
  EXPECT_GT(testing::CountPixels(played, 0), 50);  // the dark corner
}

TEST(Bitmap24, ARecordingDrawsOntoABitmapAndCopiesAreIndependent) {
  TMetafile m = testing::RecordPage(testing::A4Device(96), [](TCanvas& c) { testing::DrawSamplePage(c); });
  TBitmap24 b(m.Width(), m.Height());
  ASSERT_TRUE(b.Canvas().StretchDraw(TRect{0, 0, m.Width(), m.Height()}, m));
  TBitmap24 copy = b;
  b.Canvas().Brush().SetColor(clRed);
  b.Canvas().FillRect(TRect{0, 0, 10, 10});
  b.ReleaseCanvas();
  EXPECT_EQ(b.Pixel(0, 0), 0x0000FFu);
  EXPECT_NE(copy.Pixel(0, 0), 0x0000FFu);
}

}  // namespace
}  // namespace tess

// Playing recordings: the played page equals the page drawn directly, at two resolutions, mirrored, and
// when re-recorded; enumeration, built records, copies and state isolation.
#include <gtest/gtest.h>

#include "platform/gfx/emf/Metafile.h"
#include "tests/platform/DrawingTestUtil.h"

namespace tess {
namespace {

using namespace tess::testing;

class RecordedPage : public ::testing::TestWithParam<int> {};

TEST_P(RecordedPage, PlaysLikeTheSameDrawingDoneDirectlyAndMirrored) {
  const int dpi = GetParam();
  TBitmap24 picture = SamplePicture();
  auto draw = [&](TCanvas& c) { DrawSamplePage(c, &picture); };
  TMetafile page = RecordPage(A4Device(dpi), draw);
  const int w = page.Width(), h = page.Height();
  ASSERT_EQ(w, A4Device(dpi).WidthPixels);
  ASSERT_EQ(h, A4Device(dpi).HeightPixels);

  TBitmap24 direct = DrawDirect(dpi, w, h, draw);
  TResult r;
  TBitmap24 played = Play(page, dpi, w, h, TRect{0, 0, w, h}, &r);
  ASSERT_TRUE(r) << r.Message();
  EXPECT_LT(MismatchShare(played, direct), 0.0005);
  // Something was drawn: the background fill, text and figures.
  EXPECT_GT(CountPixels(played, RGB(250, 250, 235), 2), w * h / 2);
  EXPECT_GT(CountPixels(played, RGB(0, 0, 0), 60), w * h / 400);

  // Corners reversed: both axes mirrored, the page turned by 180 degrees.
  TBitmap24 mirrored = Play(page, dpi, w, h, TRect{w, h, 0, 0}, &r);
  ASSERT_TRUE(r) << r.Message();
  EXPECT_LT(MismatchShare(mirrored, Rotated180(direct)), 0.002);
  EXPECT_GT(MismatchShare(mirrored, direct), 0.01);  // it really is turned
}

INSTANTIATE_TEST_SUITE_P(ScreenAndPrinter, RecordedPage, ::testing::Values(96, 300));

TEST(EmfPlayback, PageReRecordedIntoAnotherRecordingStillPlaysTheSame) {
  const int dpi = 96;
  auto draw = [](TCanvas& c) { DrawSamplePage(c); };
  TMetafile page = RecordPage(A4Device(dpi), draw);
  // As a rendering does: a fresh page canvas with the page mapping, the stored page stretched into it.
  TMetafile rendered = RecordPage(A4Device(dpi), [&](TCanvas& c) {
    TResult r = c.StretchDraw(TRect{0, 0, kPageWidth, kPageHeight}, page);
    EXPECT_TRUE(r) << r.Message();
  });
  const int w = page.Width(), h = page.Height();
  TBitmap24 direct = DrawDirect(dpi, w, h, draw);
  TResult r;
  TBitmap24 played = Play(rendered, dpi, w, h, TRect{0, 0, w, h}, &r);
  ASSERT_TRUE(r) << r.Message();
  EXPECT_LT(MismatchShare(played, direct), 0.001);
}

TEST(EmfPlayback, StretchingIntoHalfTheSizeScalesTheDrawing) {
  TMetafile page = RecordPage(A4Device(96), [](TCanvas& c) {
    c.Brush().SetColor(clRed);
    c.FillRect(TRect{0, 0, 1050, 1485});  // the top-left quarter of the page
  });
  const int w = page.Width(), h = page.Height();
  TBitmap24 half = Play(page, 96, w, h, TRect{0, 0, w / 2, h / 2});
  EXPECT_EQ(half.Pixel(w / 4 - 3, h / 4 - 3), 0x0000FFu);
  EXPECT_EQ(half.Pixel(w / 4 + 3, h / 4 + 3), 0xFFFFFFu);
}

TEST(EmfPlayback, PlaybackLeavesTheTargetsStateAsItWas) {
  TMetafile page = RecordPage(A4Device(96), [](TCanvas& c) { DrawSamplePage(c); });
  TBitmap24 target(200, 200);
  TCanvas& c = target.Canvas();
  c.SetMapMode(MM_ANISOTROPIC);
  c.SetWindowExtEx(100, 100);
  c.SetViewportExtEx(200, 200);
  c.Font().SetHeight(-11);
  c.TextOut(0, 0, "x");
  c.SetBkMode(TRANSPARENT);
  TDCState before = c.Handle().State();
  int depth = c.Handle().SaveDepth();
  ASSERT_TRUE(c.StretchDraw(TRect{0, 0, 100, 100}, page));
  const TDCState& after = c.Handle().State();
  EXPECT_EQ(c.Handle().SaveDepth(), depth);
  EXPECT_EQ(after.MapMode, before.MapMode);
  EXPECT_EQ(after.WindowExt, before.WindowExt);
  EXPECT_EQ(after.ViewportExt, before.ViewportExt);
  EXPECT_EQ(after.Font, before.Font);
  EXPECT_EQ(after.Pen, before.Pen);
  EXPECT_EQ(after.Brush, before.Brush);
  EXPECT_EQ(after.BkMode, before.BkMode);
  EXPECT_EQ(after.HasClip, before.HasClip);
  EXPECT_FALSE(after.InPlayback);
  target.ReleaseCanvas();
}

TEST(EmfPlayback, EnumerationVisitsRecordsInOrderAndStopsWhenAsked) {
  TMetafile page = RecordPage(A4Device(96), [](TCanvas& c) { DrawSamplePage(c); });
  std::vector<std::uint32_t> types;
  ASSERT_TRUE(EnumerateMetafile(page, nullptr, nullptr, [&](TEnumContext& e) {
    types.push_back(e.Record().Type);
    EXPECT_EQ(e.Record().Index + 1, types.size());
    return true;
  }));
  ASSERT_EQ(types.size(), page.Header().nRecords);
  EXPECT_EQ(types.front(), emf::EMR_HEADER);
  EXPECT_EQ(types.back(), emf::EMR_EOF);

  int seen = 0;
  ASSERT_TRUE(EnumerateMetafile(page, nullptr, nullptr, [&](TEnumContext&) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
}

TEST(EmfPlayback, HeaderFrameIsReadableWithoutATarget) {
  TMetafile page = RecordPage(A4Device(300), [](TCanvas&) {});
  int w = 0, h = 0;
  ASSERT_TRUE(EnumerateMetafile(page, nullptr, nullptr, [&](TEnumContext& e) {
    if (e.Record().Type != emf::EMR_HEADER) return true;
    auto header = *emf::ReadAt<emf::EmrHeader>(e.Record().Bytes, 0);
    w = header.rclFrame.right - header.rclFrame.left;
    h = header.rclFrame.bottom - header.rclFrame.top;
    return false;
  }));
  EXPECT_EQ(w, 21000);
  EXPECT_EQ(h, 29700);
}

// An EMR_EXTTEXTOUTA record as the 9x re-recording builds it: nSize 76 + 5 L, not padded.
std::vector<std::uint8_t> AnsiTextRecord(int x, int y, const std::string& bytes, const std::vector<int>& dx) {
  emf::EmrExtTextOut r{};
  r.iType = emf::EMR_EXTTEXTOUTA;
  r.nSize = static_cast<std::uint32_t>(76 + 5 * bytes.size());
  r.iGraphicsMode = GM_COMPATIBLE;
  r.ptlReference = {x, y};
  r.nChars = static_cast<std::uint32_t>(bytes.size());
  r.offString = 76;
  r.offDx = static_cast<std::uint32_t>(76 + bytes.size());
  std::vector<std::uint8_t> out;
  out.reserve(r.nSize);
  emf::Append(out, r);
  out.insert(out.end(), bytes.begin(), bytes.end());
  for (int d : dx) emf::Append(out, static_cast<std::int32_t>(d));
  return out;
}

TEST(EmfPlayback, CallbackBuiltRecordsPlayLikeRecordedOnes) {
  const Cp932String text = Cp932String::FromUtf8("問A");
  std::vector<int> dx;
  auto setFont = [](TCanvas& c) {
    c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
    c.Font().SetHeight(-80);
    c.Brush().SetStyle(TBrushStyle::bsClear);
  };
  TMetafile page = RecordPage(A4Device(96), [&](TCanvas& c) {
    setFont(c);
    c.TextOut(300, 400, text);
    dx = c.Handle().TextAdvancesW(ToUtf16(text));
  });
  const int w = page.Width(), h = page.Height();
  TBitmap24 expected = Play(page, 96, w, h, TRect{0, 0, w, h});

  // The same text replaced by built records: SAVEDC, SETBKMODE, EXTTEXTOUTA (two-byte character with
  // the advance pair (sum, 0)), RESTOREDC.
  TBitmap24 rebuilt(w, h);
  TCanvas& target = rebuilt.Canvas();
  TRect rect{0, 0, w, h};
  TResult failure;
  TResult r = EnumerateMetafile(page, &target.Handle(), &rect, [&](TEnumContext& e) {
    TResult step;
    if (e.Record().Type == emf::EMR_EXTTEXTOUTW) {
      step = e.PlayRecord(emf::MakeSaveDCRecord());
      if (step) step = e.PlayRecord(emf::MakeSetBkModeRecord(TRANSPARENT));
      if (step) step = e.PlayRecord(AnsiTextRecord(300, 400, text.Bytes(), {dx[0], 0, dx[1]}));
      if (step) step = e.PlayRecord(emf::MakeRestoreDCRecord(-1));
    } else {
      step = e.Play();
    }
    if (!step) failure = step;
    return step.IsOk();
  });
  rebuilt.ReleaseCanvas();
  ASSERT_TRUE(r) << r.Message();
  ASSERT_TRUE(failure) << failure.Message();
  EXPECT_GT(CountPixels(rebuilt, 0, 60), 50);
  EXPECT_LT(MismatchShare(rebuilt, expected), 0.0005);
}

// The re-recording the 9x family needs: a page enumerated into a new recording, its text records replaced by
// one EMR_EXTTEXTOUTA per character at explicit positions, bracketed by SAVEDC, SETBKMODE and RESTOREDC.
TEST(EmfPlayback, PageReRecordedWithTextSplitPerCharacterPlaysTheSame) {
  auto draw = [](TCanvas& c) {
    c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
    c.Font().SetHeight(-80);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextOut(300, 400, Cp932String::FromUtf8("問A1題"));
    c.Pen().SetWidth(5);
    c.Ellipse(250, 350, 900, 600);
  };
  TMetafile page = RecordPage(A4Device(96), draw);
  TMetafile split;
  split.SetMMWidth(page.MMWidth());
  split.SetMMHeight(page.MMHeight());
  std::size_t built = 0;
  {
    TMetafileCanvas canvas(split, A4Device(96));
    TRect rect{0, 0, page.Width(), page.Height()};
    TResult failure;
    TResult r = page.Enumerate(&canvas.Handle(), &rect, [&](TEnumContext& e) {
      if (e.Record().Type != emf::EMR_EXTTEXTOUTW) {
        failure = e.Play();
        return failure.IsOk();
      }
      auto t = *emf::ReadAt<emf::EmrExtTextOut>(e.Record().Bytes, 0);
      std::vector<TResult> steps{e.PlayRecord(emf::MakeSaveDCRecord()),
                                 e.PlayRecord(emf::MakeSetBkModeRecord(TRANSPARENT))};
      int offset = 0;
      for (std::uint32_t i = 0; i < t.nChars; ++i) {
        char16_t unit = *emf::ReadAt<char16_t>(e.Record().Bytes, t.offString + 2 * i);
        int advance = *emf::ReadAt<std::int32_t>(e.Record().Bytes, t.offDx + 4 * i);
        std::string bytes = FromUtf16(std::u16string(1, unit)).Bytes();
        std::vector<int> dx{advance};
        if (bytes.size() == 2) dx.push_back(0);
        steps.push_back(e.PlayRecord(AnsiTextRecord(t.ptlReference.x + offset, t.ptlReference.y, bytes, dx)));
        offset += advance;
        ++built;
      }
      steps.push_back(e.PlayRecord(emf::MakeRestoreDCRecord(-1)));
      for (const TResult& s : steps) {
        if (!s) failure = s;
      }
      return failure.IsOk();
    });
    ASSERT_TRUE(r) << r.Message();
    ASSERT_TRUE(failure) << failure.Message();
  }
  EXPECT_EQ(built, 4u);
  EXPECT_EQ(testing::RecordsOfType(split.Bytes(), emf::EMR_EXTTEXTOUTA).size(), 4u);
  EXPECT_TRUE(testing::RecordsOfType(split.Bytes(), emf::EMR_EXTTEXTOUTW).empty());
  const int w = page.Width(), h = page.Height();
  TBitmap24 expected = Play(page, 96, w, h, TRect{0, 0, w, h});
  TResult r;
  TBitmap24 played = Play(split, 96, w, h, TRect{0, 0, w, h}, &r);
  ASSERT_TRUE(r) << r.Message();
  EXPECT_GT(CountPixels(played, 0, 60), 200);
  EXPECT_LT(MismatchShare(played, expected), 0.0005);
}

TEST(EmfPlayback, CopiesAreIndependentAndBytesRoundTrip) {
  TMetafile page = RecordPage(A4Device(96), [](TCanvas& c) { DrawSamplePage(c); });
  TMetafile copy = page;
  std::vector<std::uint8_t> original = page.Bytes();
  page = RecordPage(A4Device(96), [](TCanvas& c) { c.LineTo(5, 5); });
  EXPECT_EQ(copy.Bytes(), original);
  EXPECT_NE(page.Bytes(), original);

  TMetafile loaded;
  ASSERT_TRUE(loaded.LoadFromBytes(original));
  EXPECT_EQ(loaded.Bytes(), original);
  EXPECT_EQ(loaded.MMWidth(), 21000);
  EXPECT_EQ(loaded.MMHeight(), 29700);
  EXPECT_EQ(loaded.Width(), copy.Width());
}

TEST(EmfPlayback, FrameSizeInReferencePixelsIsKnownOnceACanvasWasOpened) {
  TMetafile m;
  m.SetMMWidth(21000);
  m.SetMMHeight(29700);
  EXPECT_EQ(m.Width(), 0);
  TDeviceDescription printer = TDeviceDescription::FromPixels(600, 600, 4961, 7016);
  { TMetafileCanvas probe(m, printer); }
  EXPECT_EQ(m.Width(), 4961);
  EXPECT_EQ(m.Height(), 7016);
  m.SetInch(96);  // in 1/96 inch instead
  EXPECT_EQ(m.Width(), 794);
  EXPECT_EQ(m.Height(), 1123);
}

}  // namespace
}  // namespace tess

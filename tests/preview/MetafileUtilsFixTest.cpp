// The stored copy of a page: exact on the NT family, re-recorded with split text on the 9x family, and the
// size checks and failures of the re-recording, read back from the recordings themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/PlatformFamily.h"
#include "platform/gfx/emf/EmfRecords.h"
#include "preview/MetafileUtils.h"
#include "preview/PreviewDocument.h"
#include "tests/preview/PreviewTestSupport.h"

namespace tess {
namespace {

using test::ReadRecords;
using test::RecordsOfType;
using test::TRecord;

const TDeviceDescription kPrinter = TDeviceDescription::FromPixels(600, 600, 4961, 7016);

class NinexFamily : public ::testing::Test {
 protected:
  void SetUp() override { SetPlatformFamily(TPlatformFamily::Windows9x); }
  void TearDown() override { SetPlatformFamily(TPlatformFamily::WindowsNT); }
};

// An A4 page recording with the text AB (advances 10, 12) at (100, 200), a line and an ellipse.
TMetafile RecordPage(const Cp932String& text = "AB", std::vector<int> dx = {10, 12},
                     unsigned options = ETO_OPAQUE | ETO_CLIPPED) {
  TMetafile m;
  m.SetMMWidth(21000);
  m.SetMMHeight(29700);
  TMetafileCanvas canvas(m, kPrinter);
  TDeviceContext& dc = canvas.Handle();
  TLogFont font;
  font.Height = -40;
  font.FaceName = u"Tahoma";
  dc.SelectFont(font);
  dc.MoveToEx(10, 10);
  dc.LineTo(300, 40);
  TRect clip{90, 190, 150, 240};
  dc.ExtTextOutA(100, 200, options, &clip, text, dx.empty() ? nullptr : dx.data());
  dc.Ellipse(400, 400, 600, 500);
  canvas.Close();
  return m;
}

struct TTextOut {
  std::uint32_t Type;
  TPoint At;
  std::string Text;
  std::vector<std::int32_t> Dx;
  std::uint32_t Options;
  friend bool operator==(const TTextOut&, const TTextOut&) = default;
};

std::vector<TTextOut> TextOuts(const TMetafile& m) {
  std::vector<TTextOut> out;
  for (const TRecord& r : ReadRecords(m)) {
    if (r.Type != emf::EMR_EXTTEXTOUTA && r.Type != emf::EMR_EXTTEXTOUTW) continue;
    auto h = test::As<emf::EmrExtTextOut>(r);
    TTextOut t{r.Type, {h.ptlReference.x, h.ptlReference.y}, {}, {}, h.fOptions};
    std::size_t unit = r.Type == emf::EMR_EXTTEXTOUTW ? 2 : 1;
    t.Text.assign(reinterpret_cast<const char*>(r.Bytes.data()) + h.offString, h.nChars * unit);
    for (std::uint32_t i = 0; i < h.nChars; ++i)
      t.Dx.push_back(*emf::ReadAt<std::int32_t>(r.Bytes, h.offDx + 4 * i));
    out.push_back(t);
  }
  return out;
}

void ExpectNoValidSize(const TMetafile& m) {
  try {
    (void)FixMetafileFor9X(m, &kPrinter);
    FAIL() << "no failure";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().ToUtf8(), "FixMetafileFor9X: Metafile has no valid Size");
  }
}

TEST(FixMetafileFor9X, NtFamilyGivesAnIndependentExactCopy) {
  TMetafile source = RecordPage();
  source.SetInch(1440);
  std::unique_ptr<TMetafile> copy = FixMetafileFor9X(source, &kPrinter);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Bytes(), source.Bytes());
  EXPECT_EQ(copy->MMWidth(), 21000);
  EXPECT_EQ(copy->MMHeight(), 29700);
  EXPECT_EQ(copy->Inch(), 1440);
  source.Clear();
  EXPECT_FALSE(copy->Empty());
  // No size checks on this family: a recording without a size is copied as it is.
  EXPECT_TRUE(FixMetafileFor9X(TMetafile{}, nullptr)->Empty());
}

TEST_F(NinexFamily, TextIsReRecordedCharacterByCharacterAndTheRestUnchanged) {
  TMetafile source = RecordPage();
  source.SetInch(1440);
  const std::vector<std::uint8_t> before = source.Bytes();
  std::unique_ptr<TMetafile> page = FixMetafileFor9X(source, &kPrinter);
  EXPECT_EQ(source.Bytes(), before);
  EXPECT_EQ(source.Inch(), 1440);

  const std::uint32_t oc = ETO_OPAQUE | ETO_CLIPPED;
  std::vector<TTextOut> expected{{83, {100, 200}, "A", {22}, oc},
                                 {83, {110, 200}, "B", {12}, oc},
                                 {83, {100, 200}, "A", {10}, ETO_CLIPPED},
                                 {83, {110, 200}, "B", {12}, ETO_CLIPPED}};
  EXPECT_EQ(TextOuts(*page), expected);
  // The saved state with the transparent background brackets the last two.
  std::vector<std::uint32_t> order;
  for (const TRecord& r : ReadRecords(*page)) {
    if (r.Type == emf::EMR_EXTTEXTOUTA || r.Type == emf::EMR_SETBKMODE || r.Type == emf::EMR_SAVEDC ||
        r.Type == emf::EMR_RESTOREDC) {
      order.push_back(r.Type == emf::EMR_SETBKMODE ? 1000 + test::As<emf::EmrOneValue>(r).value : r.Type);
    }
  }
  std::vector<std::uint32_t> core{83, 83, emf::EMR_SAVEDC, 1000 + TRANSPARENT, 83, 83, emf::EMR_RESTOREDC};
  EXPECT_NE(std::search(order.begin(), order.end(), core.begin(), core.end()), order.end());

  EXPECT_EQ(test::RectRecords(*page, emf::EMR_ELLIPSE), test::RectRecords(source, emf::EMR_ELLIPSE));
  EXPECT_EQ(RecordsOfType(*page, emf::EMR_LINETO).size(), 1u);
  EXPECT_EQ(test::FontRecords(*page).size(), 1u);
  // Sizes and inch setting are the source's; the reference-device frame maps one to one.
  EXPECT_EQ(page->MMWidth(), 21000);
  EXPECT_EQ(page->MMHeight(), 29700);
  EXPECT_EQ(page->Inch(), 1440);
  EXPECT_EQ(page->Header().rclFrame.right, 21000);
  EXPECT_EQ(page->Header().szlDevice.cx, 4961);
  for (const TRecord& r : RecordsOfType(*page, emf::EMR_SETWORLDTRANSFORM)) {
    auto x = test::As<emf::EmrSetWorldTransform>(r).xform;
    EXPECT_FLOAT_EQ(x.eM11, 1.0f);
    EXPECT_FLOAT_EQ(x.eM22, 1.0f);
  }
}

// The font the played records selected, and the recording's reference device, turn the positions.
TEST_F(NinexFamily, PositionsFollowTheFontSelectedDuringPlaybackAndTheDeviceAspect) {
  const TDeviceDescription tall = TDeviceDescription::FromPixels(300, 600, 2480, 7016);
  TMetafile source;
  source.SetMMWidth(21000);
  source.SetMMHeight(29700);
  {
    TMetafileCanvas canvas(source, tall);
    TLogFont font;
    font.Height = -40;
    font.Escapement = 900;
    canvas.Handle().SelectFont(font);
    std::vector<int> dx{10, 12};
    canvas.Handle().ExtTextOutA(100, 200, 0, nullptr, "AB", dx.data());
  }
  std::unique_ptr<TMetafile> page = FixMetafileFor9X(source, &tall);
  std::vector<TTextOut> expected{{83, {100, 200}, "A", {22}, 0},
                                 {83, {100, 180}, "B", {12}, 0},
                                 {83, {100, 200}, "A", {10}, 0},
                                 {83, {100, 180}, "B", {12}, 0}};
  EXPECT_EQ(TextOuts(*page), expected);
}

TEST_F(NinexFamily, EmptyTextRecordDisappearsEvenWhenOpaque) {
  TMetafile source = RecordPage("", {}, ETO_OPAQUE);
  ASSERT_EQ(RecordsOfType(source, emf::EMR_EXTTEXTOUTA).size(), 1u);
  std::unique_ptr<TMetafile> page = FixMetafileFor9X(source, &kPrinter);
  EXPECT_TRUE(TextOuts(*page).empty());
  EXPECT_EQ(test::RectRecords(*page, emf::EMR_ELLIPSE).size(), 1u);
}

TEST_F(NinexFamily, WithoutAPrinterTheScreenIsTheReferenceDevice) {
  std::unique_ptr<TMetafile> page = FixMetafileFor9X(RecordPage(), nullptr);
  EXPECT_EQ(page->Header().szlDevice.cx, TDeviceDescription::Screen().WidthPixels);
  EXPECT_EQ(page->MMWidth(), 21000);
  EXPECT_EQ(TextOuts(*page).size(), 4u);
}

TEST_F(NinexFamily, RecordingsWithoutASizeFailWithTheSizeMessage) {
  ExpectNoValidSize(TMetafile{});
  TMetafile noWidth = RecordPage();
  noWidth.SetMMWidth(0);
  ExpectNoValidSize(noWidth);
  TMetafile noHeight = RecordPage();
  noHeight.SetMMHeight(0);
  ExpectNoValidSize(noHeight);

  // The header's frame has no width although the picture's own sizes are set.
  std::vector<std::uint8_t> bytes = RecordPage().Bytes();
  std::int32_t left = 0;
  std::memcpy(bytes.data() + offsetof(emf::EmrHeader, rclFrame) + 8, &left, 4);
  TMetafile flat;
  ASSERT_TRUE(flat.LoadFromBytes(bytes).IsOk());
  flat.SetMMWidth(21000);
  flat.SetMMHeight(29700);
  ExpectNoValidSize(flat);

  // A reference device of no size would leave nothing drawn.
  bytes = RecordPage().Bytes();
  std::int32_t zero = 0;
  std::memcpy(bytes.data() + offsetof(emf::EmrHeader, szlMillimeters), &zero, 4);
  TMetafile noDevice;
  ASSERT_TRUE(noDevice.LoadFromBytes(bytes).IsOk());
  ExpectNoValidSize(noDevice);
}

// The offset of the first text record in a recording.
std::size_t TextRecordOffset(const TMetafile& m) {
  std::size_t at = 0;
  (void)EnumerateMetafile(m, nullptr, nullptr, [&at](TEnumContext& c) {
    if (c.Record().Type != emf::EMR_EXTTEXTOUTA && c.Record().Type != emf::EMR_EXTTEXTOUTW) return true;
    at = c.Record().Offset;
    return false;
  });
  return at;
}

TEST_F(NinexFamily, UnreadableTextRecordFailsTheCopyWithAMessageNamingIt) {
  TMetafile good = RecordPage();
  const std::size_t at = TextRecordOffset(good);
  ASSERT_GT(at, 0u);
  struct Case {
    std::size_t field;
    std::uint32_t value;
    const char* says;
  } cases[] = {
      {offsetof(emf::EmrExtTextOut, nChars), 0xFFFFFFFFu, "cannot fit"},
      {offsetof(emf::EmrExtTextOut, offString), 0xFFFFFFF0u, "lies outside"},
      {offsetof(emf::EmrExtTextOut, offDx), 200u, "lie outside"},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = good.Bytes();
    std::memcpy(bytes.data() + at + c.field, &c.value, 4);
    TMetafile bad;
    ASSERT_TRUE(bad.LoadFromBytes(bytes).IsOk());
    try {
      (void)FixMetafileFor9X(bad, &kPrinter);
      ADD_FAILURE() << "no failure for " << c.says;
    } catch (const Exception& e) {
      std::string message = e.Message().ToUtf8();
      EXPECT_NE(message.find("FixMetafileFor9X: EMF record"), std::string::npos) << message;
      EXPECT_NE(message.find(c.says), std::string::npos) << message;
    }
  }
}

TEST_F(NinexFamily, TextWithoutAdvancesIsPlayedAsItIs) {
  TMetafile source = RecordPage();
  std::vector<std::uint8_t> bytes = source.Bytes();
  std::uint32_t zero = 0;
  std::memcpy(bytes.data() + TextRecordOffset(source) + offsetof(emf::EmrExtTextOut, offDx), &zero, 4);
  TMetafile noDx;
  ASSERT_TRUE(noDx.LoadFromBytes(bytes).IsOk());
  std::vector<TTextOut> texts = TextOuts(*FixMetafileFor9X(noDx, &kPrinter));
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, "AB");
}

// The preview component stores its pages through the copy, and its working recording stays as drawn.
TEST_F(NinexFamily, PreviewPagesAreStoredWithSplitText) {
  test::TRecordingHost host;
  test::TNoPrinters noPrinters;
  TComponent form{nullptr};
  TplPrev preview{&form};
  test::LoadMainFormPaper(preview);
  preview.BeginDoc();
  preview.TextOutLeft(200, 200, Cp932String::FromUtf8("問題1"));
  preview.NewPage();
  preview.TextOutRight(1900, 200, "12");
  preview.EndDoc();
  ASSERT_EQ(preview.StoredPageCount(), 2);
  std::vector<TTextOut> first = TextOuts(*preview.Pages(0));
  // Two placing records, then each of the three characters.
  ASSERT_EQ(first.size(), 2u + 3u);
  for (const TTextOut& t : first) EXPECT_EQ(t.Type, emf::EMR_EXTTEXTOUTA);
  EXPECT_EQ(first[2].Text, Cp932String::FromUtf8("問").Bytes());
  EXPECT_EQ(first[3].Text, Cp932String::FromUtf8("題").Bytes());
  EXPECT_EQ(first[4].Text, "1");
  EXPECT_EQ(TextOuts(*preview.Pages(1)).size(), 2u + 2u);
  for (const TTextOut& t : TextOuts(*preview.WorkMetafile())) EXPECT_EQ(t.Type, emf::EMR_EXTTEXTOUTW);
}

}  // namespace
}  // namespace tess

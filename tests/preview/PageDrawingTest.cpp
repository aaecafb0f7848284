// Text and circle placement on the open page, and the character rules of TextUtils, checked on the records
// that reach the page.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/PlatformFamily.h"
#include "preview/PreviewDocument.h"
#include "preview/TextUtils.h"
#include "tests/preview/PreviewTestSupport.h"

namespace tess {
namespace {

using test::LoadMainFormPaper;
using test::TextRecords;

class PageDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadMainFormPaper(preview);
    preview.BeginDoc();
  }
  void TearDown() override { SetPlatformFamily(TPlatformFamily::WindowsNT); }
  // Ends the document and gives the text records of its only page.
  std::vector<test::TTextRecord> Texts() {
    preview.EndDoc();
    return TextRecords(*preview.Pages(0));
  }
  TCanvas& canvas() { return *preview.Canvas(); }

  test::TRecordingHost host;
  test::TNoPrinters noPrinters;
  TComponent form{nullptr};
  TplPrev preview{&form};
};

// A character of the slanted face whose ink sticks out on the given side (A < 0 or C < 0), or 0.
char SlantedCharWithOverhang(TCanvas& canvas, bool left) {
  for (char c : std::string("fjJy/(_T")) {
    TABCFloat abc = canvas.GetCharABCWidthsFloat(static_cast<unsigned char>(c));
    if ((left ? abc.A : abc.C) < -0.5f) return c;
  }
  return 0;
}

TEST(TextUtils, CharacterCodesFollowTheCodePageCharacterRules) {
  EXPECT_EQ(FirstCharCode(""), 0);
  EXPECT_EQ(LastCharCode(""), 0);
  EXPECT_EQ(FirstCharCode("AB"), 'A');
  EXPECT_EQ(LastCharCode("AB"), 'B');
  Cp932String kanji = Cp932String::FromUtf8("漢a字");  // 0x8ABF, 'a', 0x8E9A
  EXPECT_EQ(FirstCharCode(kanji), 0x8ABF);
  EXPECT_EQ(LastCharCode(kanji), 0x8E9A);
  // A full-width digit: the whole two-byte code, not the lead byte.
  EXPECT_EQ(FirstCharCode(Cp932String::FromUtf8("１")), 0x8250);
  // A trail byte that looks like a lead byte does not start a character.
  Cp932String so = Cp932String::FromUtf8("ソ");  // 0x83 0x5C
  EXPECT_EQ(LastCharCode(so), 0x835C);
  // A lead byte with nothing after it is a character of its own, and nothing past the end is read.
  EXPECT_EQ(LastCharCode(Cp932String::FromBytes("A\x82")), 0x82);
  EXPECT_EQ(FirstCharCode(Cp932String::FromBytes("\x82")), 0x82);
  EXPECT_EQ(LastCharCode(Cp932String::FromBytes("\x82\xA0\x82")), 0x82);
}

TEST(TextUtils, TextIsFoundOnlyAtCharacterBoundaries) {
  Cp932String so = Cp932String::FromUtf8("ソ");  // 0x83 0x5C: its trail byte is the backslash
  EXPECT_FALSE(ContainsChars(so, "\\"));
  EXPECT_TRUE(ContainsChars(so + "\\", "\\"));
  Cp932String tractor = Cp932String::FromUtf8("連続用紙（トラクタ）");
  EXPECT_TRUE(ContainsChars(tractor, Cp932String::FromUtf8("トラクタ")));
  EXPECT_FALSE(ContainsChars(Cp932String::FromUtf8("トラク"), Cp932String::FromUtf8("トラクタ")));
  EXPECT_TRUE(ContainsChars("", ""));
}

TEST(TextUtils, FractionalOverhangsRoundHalvesToEvenAndIntegerOnesAreTaken) {
  EXPECT_EQ(OverhangFromWidth(-2.5f), 2);
  EXPECT_EQ(OverhangFromWidth(-3.5f), 4);
  EXPECT_EQ(OverhangFromWidth(-0.4f), 0);
  EXPECT_EQ(OverhangFromWidth(-1.6f), 2);
  EXPECT_EQ(OverhangFromWidth(0.0f), 0);
  EXPECT_EQ(OverhangFromWidth(3.7f), 0);
  EXPECT_EQ(OverhangFromWidth(-3), 3);
  EXPECT_EQ(OverhangFromWidth(2), 0);
  EXPECT_EQ(RoundHalfAway(2.5), 3);
  EXPECT_EQ(RoundHalfAway(-2.5), -3);
  EXPECT_EQ(RoundHalfEven(4.5), 4);
}

TEST_F(PageDrawing, EmptyTextDrawsNothingAndMeasuresNothing) {
  EXPECT_EQ(LeftOverhang(canvas(), ""), 0);
  EXPECT_EQ(RightOverhang(canvas(), ""), 0);
  EXPECT_EQ(canvas().TextWidth(""), 0);
  preview.TextOutLeft(100, 200, "");
  preview.TextOutRight(300, 200, "");
  preview.TextOutCenter(300, 200, "");
  for (const auto& t : Texts()) EXPECT_TRUE(t.Text.empty());
}

TEST_F(PageDrawing, AnUprightFaceIsPlacedExactlyAtTheAnchor) {
  canvas().Font().SetName("Tahoma");
  canvas().Font().SetHeight(60);
  ASSERT_EQ(LeftOverhang(canvas(), "H1"), 0);
  ASSERT_EQ(RightOverhang(canvas(), "H1"), 0);
  int width = canvas().TextWidth("H1");
  canvas().Brush().SetStyle(TBrushStyle::bsSolid);
  preview.TextOutLeft(100, 200, "H1");
  EXPECT_EQ(canvas().Brush().Style(), TBrushStyle::bsClear);
  preview.TextOutRight(1000, 300, "H1");
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Reference, (TPoint{100, 200}));
  EXPECT_EQ(texts[0].Text, u"H1");
  EXPECT_EQ(texts[1].Reference, (TPoint{1000 - width, 300}));
}

TEST_F(PageDrawing, ASlantedFaceIsShiftedByTheRoundedOverhangOnEachSide) {
  canvas().Font().SetName("Tahoma");
  canvas().Font().SetHeight(80);
  canvas().Font().SetStyle(fsItalic);
  char leftChar = SlantedCharWithOverhang(canvas(), true);
  char rightChar = SlantedCharWithOverhang(canvas(), false);
  ASSERT_NE(leftChar, 0) << "the slanted face has no glyph overhanging on the left";
  ASSERT_NE(rightChar, 0) << "the slanted face has no glyph overhanging on the right";
  float a = canvas().GetCharABCWidthsFloat(static_cast<unsigned char>(leftChar)).A;
  float c = canvas().GetCharABCWidthsFloat(static_cast<unsigned char>(rightChar)).C;
  Cp932String leftText = Cp932String(std::string(1, leftChar).c_str()) + "x";
  Cp932String rightText = Cp932String("x") + Cp932String(std::string(1, rightChar).c_str());
  int expectedLeft = RoundHalfEven(-a);
  int expectedRight = RoundHalfEven(-c);
  EXPECT_GT(expectedLeft, 0);
  EXPECT_GT(expectedRight, 0);
  EXPECT_EQ(LeftOverhang(canvas(), leftText), expectedLeft);
  EXPECT_EQ(RightOverhang(canvas(), rightText), expectedRight);
  int width = canvas().TextWidth(rightText);
  int hg = canvas().TextHeight("Hg");
  preview.TextOutLeft(100, 200, leftText);
  preview.TextOutLeftMiddle(100, 400, leftText);
  preview.TextOutRight(1000, 300, rightText);
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].Reference, (TPoint{100 + expectedLeft, 200}));
  EXPECT_EQ(texts[1].Reference, (TPoint{100 + expectedLeft, 400 - static_cast<int>(std::ceil(hg / 2.0))}));
  EXPECT_EQ(texts[2].Reference, (TPoint{1000 - expectedRight - width, 300}));
}

TEST_F(PageDrawing, TheOlderFamilyTakesIntegerWidthsOfOutlineFonts) {
  canvas().Font().SetName("Tahoma");
  canvas().Font().SetHeight(80);
  canvas().Font().SetStyle(fsItalic);
  char leftChar = SlantedCharWithOverhang(canvas(), true);
  ASSERT_NE(leftChar, 0);
  SetPlatformFamily(TPlatformFamily::Windows9x);
  Cp932String text(std::string(1, leftChar).c_str());
  ASSERT_TRUE(canvas().IsOutlineFont());
  TABC abc = canvas().GetCharABCWidths(static_cast<unsigned char>(leftChar));
  ASSERT_LT(abc.A, 0);
  EXPECT_EQ(LeftOverhang(canvas(), text), -abc.A);
}

TEST_F(PageDrawing, CentredTextUsesTheTextWidthAndTheHeightOfHg) {
  canvas().Font().SetName("Tahoma");
  canvas().Font().SetHeight(60);
  canvas().Font().SetStyle(fsItalic);  // no overhang correction when centring
  Cp932String text = Cp932String::FromUtf8("１２3");
  int width = canvas().TextWidth(text);
  int hg = canvas().TextHeight("Hg");
  int other = canvas().TextHeight("a");
  EXPECT_EQ(hg, other);  // the cell height, whatever the text
  preview.TextOutCenter(1000, 500, text);
  preview.TextOutLeftMiddle(200, 500, "a");
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Reference, (TPoint{1000 - static_cast<int>(std::ceil(width / 2.0)),
                                        500 - static_cast<int>(std::ceil(hg / 2.0))}));
  EXPECT_EQ(texts[0].Text, u"１２3");
  EXPECT_EQ(texts[1].Reference.Y, texts[0].Reference.Y);  // same Y, same baseline
}

TEST_F(PageDrawing, CircleBoxesAreRoundedHalfAwayFromZeroAndTheBackgroundIsTransparent) {
  preview.Circle(500, 600, 5);
  preview.Circle(500, 600, 4);
  preview.Circle(100, 100, 0);
  canvas().Brush().SetStyle(TBrushStyle::bsSolid);
  preview.Circle(300, 300, 7);
  EXPECT_EQ(canvas().Brush().Style(), TBrushStyle::bsSolid);  // left as the caller set it
  preview.EndDoc();
  const TMetafile& page = *preview.Pages(0);
  auto boxes = test::RectRecords(page, emf::EMR_ELLIPSE);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], Rect(497, 597, 503, 603));
  EXPECT_EQ(boxes[1], Rect(498, 598, 502, 602));
  EXPECT_EQ(boxes[2], Rect(100, 100, 100, 100));
  EXPECT_EQ(boxes[3], Rect(296, 296, 304, 304));
  // TRANSPARENT is set before the first ellipse reaches the page.
  bool transparent = false;
  for (const auto& r : test::ReadRecords(page)) {
    if (r.Type == emf::EMR_SETBKMODE) transparent = test::As<emf::EmrOneValue>(r).value == TRANSPARENT;
    if (r.Type == emf::EMR_ELLIPSE) {
      EXPECT_TRUE(transparent);
      break;
    }
  }
}

}  // namespace
}  // namespace tess

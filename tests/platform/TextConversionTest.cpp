// Code page 932 at the Unicode boundary, the full-width mapping, and the platform family setting.
#include <gtest/gtest.h>

#include "platform/core/Cp932String.h"
#include "platform/core/PlatformFamily.h"

namespace tess {
namespace {

TEST(ToFullWidth, HalfWidthKatakanaJoinsItsVoicedMarks) {
  bool ok = false;
  EXPECT_EQ(ToFullWidth(Cp932String::FromUtf8("ｶﾞｲﾄﾞ"), &ok), Cp932String::FromUtf8("ガイド"));
  EXPECT_TRUE(ok);
  EXPECT_EQ(ToFullWidth(Cp932String::FromUtf8("ﾊﾟﾝﾁ")), Cp932String::FromUtf8("パンチ"));
  EXPECT_EQ(ToFullWidth(Cp932String::FromUtf8("ｳﾞ")), Cp932String::FromUtf8("ヴ"));
}

TEST(ToFullWidth, AsciiBecomesFullWidthAndFullWidthStays) {
  EXPECT_EQ(ToFullWidth(Cp932String::FromUtf8("A4 12")), Cp932String::FromUtf8("Ａ４　１２"));
  EXPECT_EQ(ToFullWidth(Cp932String::FromUtf8("トラクタ（連続紙）")),
            Cp932String::FromUtf8("トラクタ（連続紙）"));
  // A mark with nothing before it to join stays a spacing mark.
  EXPECT_EQ(ToFullWidth(Cp932String::FromUtf8("ﾞ")), Cp932String::FromUtf8("゛"));
  bool ok = false;
  EXPECT_TRUE(ToFullWidth(Cp932String(), &ok).IsEmpty());
  EXPECT_TRUE(ok);
}

TEST(ToFullWidth, TractorFeedSourceNameIsFoundAfterTheMapping) {
  Cp932String source = ToFullWidth(Cp932String::FromUtf8("ﾄﾗｸﾀ ﾌｨｰﾀﾞ"));
  EXPECT_NE(source.Bytes().find(Cp932String::FromUtf8("トラクタ").Bytes()), std::string::npos);
}

TEST(Cp932Utf16, ConvertsBothWaysAndMarksWhatHasNoCode) {
  Cp932String s = Cp932String::FromUtf8("問題No.1ｶ");
  std::u16string wide = ToUtf16(s);
  EXPECT_EQ(wide, u"\u554F\u984CNo.1\uFF76");
  EXPECT_EQ(FromUtf16(wide), s);
  EXPECT_EQ(FromUtf16(u"a\U0001F600b").Bytes(), "a?b");
}

TEST(Cp932Utf16, SingleBytesBelow0x80ConvertAsTheConverterDoesThem) {
  // A text of such bytes alone takes a short way; with a double-byte character after it, the converter.
  std::string ascii;
  for (int b = 1; b < 0x80; ++b) ascii.push_back(static_cast<char>(b));
  const std::u16string viaConverter = ToUtf16(Cp932String::FromBytes(ascii + "\x96\xE2"));
  EXPECT_EQ(ToUtf16(Cp932String::FromBytes(ascii)) + u"\u554F", viaConverter);
}

TEST(Cp932Utf16, AConversionCutAfterALeadByteLeavesNothingForTheNext) {
  // The converter is kept between calls: a text ending in a lead byte, or a lone surrogate, must not
  // join the next text.
  ToUtf16(Cp932String::FromBytes("A\x96"));
  EXPECT_EQ(ToUtf16(Cp932String("A")), u"A");
  FromUtf16(u"a\xD83D");
  EXPECT_EQ(FromUtf16(u"b").Bytes(), "b");
}

TEST(PlatformFamily, IsTheNtFamilyUnlessATestSwitchesIt) {
  EXPECT_EQ(PlatformFamily(), TPlatformFamily::WindowsNT);
  EXPECT_TRUE(IsWindowsNT());
  SetPlatformFamily(TPlatformFamily::Windows9x);
  EXPECT_FALSE(IsWindowsNT());
  SetPlatformFamily(TPlatformFamily::WindowsNT);
  EXPECT_TRUE(IsWindowsNT());
}

}  // namespace
}  // namespace tess

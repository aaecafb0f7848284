// Text records split into single characters: the records read, the records built and the order they are
// played in, checked byte by byte on the records handed to the playback.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/EmfRecords.h"
#include "preview/MetafileUtils.h"

namespace tess {
namespace {

constexpr emf::RectL kBounds{1, 2, 3, 4};
constexpr emf::RectL kClip{90, 190, 150, 240};

// A text record in the MS-EMF layout: head, string padded to four bytes, one advance per unit.
std::vector<std::uint8_t> TextRecord(std::uint32_t type, TPoint ref, const std::string& stringBytes,
                                     std::uint32_t nChars, const std::vector<std::int32_t>& dx,
                                     std::uint32_t options, emf::RectL rcl = kClip) {
  const std::size_t padded = (stringBytes.size() + 3) & ~std::size_t{3};
  emf::EmrExtTextOut head{};
  head.iType = type;
  head.rclBounds = kBounds;
  head.iGraphicsMode = GM_COMPATIBLE;
  head.exScale = 1.5f;
  head.eyScale = -2.25f;
  head.ptlReference = {ref.X, ref.Y};
  head.nChars = nChars;
  head.offString = sizeof(head);
  head.fOptions = options;
  head.rcl = rcl;
  head.offDx = static_cast<std::uint32_t>(sizeof(head) + padded);
  head.nSize = static_cast<std::uint32_t>(head.offDx + 4 * dx.size());
  std::vector<std::uint8_t> out;
  out.reserve(head.nSize);
  emf::Append(out, head);
  out.insert(out.end(), stringBytes.begin(), stringBytes.end());
  out.resize(sizeof(head) + padded, 0);
  for (std::int32_t a : dx) emf::Append(out, a);
  return out;
}

std::vector<std::uint8_t> AnsiRecord(TPoint ref, const Cp932String& text, const std::vector<std::int32_t>& dx,
                                     std::uint32_t options = ETO_OPAQUE | ETO_CLIPPED) {
  return TextRecord(emf::EMR_EXTTEXTOUTA, ref, text.Bytes(), static_cast<std::uint32_t>(text.Length()), dx,
                    options);
}

std::vector<std::uint8_t> WideRecord(TPoint ref, const std::u16string& text,
                                     const std::vector<std::int32_t>& dx,
                                     std::uint32_t options = ETO_OPAQUE | ETO_CLIPPED) {
  std::string bytes(text.size() * 2, '\0');
  std::memcpy(bytes.data(), text.data(), bytes.size());
  return TextRecord(emf::EMR_EXTTEXTOUTW, ref, bytes, static_cast<std::uint32_t>(text.size()), dx, options);
}

// One record as the converter handed it to the playback.
struct TPlayed {
  std::uint32_t Type = 0;
  std::uint32_t Size = 0;
  std::int32_t Value = 0;  // SETBKMODE, RESTOREDC
  TPoint At;
  std::string Text;
  std::vector<std::int32_t> Dx;
  std::uint32_t Options = 0;
};

TPlayed Decode(std::span<const std::uint8_t> bytes) {
  TPlayed p;
  p.Type = emf::ReadAt<std::uint32_t>(bytes, 0).value();
  p.Size = emf::ReadAt<std::uint32_t>(bytes, 4).value();
  EXPECT_EQ(p.Size, bytes.size());
  if (p.Type == emf::EMR_EXTTEXTOUTA) {
    auto head = emf::ReadAt<emf::EmrExtTextOut>(bytes, 0).value();
    p.At = {head.ptlReference.x, head.ptlReference.y};
    p.Options = head.fOptions;
    EXPECT_LE(head.offString + head.nChars, bytes.size());
    EXPECT_LE(head.offDx + 4 * head.nChars, bytes.size());
    p.Text.assign(reinterpret_cast<const char*>(bytes.data()) + head.offString, head.nChars);
    for (std::uint32_t i = 0; i < head.nChars; ++i) {
      p.Dx.push_back(emf::ReadAt<std::int32_t>(bytes, head.offDx + 4 * i).value());
    }
  } else if (bytes.size() >= 12) {
    p.Value = emf::ReadAt<std::int32_t>(bytes, 8).value();
  }
  return p;
}

// A target context with a font of the given escapement on a device of the given resolution.
class Target {
 public:
  Target(int escapement = 0, int dpiX = 600, int dpiY = 600) : bitmap_(4, 4) {
    TLogFont font;
    font.Height = -40;
    font.Escapement = escapement;
    bitmap_.Canvas(dpiX, dpiY).Handle().SelectFont(font);
  }
  ~Target() { bitmap_.ReleaseCanvas(); }
  const TDeviceContext& dc() { return bitmap_.Canvas().Handle(); }

 private:
  TBitmap24 bitmap_;
};

std::vector<TPlayed> Play(const TExtTextOutConverter& converter, const TDeviceContext& target) {
  std::vector<TPlayed> played;
  TResult r = converter.PlayConverted(target, [&played](std::span<const std::uint8_t> record) {
    played.push_back(Decode(record));
    return TResult::Ok();
  });
  EXPECT_TRUE(r.IsOk()) << r.Message();
  return played;
}

std::vector<TPlayed> Convert(const std::vector<std::uint8_t>& record, const TDeviceContext& target) {
  TExtTextOutConverter converter;
  TResult r = converter.CreateFromRecord(record);
  EXPECT_TRUE(r.IsOk()) << r.Message();
  return Play(converter, target);
}

void ExpectText(const TPlayed& p, TPoint at, const std::string& text, std::vector<std::int32_t> dx,
                std::uint32_t options) {
  EXPECT_EQ(p.Type, emf::EMR_EXTTEXTOUTA);
  EXPECT_EQ(p.At, at);
  EXPECT_EQ(p.Text, text);
  EXPECT_EQ(p.Dx, dx);
  EXPECT_EQ(p.Options, options);
}

void ExpectSaveBkTransparentRestore(const std::vector<TPlayed>& p, std::size_t save, std::size_t restore) {
  ASSERT_LT(restore, p.size());
  EXPECT_EQ(p[save].Type, emf::EMR_SAVEDC);
  EXPECT_EQ(p[save].Size, 8u);
  EXPECT_EQ(p[save + 1].Type, emf::EMR_SETBKMODE);
  EXPECT_EQ(p[save + 1].Size, 12u);
  EXPECT_EQ(p[save + 1].Value, TRANSPARENT);
  EXPECT_EQ(p[restore].Type, emf::EMR_RESTOREDC);
  EXPECT_EQ(p[restore].Size, 12u);
  EXPECT_EQ(p[restore].Value, -1);
}

const std::uint32_t kOpaqueClipped = ETO_OPAQUE | ETO_CLIPPED;

TEST(ExtTextOutConverter, ReadsEveryFieldOfATextRecord) {
  TExtTextOutConverter c;
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({100, 200}, "AB", {10, 12})).IsOk());
  EXPECT_TRUE(c.Valid());
  EXPECT_EQ(c.Bounds(), (TRect{1, 2, 3, 4}));
  EXPECT_EQ(c.GraphicsMode(), GM_COMPATIBLE);
  float ex = 1.5f, ey = -2.25f;
  std::uint32_t exBits, eyBits;
  std::memcpy(&exBits, &ex, 4);
  std::memcpy(&eyBits, &ey, 4);
  EXPECT_EQ(c.ExScale(), exBits);
  EXPECT_EQ(c.EyScale(), eyBits);
  EXPECT_EQ(c.RefPoint(), (TPoint{100, 200}));
  EXPECT_EQ(c.TextOptions(), kOpaqueClipped);
  EXPECT_EQ(c.ClipRect(), (TRect{90, 190, 150, 240}));
  ASSERT_EQ(c.Chars().size(), 2u);
  EXPECT_EQ(c.Chars()[0], (TConvertedChar{"A", 0, 10}));
  EXPECT_EQ(c.Chars()[1], (TConvertedChar{"B", 10, 12}));
}

TEST(ExtTextOutConverter, TwoCharactersBecomeTheSevenRecordsAtTheirPositions) {
  Target target;
  std::vector<TPlayed> p = Convert(AnsiRecord({100, 200}, "AB", {10, 12}), target.dc());
  ASSERT_EQ(p.size(), 7u);
  ExpectText(p[0], {100, 200}, "A", {22}, kOpaqueClipped);  // the whole extent, opaque
  ExpectText(p[1], {110, 200}, "B", {12}, kOpaqueClipped);  // the farthest character
  ExpectSaveBkTransparentRestore(p, 2, 6);
  ExpectText(p[4], {100, 200}, "A", {10}, ETO_CLIPPED);
  ExpectText(p[5], {110, 200}, "B", {12}, ETO_CLIPPED);
}

TEST(ExtTextOutConverter, BuiltRecordFollowsTheTextRecordLayoutWithoutPadding) {
  TExtTextOutConverter c;
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({100, 200}, "AB", {10, 12})).IsOk());
  Cp932String kanji = Cp932String::FromUtf8("漢");
  std::vector<std::uint8_t> r = c.BuildTextRecord({7, -8}, 33, kanji, 0x1234);
  ASSERT_EQ(r.size(), 86u);
  auto u32 = [&r](std::size_t at) { return emf::ReadAt<std::uint32_t>(r, at).value(); };
  auto i32 = [&r](std::size_t at) { return emf::ReadAt<std::int32_t>(r, at).value(); };
  EXPECT_EQ(u32(0), 83u);
  EXPECT_EQ(u32(4), 86u);  // 76 + 5 * 2
  EXPECT_EQ(i32(8), 1);
  EXPECT_EQ(i32(12), 2);
  EXPECT_EQ(i32(16), 3);
  EXPECT_EQ(i32(20), 4);
  EXPECT_EQ(u32(24), static_cast<std::uint32_t>(GM_COMPATIBLE));
  EXPECT_EQ(u32(28), c.ExScale());
  EXPECT_EQ(u32(32), c.EyScale());
  EXPECT_EQ(i32(36), 7);
  EXPECT_EQ(i32(40), -8);
  EXPECT_EQ(u32(44), 2u);
  EXPECT_EQ(u32(48), 76u);
  EXPECT_EQ(u32(52), 0x1234u);
  EXPECT_EQ(i32(56), 90);
  EXPECT_EQ(i32(60), 190);
  EXPECT_EQ(i32(64), 150);
  EXPECT_EQ(i32(68), 240);
  EXPECT_EQ(u32(72), 78u);  // 76 + 2
  EXPECT_EQ(r[76], kanji.ByteAt(0));
  EXPECT_EQ(r[77], kanji.ByteAt(1));
  EXPECT_EQ(i32(78), 33);
  EXPECT_EQ(i32(82), 0);

  std::vector<std::uint8_t> one = c.BuildTextRecord({0, 0}, 5, "x", 0);
  EXPECT_EQ(one.size(), 81u);
  EXPECT_EQ(emf::ReadAt<std::uint32_t>(one, 4).value(), 81u);
  EXPECT_EQ(emf::ReadAt<std::uint32_t>(one, 72).value(), 77u);

  EXPECT_EQ(TExtTextOutConverter::MakeSaveDCRecord(), (std::vector<std::uint8_t>{33, 0, 0, 0, 8, 0, 0, 0}));
  EXPECT_EQ(TExtTextOutConverter::MakeSetBkModeRecord(1),
            (std::vector<std::uint8_t>{18, 0, 0, 0, 12, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(TExtTextOutConverter::MakeRestoreDCRecord(),
            (std::vector<std::uint8_t>{34, 0, 0, 0, 12, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(ExtTextOutConverter, OneCharacterPlaysOneRecordAndAnEmptyTextNone) {
  Target target;
  std::vector<TPlayed> one = Convert(AnsiRecord({5, 6}, "Q", {17}), target.dc());
  ASSERT_EQ(one.size(), 1u);
  ExpectText(one[0], {5, 6}, "Q", {17}, kOpaqueClipped);

  EXPECT_TRUE(Convert(AnsiRecord({5, 6}, "", {}, ETO_OPAQUE), target.dc()).empty());
  EXPECT_TRUE(Convert(WideRecord({5, 6}, u"", {}, ETO_OPAQUE), target.dc()).empty());
}

TEST(ExtTextOutConverter, TwoByteCharacterTakesTheSumOfItsAdvances) {
  Target target;
  Cp932String text = Cp932String::FromUtf8("あ1");  // 0x82 0xA0, '1'
  TExtTextOutConverter c;
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, text, {12, 8, 9})).IsOk());
  ASSERT_EQ(c.Chars().size(), 2u);
  EXPECT_EQ(c.Chars()[0], (TConvertedChar{Cp932String::FromUtf8("あ"), 0, 20}));
  EXPECT_EQ(c.Chars()[1], (TConvertedChar{"1", 20, 9}));
  std::vector<TPlayed> p = Play(c, target.dc());
  ASSERT_EQ(p.size(), 7u);
  ExpectText(p[0], {0, 0}, "\x82\xA0", {29, 0}, kOpaqueClipped);
  EXPECT_EQ(p[0].Size, 86u);
  ExpectText(p[4], {0, 0}, "\x82\xA0", {20, 0}, ETO_CLIPPED);
  ExpectText(p[5], {20, 0}, "1", {9}, ETO_CLIPPED);
}

TEST(ExtTextOutConverter, CutOffLeadByteBecomesAQuestionMark) {
  TExtTextOutConverter c;
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, Cp932String::FromBytes("A\x82"), {4, 6})).IsOk());
  ASSERT_EQ(c.Chars().size(), 2u);
  EXPECT_EQ(c.Chars()[1], (TConvertedChar{"?", 4, 6}));
  // A backslash trail byte stays inside its character.
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, Cp932String::FromUtf8("ソ\\"), {7, 0, 3})).IsOk());
  ASSERT_EQ(c.Chars().size(), 2u);
  EXPECT_EQ(c.Chars()[0], (TConvertedChar{Cp932String::FromUtf8("ソ"), 0, 7}));
  EXPECT_EQ(c.Chars()[1], (TConvertedChar{"\\", 7, 3}));
}

TEST(ExtTextOutConverter, WideTextIsConvertedUnitByUnitToTheAnsiCodePage) {
  Target target;
  TExtTextOutConverter c;
  // A Japanese character, an ASCII digit and a surrogate pair (no code: each half becomes '?').
  ASSERT_TRUE(c.CreateFromRecord(WideRecord({10, 20}, u"日7\U0001F600", {30, 15, 8, 9})).IsOk());
  ASSERT_EQ(c.Chars().size(), 4u);
  EXPECT_EQ(c.Chars()[0], (TConvertedChar{Cp932String::FromUtf8("日"), 0, 30}));
  EXPECT_EQ(c.Chars()[1], (TConvertedChar{"7", 30, 15}));
  EXPECT_EQ(c.Chars()[2], (TConvertedChar{"?", 45, 8}));
  EXPECT_EQ(c.Chars()[3], (TConvertedChar{"?", 53, 9}));
  std::vector<TPlayed> p = Play(c, target.dc());
  ASSERT_EQ(p.size(), 9u);
  ExpectText(p[0], {10, 20}, Cp932String::FromUtf8("日").Bytes(), {62, 0}, kOpaqueClipped);
  ExpectText(p[1], {63, 20}, "?", {9}, kOpaqueClipped);
  ExpectText(p[4], {10, 20}, Cp932String::FromUtf8("日").Bytes(), {30, 0}, ETO_CLIPPED);
  ExpectText(p[5], {40, 20}, "7", {15}, ETO_CLIPPED);
  ExpectSaveBkTransparentRestore(p, 2, 8);
}

TEST(ExtTextOutConverter, EscapementTurnsThePositionsAndScalesThemByThePixelAspect) {
  // 90 degrees on a device with twice as many pixels per inch down as across.
  Target target(900, 300, 600);
  std::vector<TPlayed> p = Convert(AnsiRecord({100, 200}, "AB", {10, 12}), target.dc());
  ASSERT_EQ(p.size(), 7u);
  ExpectText(p[0], {100, 200}, "A", {22}, kOpaqueClipped);
  ExpectText(p[1], {100, 180}, "B", {12}, kOpaqueClipped);
  ExpectText(p[5], {100, 180}, "B", {12}, ETO_CLIPPED);
}

TEST(ExtTextOutConverter, PositionsRoundHalvesToEven) {
  // 90 degrees with half as many pixels down as across: y moves by -offset / 2.
  Target target(900, 600, 300);
  std::vector<TPlayed> p = Convert(AnsiRecord({100, 200}, "abcd", {1, 2, 2, 1}), target.dc());
  ASSERT_EQ(p.size(), 9u);
  // Offsets 0, 1, 3, 5 give -0.5 -> 0, -1.5 -> -2, -2.5 -> -2.
  EXPECT_EQ(p[4].At, (TPoint{100, 200}));
  EXPECT_EQ(p[5].At, (TPoint{100, 200}));
  EXPECT_EQ(p[6].At, (TPoint{100, 198}));
  EXPECT_EQ(p[7].At, (TPoint{100, 198}));
}

TEST(ExtTextOutConverter, FarthestCharacterIsTheFirstOneWithTheLargestEnd) {
  Target target;
  TExtTextOutConverter c;
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, "abc", {5, 30, 5})).IsOk());
  EXPECT_EQ(c.FarthestCharIndex(), 2u);
  // Negative advances: the middle character reaches farthest.
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, "abc", {5, 30, -20})).IsOk());
  EXPECT_EQ(c.FarthestCharIndex(), 1u);

  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, "AB", {10, 0})).IsOk());
  EXPECT_EQ(c.FarthestCharIndex(), 0u);
  std::vector<TPlayed> p = Play(c, target.dc());
  ASSERT_EQ(p.size(), 7u);
  ExpectText(p[0], {0, 0}, "A", {10}, kOpaqueClipped);
  ExpectText(p[1], {0, 0}, "A", {10}, kOpaqueClipped);
  ExpectText(p[5], {10, 0}, "B", {0}, ETO_CLIPPED);
}

TEST(ExtTextOutConverter, PolyTextRecordsAreReadWithTheTextRecordFields) {
  Target target;
  std::vector<std::uint8_t> record = AnsiRecord({100, 200}, "AB", {10, 12});
  record[0] = emf::EMR_POLYTEXTOUTA;
  EXPECT_EQ(Convert(record, target.dc()).size(), 7u);
  std::vector<std::uint8_t> wide = WideRecord({100, 200}, u"AB", {10, 12});
  wide[0] = emf::EMR_POLYTEXTOUTW;
  std::vector<TPlayed> p = Convert(wide, target.dc());
  ASSERT_EQ(p.size(), 7u);
  ExpectText(p[1], {110, 200}, "B", {12}, kOpaqueClipped);
}

void SetField(std::vector<std::uint8_t>& record, std::size_t offset, std::uint32_t value) {
  std::memcpy(record.data() + offset, &value, 4);
}

// A record that cannot be read is refused with a message, and the converter is left unbuilt.
void ExpectRefused(const std::vector<std::uint8_t>& record, const std::string& says) {
  TExtTextOutConverter c;
  TResult r = c.CreateFromRecord(record);
  EXPECT_FALSE(r.IsOk());
  EXPECT_NE(r.Message().find(says), std::string::npos) << r.Message();
  EXPECT_FALSE(c.Valid());
  EXPECT_TRUE(c.Chars().empty());
}

TEST(ExtTextOutConverter, RecordsWhoseTextOrAdvancesLieOutsideAreRefused) {
  const std::vector<std::uint8_t> good = AnsiRecord({0, 0}, "ABCD", {1, 2, 3, 4});  // 76 + 4 + 16 bytes
  ASSERT_TRUE(TExtTextOutConverter().CreateFromRecord(good).IsOk());

  std::vector<std::uint8_t> r = good;
  SetField(r, offsetof(emf::EmrExtTextOut, offString), 93);  // the last byte of the string past the end
  ExpectRefused(r, "text of 4 characters at offset 93 lies outside the record of 96 bytes");
  r = good;
  SetField(r, offsetof(emf::EmrExtTextOut, offString), 0xFFFFFFFEu);  // would wrap in 32 bits
  ExpectRefused(r, "lies outside");
  r = good;
  SetField(r, offsetof(emf::EmrExtTextOut, offDx), 81);
  ExpectRefused(r, "4 advances at offset 81 lie outside the record of 96 bytes");
  r = good;
  SetField(r, offsetof(emf::EmrExtTextOut, offDx), 0xFFFFFFF0u);
  ExpectRefused(r, "lie outside");
  // Counts that cannot fit, however the offsets are set.
  r = good;
  SetField(r, offsetof(emf::EmrExtTextOut, nChars), 0xFFFFFFFFu);
  ExpectRefused(r, "character count 4294967295 cannot fit in a record of 96 bytes");
  r = good;
  SetField(r, offsetof(emf::EmrExtTextOut, nChars), 5);
  ExpectRefused(r, "lie outside");
  // Two bytes a unit in a wide record: the count that fits an ANSI record does not fit here.
  std::vector<std::uint8_t> w = WideRecord({0, 0}, u"AB", {1, 2});  // 76 + 4 + 8 bytes
  SetField(w, offsetof(emf::EmrExtTextOut, nChars), 15);
  ExpectRefused(w, "cannot fit");
  w = WideRecord({0, 0}, u"AB", {1, 2});
  SetField(w, offsetof(emf::EmrExtTextOut, offString), 78);
  SetField(w, offsetof(emf::EmrExtTextOut, offDx), 76);
  ASSERT_TRUE(TExtTextOutConverter().CreateFromRecord(w).IsOk());  // overlapping, but inside
  SetField(w, offsetof(emf::EmrExtTextOut, offString), 85);
  ExpectRefused(w, "lies outside");
}

TEST(ExtTextOutConverter, RecordsShorterThanTheirHeadOrTheirSizeAreRefused) {
  std::vector<std::uint8_t> good = AnsiRecord({0, 0}, "AB", {1, 2});
  ExpectRefused(std::vector<std::uint8_t>(good.begin(), good.begin() + 2), "has no type");
  ExpectRefused(std::vector<std::uint8_t>(good.begin(), good.begin() + 75), "shorter than its 76-byte head");
  // The size field promises more than there is, or less than the head.
  std::vector<std::uint8_t> r = good;
  SetField(r, 4, static_cast<std::uint32_t>(good.size() + 4));
  ExpectRefused(r, "gives its size as");
  SetField(r, 4, 40);
  ExpectRefused(r, "gives its size as 40");
  // A smaller size field bounds what is read: the advances now lie outside.
  r = good;
  SetField(r, 4, 80);
  ExpectRefused(r, "lie outside the record of 80 bytes");
}

TEST(ExtTextOutConverter, BrokenInvariantsAreReportedAsAssertionFailures) {
  TExtTextOutConverter c;
  std::vector<std::uint8_t> notText = AnsiRecord({0, 0}, "A", {1});
  notText[0] = emf::EMR_ELLIPSE;
  try {
    (void)c.CreateFromRecord(notText);
    FAIL() << "no assertion failure";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message().ToUtf8(), "アサートの? (MetafileUtils, line 504)");
  }
  EXPECT_FALSE(c.Valid());
  Target target;
  try {
    (void)c.PlayConverted(target.dc(), [](std::span<const std::uint8_t>) { return TResult::Ok(); });
    FAIL() << "no assertion failure";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message().ToUtf8(), "アサートの? (MetafileUtils, line 759)");
  }
}

TEST(ExtTextOutConverter, PlaybackFailureStopsTheConvertedRecords) {
  Target target;
  TExtTextOutConverter c;
  ASSERT_TRUE(c.CreateFromRecord(AnsiRecord({0, 0}, "ABC", {1, 2, 3})).IsOk());
  int calls = 0;
  TResult r = c.PlayConverted(target.dc(), [&calls](std::span<const std::uint8_t>) {
    return ++calls == 3 ? TResult::Error("device gone") : TResult::Ok();
  });
  EXPECT_FALSE(r.IsOk());
  EXPECT_EQ(r.Message(), "device gone");
  EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace tess

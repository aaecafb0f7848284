// Malformed recordings end with an error that says what is wrong, never a crash, and leave the target
// as it was.
#include <gtest/gtest.h>

#include "platform/gfx/emf/Metafile.h"
#include "tests/platform/DrawingTestUtil.h"

namespace tess {
namespace {

using namespace tess::testing;

std::vector<std::uint8_t> ValidPage() {
  return RecordPage(A4Device(96),
                    [](TCanvas& c) {
                      c.Pen().SetColor(clRed);
                      c.LineTo(100, 100);
                      c.Font().SetHeight(-40);
                      c.TextOut(10, 10, "Hg");
                    })
      .Bytes();
}

// Puts a record in front of the EOF, fixing the header totals.
std::vector<std::uint8_t> WithRecord(std::vector<std::uint8_t> bytes,
                                     const std::vector<std::uint8_t>& record) {
  bytes.insert(bytes.end() - 20, record.begin(), record.end());
  std::uint32_t n = static_cast<std::uint32_t>(bytes.size());
  std::memcpy(bytes.data() + 48, &n, 4);
  std::uint32_t records = At<std::uint32_t>(bytes, 52) + 1;
  std::memcpy(bytes.data() + 52, &records, 4);
  return bytes;
}

std::vector<std::uint8_t> OneValue(std::uint32_t type, std::uint32_t value) {
  auto r = emf::MakeRecord<emf::EmrOneValue>(type);
  r.value = value;
  std::vector<std::uint8_t> out;
  emf::Append(out, r);
  return out;
}

// Plays onto a bitmap; the target's save depth and mapping must come back unchanged.
TResult PlayOnto(const std::vector<std::uint8_t>& bytes) {
  TBitmap24 target(50, 50);
  TCanvas& c = target.Canvas();
  TResult r = PlayEmf(c.Handle(), bytes, TRect{0, 0, 50, 50});
  EXPECT_EQ(c.Handle().SaveDepth(), 0);
  EXPECT_EQ(c.Handle().State().MapMode, MM_TEXT);
  EXPECT_FALSE(c.Handle().State().InPlayback);
  target.ReleaseCanvas();
  return r;
}

void ExpectError(const TResult& r, const std::string& part) {
  EXPECT_FALSE(r);
  EXPECT_NE(r.Message().find(part), std::string::npos) << r.Message();
}

TEST(EmfMalformed, ValidPagePlays) {
  EXPECT_TRUE(PlayOnto(ValidPage()));
}

TEST(EmfMalformed, EmptyAndTinyInputsAreNotEmf) {
  ExpectError(PlayOnto({}), "cut off");
  ExpectError(PlayOnto({1, 0, 0, 0}), "cut off");
  std::vector<std::uint8_t> notHeader = OneValue(emf::EMR_SETBKMODE, 1);
  ExpectError(PlayOnto(notHeader), "not an EMF");
}

TEST(EmfMalformed, TruncatedRecordingIsRefused) {
  std::vector<std::uint8_t> bytes = ValidPage();
  for (std::size_t cut :
       {bytes.size() - 1, bytes.size() - 20, bytes.size() / 2, std::size_t{120}, std::size_t{100}}) {
    std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    EXPECT_FALSE(PlayOnto(part)) << "cut at " << cut;
    TMetafile m;
    EXPECT_FALSE(m.LoadFromBytes(part));
    EXPECT_TRUE(m.Empty());
  }
  // Header totals fixed up so only the missing EOF tells.
  std::vector<std::uint8_t> noEof(bytes.begin(), bytes.end() - 20);
  std::uint32_t n = static_cast<std::uint32_t>(noEof.size());
  std::memcpy(noEof.data() + 48, &n, 4);
  ExpectError(PlayOnto(noEof), "without an EOF");
}

TEST(EmfMalformed, RecordSizesOutsideTheFrameRulesAreRefused) {
  std::vector<std::uint8_t> bytes = ValidPage();
  const std::size_t second = 108;  // the record after the header
  auto withSize = [&](std::uint32_t size) {
    std::vector<std::uint8_t> b = bytes;
    std::memcpy(b.data() + second + 4, &size, 4);
    return b;
  };
  ExpectError(PlayOnto(withSize(0)), "less than 8");
  ExpectError(PlayOnto(withSize(4)), "less than 8");
  ExpectError(PlayOnto(withSize(14)), "multiple of 4");
  ExpectError(PlayOnto(withSize(0xFFFFFFF0u)), "bytes are left");
  ExpectError(PlayOnto(withSize(static_cast<std::uint32_t>(bytes.size()))), "bytes are left");
  // A header claiming more bytes than there are.
  std::vector<std::uint8_t> b = bytes;
  std::uint32_t more = static_cast<std::uint32_t>(bytes.size() + 4);
  std::memcpy(b.data() + 48, &more, 4);
  ExpectError(PlayOnto(b), "cut off");
}

TEST(EmfMalformed, UnknownRecordTypesEndPlayback) {
  std::vector<std::uint8_t> unknown(16, 0);
  std::uint32_t type = 200, size = 16;
  std::memcpy(unknown.data(), &type, 4);
  std::memcpy(unknown.data() + 4, &size, 4);
  ExpectError(PlayOnto(WithRecord(ValidPage(), unknown)), "unknown record type");
  type = 0;
  std::memcpy(unknown.data(), &type, 4);
  ExpectError(PlayOnto(WithRecord(ValidPage(), unknown)), "unknown record type");
  // A record of the format that does not draw (a comment) is passed over.
  std::vector<std::uint8_t> comment = OneValue(emf::EMR_GDICOMMENT, 0);
  EXPECT_TRUE(PlayOnto(WithRecord(ValidPage(), comment)));
}

TEST(EmfMalformed, BadObjectIndexesAreErrors) {
  std::vector<std::uint8_t> page = ValidPage();
  ExpectError(PlayOnto(WithRecord(page, OneValue(emf::EMR_SELECTOBJECT, 999))), "outside the handle table");
  ExpectError(PlayOnto(WithRecord(page, OneValue(emf::EMR_DELETEOBJECT, 0))), "outside the handle table");
  ExpectError(PlayOnto(WithRecord(page, OneValue(emf::EMR_SELECTOBJECT, emf::kStockObjectBit | 77))),
              "unknown stock object");
  // Index 1 exists in the table but its pen was deleted (objects are deleted when replaced).
  std::vector<std::uint8_t> twice = WithRecord(page, OneValue(emf::EMR_DELETEOBJECT, 1));
  twice = WithRecord(twice, OneValue(emf::EMR_SELECTOBJECT, 1));
  ExpectError(PlayOnto(twice), "holds no object");
  auto pen = emf::MakeRecord<emf::EmrCreatePen>(emf::EMR_CREATEPEN);
  pen.ihPen = 5000;
  std::vector<std::uint8_t> penBytes;
  emf::Append(penBytes, pen);
  ExpectError(PlayOnto(WithRecord(page, penBytes)), "outside the handle table");
}

TEST(EmfMalformed, RestoringStatesTheRecordingNeverSavedIsRefused) {
  std::vector<std::uint8_t> page = ValidPage();
  ExpectError(PlayOnto(WithRecord(page, emf::MakeRestoreDCRecord(-1))), "RESTOREDC");
  ExpectError(PlayOnto(WithRecord(page, emf::MakeRestoreDCRecord(1))), "RESTOREDC");
  std::vector<std::uint8_t> balanced = WithRecord(page, emf::MakeSaveDCRecord());
  balanced = WithRecord(balanced, emf::MakeRestoreDCRecord(-1));
  EXPECT_TRUE(PlayOnto(balanced));
}

TEST(EmfMalformed, TextAndBitmapOffsetsOutsideTheRecordAreRefused) {
  std::vector<std::uint8_t> page = ValidPage();
  emf::EmrExtTextOut t{};
  t.iType = emf::EMR_EXTTEXTOUTW;
  t.nSize = 84;
  t.nChars = 0x40000000u;  // far more characters than the record holds
  t.offString = 76;
  t.offDx = 80;
  std::vector<std::uint8_t> text;
  emf::Append(text, t);
  text.resize(84, 0);
  ExpectError(PlayOnto(WithRecord(page, text)), "outside the record");
  t.nChars = 2;
  t.offDx = 0xFFFFFFF0u;
  text.clear();
  emf::Append(text, t);
  text.resize(84, 0);
  ExpectError(PlayOnto(WithRecord(page, text)), "outside the record");

  auto dib = emf::MakeRecord<emf::EmrStretchDIBits>(emf::EMR_STRETCHDIBITS);
  dib.offBmiSrc = 80;
  dib.cbBmiSrc = 40;
  dib.offBitsSrc = 120;
  dib.cbBitsSrc = 0x7FFFFFFF;
  std::vector<std::uint8_t> dibBytes;
  emf::Append(dibBytes, dib);
  ExpectError(PlayOnto(WithRecord(page, dibBytes)), "outside the record");

  // A record shorter than its fixed part.
  std::vector<std::uint8_t> shortPen = OneValue(emf::EMR_CREATEPEN, 1);
  ExpectError(PlayOnto(WithRecord(page, shortPen)), "too short");
}

// A STRETCHDIBITS record drawing a 1 x 1 bottom-up bitmap; set adjusts its fields.
std::vector<std::uint8_t> OnePixelDib(const std::function<void(emf::EmrStretchDIBits&)>& set) {
  auto r = emf::MakeRecord<emf::EmrStretchDIBits>(emf::EMR_STRETCHDIBITS);
  r.cxSrc = r.cySrc = 1;
  r.cxDest = r.cyDest = 10;
  r.offBmiSrc = 80;
  r.cbBmiSrc = 40;
  r.offBitsSrc = 120;
  r.cbBitsSrc = 4;
  r.dwRop = SRCCOPY;
  r.nSize = 124;
  set(r);
  emf::BitmapInfoHeader bmi{};
  bmi.biSize = 40;
  bmi.biWidth = bmi.biHeight = 1;
  bmi.biPlanes = 1;
  bmi.biBitCount = 24;
  std::vector<std::uint8_t> out;
  emf::Append(out, r);
  emf::Append(out, bmi);
  out.insert(out.end(), {0x80, 0x80, 0x80, 0});
  return out;
}

TEST(EmfMalformed, StretchDibitsWithExtremeValuesIsRefusedOrDrawnWithoutOverflow) {
  const std::vector<std::uint8_t> page = ValidPage();
  // Turned over, these bottom-up source rows start beyond the 32-bit range.
  ExpectError(PlayOnto(WithRecord(page, OnePixelDib([](auto& r) { r.ySrc = INT32_MIN; }))),
              "coordinate range");
  ExpectError(PlayOnto(WithRecord(page, OnePixelDib([](auto& r) { r.ySrc = r.cySrc = INT32_MAX; }))),
              "coordinate range");
  // Source rows reaching far past the bitmap and a destination spanning the range still draw.
  EXPECT_TRUE(PlayOnto(WithRecord(page, OnePixelDib([](auto& r) {
                                    r.ySrc = -5;
                                    r.cySrc = INT32_MAX;
                                  }))));
  const std::vector<std::uint8_t> hugeDest = WithRecord(page, OnePixelDib([](auto& r) {
                                                          r.xDest = INT32_MIN;
                                                          r.cxDest = r.cyDest = INT32_MAX;
                                                        }));
  EXPECT_TRUE(PlayOnto(hugeDest));
  // Re-recorded, the frame taken from the far-out bounds reaches out as far as 32-bit sizes allow, on the
  // side the picture lies (not wrapped around), and the recording loads again.
  TMetafile copy;
  {
    TMetafileCanvas c(copy, A4Device(96));
    EXPECT_TRUE(PlayEmf(c.Handle(), hugeDest, TRect{0, 0, 794, 1123}));
  }
  EXPECT_LT(copy.Header().rclFrame.left, -1000000000);
  EXPECT_GT(copy.Header().rclFrame.bottom, 1000000000);
  EXPECT_GT(copy.MMWidth(), 0);
  EXPECT_GT(copy.MMHeight(), 0);
  TMetafile reloaded;
  EXPECT_TRUE(reloaded.LoadFromBytes(copy.Bytes()));
}

TEST(EmfMalformed, HeaderSizesBeyondThe32BitRangeAreRefusedOrWorkedOutWide) {
  auto withHeader = [](std::size_t offset, std::int32_t a, std::int32_t b) {
    std::vector<std::uint8_t> bytes = ValidPage();
    std::memcpy(bytes.data() + offset, &a, 4);
    std::memcpy(bytes.data() + offset + 8, &b, 4);
    return bytes;
  };
  // A frame (left, right) wider than 32 bits: nothing is loaded.
  TMetafile m;
  ExpectError(m.LoadFromBytes(withHeader(24, -1, INT32_MAX)), "out of range");
  EXPECT_TRUE(m.Empty());
  // Millimetres (szlMillimeters.cx) whose hundredfold needs more than 32 bits: 3 m over 1e6 pixels of 30 km.
  std::vector<std::uint8_t> wide = withHeader(24, 0, 300000);
  std::int32_t pixels = 1000000, millimetres = 30000000;
  std::memcpy(wide.data() + 72, &pixels, 4);
  std::memcpy(wide.data() + 80, &millimetres, 4);
  ASSERT_TRUE(m.LoadFromBytes(wide));
  EXPECT_EQ(m.Width(), 100);
}

TEST(EmfMalformed, BuiltRecordsAreCheckedToo) {
  std::vector<std::uint8_t> page = ValidPage();
  TBitmap24 target(20, 20);
  TRect rect{0, 0, 20, 20};
  std::vector<TResult> results;
  TResult r = EnumerateEmf(page, &target.Canvas().Handle(), &rect, [&](TEnumContext& e) {
    if (e.Record().Index != 1) return true;
    std::vector<std::uint8_t> tooBig = emf::MakeSaveDCRecord();
    std::uint32_t size = 64;
    std::memcpy(tooBig.data() + 4, &size, 4);
    results.push_back(e.PlayRecord(tooBig));
    results.push_back(e.PlayRecord(std::vector<std::uint8_t>{1, 2, 3}));
    return true;
  });
  target.ReleaseCanvas();
  EXPECT_TRUE(r);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_FALSE(results[0]);
  EXPECT_FALSE(results[1]);
}

}  // namespace
}  // namespace tess

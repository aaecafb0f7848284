#pragma once
// Enhanced Metafile records in the published MS-EMF layout (little-endian, every record a multiple of four
// bytes, headed by iType and nSize). Only the records this program writes or plays are listed. The structs
// are plain data: they are copied to and from record bytes with memcpy after a length check, never by
// casting a pointer into a buffer.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "platform/gfx/Dib.h"

namespace tess::emf {

// MS-EMF 2.1.1 RecordType enumeration (the subset used here).
enum RecordType : std::uint32_t {
  EMR_HEADER = 1,
  EMR_POLYLINE = 4,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_EOF = 14,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETSTRETCHBLTMODE = 21,
  EMR_SETTEXTALIGN = 22,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_MOVETOEX = 27,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SETWORLDTRANSFORM = 35,
  EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_LINETO = 54,
  EMR_SETMITERLIMIT = 58,
  EMR_SETGRAPHICSMODE = 67,
  EMR_GDICOMMENT = 70,
  EMR_BITBLT = 76,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTA = 83,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYTEXTOUTA = 96,
  EMR_POLYTEXTOUTW = 97,
  EMR_SETICMMODE = 98,
  EMR_SETLAYOUT = 115,
  EMR_MAX = 122,  // the highest type the published format defines
};

// Stock objects are selected by index with this bit set (MS-EMF 2.1.31 StockObject).
constexpr std::uint32_t kStockObjectBit = 0x80000000u;
// MS-EMF 2.3.4.2: " EMF" as a little-endian 32-bit value.
constexpr std::uint32_t ENHMETA_SIGNATURE = 0x464D4520u;
constexpr std::uint32_t kEmfVersion = 0x00010000u;

// MS-WMF 2.2.2.19 RectL / 2.2.2.16 PointL / 2.2.2.22 SizeL.
struct RectL {
  std::int32_t left, top, right, bottom;
};
static_assert(sizeof(RectL) == 16);
struct PointL {
  std::int32_t x, y;
};
static_assert(sizeof(PointL) == 8);
struct SizeL {
  std::int32_t cx, cy;
};
static_assert(sizeof(SizeL) == 8);
// MS-WMF 2.2.2.25 Xform.
struct Xform {
  float eM11, eM12, eM21, eM22, eDx, eDy;
};
static_assert(sizeof(Xform) == 24);

// MS-EMF 2.3.4.2 EMR_HEADER with HeaderExtension1 (2.2.10) and HeaderExtension2 (2.2.11).
struct EmrHeader {
  std::uint32_t iType;
  std::uint32_t nSize;
  RectL rclBounds;  // inclusive, reference-device pixels
  RectL rclFrame;   // 0.01 mm
  std::uint32_t dSignature;
  std::uint32_t nVersion;
  std::uint32_t nBytes;    // size of the whole metafile
  std::uint32_t nRecords;  // number of records, header and EOF included
  std::uint16_t nHandles;  // handle-table size, index 0 (reserved) included
  std::uint16_t sReserved;
  std::uint32_t nDescription;
  std::uint32_t offDescription;
  std::uint32_t nPalEntries;
  SizeL szlDevice;       // reference device, pixels
  SizeL szlMillimeters;  // reference device, millimetres
  std::uint32_t cbPixelFormat;
  std::uint32_t offPixelFormat;
  std::uint32_t bOpenGL;
  SizeL szlMicrometers;  // reference device, micrometres
};
static_assert(sizeof(EmrHeader) == 108);
// The smallest header the format allows (without the extensions).
constexpr std::size_t kMinHeaderSize = 88;

// MS-EMF 2.3.4.1 EMR_EOF (no palette).
struct EmrEof {
  std::uint32_t iType, nSize;
  std::uint32_t nPalEntries;
  std::uint32_t offPalEntries;
  std::uint32_t nSizeLast;
};
static_assert(sizeof(EmrEof) == 20);

// MS-EMF 2.3.11: records with one 32-bit value (SETMAPMODE, SETBKMODE, SETTEXTALIGN, SETTEXTCOLOR,
// SETBKCOLOR, RESTOREDC, SELECTOBJECT, DELETEOBJECT, SETGRAPHICSMODE ...).
struct EmrOneValue {
  std::uint32_t iType, nSize;
  std::uint32_t value;
};
static_assert(sizeof(EmrOneValue) == 12);

// MS-EMF 2.3.11.4 EMR_SAVEDC (no payload).
struct EmrSaveDC {
  std::uint32_t iType, nSize;
};
static_assert(sizeof(EmrSaveDC) == 8);

// MS-EMF 2.3.11.x SETWINDOWEXTEX / SETVIEWPORTEXTEX (SizeL), SETWINDOWORGEX / SETVIEWPORTORGEX and
// 2.3.11.4 MOVETOEX, 2.3.5.13 LINETO (PointL).
struct EmrPoint {
  std::uint32_t iType, nSize;
  PointL point;
};
static_assert(sizeof(EmrPoint) == 16);

// MS-EMF 2.3.5.5 EMR_ELLIPSE, 2.3.5.34 EMR_RECTANGLE, 2.3.2.3 EMR_INTERSECTCLIPRECT.
struct EmrRect {
  std::uint32_t iType, nSize;
  RectL rect;
};
static_assert(sizeof(EmrRect) == 24);

// MS-EMF 2.3.12.2 EMR_SETWORLDTRANSFORM.
struct EmrSetWorldTransform {
  std::uint32_t iType, nSize;
  Xform xform;
};
static_assert(sizeof(EmrSetWorldTransform) == 32);

// MS-EMF 2.3.12.1 EMR_MODIFYWORLDTRANSFORM.
struct EmrModifyWorldTransform {
  std::uint32_t iType, nSize;
  Xform xform;
  std::uint32_t iMode;
};
static_assert(sizeof(EmrModifyWorldTransform) == 36);

// MS-WMF 2.2.2.x LogPen within MS-EMF 2.3.7.7 EMR_CREATEPEN.
struct EmrCreatePen {
  std::uint32_t iType, nSize;
  std::uint32_t ihPen;
  std::uint32_t lopnStyle;
  PointL lopnWidth;  // x is the width; y is ignored
  std::uint32_t lopnColor;
};
static_assert(sizeof(EmrCreatePen) == 28);

// MS-EMF 2.3.7.1 EMR_CREATEBRUSHINDIRECT with 2.2.12 LogBrushEx.
struct EmrCreateBrushIndirect {
  std::uint32_t iType, nSize;
  std::uint32_t ihBrush;
  std::uint32_t lbStyle;
  std::uint32_t lbColor;
  std::uint32_t lbHatch;
};
static_assert(sizeof(EmrCreateBrushIndirect) == 24);

// MS-EMF 2.2.13 LogFont (LOGFONTW).
struct LogFontW {
  std::int32_t lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
  std::uint8_t lfItalic, lfUnderline, lfStrikeOut, lfCharSet;
  std::uint8_t lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily;
  char16_t lfFaceName[32];
};
static_assert(sizeof(LogFontW) == 92);

// MS-EMF 2.2.16 LogFontPanose: the form Windows itself writes in font records.
struct LogFontPanose {
  LogFontW logFont;
  char16_t fullName[64];
  char16_t style[32];
  std::uint32_t version, styleSize, match, reserved, vendorId, culture;
  std::uint8_t panose[10];
  std::uint8_t padding[2];
};
static_assert(sizeof(LogFontPanose) == 320);

// MS-EMF 2.3.7.8 EMR_EXTCREATEFONTINDIRECTW.
struct EmrExtCreateFontIndirectW {
  std::uint32_t iType, nSize;
  std::uint32_t ihFont;
  LogFontPanose elfw;
};
static_assert(sizeof(EmrExtCreateFontIndirectW) == 332);
// Font records as short as a bare LogFont are valid too.
constexpr std::size_t kMinFontRecordSize = 12 + sizeof(LogFontW);

// MS-EMF 2.3.5.7/2.3.5.8 EMR_EXTTEXTOUTA / EMR_EXTTEXTOUTW with 2.2.5 EmrText, up to offDx; the string
// and the advances follow at offString and offDx (bytes from the record start).
struct EmrExtTextOut {
  std::uint32_t iType, nSize;
  RectL rclBounds;
  std::uint32_t iGraphicsMode;
  float exScale;
  float eyScale;
  PointL ptlReference;
  std::uint32_t nChars;
  std::uint32_t offString;
  std::uint32_t fOptions;
  RectL rcl;
  std::uint32_t offDx;
};
static_assert(sizeof(EmrExtTextOut) == 76);
static_assert(offsetof(EmrExtTextOut, ptlReference) == 36);
static_assert(offsetof(EmrExtTextOut, nChars) == 44);
static_assert(offsetof(EmrExtTextOut, offDx) == 72);

// MS-EMF 2.3.1.2 EMR_BITBLT; without a source bitmap (cbBmiSrc 0) it paints the brush (PATCOPY).
struct EmrBitBlt {
  std::uint32_t iType, nSize;
  RectL rclBounds;
  std::int32_t xDest, yDest, cxDest, cyDest;
  std::uint32_t dwRop;
  std::int32_t xSrc, ySrc;
  Xform xformSrc;
  std::uint32_t crBkColorSrc;
  std::uint32_t iUsageSrc;
  std::uint32_t offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc;
};
static_assert(sizeof(EmrBitBlt) == 100);

// MS-EMF 2.3.1.7 EMR_STRETCHDIBITS; BITMAPINFOHEADER at offBmiSrc, pixel rows at offBitsSrc.
struct EmrStretchDIBits {
  std::uint32_t iType, nSize;
  RectL rclBounds;
  std::int32_t xDest, yDest;
  std::int32_t xSrc, ySrc, cxSrc, cySrc;
  std::uint32_t offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc;
  std::uint32_t iUsageSrc;
  std::uint32_t dwRop;
  std::int32_t cxDest, cyDest;
};
static_assert(sizeof(EmrStretchDIBits) == 80);

// The DIB header that EMR_STRETCHDIBITS carries (platform/gfx/Dib.h).
using tess::BitmapInfoHeader;

// ---- Byte access -----------------------------------------------------------------------------------------

// Reads a T at offset when it lies wholly inside bytes.
template <class T>
std::optional<T> ReadAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

template <class T>
void Append(std::vector<std::uint8_t>& out, const T& value) {
  const std::size_t at = out.size();
  out.resize(at + sizeof(T));
  std::memcpy(out.data() + at, &value, sizeof(T));
}

// A record of type iType built from a fixed struct whose iType and nSize are filled in here.
template <class T>
T MakeRecord(std::uint32_t type) {
  T r{};
  r.iType = type;
  r.nSize = sizeof(T);
  return r;
}

// Builders for the small records another unit plays through an enumeration.
std::vector<std::uint8_t> MakeSaveDCRecord();
std::vector<std::uint8_t> MakeRestoreDCRecord(std::int32_t relative);
std::vector<std::uint8_t> MakeSetBkModeRecord(std::uint32_t mode);

}  // namespace tess::emf

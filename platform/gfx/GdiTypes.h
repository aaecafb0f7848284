#pragma once
// GDI's constants (mapping modes, text alignment, pen and brush styles, stock objects, device caps, raster
// operations) and the plain data it passes around: logical fonts, pens and brushes, text metrics, ABC
// widths and the description of a device.

#include <cstdint>
#include <string>

namespace tess {

constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;
constexpr int MWT_IDENTITY = 1;
constexpr int MWT_LEFTMULTIPLY = 2;
constexpr int MWT_RIGHTMULTIPLY = 3;
constexpr int MWT_SET = 4;

constexpr unsigned TA_NOUPDATECP = 0, TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
constexpr unsigned TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;

constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;

constexpr unsigned PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
                   PS_INSIDEFRAME = 6;
constexpr unsigned BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1;

// Stock objects (GetStockObject).
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10,
              ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14,
              DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;

// GetDeviceCaps indexes.
constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90,
              PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;

// Raster operations.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t PATCOPY = 0x00F00021;

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr std::uint8_t ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SHIFTJIS_CHARSET = 128;

// ---- Logical objects -------------------------------------------------------------------------------------

// LOGFONTW: the face name is kept as given (UTF-16), so a recording carries the face name that was asked for.
struct TLogFont {
  int Height = 0;  // < 0: character (em) height, > 0: cell height, 0: a default size
  int Width = 0;
  int Escapement = 0;  // tenths of a degree, counter-clockwise
  int Orientation = 0;
  int Weight = FW_NORMAL;
  std::uint8_t Italic = 0;
  std::uint8_t Underline = 0;
  std::uint8_t StrikeOut = 0;
  std::uint8_t CharSet = DEFAULT_CHARSET;
  std::uint8_t OutPrecision = 0;
  std::uint8_t ClipPrecision = 0;
  std::uint8_t Quality = 0;
  std::uint8_t PitchAndFamily = 0;
  std::u16string FaceName;  // at most 31 units are recorded
  friend bool operator==(const TLogFont&, const TLogFont&) = default;
};

struct TLogPen {
  unsigned Style = PS_SOLID;
  int Width = 0;            // logical units; 0 = one device pixel whatever the mapping
  std::uint32_t Color = 0;  // 0x00BBGGRR
  friend bool operator==(const TLogPen&, const TLogPen&) = default;
};

struct TLogBrush {
  unsigned Style = BS_SOLID;
  std::uint32_t Color = 0xFFFFFF;
  std::uint32_t Hatch = 0;
  friend bool operator==(const TLogBrush&, const TLogBrush&) = default;
};

// The few TEXTMETRIC fields the program needs, in logical units.
struct TTextMetric {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  bool Outline = true;  // TMPF_TRUETYPE / TMPF_VECTOR
};

struct TABC {
  int A = 0;
  unsigned B = 0;
  int C = 0;
};

struct TABCFloat {
  float A = 0;
  float B = 0;
  float C = 0;
};

// ---- Devices ---------------------------------------------------------------------------------------------

// What a reference device (printer or screen) looks like to a recording: resolution and size.
struct TDeviceDescription {
  int DpiX = 96;
  int DpiY = 96;
  int WidthPixels = 1920;   // HORZRES
  int HeightPixels = 1080;  // VERTRES
  int WidthMM = 508;        // HORZSIZE
  int HeightMM = 286;       // VERTSIZE
  int OffsetX = 0;          // PHYSICALOFFSETX (printers)
  int OffsetY = 0;
  int PhysicalWidth = 0;  // PHYSICALWIDTH (printers; 0 = WidthPixels)
  int PhysicalHeight = 0;

  // A device of the given resolution and pixel size; the millimetre sizes are worked out from them.
  static TDeviceDescription FromPixels(int dpiX, int dpiY, int widthPixels, int heightPixels);
  // The primary screen (96 dpi and 1920 x 1080 when the platform reports no screen).
  static TDeviceDescription Screen();
  friend bool operator==(const TDeviceDescription&, const TDeviceDescription&) = default;
};

}  // namespace tess

#pragma once
// The header of a device-independent bitmap, in its stored little-endian layout (it heads the pixels of a
// DIB in a file, on the clipboard and inside a recording).

#include <cstdint>

namespace tess {

// MS-WMF 2.2.2.3 BitmapInfoHeader.
struct BitmapInfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth, biHeight;
  std::uint16_t biPlanes, biBitCount;
  std::uint32_t biCompression, biSizeImage;
  std::int32_t biXPelsPerMeter, biYPelsPerMeter;
  std::uint32_t biClrUsed, biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

}  // namespace tess

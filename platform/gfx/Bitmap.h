#pragma once
// 24-bit device-independent bitmaps: rows of blue, green, red bytes, each row padded to four bytes, as
// BITMAPINFOHEADER with biBitCount 24 describes them. Rows are kept top-down here; DibBits gives the
// bottom-up order of a DIB with positive height.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/core/Result.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Dib.h"

namespace tess {

class TBitmap24 {
 public:
  TBitmap24();
  // A bitmap filled with white; 0 x 0 is allowed (an empty bitmap).
  TBitmap24(int width, int height);
  ~TBitmap24();
  TBitmap24(const TBitmap24& other);
  TBitmap24& operator=(const TBitmap24& other);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  int BytesPerLine() const { return (FWidth * 3 + 3) & ~3; }
  // Row y from the top.
  std::uint8_t* ScanLine(int y) { return FBits.data() + static_cast<std::size_t>(y) * BytesPerLine(); }
  const std::uint8_t* ScanLine(int y) const {
    return FBits.data() + static_cast<std::size_t>(y) * BytesPerLine();
  }
  // Pixel as 0x00BBGGRR; out-of-range coordinates give 0.
  std::uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint32_t rgb);

  // A canvas drawing on the pixels (MM_TEXT, one logical unit a pixel), at the given resolution.
  // It stays valid until ReleaseCanvas or the bitmap's destruction.
  TCanvas& Canvas(int dpiX = 96, int dpiY = 96);
  void ReleaseCanvas();

  // The DIB form: header (positive height) and bottom-up rows.
  BitmapInfoHeader InfoHeader() const;
  std::vector<std::uint8_t> DibBits() const;
  // Builds a bitmap from a 24-bit BI_RGB DIB (either row order); anything else is an error.
  static TResult FromDib(const BitmapInfoHeader& header, std::span<const std::uint8_t> bits, TBitmap24& out);

  TResult SaveToPng(const std::string& path) const;
  // Reads a picture file (PNG, BMP, ...) as 24-bit pixels.
  static TResult LoadFromFile(const std::string& path, TBitmap24& out);
  // Top-down rows, padded.
  const std::vector<std::uint8_t>& Bits() const { return FBits; }

 private:
  struct CanvasHolder;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint8_t> FBits;
  std::unique_ptr<CanvasHolder> FCanvas;
};

}  // namespace tess

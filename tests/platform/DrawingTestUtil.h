#pragma once
// Helpers of the drawing tests: recording a page, walking the records of a recording, comparing bitmaps.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/Metafile.h"
#include "tests/support/SamplePage.h"

namespace tess::testing {

struct RecordInfo {
  std::uint32_t type;
  std::size_t offset;
  std::uint32_t size;
};

// The frames of a recording as they lie in the bytes (no checks beyond what the tests need).
inline std::vector<RecordInfo> WalkRecords(const std::vector<std::uint8_t>& bytes) {
  std::vector<RecordInfo> out;
  for (std::size_t off = 0; off + 8 <= bytes.size();) {
    std::uint32_t type = *emf::ReadAt<std::uint32_t>(bytes, off);
    std::uint32_t size = *emf::ReadAt<std::uint32_t>(bytes, off + 4);
    out.push_back({type, off, size});
    if (size < 8) break;
    off += size;
  }
  return out;
}

inline std::vector<RecordInfo> RecordsOfType(const std::vector<std::uint8_t>& bytes, std::uint32_t type) {
  std::vector<RecordInfo> out;
  for (const RecordInfo& r : WalkRecords(bytes)) {
    if (r.type == type) out.push_back(r);
  }
  return out;
}

template <class T>
T At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return *emf::ReadAt<T>(bytes, offset);
}

// Records a page on A4 (frame 210 x 297 mm) against a reference device, with the page mapping of
// 0.1 mm logical units, like the preview component's page canvas.
inline TMetafile RecordPage(const TDeviceDescription& reference, const std::function<void(TCanvas&)>& draw,
                            bool pageMapping = true) {
  TMetafile m;
  m.SetMMWidth(kPageWidth * 10);
  m.SetMMHeight(kPageHeight * 10);
  { TMetafileCanvas probe(m, reference); }
  const int w = m.Width(), h = m.Height();
  {
    TMetafileCanvas c(m, reference);
    if (pageMapping) PreparePage(c, w, h);
    draw(c);
  }
  return m;
}

// The same drawing straight onto a bitmap of the frame's size at that resolution.
inline TBitmap24 DrawDirect(int dpi, int width, int height, const std::function<void(TCanvas&)>& draw) {
  TBitmap24 b(width, height);
  TCanvas& c = b.Canvas(dpi, dpi);
  PreparePage(c, width, height);
  draw(c);
  b.ReleaseCanvas();
  return b;
}

inline TBitmap24 Play(const TMetafile& m, int dpi, int width, int height, const TRect& rect,
                      TResult* result = nullptr) {
  TBitmap24 b(width, height);
  TResult r = b.Canvas(dpi, dpi).StretchDraw(rect, m);
  b.ReleaseCanvas();
  if (result) *result = r;
  return b;
}

inline TBitmap24 Rotated180(const TBitmap24& a) {
  TBitmap24 r(a.Width(), a.Height());
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) r.SetPixel(a.Width() - 1 - x, a.Height() - 1 - y, a.Pixel(x, y));
  }
  return r;
}

inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Share of the pixels of a that have no pixel within `radius` in b of nearly the same colour: anti-aliased
// edges may land one pixel apart, anything else counts.
inline double MismatchShare(const TBitmap24& a, const TBitmap24& b, int radius = 1, int tolerance = 48) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 1.0;
  long long bad = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      std::uint32_t p = a.Pixel(x, y);
      if (Near(p, b.Pixel(x, y), tolerance)) continue;
      bool found = false;
      for (int dy = -radius; dy <= radius && !found; ++dy) {
        for (int dx = -radius; dx <= radius && !found; ++dx) {
          int xx = x + dx, yy = y + dy;
          if (xx < 0 || yy < 0 || xx >= a.Width() || yy >= a.Height()) continue;
          found = Near(p, b.Pixel(xx, yy), tolerance);
        }
      }
      if (!found) ++bad;
    }
  }
  return static_cast<double>(bad) / (static_cast<double>(a.Width()) * a.Height());
}

inline long long CountPixels(const TBitmap24& b, std::uint32_t rgb, int tolerance = 0) {
  long long n = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) n += Near(b.Pixel(x, y), rgb, tolerance) ? 1 : 0;
  }
  return n;
}

}  // namespace tess::testing

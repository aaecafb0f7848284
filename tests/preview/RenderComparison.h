#pragma once
// Comparing a page rendered from its 9x re-recording with the same page rendered from its NT copy.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/Bitmap.h"

namespace tess::test {

struct TDifference {
  int MaxChannel = 0;
  long long Changed = 0;  // pixels with any channel different
  long long Lost = 0;     // ink of the first rendering missing in the second
  long long Added = 0;    // ink of the second rendering the first does not have
  long long Ink = 0;      // pixels that are not white in the first rendering
};

// The 9x pages draw the first and the farthest character of every text twice, which darkens anti-aliased
// pixels (a value v becomes about v * v / 255), and their stretch onto whole reference pixels moves edges by
// less than a pixel. So ink may darken and move within one pixel; beyond that, and by more than this many
// levels, ink that is lost or added is a fault.
constexpr int kTolerance = 40;

// The darkest value of channel ch within one pixel of (x, y).
int DarkestNear(const TBitmap24& b, int x, int y, int ch) {
  int darkest = 255;
  for (int yy = std::max(0, y - 1); yy <= std::min(b.Height() - 1, y + 1); ++yy) {
    for (int xx = std::max(0, x - 1); xx <= std::min(b.Width() - 1, x + 1); ++xx) {
      darkest = std::min<int>(darkest, b.ScanLine(yy)[3 * xx + ch]);
    }
  }
  return darkest;
}

TDifference Compare(const TBitmap24& nt, const TBitmap24& ninex) {
  TDifference d;
  for (int y = 0; y < nt.Height(); ++y) {
    const std::uint8_t* ra = nt.ScanLine(y);
    const std::uint8_t* rb = ninex.ScanLine(y);
    for (int x = 0; x < nt.Width(); ++x) {
      int m = 0;
      bool lost = false, added = false;
      for (int ch = 0; ch < 3; ++ch) {
        const int a = ra[3 * x + ch], b = rb[3 * x + ch];
        m = std::max(m, std::abs(a - b));
        if (a == b) continue;
        lost = lost || (a < 255 && DarkestNear(ninex, x, y, ch) > a + kTolerance);
        const int near = DarkestNear(nt, x, y, ch);
        added = added || (b < 255 && b < near * near / 255 - kTolerance);
      }
      d.MaxChannel = std::max(d.MaxChannel, m);
      d.Changed += m > 0;
      d.Lost += lost;
      d.Added += added;
      d.Ink += ra[3 * x] != 0xFF || ra[3 * x + 1] != 0xFF || ra[3 * x + 2] != 0xFF;
    }
  }
  return d;
}

}  // namespace tess::test

#include "preview/TextUtils.h"

#include <cmath>

#include "platform/core/PlatformFamily.h"

namespace tess {

int RoundHalfEven(double value) {
  double floor = std::floor(value);
  double fraction = value - floor;
  if (fraction > 0.5) return static_cast<int>(floor) + 1;
  if (fraction < 0.5) return static_cast<int>(floor);
  long long f = static_cast<long long>(floor);
  return static_cast<int>(f % 2 == 0 ? f : f + 1);
}

int RoundHalfAway(double value) {
  return static_cast<int>(std::lround(value));
}

int FirstCharCode(const Cp932String& text) {
  if (text.IsEmpty()) return 0;
  std::size_t next = NextCharOffset(text, 0);
  if (next == 2) return text.ByteAt(0) * 256 + text.ByteAt(1);
  if (next == 1) return text.ByteAt(0);
  return 0;
}

int LastCharCode(const Cp932String& text) {
  std::size_t length = text.Length();
  if (length == 0) return 0;
  std::size_t start = PrevCharOffset(text, length);
  if (length - start == 2) return text.ByteAt(length - 2) * 256 + text.ByteAt(length - 1);
  if (length - start == 1) return text.ByteAt(length - 1);
  return 0;
}

bool ContainsChars(const Cp932String& text, const Cp932String& needle) {
  if (needle.IsEmpty()) return true;
  const std::string& t = text.Bytes();
  for (std::size_t i = 0; i < t.size(); i = NextCharOffset(text, i)) {
    if (t.compare(i, needle.Length(), needle.Bytes()) == 0) return true;
  }
  return false;
}

int OverhangFromWidth(float width) {
  return width >= 0 ? 0 : RoundHalfEven(-static_cast<double>(width));
}

int OverhangFromWidth(int width) {
  return width >= 0 ? 0 : -width;
}

namespace {

// side: true for the A width of the first character, false for the C width of the last.
int Overhang(TCanvas& canvas, const Cp932String& text, bool left) {
  int code = left ? FirstCharCode(text) : LastCharCode(text);
  if (code == 0) return 0;
  unsigned c = static_cast<unsigned>(code);
  if (IsWindowsNT()) {
    TABCFloat abc = canvas.GetCharABCWidthsFloat(c);
    return OverhangFromWidth(left ? abc.A : abc.C);
  }
  // The older family measures in whole units, and only outline fonts report bearings.
  if (!canvas.IsOutlineFont()) return 0;
  TABC abc = canvas.GetCharABCWidths(c);
  return OverhangFromWidth(left ? abc.A : abc.C);
}

}  // namespace

int LeftOverhang(TCanvas& canvas, const Cp932String& text) {
  return Overhang(canvas, text, true);
}

int RightOverhang(TCanvas& canvas, const Cp932String& text) {
  return Overhang(canvas, text, false);
}

}  // namespace tess

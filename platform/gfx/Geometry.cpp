#include "platform/gfx/Geometry.h"

#include <cstdlib>

namespace tess {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long p = static_cast<long long>(a) * b;
  long long q = (p >= 0) == (c > 0) ? (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c)
                                    : -((std::llabs(p) + std::llabs(c) / 2) / std::llabs(c));
  return static_cast<int>(q);
}

}  // namespace tess

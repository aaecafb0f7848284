#include "platform/gfx/GdiTypes.h"

#include <cmath>

namespace tess {

TDeviceDescription TDeviceDescription::FromPixels(int dpiX, int dpiY, int widthPixels, int heightPixels) {
  TDeviceDescription d;
  d.DpiX = dpiX;
  d.DpiY = dpiY;
  d.WidthPixels = widthPixels;
  d.HeightPixels = heightPixels;
  d.WidthMM = dpiX > 0 ? static_cast<int>(std::lround(widthPixels * 25.4 / dpiX)) : 0;
  d.HeightMM = dpiY > 0 ? static_cast<int>(std::lround(heightPixels * 25.4 / dpiY)) : 0;
  d.PhysicalWidth = widthPixels;
  d.PhysicalHeight = heightPixels;
  return d;
}

}  // namespace tess

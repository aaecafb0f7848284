// System colours resolved to the desktop's values.
#include "platform/gfx/Color.h"

namespace tess {

std::uint32_t ColorToRGB(TColor color) {
  if ((color & clSystemColor) != clSystemColor) return static_cast<std::uint32_t>(color) & 0x00FFFFFF;
  // The desktop's default system colours (COLOR_xxx index in the low byte).
  switch (color & 0xFF) {
    case 0:
      return RGB(200, 200, 200);  // scroll bar
    case 1:
      return RGB(0, 0, 0);  // desktop
    case 2:
      return RGB(153, 180, 209);  // active caption
    case 5:
      return RGB(255, 255, 255);  // window
    case 6:
      return RGB(100, 100, 100);  // window frame
    case 8:
      return RGB(0, 0, 0);  // window text
    case 12:
      return RGB(171, 171, 171);  // application workspace
    case 13:
      return RGB(0, 120, 215);  // highlight
    case 14:
      return RGB(255, 255, 255);  // highlight text
    case 15:
      return RGB(240, 240, 240);  // button face
    case 16:
      return RGB(160, 160, 160);  // button shadow
    case 17:
      return RGB(109, 109, 109);  // grey text
    case 18:
      return RGB(0, 0, 0);  // button text
    case 20:
      return RGB(255, 255, 255);  // button highlight
    default:
      return RGB(192, 192, 192);
  }
}

}  // namespace tess

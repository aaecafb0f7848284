#pragma once
// What an input event carries besides its position: the mouse button and the shift state.

namespace tess {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state of a mouse or key event.
enum TShiftStateFlag : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
};
using TShiftState = unsigned;

}  // namespace tess

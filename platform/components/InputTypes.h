#pragma once
// What an input event carries besides its position: the mouse button, the shift state and the key.

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

// Virtual-key codes of the keys the windows react to, as the window system numbers them. The + and - keys
// of the main keyboard are VK_OEM_PLUS and VK_OEM_MINUS whatever key the layout puts them on; those of the
// numeric keypad are VK_ADD and VK_SUBTRACT.
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;  // Page Up
constexpr int VK_NEXT = 0x22;   // Page Down
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_OEM_PLUS = 0xBB;
constexpr int VK_OEM_MINUS = 0xBD;

}  // namespace tess

#pragma once
// Mouse input delivered to a control as the window system delivers it: to the widget under the point (or
// to the control holding the mouse during a drag), through the same event path as the user's own input.
// Coordinates are the control's client coordinates. For tests and scripted use.

#include <string_view>

#include "platform/ui/Controls.h"

namespace tess {

void SimulateMouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift = 0);
void SimulateMouseMove(TControl& control, int x, int y, TShiftState shift = 0);
void SimulateMouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift = 0);
// A press and release of the left button at the point.
void SimulateClick(TControl& control, int x, int y);
// One wheel turn of `delta` (120 a notch; positive away from the user) over the point.
void SimulateMouseWheel(TControl& control, int delta, int x, int y, TShiftState shift = 0);

// A key pressed and released with the keyboard focus where it is in the control's window: one of the
// virtual-key codes (platform/components/InputTypes.h), a digit or a capital letter; ssCtrl, ssShift and
// ssAlt are held with it.
void SimulateKey(TControl& control, int virtualKey, TShiftState shift = 0);
// Text (UTF-8) committed into the control as an input method delivers it, through the same path as the
// user's own typing.
void SimulateTextInput(TControl& control, std::string_view utf8);

// Lets messages run until the window system shows the control on top at its centre, at most `timeoutMs`
// milliseconds; returns whether it does. Under a window manager a window just shown can lie for a moment
// under the frame of one closed before it, and the pointer's events would go there.
bool WaitUntilOnTop(const TControl& control, int timeoutMs);

// The windowed control that holds the keyboard focus in the control's window (the one that gets it when
// the window is active), or none.
TWinControl* FocusedControl(const TControl& window);

}  // namespace tess

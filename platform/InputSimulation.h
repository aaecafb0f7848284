#pragma once
// Mouse input delivered to a control as the window system delivers it: to the widget under the point (or
// to the control holding the mouse during a drag), through the same event path as the user's own input.
// Coordinates are the control's client coordinates. For tests and scripted use.

#include "platform/Controls.h"

namespace tess {

void SimulateMouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift = 0);
void SimulateMouseMove(TControl& control, int x, int y, TShiftState shift = 0);
void SimulateMouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift = 0);
// A press and release of the left button at the point.
void SimulateClick(TControl& control, int x, int y);
// One wheel turn of `delta` (120 a notch; positive away from the user) over the point.
void SimulateMouseWheel(TControl& control, int delta, int x, int y, TShiftState shift = 0);

}  // namespace tess

#pragma once
// Small value types of the window layer: cursors and modal results, with the input types, points,
// rectangles and colours the window layer shares with the layers below it.

#include "platform/components/InputTypes.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

namespace tess {

// Screen cursors by their classic identifiers.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHandPoint = -21;

// Modal results (mrNone keeps a modal form open).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

}  // namespace tess

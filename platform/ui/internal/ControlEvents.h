#pragma once
// The event glue between controls and their widgets (ControlEvents.cpp), for platform sources only.

#include <QObject>
#include <QWidget>

#include "platform/ui/Controls.h"

namespace tess {

// A new event filter that forwards the mouse, wheel and size events of a control's widgets to the
// control's events; the caller installs it and gives it a parent.
QObject* MakeEventForwarder(TControl* control);
// Shows `cursor` over the widget (crDefault: the widget's own cursor).
void ApplyCursor(TCursor cursor, QWidget* w);
// A control that goes away is no longer the source or the target of the drag in progress.
void ForgetDragControl(const TControl* control);

}  // namespace tess

#pragma once
// Window-level types the preview component stores for its window: cursor numbers, border style and icons,
// placement rule, the events it passes on. They are the window layer's own, named here once so the preview
// unit reads them under one roof.

#include "platform/components/Events.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Types.h"

namespace tess::plprev {

using tess::crDefault;
using tess::crHourGlass;
using tess::TCursor;

using tess::biHelp;
using tess::biMaximize;
using tess::biMinimize;
using tess::biSystemMenu;
using tess::TBorderIcons;
using tess::TCloseAction;
using tess::TFormBorderStyle;
using tess::TPosition;

using tess::TCloseEvent;
using tess::TCloseQueryEvent;
using tess::TNotifyEvent;

}  // namespace tess::plprev

#pragma once
// Window-level types the preview component stores for its window: cursor numbers, border style and icons,
// placement rule, the events it passes on. They carry the classic identifiers and numbering of the window
// layer, kept in their own namespace so this unit builds without the window layer; code that joins the two
// maps them one to one.

#include <functional>

#include "platform/Component.h"

namespace tess::plprev {

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crHourGlass = -11;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIconFlag : unsigned {
  biSystemMenu = 1u << 0,
  biMinimize = 1u << 1,
  biMaximize = 1u << 2,
  biHelp = 1u << 3
};
using TBorderIcons = unsigned;
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

}  // namespace tess::plprev

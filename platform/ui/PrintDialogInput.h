#pragma once
// A user's input to the real print dialog while a driver (SetPrintDialogDriver, platform/ui/PrintDialogs.h)
// works it: clicks and keys delivered to the dialog's boxes and buttons through the same event path as the
// user's own input. An operation on a part of the dialog that is not in view first brings it into view as a
// user does: it presses "Options >>" and clicks the tab the part is on. Texts are UTF-8; a button's or
// label's text is matched as shown, without its keyboard-shortcut marks. For tests and scripted use.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/PrintDialogs.h"

namespace tess {

// Moves the selection of the box that lists `entry` (the printer box, the page-set box) to that entry with
// the arrow keys; false when no box lists it, or the box or an entry on the way is greyed out.
bool SimulateBoxChoice(TPrintDialogWindow& dialog, std::string_view entry);
// Clicks the button, check box or radio button that shows `text`; false when there is none, or it is greyed
// out.
bool SimulateButtonClick(TPrintDialogWindow& dialog, std::string_view text);
// Clicks into the copies box, selects what it holds and types `text` over it.
void SimulateCopiesEntry(TPrintDialogWindow& dialog, std::string_view text);
// Clicks the "Pages" choice, then into its box, selects what the box holds and types `text` over it.
void SimulatePagesEntry(TPrintDialogWindow& dialog, std::string_view text);
// Clicks the print (OK) button. The dialog closes, or stays open when it refuses what was chosen.
void SimulatePrintClick(TPrintDialogWindow& dialog);

// Whether the dialog is still open.
bool PrintDialogShowing(const TPrintDialogWindow& dialog);
// What the "Pages" box holds.
std::string PrintDialogPagesEntry(const TPrintDialogWindow& dialog);
// The texts the dialog shows on its labels, buttons, group boxes, tabs and box entries, those of its options
// pane and every tab included, in the dialog's order; parts the dialog hides are left out.
std::vector<std::string> PrintDialogTexts(const TPrintDialogWindow& dialog);

}  // namespace tess

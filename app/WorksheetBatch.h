#pragma once
// Worksheets without a window: the command line's export and print. They drive the very dialog the user
// sees (created off screen) and its build, so a scripted worksheet is the one "プレビュー" would make.

#include <iosfwd>

#include "app/CommandLine.h"

namespace tess {

// Runs an export or print command; the figure report (--report) goes to `out`, messages to `err`, and
// progress too when `err` is a terminal (and --quiet was not given). A print that an interruption the
// process notes (NoteInterruptions, platform/core/Interruption.h) stops withdraws the job it was making,
// says how many worksheets were printed and returns kExitFailure; the caller then ends as the signal would.
int RunWorksheetBatch(const Command& command, std::ostream& out, std::ostream& err,
                      bool errIsTerminal = false);

// Whether the process's standard error is a terminal.
bool StandardErrorIsTerminal();

}  // namespace tess

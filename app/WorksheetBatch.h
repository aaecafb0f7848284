#pragma once
// Worksheets without a window: the command line's export and print. They drive the very dialog the user
// sees (created off screen) and its build, so a scripted worksheet is the one "プレビュー" would make.

#include <iosfwd>

#include "app/CommandLine.h"

namespace tess {

// Exit codes of the command line.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the work could not be done (an unwritable path, a failed job)
constexpr int kExitUsage = 2;    // a bad command line or value (an unknown printer among them)

// Runs an export or print command; the figure report (--report) goes to `out`, messages and progress to
// `err`.
int RunWorksheetBatch(const Command& command, std::ostream& out, std::ostream& err);

}  // namespace tess

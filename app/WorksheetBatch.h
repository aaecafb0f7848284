#pragma once
// Worksheets without a window: the command line's export and print. They drive the very dialog the user
// sees (created off screen) and its build, so a scripted worksheet is the one "プレビュー" would make.

#include <iosfwd>

#include "app/CommandLine.h"

namespace tess {

// Runs an export or print command; the figure report (--report) goes to `out`, messages and progress to
// `err`.
int RunWorksheetBatch(const Command& command, std::ostream& out, std::ostream& err);

}  // namespace tess

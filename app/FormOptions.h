#pragma once
// The command line's worksheet options put into the dialog as a user would set them, and checked against
// what the dialog's boxes hold and the installed fonts can print: the dialog opened with options, export and
// print all start from here.

#include <iosfwd>
#include <string>

#include "app/CommandLine.h"
#include "worksheet/WorksheetDialog.h"

namespace tess {

// One line on standard error, with whatever came from outside (paths, names, texts) shown safely.
void ReportError(std::ostream& err, const std::string& message);

// Sets the dialog's size, level, operation, date line, one-answer box, instruction lines (the texts for the
// size and operation unless given) and problem number, and seeds the random generator when a seed is given.
// The number of worksheets is the caller's: a batch builds them one at a time.
void ApplyWorksheetOptions(TForm1& form, const WorksheetOptions& options);

// kExitOk when the instruction lines fit the dialog's boxes and code page 932 and every text of the
// worksheet has a glyph in the installed fonts; else the message on `err` and the exit code.
int CheckWorksheetTexts(TForm1& form, const WorksheetOptions& options, std::ostream& err);

// The dialog as the command line opens it: the options applied, the number of worksheets of one build
// included, and checked. kExitOk when the dialog may be shown; else the message on `err` and the exit code.
int FillDialog(TForm1& form, const WorksheetOptions& options, std::ostream& err);

}  // namespace tess

#pragma once
// Starting the platform: the toolkit's application object, created once per process, with the toolkit's
// Japanese translations. Without a display (tests, batch use) it runs on the offscreen platform.

#include "platform/core/Cp932String.h"

namespace tess {

// Creates the application object if none exists yet. argc/argv may be omitted.
void EnsurePlatformStarted(int argc = 0, char** argv = nullptr);

// How the program itself uses the window system.
enum class TDisplayUse {
  Screen,     // windows on the display the environment names
  Offscreen,  // no display at all, whatever the environment names
};

// Whether the printer questions the dialog asks first are asked while the toolkit starts.
enum class TPrinterWarmUp {
  None,
  BesideToolkit,  // the CUPS printer system's warm-up thread (StartPrinterWarmUp) runs beside the start
};

// Starts the platform for the program: the toolkit sees none of the program's arguments, and its own
// messages stay off standard error (TESSARINE_TOOLKIT_MESSAGES=1 lets them through). A toolkit that
// cannot start ends the program with exit code 1 and one line saying why, instead of an abort.
// With a printer warm-up, what the toolkit changes in the process as it starts (the locale, the
// environment) is settled before the warm-up's thread starts, so that the start changes nothing the
// thread reads.
void StartProgramPlatform(TDisplayUse use, TPrinterWarmUp printers = TPrinterWarmUp::None);
// A text of the toolkit's own dialogs as they show it (its translation context and English source text).
Cp932String ToolkitText(const char* context, const char* text);

}  // namespace tess

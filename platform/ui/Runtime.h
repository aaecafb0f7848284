#pragma once
// Starting the platform: the toolkit's application object, created once per process, with the toolkit's
// Japanese translations. Without a display (tests, batch use) it runs on the offscreen platform.

#include "platform/core/Cp932String.h"

namespace tess {

// Creates the application object if none exists yet. argc/argv may be omitted.
void EnsurePlatformStarted(int argc = 0, char** argv = nullptr);

// A text of the toolkit's own dialogs as they show it (its translation context and English source text).
Cp932String ToolkitText(const char* context, const char* text);

}  // namespace tess

#pragma once
// Starting the platform: the toolkit's application object, created once per process. Without a display
// (tests, batch use) it runs on the offscreen platform.

namespace tess {

// Creates the application object if none exists yet. argc/argv may be omitted.
void EnsurePlatformStarted(int argc = 0, char** argv = nullptr);

}  // namespace tess

#pragma once
// Starting the platform: the toolkit's application object, created once per process. Without a display
// (tests, batch use) it runs on the offscreen platform.

namespace tess {

// Creates the application object if none exists yet. argc/argv may be omitted.
void EnsurePlatformStarted(int argc = 0, char** argv = nullptr);

// How the program itself uses the window system.
enum class TDisplayUse {
  Screen,     // windows on the display the environment names
  Offscreen,  // no display at all, whatever the environment names
};

// Starts the platform for the program: the toolkit sees none of the program's arguments, and its own
// messages stay off standard error (TESSARINE_TOOLKIT_MESSAGES=1 lets them through). A toolkit that
// cannot start ends the program with exit code 1 and one line saying why, instead of an abort.
void StartProgramPlatform(TDisplayUse use);

}  // namespace tess

#pragma once
// A run asked to stop while it prints (an interrupt, a termination or a hang-up). The signal handler only
// notes the signal. The printing code asks whether one was noted between pages and around its requests to
// the print service, withdraws the job it was making and throws EInterrupted; the program says so and then
// ends as that signal ends a program, so that the shell sees the signal's status. Without NoteInterruptions
// (the windows) no signal is ever noted and every question here answers "no".

#include "platform/core/Exceptions.h"

namespace tess {

// Installs handlers for SIGINT, SIGTERM and SIGHUP that note the first signal and do nothing else; a signal
// the program was started to ignore stays ignored. Interrupted system calls are restarted as before, but a
// wait for a file descriptor (poll) returns early, and the code waiting asks again. Once per process.
void NoteInterruptions();

// The signal noted first, or 0.
int InterruptionSignal();

// A flag that is not 0 once a signal was noted, for the waits of the print service's library that take
// a "cancel" flag. Only read through it.
int* InterruptionCancelFlag();

// The run was interrupted: what the printing code throws once it has withdrawn the job it was making.
class EInterrupted : public Exception {
 public:
  EInterrupted();
};

// Throws EInterrupted when a signal was noted.
void ThrowIfInterrupted();

// Ends the program as the noted signal would have: the unfinished files go (RemoveUnfinishedFiles), the
// signal's default action is restored and the signal raised again. Returns at once when none was noted.
void EndAsInterrupted();

}  // namespace tess

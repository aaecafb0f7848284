#include "platform/core/Interruption.h"

#include <csignal>
#include <type_traits>

#include "platform/core/AtomicFile.h"
#include "platform/core/Messages.h"

namespace tess {
namespace {

// The first signal noted. The print service's library reads it as an int "cancel" flag.
static_assert(std::is_same_v<std::sig_atomic_t, int>);
volatile std::sig_atomic_t gNoted = 0;

extern "C" void NoteSignal(int signal) {
  if (gNoted == 0) gNoted = signal;
}

}  // namespace

void NoteInterruptions() {
  static const bool installed = [] {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction previous {};
      if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
      struct sigaction action {};
      action.sa_handler = NoteSignal;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESTART;
      ::sigaction(signal, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

int InterruptionSignal() {
  return gNoted;
}

int* InterruptionCancelFlag() {
  return const_cast<int*>(&gNoted);
}

EInterrupted::EInterrupted() : Exception(MessageCp932("printing.interrupted")) {}

void ThrowIfInterrupted() {
  if (gNoted != 0) throw EInterrupted();
}

void EndAsInterrupted() {
  const int signal = gNoted;
  if (signal == 0) return;
  RemoveUnfinishedFiles();
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  sigset_t pending;
  sigemptyset(&pending);
  sigaddset(&pending, signal);
  ::sigprocmask(SIG_UNBLOCK, &pending, nullptr);
  std::raise(signal);
}

}  // namespace tess

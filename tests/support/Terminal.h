#pragma once
// A program run on a terminal of its own (a pseudo-terminal: its standard input, output and error), for the
// tests of what a program shows a person: what the terminal received, byte for byte (the terminal turns
// each "\n" into "\r\n"), and how the program ended. The program starts with the default actions of the
// interrupt, termination and hang-up signals, whatever the test was started with (a shell's background
// commands ignore interrupts).

#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace tess::test {

class TTerminalRun {
 public:
  // Runs `program` with `args` (after its name) and the environment assignments given ("NAME=value").
  TTerminalRun(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment) {
    FPid = ::forkpty(&FMaster, nullptr, nullptr, nullptr);
    if (FPid == 0) {
      for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
      for (const std::string& assignment : environment) ::putenv(const_cast<char*>(assignment.c_str()));
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
  }
  ~TTerminalRun() {
    if (FPid > 0) {
      ::kill(FPid, SIGKILL);
      Wait();
    }
    if (FMaster >= 0) ::close(FMaster);
  }
  TTerminalRun(const TTerminalRun&) = delete;
  TTerminalRun& operator=(const TTerminalRun&) = delete;

  bool Started() const { return FPid > 0; }
  // Reads what the terminal shows until `part` is among it (true) or the program has closed it (false).
  bool WaitFor(const std::string& part) {
    while (FShown.find(part) == std::string::npos) {
      if (!ReadSome()) return false;
    }
    return true;
  }
  void Signal(int signal) {
    if (FPid > 0) ::kill(FPid, signal);
  }
  // Reads everything the program shows and waits for it: its exit code, or -1 when it did not exit normally.
  int Wait() {
    while (ReadSome()) {
    }
    if (FPid <= 0) return FStatus;
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FPid = -1;
    FSignalled = WIFSIGNALED(status);
    FEndingSignal = FSignalled ? WTERMSIG(status) : 0;
    FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return FStatus;
  }
  bool Signalled() const { return FSignalled; }
  // The signal that ended the program (a shell shows 128 and its number); 0 when it exited.
  int EndingSignal() const { return FEndingSignal; }
  const std::string& Shown() const { return FShown; }

 private:
  bool ReadSome() {
    char buffer[512];
    ssize_t n = -1;
    do {
      n = FMaster >= 0 ? ::read(FMaster, buffer, sizeof buffer) : -1;
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;  // the terminal is closed once the program has ended (EIO)
    FShown.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int FMaster = -1;
  pid_t FPid = -1;
  int FStatus = -1;
  bool FSignalled = false;
  int FEndingSignal = 0;
  std::string FShown;
};

}  // namespace tess::test

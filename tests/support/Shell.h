#pragma once
// Running a command line through the shell from a test: what it printed and how it ended.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace tess::test {

struct TShellResult {
  int exitCode = -1;   // -1 when the command could not run or did not exit normally
  std::string output;  // standard output (add 2>&1 to the command for standard error too)
};

inline TShellResult RunShell(const std::string& command) {
  TShellResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 512> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) result.output += buffer.data();
  const int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// What a command printed on standard output.
inline std::string Shell(const std::string& command) {
  return RunShell(command).output;
}

}  // namespace tess::test

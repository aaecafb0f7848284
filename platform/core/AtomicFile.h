#pragma once
// A file written whole or not at all. The bytes go to a temporary file beside the target, named
// ".NAME.PID-N.part", which takes the target's name only once every byte is written and on disk. Until then
// nothing appears under the target's name, whatever happens to the program; a failure or an unfinished
// file removes the temporary file (only a killed program leaves it behind). Paths are used byte for byte.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/core/Result.h"

namespace tess {

class TAtomicFile {
 public:
  explicit TAtomicFile(std::string target);
  ~TAtomicFile();  // an unfinished file is removed
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // Creates the temporary file. Errors name the target and the system's reason.
  TResult Open();
  // Appends bytes. After a failure every later call fails with the first failure's message.
  TResult Write(const void* data, std::size_t size);
  TResult Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
  // Flushes the bytes to disk, closes the file and gives it the target's name.
  TResult Commit();
  // Removes the temporary file; the target is left as it was.
  void Discard();

  const std::string& Target() const { return FTarget; }
  const std::string& TemporaryPath() const { return FTemporary; }
  bool IsOpen() const { return FFd >= 0; }
  // The first failure so far (success while there was none).
  const TResult& Status() const { return FStatus; }

 private:
  TResult Fail(int error);
  std::string FTarget;
  std::string FDestination;  // the target, or the file a link there names
  std::string FTemporary;    // empty while writing a device or pipe directly
  int FFd = -1;
  int FSlot = -1;  // in the table the signal handler reads
  TResult FStatus;
};

// The system's reason for a failed write (an errno value) in the message language.
std::string FileErrorReason(int error);

// While a temporary file is open, an interrupt, termination or hang-up removes it before the program ends
// with that signal. Installs the handlers once; call before writing files.
// A file-size limit makes writes fail with "the file is too large" instead of ending the program.
void RemoveUnfinishedFilesOnSignals();
// Removes every temporary file open at this moment, for a program that is ending at once (it is safe in a
// signal handler and after a failure that leaves nothing else to trust).
void RemoveUnfinishedFiles();

}  // namespace tess

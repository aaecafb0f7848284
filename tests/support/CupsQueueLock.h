#pragma once
// Taking turns with the tests that add and delete CUPS queues.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tess::test {

// While a queue is added or deleted, the scheduler may for a moment answer for the other queues as if they
// were missing. So a test that changes queues holds this lock alone, and the tests that only use them
// (print, read a queue's papers, run the program, which finds its printers through CUPS) share it with one
// another. The lock is a file: test processes of every build on the machine take turns.
class TCupsQueueLock {
 public:
  enum TUse { UsesQueues, ChangesQueues };

  explicit TCupsQueueLock(TUse use)
      : FFile(::open("/tmp/tessarine-cups-tests.lock", O_CREAT | O_RDWR, 0666)) {
    if (FFile >= 0) ::flock(FFile, use == ChangesQueues ? LOCK_EX : LOCK_SH);
  }
  ~TCupsQueueLock() {
    if (FFile >= 0) ::close(FFile);  // releases the lock
  }
  TCupsQueueLock(const TCupsQueueLock&) = delete;
  TCupsQueueLock& operator=(const TCupsQueueLock&) = delete;

 private:
  int FFile;
};

}  // namespace tess::test

#include "platform/core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/core/Messages.h"

namespace tess {
namespace {

// The temporary files open at this moment, for the signal handler. A slot is filled before it is marked
// used and marked unused before it is cleared, so the handler never reads a half-written name.
struct PendingSlot {
  std::atomic<bool> used{false};
  char path[PATH_MAX + 1]{};
};
std::array<PendingSlot, 4> gPending;

int RegisterPending(const std::string& path) {
  if (path.size() > PATH_MAX) return -1;
  for (std::size_t i = 0; i < gPending.size(); ++i) {
    if (gPending[i].used.load()) continue;
    std::memcpy(gPending[i].path, path.c_str(), path.size() + 1);
    gPending[i].used.store(true);
    return static_cast<int>(i);
  }
  return -1;
}

void UnregisterPending(int slot) {
  if (slot >= 0) gPending[static_cast<std::size_t>(slot)].used.store(false);
}

extern "C" void RemovePendingAndDie(int signal) {
  RemoveUnfinishedFiles();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// The system's reason in the message language: the failures a user can meet writing a file have their own
// text; any other keeps the system's with its number.
std::string Reason(int error) {
  switch (error) {
    case ENOSPC:
      return Message("files.reason-enospc");
    case EDQUOT:
      return Message("files.reason-edquot");
    case EACCES:
    case EPERM:
      return Message("files.reason-eacces");
    case EROFS:
      return Message("files.reason-erofs");
    case ENOENT:
      return Message("files.reason-enoent");
    case ENOTDIR:
      return Message("files.reason-enotdir");
    case EISDIR:
      return Message("files.reason-eisdir");
    case EEXIST:
      return Message("files.reason-eexist");
    case EFBIG:
      return Message("files.reason-efbig");
    case ENAMETOOLONG:
      return Message("files.reason-enametoolong");
    case EIO:
      return Message("files.reason-eio");
    default:
      return Message("files.reason-other", {std::strerror(error), std::to_string(error)});
  }
}

// The folder part of a path ("." for a bare name) and the name part.
struct PathParts {
  std::string folder;
  std::string name;
};

PathParts SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// Syncs the folder so the rename itself is on disk. The file is already complete under its name then, so
// a failure here is not reported.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The path a chain of symbolic links ends at (the path itself when it is no link), the last one possibly
// naming a file that does not exist yet; a relative link is taken from the folder the link is in. 0, or the
// error: ELOOP for a chain that does not end.
int FollowLinks(const std::string& path, std::string& end) {
  end = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(end.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    char target[PATH_MAX + 1];
    const ssize_t length = ::readlink(end.c_str(), target, PATH_MAX);
    if (length < 0) return errno;
    std::string next(target, static_cast<std::size_t>(length));
    if (next.empty()) return ENOENT;
    if (next.front() != '/') {
      const std::string folder = SplitPath(end).folder;
      next = (folder == "/" ? std::string("/") : folder + "/") + next;
    }
    end = std::move(next);
  }
  return ELOOP;
}

bool IsSpecialFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

}  // namespace

TAtomicFile::TAtomicFile(std::string target) : FTarget(std::move(target)) {}

TAtomicFile::~TAtomicFile() {
  Discard();
}

TResult TAtomicFile::Fail(int error) {
  if (FStatus) FStatus = TResult::Error(Message("files.cannot-write", {FTarget, Reason(error)}));
  return FStatus;
}

TResult TAtomicFile::Open() {
  if (FFd >= 0 || !FStatus) return FStatus;
  if (FTarget.empty()) return Fail(ENOENT);
  // A device or a pipe (such as /dev/stdout) cannot be replaced: it is written directly.
  if (IsSpecialFile(FTarget)) {
    FFd = ::open(FTarget.c_str(), O_WRONLY | O_CLOEXEC);
    if (FFd < 0) return Fail(errno);
    return FStatus;
  }
  PathParts parts = SplitPath(FTarget);
  if (parts.name.empty()) return Fail(EISDIR);
  // A link keeps being a link: the file it names is written, whether it exists yet or not.
  std::string destination;
  if (const int error = FollowLinks(FTarget, destination); error != 0) return Fail(error);
  parts = SplitPath(destination);
  // The temporary name keeps the name recognisable while staying within the length a name may have.
  const std::string shortName = parts.name.substr(0, 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = (parts.folder == "/" ? std::string("/") : parts.folder + "/") + "." + shortName +
                            "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".part";
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      FFd = fd;
      FTemporary = std::move(candidate);
      FSlot = RegisterPending(FTemporary);
      FDestination = std::move(destination);
      return FStatus;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  return Fail(EEXIST);
}

TResult TAtomicFile::Write(const void* data, std::size_t size) {
  if (!FStatus) return FStatus;
  if (FFd < 0) return Fail(EBADF);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(FFd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return FStatus;
}

TResult TAtomicFile::Commit() {
  if (!FStatus) {
    Discard();
    return FStatus;
  }
  if (FFd < 0) return Fail(EBADF);
  const bool direct = FTemporary.empty();
  // A pipe or a terminal cannot be synced; that is not a failure of the bytes written.
  if (::fsync(FFd) != 0 && !(direct && (errno == EINVAL || errno == EROFS))) {
    TResult failed = Fail(errno);
    Discard();
    return failed;
  }
  const int fd = FFd;
  FFd = -1;
  if (::close(fd) != 0) {
    TResult failed = Fail(errno);
    Discard();
    return failed;
  }
  if (direct) return FStatus;
  if (::rename(FTemporary.c_str(), FDestination.c_str()) != 0) {
    TResult failed = Fail(errno);
    Discard();
    return failed;
  }
  UnregisterPending(FSlot);
  FSlot = -1;
  FTemporary.clear();
  SyncFolder(SplitPath(FDestination).folder);
  return FStatus;
}

void TAtomicFile::Discard() {
  if (FFd >= 0) {
    ::close(FFd);
    FFd = -1;
  }
  if (!FTemporary.empty()) {
    ::unlink(FTemporary.c_str());
    UnregisterPending(FSlot);
    FSlot = -1;
    FTemporary.clear();
  }
}

void RemoveUnfinishedFilesOnSignals() {
  static const bool installed = [] {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction previous {};
      // A signal the program was started to ignore stays ignored.
      if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
      struct sigaction action {};
      action.sa_handler = RemovePendingAndDie;
      sigemptyset(&action.sa_mask);
      ::sigaction(signal, &action, nullptr);
    }
    // A file-size limit then makes the write fail (EFBIG), which is reported and removes the temporary
    // file, instead of ending the program with the file half written.
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)installed;
}

std::string FileErrorReason(int error) {
  return Reason(error);
}

void RemoveUnfinishedFiles() {
  for (PendingSlot& slot : gPending) {
    if (slot.used.load()) ::unlink(slot.path);
  }
}

}  // namespace tess

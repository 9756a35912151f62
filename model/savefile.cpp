// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file the user named: a gear, a table of events, a picture.
//
// A regular file is replaced whole or not at all: the new content goes to an
// unnamed file in the target's folder, is synced, given a hidden name and
// renamed over the target, so a failure or a kill part-way leaves the old
// file as it was. A file with several names (hard links) is overwritten in
// place instead, so that every name keeps seeing the same file. A pipe, a
// character device or an already open stream (standard output) cannot be
// replaced and is written directly. Anything else is refused.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>

#include "model/dimfile.h"

namespace brevold {

namespace {

// Hidden names a save has given its new content and not yet renamed or
// removed. A SIGINT or SIGTERM handler removes them before the program ends;
// as a handler may not allocate, the names live in a fixed table. This is
// the one process-wide table of the program: a signal reaches the process,
// not one window's state.
constexpr int kSlots = 8;
enum SlotState : int { kFree, kClaimed, kLive };
std::atomic<int> slotState[kSlots];
char slotPath[kSlots][PATH_MAX];
struct sigaction previousInt, previousTerm;

void RemoveTemporaries(int sig) {
  const int saved = errno;
  for (int i = 0; i < kSlots; ++i)
    if (slotState[i].load(std::memory_order_acquire) == kLive) ::unlink(slotPath[i]);
  errno = saved;
  const struct sigaction& prev = sig == SIGINT ? previousInt : previousTerm;
  if (prev.sa_flags & SA_SIGINFO) {
    if (prev.sa_sigaction) prev.sa_sigaction(sig, nullptr, nullptr);
    return;
  }
  if (prev.sa_handler == SIG_IGN) return;
  if (prev.sa_handler != SIG_DFL) {
    prev.sa_handler(sig);
    return;
  }
  // The program ends as the signal would have ended it.
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

void InstallHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction sa {};
    sa.sa_handler = RemoveTemporaries;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM}) {
      struct sigaction& prev = sig == SIGINT ? previousInt : previousTerm;
      ::sigaction(sig, nullptr, &prev);
      // A signal the program was started to ignore stays ignored.
      if (!(prev.sa_flags & SA_SIGINFO) && prev.sa_handler == SIG_IGN) continue;
      ::sigaction(sig, &sa, nullptr);
    }
  });
}

// A slot of the table, held while a hidden name exists on disk.
class TemporaryName {
 public:
  TemporaryName() {
    InstallHandlers();
    for (int i = 0; i < kSlots && slot_ < 0; ++i) {
      int expected = kFree;
      if (slotState[i].compare_exchange_strong(expected, kClaimed)) slot_ = i;
    }
  }
  ~TemporaryName() { Release(); }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  // Takes a name for the handler to remove; false when the name is too long
  // or every slot is taken (then the save goes on unwatched).
  char* Watch(const std::string& name) {
    buffer_ = name;
    if (slot_ < 0 || name.size() >= PATH_MAX) return buffer_.data();
    slotState[slot_].store(kClaimed, std::memory_order_release);
    std::memcpy(slotPath[slot_], name.c_str(), name.size() + 1);
    slotState[slot_].store(kLive, std::memory_order_release);
    return slotPath[slot_];
  }
  void Release() {
    if (slot_ >= 0) slotState[slot_].store(kFree, std::memory_order_release);
    slot_ = -1;
  }

 private:
  int slot_ = -1;
  std::string buffer_;
};

// The folder part of a path, for the new content beside it.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

FileResult Refused(const char* why) { return {false, why}; }

bool WriteAll(int fd, const unsigned char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (w == 0) {
      errno = ENOSPC;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// Writes to a pipe or a device. A pipe whose reader has gone fails with
// EPIPE instead of ending the program by SIGPIPE.
int WriteStream(int fd, const void* data, size_t size) {
  sigset_t pipeOnly, old;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  sigset_t pending;
  sigpending(&pending);
  const bool wasPending = sigismember(&pending, SIGPIPE);
  ::pthread_sigmask(SIG_BLOCK, &pipeOnly, &old);
  const int err = WriteAll(fd, static_cast<const unsigned char*>(data), size) ? 0 : (errno ? errno : EIO);
  if (err == EPIPE && !wasPending) {
    const timespec now{0, 0};
    ::sigtimedwait(&pipeOnly, nullptr, &now);
  }
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  return err;
}

// An open stream named as a file: /dev/stdout, /dev/stderr, /dev/fd/N or
// /proc/self/fd/N. Returns its descriptor, or -1.
int StreamDescriptor(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const size_t n = std::strlen(prefix);
    if (path.compare(0, n, prefix) != 0 || path.size() == n || path.size() > n + 9) continue;
    int fd = 0;
    for (size_t i = n; i < path.size(); ++i) {
      if (path[i] < '0' || path[i] > '9') return -1;
      fd = fd * 10 + (path[i] - '0');
    }
    return fd;
  }
  return -1;
}

// The content at the start of a file that other names share, the file cut
// to its length after. The space is taken first, so that a full disk fails
// before any byte changes.
FileResult OverwriteInPlace(const std::string& target, const void* data, size_t size) {
  errno = 0;
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return FileFailure(errno);
  int err = 0;
  if (size > 0 && ::fallocate(fd, 0, 0, static_cast<off_t>(size)) != 0 && errno != EOPNOTSUPP) err = errno;
  if (!err && !WriteAll(fd, static_cast<const unsigned char*>(data), size)) err = errno ? errno : EIO;
  if (!err && ::ftruncate(fd, static_cast<off_t>(size)) != 0) err = errno;
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno ? errno : EIO;
  return err ? FileFailure(err) : FileResult{};
}

std::string HiddenName(const std::string& folder, std::mt19937_64& random) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = folder + "/.brevold-save-";
  for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
  return name;
}

// Writes the content to a new file in `folder` and renames it over
// `target`. With `unnamed` the file has no name until it is synced; -1 then
// says that this folder cannot do so and the named way is to be taken.
int WriteAndRename(bool unnamed, const std::string& folder, const std::string& target, mode_t mode,
                   const void* data, size_t size) {
  TemporaryName watched;
  char* name = nullptr;
  errno = 0;
  int fd;
  if (unnamed) {
    fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? -1 : (errno ? errno : EIO);
  } else {
    name = watched.Watch(folder + "/.brevold-save-XXXXXX");
    fd = ::mkstemp(name);
    if (fd < 0) return errno ? errno : EIO;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  int err = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, static_cast<const unsigned char*>(data), size) || ::fsync(fd) != 0)
    err = errno ? errno : EIO;
  if (!err && unnamed) {
    // A hidden name for the synced content, for the rename over the target.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    std::random_device seed;
    std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed() ^
                           static_cast<std::uint64_t>(::getpid()));
    for (int tries = 0; tries < 100 && !name; ++tries) {
      name = watched.Watch(HiddenName(folder, random));
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0) break;
      name = nullptr;
      if (errno != EEXIST) {
        // No /proc to name the file by: the named way.
        ::close(fd);
        return -1;
      }
    }
    if (!name) err = EEXIST;
  }
  if (::close(fd) != 0 && !err) err = errno ? errno : EIO;
  if (!err && ::rename(name, target.c_str()) != 0) err = errno ? errno : EIO;
  if (err && name) ::unlink(name);
  return err;
}

// The new content of a regular file (or a new one), renamed over `target`.
FileResult ReplaceRegular(const std::string& target, bool exists, const struct stat& old, const void* data,
                          size_t size) {
  const std::string folder = FolderOf(target);
  mode_t mode;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int err = WriteAndRename(true, folder, target, mode, data, size);
  if (err < 0) err = WriteAndRename(false, folder, target, mode, data, size);
  if (err) return FileFailure(err);
  // The rename itself is made durable with the folder.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace

FileResult ReplaceFile(const std::string& path, const void* data, std::size_t size) {
  struct stat st {};
  const int stream = StreamDescriptor(path);
  if (stream >= 0) {
    // An open stream is written where it stands (its offset, its append
    // mode), as a shell's redirection expects.
    if (::fstat(stream, &st) != 0) return FileFailure(errno);
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode))
      return Refused("File access denied (only a file, a pipe or a character device can be written)");
    const int err = WriteStream(stream, data, size);
    if (!err && S_ISREG(st.st_mode) && ::fsync(stream) != 0) return FileFailure(errno);
    return err ? FileFailure(err) : FileResult{};
  }
  struct stat link {};
  const bool named = ::lstat(path.c_str(), &link) == 0;
  if (!named) {
    if (errno != ENOENT) return FileFailure(errno);
    return ReplaceRegular(path, false, st, data, size);
  }
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return Refused("File not found (the link names no file)");
    if (errno == ELOOP) return Refused("File not found (the links lead round in a loop)");
    return FileFailure(errno);
  }
  if (S_ISDIR(st.st_mode)) return Refused("File access denied (a folder cannot be written over)");
  if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
    // Opened without waiting: a pipe that no one reads is refused, not
    // waited on.
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      if (errno == ENXIO && S_ISFIFO(st.st_mode)) return Refused("No program is reading the pipe");
      return FileFailure(errno);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || (!S_ISFIFO(opened.st_mode) && !S_ISCHR(opened.st_mode))) {
      ::close(fd);
      return Refused("File access denied (the file changed while it was opened)");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int err = WriteStream(fd, data, size);
    if (::close(fd) != 0 && !err) err = errno ? errno : EIO;
    return err ? FileFailure(err) : FileResult{};
  }
  if (!S_ISREG(st.st_mode))
    return Refused("File access denied (only a file, a pipe or a character device can be written)");
  // Through a symbolic link to the file it names, so that the link stays a link.
  std::string target = path;
  if (S_ISLNK(link.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return FileFailure(errno);
    target = real;
    std::free(real);
  }
  if (st.st_nlink > 1) return OverwriteInPlace(target, data, size);
  return ReplaceRegular(target, true, st, data, size);
}

bool IsSaveTemporary(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return path.compare(slash == std::string::npos ? 0 : slash + 1, 14, ".brevold-save-") == 0;
}

}  // namespace brevold

// The POSIX side of the file layer. Only code for Linux and other POSIX
// systems belongs here; the Windows side is windows/files.cc.
#include "platform/files.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "model/errors.h"
#include "platform/posix/interrupt.h"
#include "platform/read_loop.h"

namespace brenmoor {
namespace {

// The system's text for errno_value as messages show it: trailing blanks,
// line breaks and full stops removed ("No such file or directory").
std::string Reason(int errno_value) {
  std::string reason = std::strerror(errno_value);
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '\n' ||
                             reason.back() == '\r' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

[[noreturn]] void Throw(std::string_view what, const std::filesystem::path& path, int errno_value) {
  throw Error(FileErrorMessage(what, path, Reason(errno_value)));
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// 0, or the errno of the failure.
int ReadAll(const std::filesystem::path& path, std::string& bytes, const ReadLimits& limits) {
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno;
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
  const bool read = ReadToEnd(expected, limits, bytes, [&](char* buffer, std::size_t size) {
    ssize_t got;
    do {
      got = ::read(fd.get(), buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
  });
  return read ? 0 : errno;
}

bool ProcessIsRunning(std::int64_t process_id) {
  if (process_id <= 0 || process_id != static_cast<pid_t>(process_id)) return false;
  return ::kill(static_cast<pid_t>(process_id), 0) == 0 || errno == EPERM;
}

// A run that was killed midway leaves its temporary file behind, whatever
// file it was writing. It is removed only when it is this user's, its
// process is gone and nobody holds its lock, so a run writing in the same
// folder at the same time keeps its own, and so do other users, whose
// files a shared folder (/tmp) may hold under names of that form.
void RemoveStaleTemporaries(const std::filesystem::path& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::int64_t process_id = 0;
    if (!IsReplacingFileTemporary(name, process_id)) continue;
    if (process_id == ::getpid() || ProcessIsRunning(process_id)) continue;
    // Only a plain file of ours: never a link, and never a named pipe,
    // whose opening would wait for a writer.
    struct stat named;
    if (::lstat(it->path().c_str(), &named) != 0 || !S_ISREG(named.st_mode) ||
        named.st_uid != ::geteuid()) {
      continue;
    }
    const FileDescriptor fd(
        ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) continue;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
      continue;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    // Removed only if the name still leads to the file locked here: another
    // run may have removed it meanwhile and a new process, given the same
    // id, made a fresh file of the same name.
    struct stat now;
    if (::lstat(it->path().c_str(), &now) != 0 || now.st_ino != info.st_ino ||
        now.st_dev != info.st_dev) {
      continue;
    }
    ::unlink(it->path().c_str());
  }
}

// Random bits for a temporary file's name, so that nobody can create that
// name before us. From the system's generator; where it is missing (an old
// kernel), from /dev/urandom.
std::uint64_t RandomNumber() {
  std::uint64_t number = 0;
  ssize_t got;
  do {
    got = ::getrandom(&number, sizeof number, 0);
  } while (got < 0 && errno == EINTR);
  if (got == static_cast<ssize_t>(sizeof number)) return number;
  std::ifstream urandom("/dev/urandom", std::ios::binary);
  urandom.read(reinterpret_cast<char*>(&number), sizeof number);
  return number;
}

// The name of the owner of a file, or its number when it has none.
std::string OwnerName(uid_t uid) {
  const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) * 4 : 65536);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
    return found->pw_name;
  }
  return "user " + std::to_string(uid);
}

// In a folder where everyone may create files but only remove their own
// (sticky, such as /tmp), another user may have put a link or a file at
// the output's name before us, to have us write where they chose or a file
// they can read. Such a name is refused unless it is ours or the folder
// owner's, as the system does when it protects links and files there, but
// whatever that protection's setting.
void RefusePlanted(const std::filesystem::path& name, const struct stat& named) {
  struct stat folder;
  if (::stat(name.parent_path().c_str(), &folder) != 0 || (folder.st_mode & S_ISVTX) == 0 ||
      (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
    return;
  }
  if (named.st_uid == ::geteuid() || named.st_uid == folder.st_uid) return;
  const char* what = S_ISLNK(named.st_mode) ? "a symbolic link" : "a file";
  throw Error(FileErrorMessage("Cannot create", name,
                               std::string("It is ") + what + " of another user (" +
                                   OwnerName(named.st_uid) +
                                   ") in a folder where anyone may create files"));
}

// The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or /proc/self/fd/N
// names; -1 for any other path.
int NamedDescriptor(const std::filesystem::path& path) {
  const std::string& name = path.native();
  if (name == "/dev/stdout") return STDOUT_FILENO;
  if (name == "/dev/stderr") return STDERR_FILENO;
  for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!name.starts_with(folder) || name.size() == folder.size()) continue;
    const char* first = name.data() + folder.size();
    const char* last = name.data() + name.size();
    int fd = -1;
    const auto [end, ec] = std::from_chars(first, last, fd);
    if (ec == std::errc() && end == last && fd >= 0) return fd;
  }
  return -1;
}

// What a target names once a link to a regular file is followed: the path
// to replace, whether it exists and its status then.
struct Target {
  std::filesystem::path path;
  bool exists = false;
  struct stat old {};
};

// The engineer's link stays a link: the file it leads to is replaced, in its
// own folder. A link that leads nowhere, and the name of a folder, are
// refused.
Target ResolveTarget(const std::filesystem::path& target) {
  Target t{target};
  t.exists = ::lstat(target.c_str(), &t.old) == 0;
  if (!t.exists && errno != ENOENT) Throw("Cannot create", target, errno);
  if (t.exists) RefusePlanted(target, t.old);
  if (t.exists && S_ISLNK(t.old.st_mode)) {
    if (::stat(target.c_str(), &t.old) != 0) {
      if (errno != ENOENT) Throw("Cannot create", target, errno);
      throw Error(FileErrorMessage("Cannot create", target,
                                   "It is a symbolic link to a file that does not exist"));
    }
    // A link to a device or a pipe is opened through the link: what it
    // leads to may have no name of its own to resolve (pipe:[4711]).
    if (S_ISREG(t.old.st_mode)) {
      std::error_code error;
      t.path = std::filesystem::canonical(target, error);
      if (error) Throw("Cannot create", target, error.value());
      // Where it leads may be a shared folder too.
      if (t.path != target) RefusePlanted(t.path, t.old);
    }
  }
  if (t.path.filename().empty() || (t.exists && S_ISDIR(t.old.st_mode))) {
    // "-o folder/" or "-o .": the name of a folder, not of a file in it.
    Throw("Cannot create", t.path, t.exists ? EISDIR : ENOENT);
  }
  return t;
}

// Refuses a target that is neither missing nor a regular file the program
// may write.
void RefuseToReplace(const Target& t) {
  if (!t.exists) return;
  if (!S_ISREG(t.old.st_mode)) {
    throw Error(FileErrorMessage("Cannot create", t.path, "It is not a regular file"));
  }
  // A file the engineer made read-only is not replaced behind their back,
  // not even by root, whom access() lets write anything.
  if ((t.old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) Throw("Cannot create", t.path, EACCES);
  if (::access(t.path.c_str(), W_OK) != 0) Throw("Cannot create", t.path, errno);
}

// A new file beside the target that nobody else has opened, or can: O_EXCL
// on a name of our own with random bits in it, mode 0600 until it is
// complete, known to Ctrl-C before it exists (place), so that no moment
// leaves it behind. Returns its descriptor.
int CreateTemporary(const Target& t, std::filesystem::path& temporary, int& place) {
  const std::string target_name = t.path.filename().string();
  for (int attempt = 0;; ++attempt) {
    temporary =
        t.path.parent_path() / ReplacingFileTemporaryName(target_name, ::getpid(), RandomNumber());
    place = posix::RemoveOnInterrupt(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    const int error = errno;
    posix::KeepOnInterrupt(place);
    place = -1;
    if (error == EEXIST && attempt < 100) continue;
    temporary.clear();
    if (error == EACCES || error == EPERM) {
      throw Error(FileErrorMessage("Cannot create", t.path,
                                   "The folder is not writable: Brenmoor writes the new file "
                                   "beside it and then renames it into place"));
    }
    Throw("Cannot create", t.path, error);
  }
}

// What a file the engineer saves gets: 0666 less the umask. Read where the
// system shows it, since asking umask() changes it for every thread for a
// moment.
mode_t NewFileMode() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (!line.starts_with("Umask:")) continue;
    const std::size_t digits = line.find_first_not_of(" \t", 6);
    if (digits == std::string::npos) break;
    unsigned mask = 0;
    const auto [end, ec] =
        std::from_chars(line.data() + digits, line.data() + line.size(), mask, 8);
    if (ec == std::errc()) return static_cast<mode_t>(0666 & ~mask);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool NamesStandardOutput(const std::filesystem::path& path) {
  return NamedDescriptor(FullPath(path)) == STDOUT_FILENO;
}

bool NamesOpenDescriptor(const std::filesystem::path& path) {
  const std::filesystem::path full = FullPath(path);
  return full == "/dev/stdin" || NamedDescriptor(full) >= 0;
}

std::string ReadWholeFile(const std::filesystem::path& path, ReadLimits limits) {
  std::string bytes;
  if (const int error = ReadAll(path, bytes, limits); error != 0) Throw("Cannot open", path, error);
  return bytes;
}

std::string ReadStandardInput(ReadLimits limits) {
  std::string bytes;
  const bool read = ReadToEnd(0, limits, bytes, [](char* buffer, std::size_t size) {
    ssize_t got;
    do {
      got = ::read(STDIN_FILENO, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
  });
  if (!read) Throw("Cannot open", "-", errno);
  return bytes;
}

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : target_(FullPath(target)) {
  ReadTestHook();
  if (const int fd = NamedDescriptor(target_); fd >= 0) {
    // The shell's redirection (or pipe) itself, at its own position: opening
    // the name anew would start a regular file over at its beginning, and
    // replacing it would leave the shell writing to a file that is gone.
    handle_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (handle_ < 0) Throw("Cannot create", target_, errno);
    in_place_ = true;
    return;
  }
  const Target resolved = ResolveTarget(target_);
  target_ = resolved.path;
  const struct stat& old = resolved.old;
  if (resolved.exists && (S_ISCHR(old.st_mode) || S_ISFIFO(old.st_mode))) {
    // A device (/dev/null) or a named pipe is written to as it is: replacing
    // it with a file would break whatever else uses it.
    handle_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (handle_ < 0) Throw("Cannot create", target_, errno);
    in_place_ = true;
    return;
  }
  RefuseToReplace(resolved);
  RemoveStaleTemporaries(target_.parent_path());
  int place = -1;
  handle_ = CreateTemporary(resolved, temporary_, place);
  interrupt_place_ = place;
  // Held until the file is closed: tells a later run that this one is alive.
  ::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB);
  // What the file gets once it is complete: the old file's permissions,
  // owner and group, or a new file's.
  if (resolved.exists) {
    final_mode_ = old.st_mode & 07777;
    final_owner_ = old.st_uid;
    final_group_ = old.st_gid;
  } else {
    final_mode_ = NewFileMode();
  }
}

ReplacingFile::~ReplacingFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
  posix::KeepOnInterrupt(interrupt_place_);
}

void ReplacingFile::Reached(Moment moment) const {
  if (moment == Moment::kNone) return;
  if (moment == crash_at_) ::kill(::getpid(), SIGKILL);
  // The whole process stops; a signal sent meanwhile is handled once it is
  // continued (SIGCONT).
  if (moment == stop_at_) ::kill(::getpid(), SIGSTOP);
}

void ReplacingFile::Write(const char* data, std::size_t size) {
  CountWrite();
  const int fd = static_cast<int>(handle_);
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      Throw("Cannot write", target_, errno);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
    written_ += static_cast<std::uint64_t>(written);
  }
#ifdef __linux__
  // The disk starts on what is written while the rest is still being made,
  // so that Commit's fsync waits only for the last few MB. Only a start:
  // durability is still fsync's alone, and a failure here changes nothing.
  // Every 4 MB: steps of 8 MB left the disk idle long enough to cost a
  // tenth of the whole write.
  constexpr std::uint64_t kWritebackStep = 4 << 20;
  if (!in_place_ && written_ - sent_to_disk_ >= kWritebackStep) {
    ::sync_file_range(fd, static_cast<off64_t>(sent_to_disk_),
                      static_cast<off64_t>(written_ - sent_to_disk_), SYNC_FILE_RANGE_WRITE);
    sent_to_disk_ = written_;
  }
#endif
}

void ReplacingFile::Reserve(std::uint64_t size) {
  if (in_place_ || size == 0) return;
  const int fd = static_cast<int>(handle_);
  int error = 0;
#ifdef __linux__
  // The length is set too: writes inside it change no size, so nothing but
  // the data has to reach the journal as the parts come in, in any order.
  while (::fallocate(fd, 0, 0, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) {
      error = errno;
      break;
    }
  }
#else
  // Not on Linux: posix_fallocate, which may write the zeros itself where
  // the file system cannot reserve.
  error = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
#endif
  // A file system that cannot reserve space takes the writes as they come.
  if (error == 0 || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL) return;
  Throw("Cannot write", target_, error);
}

void ReplacingFile::WriteAt(const char* data, std::size_t size, std::uint64_t offset) {
  CountWriteAt();
  const int fd = static_cast<int>(handle_);
  [[maybe_unused]] const std::uint64_t first = offset;
  const std::uint64_t total = size;
  while (size > 0) {
    const ssize_t written = ::pwrite(fd, data, size, static_cast<off_t>(offset));
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      // Nothing taken and no reason given: the disk has no room left.
      Throw("Cannot write", target_, written < 0 ? errno : ENOSPC);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
    offset += static_cast<std::uint64_t>(written);
  }
  written_ += total;
  finished_writes_.fetch_add(1, std::memory_order_release);
#ifdef __linux__
  // The disk starts on each part as soon as it is in, so that Commit's
  // fsync waits only for the last few. Only a start: a failure here changes
  // nothing, durability is fsync's alone.
  ::sync_file_range(fd, static_cast<off64_t>(first), static_cast<off64_t>(total),
                    SYNC_FILE_RANGE_WRITE);
#endif
}

void ReplacingFile::Commit() {
  const int fd = static_cast<int>(handle_);
  if (in_place_) {
    handle_ = -1;
    committed_ = true;
    if (::close(fd) != 0) Throw("Cannot write", target_, errno);
    return;
  }
  // Private until now, so that nobody could open it and read along; the
  // owner first, since a change of owner clears the set-id bits. Failing to
  // give it another owner (only root may) or a mode leaves it private.
  if (final_owner_ >= 0 && (final_owner_ != static_cast<std::int64_t>(::geteuid()) ||
                            final_group_ != static_cast<std::int64_t>(::getegid()))) {
    [[maybe_unused]] const int ignored =
        ::fchown(fd, static_cast<uid_t>(final_owner_), static_cast<gid_t>(final_group_));
  }
  ::fchmod(fd, static_cast<mode_t>(final_mode_));
  if (::fsync(fd) != 0) Throw("Cannot write", target_, errno);
  Reached(Moment::kAfterSync);
  handle_ = -1;
  if (::close(fd) != 0) Throw("Cannot write", target_, errno);
  Reached(Moment::kBeforeRename);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Throw("Cannot create", target_, errno);
  committed_ = true;
  Reached(Moment::kAfterRename);
  // Only now: until the rename, Ctrl-C removes the file; after it, the name
  // is gone and removing it does nothing.
  posix::KeepOnInterrupt(interrupt_place_);
  interrupt_place_ = -1;
  // The rename itself is durable only once the folder is.
  const FileDescriptor folder(
      ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) ::fsync(folder.get());
}

}  // namespace brenmoor

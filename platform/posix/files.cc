// The POSIX side of the file layer. Only code for Linux and other POSIX
// systems belongs here; the Windows side is windows/files.cc.
#include "platform/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "model/errors.h"

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
  // One byte more than the file's size, so that the end of the file is seen
  // without growing the buffer; a pipe or a growing file grows it by halves.
  constexpr std::size_t kMinimumChunk = 64 * 1024;
  const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
  bytes.resize(std::min(expected, limits.most) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(used + std::max(used / 2, kMinimumChunk));
    const ssize_t got = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    bool stop = false;
    used = LimitedEnd(bytes, used, used + static_cast<std::size_t>(got), limits, stop);
    if (stop) break;
  }
  bytes.resize(used);
  return 0;
}

bool ProcessIsRunning(std::int64_t process_id) {
  if (process_id <= 0 || process_id != static_cast<pid_t>(process_id)) return false;
  return ::kill(static_cast<pid_t>(process_id), 0) == 0 || errno == EPERM;
}

// A run that was killed midway leaves its temporary file behind. It is
// removed only when its process is gone and nobody holds its lock, so a
// generate running in the same folder at the same time keeps its own.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
  std::error_code error;
  const std::string target_name = target.filename().string();
  for (std::filesystem::directory_iterator it(target.parent_path(), error), end;
       !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::int64_t process_id = 0;
    if (!IsReplacingFileTemporary(name, target_name, process_id)) continue;
    if (process_id == ::getpid() || ProcessIsRunning(process_id)) continue;
    const FileDescriptor fd(::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) continue;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
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

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path, ReadLimits limits) {
  std::string bytes;
  if (const int error = ReadAll(path, bytes, limits); error != 0) Throw("Cannot open", path, error);
  return bytes;
}

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : target_(FullPath(target)) {
  // A file the engineer made read-only is not replaced behind their back.
  if (::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0) {
    Throw("Cannot create", target_, errno);
  }
  RemoveStaleTemporaries(target_);
  // A new file that nobody else has opened: O_EXCL on a name of our own.
  // Mode 0666 so the umask decides, as for any file the engineer saves.
  // Built step by step: g++ 12 warns falsely about "." + std::string.
  std::string stem(1, '.');
  stem += target_.filename().string();
  stem += '.';
  stem += std::to_string(::getpid());
  stem += '.';
  for (int attempt = 0;; ++attempt) {
    temporary_ = target_.parent_path() / (stem + std::to_string(attempt) + ".tmp");
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
      break;
    }
    if (errno != EEXIST || attempt >= 100) Throw("Cannot create", target_, errno);
  }
  // Held until the file is closed: tells a later run that this one is alive.
  ::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB);
}

ReplacingFile::~ReplacingFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void ReplacingFile::Write(const char* data, std::size_t size) {
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
  constexpr std::uint64_t kWritebackStep = 8 << 20;
  if (written_ - sent_to_disk_ >= kWritebackStep) {
    ::sync_file_range(fd, static_cast<off64_t>(sent_to_disk_),
                      static_cast<off64_t>(written_ - sent_to_disk_), SYNC_FILE_RANGE_WRITE);
    sent_to_disk_ = written_;
  }
#endif
}

void ReplacingFile::Commit() {
  const int fd = static_cast<int>(handle_);
  if (::fsync(fd) != 0) Throw("Cannot write", target_, errno);
  handle_ = -1;
  if (::close(fd) != 0) Throw("Cannot write", target_, errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Throw("Cannot create", target_, errno);
  committed_ = true;
  // The rename itself is durable only once the folder is.
  const FileDescriptor folder(
      ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) ::fsync(folder.get());
}

}  // namespace brenmoor

#include "output/generate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "model/errors.h"
#include "model/section_properties.h"
#include "output/byte_sink.h"
#include "output/component_writer.h"

namespace brenmoor {
namespace {

[[noreturn]] void ThrowCannotCreate(const std::filesystem::path& path, int errno_value) {
  throw Error(FileErrorMessage("Cannot create", path.string(), errno_value));
}

[[noreturn]] void ThrowCannotWrite(const std::filesystem::path& path, int errno_value) {
  throw Error(FileErrorMessage("Cannot write", path.string(), errno_value));
}

// A new file beside target that nobody else has opened: O_EXCL on a name of
// our own. Mode 0666 so the umask decides, as for any file the engineer saves.
int CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary) {
  const std::filesystem::path folder = target.parent_path();
  // Built step by step: g++ 12 warns falsely about "." + std::string.
  std::string stem(1, '.');
  stem += target.filename().string();
  stem += '.';
  stem += std::to_string(::getpid());
  for (int attempt = 0;; ++attempt) {
    temporary = folder / (stem + "." + std::to_string(attempt) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST || attempt >= 100) ThrowCannotCreate(target, errno);
  }
}

// Removes the temporary file and closes it, whatever happens, unless the
// finished file has been moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) : target_(target) {
    fd_ = CreateTemporaryBeside(target, path_);
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_; }

  // Makes the bytes durable, closes the file and renames it over the target.
  void Commit() {
    if (::fsync(fd_) != 0) ThrowCannotWrite(target_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowCannotWrite(target_, errno);
    if (::rename(path_.c_str(), target_.c_str()) != 0) ThrowCannotCreate(target_, errno);
    committed_ = true;
  }

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  int fd_ = -1;
  bool committed_ = false;
};

std::filesystem::path FullPath(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? path : full.lexically_normal();
}

}  // namespace

std::filesystem::path GenerateComponentFile(BrenmoorState& state,
                                            const std::filesystem::path& path) {
  PrepareSections(state);

  const std::filesystem::path target = FullPath(path);
  // A file the engineer made read-only is not replaced behind their back.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
    ThrowCannotCreate(target, errno);
  }
  TemporaryFile file(target);
  FileSink sink(file.fd(), target.string());
  WriteComponentFile(state, sink);
  file.Commit();
  return target;
}

}  // namespace brenmoor

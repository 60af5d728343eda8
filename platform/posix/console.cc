// The POSIX side of the console: arguments and terminals are UTF-8 already.
#include "platform/console.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>

namespace brenmoor {
namespace {

// Standard output, written with write() so that a failure (a full disk, a
// closed pipe, /dev/full) is seen and its reason kept.
class StandardOutputBuffer : public std::streambuf {
 public:
  StandardOutputBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
  ~StandardOutputBuffer() override { Flush(); }

  // The reason of the first failed write, empty while none failed.
  const std::string& failure() const { return failure_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool Flush() {
    const char* data = pbase();
    std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_, buffer_ + sizeof buffer_);
    if (!failure_.empty()) return false;
    while (size > 0) {
      const ssize_t written = ::write(STDOUT_FILENO, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        // A write that takes nothing and reports nothing is a short write.
        failure_ = written < 0 ? std::strerror(errno) : "nothing was written";
        return false;
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  char buffer_[1 << 16];
  std::string failure_;
};

StandardOutputBuffer& OutBuffer() {
  static StandardOutputBuffer buffer;
  return buffer;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::ostream& ConsoleOut() {
  static std::ostream stream(&OutBuffer());
  return stream;
}

std::ostream& ConsoleErr() { return std::cerr; }

std::string StandardOutputFailure(const std::ostream& out) {
  if (out.rdbuf() == &OutBuffer() && !OutBuffer().failure().empty()) return OutBuffer().failure();
  return "the write failed";
}

bool HasDisplay() {
#ifdef __APPLE__
  return true;
#else
  // Qt's own platform choice (offscreen, say) needs no display.
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
#endif
}

}  // namespace brenmoor

#include "output/byte_sink.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/errors.h"

namespace brenmoor {

ByteSink::ByteSink(std::size_t buffer_size) : buffer_(buffer_size) {}

void ByteSink::Flush() {
  if (used_ == 0) return;
  const std::size_t size = used_;
  used_ = 0;
  Deliver(buffer_.data(), size);
}

void ByteSink::WriteSlow(const void* data, std::size_t size) {
  Flush();
  if (size >= buffer_.size()) {
    Deliver(static_cast<const char*>(data), size);
  } else {
    std::copy_n(static_cast<const char*>(data), size, buffer_.data());
    used_ = size;
  }
}

const std::string& StringSink::bytes() {
  Flush();
  return bytes_;
}

void FileSink::Deliver(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw Error("Cannot write file \"" + path_ + "\". " + SystemReason(errno));
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

std::string SystemReason(int errno_value) {
  std::string reason = std::strerror(errno_value);
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '\n' ||
                             reason.back() == '\r' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

}  // namespace brenmoor

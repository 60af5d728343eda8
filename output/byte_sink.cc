#include "output/byte_sink.h"

#include <unistd.h>

#include <cerrno>

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
      throw Error(FileErrorMessage("Cannot write", path_, errno));
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace brenmoor

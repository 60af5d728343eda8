#include "output/byte_sink.h"

namespace brenmoor {

ByteSink::ByteSink(std::size_t buffer_size)
    : buffer_(new char[buffer_size]), buffer_size_(buffer_size) {}

void ByteSink::Flush() {
  if (used_ == 0) return;
  const std::size_t size = used_;
  used_ = 0;
  Deliver(buffer_.get(), size);
}

void ByteSink::WriteSlow(const void* data, std::size_t size) {
  Flush();
  if (size >= buffer_size_) {
    Deliver(static_cast<const char*>(data), size);
  } else {
    std::copy_n(static_cast<const char*>(data), size, buffer_.get());
    used_ = size;
  }
}

const std::string& StringSink::bytes() {
  Flush();
  return bytes_;
}

std::filesystem::path ReplaceFileWith(const std::filesystem::path& path,
                                      const std::function<void(ByteSink&)>& write) {
  ReplacingFile file(path);
  FileSink sink(file);
  write(sink);
  sink.Flush();
  file.Commit();
  return file.target();
}

}  // namespace brenmoor

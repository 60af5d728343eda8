#include "output/byte_sink.h"

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

void MemorySink::MoveTo(ByteSink& sink) {
  if (!overflow_.empty()) {
    sink.Write(overflow_.data(), overflow_.size());
    overflow_.clear();
  }
  const std::string_view held = Buffered();
  sink.Write(held.data(), held.size());
  DropBuffered();
}

const std::string& StringSink::bytes() {
  Flush();
  return bytes_;
}

}  // namespace brenmoor

#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace brenmoor {

// A plain sequential byte sink: bytes go in order, nothing is read back,
// nothing is revisited. Buffered here; a subclass says where full buffers go.
// A failure to deliver bytes throws Error.
class ByteSink {
 public:
  explicit ByteSink(std::size_t buffer_size = 1 << 16);
  virtual ~ByteSink() = default;
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;

  void Write(const void* data, std::size_t size) {
    if (size <= buffer_size_ - used_) {
      std::copy_n(static_cast<const char*>(data), size, buffer_.get() + used_);
      used_ += size;
    } else {
      WriteSlow(data, size);
    }
  }

  // Hands every buffered byte on.
  void Flush();

 protected:
  // Delivers bytes to where they go; throws Error when that fails.
  virtual void Deliver(const char* data, std::size_t size) = 0;

  // The bytes written since the last delivery, and forgetting them.
  std::string_view Buffered() const { return {buffer_.get(), used_}; }
  void DropBuffered() { used_ = 0; }

 private:
  void WriteSlow(const void* data, std::size_t size);

  // Left uninitialised: a large buffer takes memory only as it fills.
  std::unique_ptr<char[]> buffer_;
  std::size_t buffer_size_;
  std::size_t used_ = 0;
};

// Collects the bytes in memory; for tests and for reading a file back.
class StringSink : public ByteSink {
 public:
  StringSink() : ByteSink(4096) {}
  // Everything written so far (flushes first).
  const std::string& bytes();

 protected:
  void Deliver(const char* data, std::size_t size) override { bytes_.append(data, size); }

 private:
  std::string bytes_;
};

// Holds a part of a file made away from the sink it is going to, such as a
// few section blocks made on another thread, until MoveTo hands it on. Bytes
// beyond the capacity are kept too, only less cheaply.
class MemorySink : public ByteSink {
 public:
  explicit MemorySink(std::size_t capacity) : ByteSink(capacity) {}
  // Writes everything held to sink, in order, and forgets it.
  void MoveTo(ByteSink& sink);

 protected:
  void Deliver(const char* data, std::size_t size) override { overflow_.append(data, size); }

 private:
  std::string overflow_;
};

// Writes into a file that replaces its target once committed; the file is
// not owned. A failed write throws Error("Cannot write file ...").
class FileSink : public ByteSink {
 public:
  explicit FileSink(ReplacingFile& file) : file_(file) {}

 protected:
  void Deliver(const char* data, std::size_t size) override { file_.Write(data, size); }

 private:
  ReplacingFile& file_;
};

// Replaces the file at path with what write puts into the sink it is given,
// as it comes: the bytes go to a temporary file beside it, which is renamed
// over path only once write has returned and every byte is on the disk. When
// write throws, the old file stays as it was and the temporary file goes.
// Throws ReplacingFile's errors; returns the full path written.
std::filesystem::path ReplaceFileWith(const std::filesystem::path& path,
                                      const std::function<void(ByteSink&)>& write);

}  // namespace brenmoor

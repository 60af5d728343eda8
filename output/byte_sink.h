#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

// Takes the parts of a file at their offsets, from several threads at once,
// each part bytes of its own: a file made in parts side by side.
// A failure to take them throws Error.
class PositionalSink {
 public:
  virtual ~PositionalSink() = default;
  virtual void WriteAt(const char* data, std::size_t size, std::uint64_t offset) = 0;
};

// Writes the parts into a file that replaces its target once committed and
// takes positional writes (ReplacingFile::positional()); the file is not
// owned. A failed write throws Error("Cannot write file ...").
class FilePositionalSink : public PositionalSink {
 public:
  explicit FilePositionalSink(ReplacingFile& file) : file_(file) {}
  void WriteAt(const char* data, std::size_t size, std::uint64_t offset) override {
    file_.WriteAt(data, size, offset);
  }

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

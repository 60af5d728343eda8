#pragma once

#include <cstddef>
#include <string_view>

namespace brenmoor {

// Hands out the lines of a table one by one, without copying them. A line
// ends at CR, LF or CR LF; LF CR is two line ends with an empty line between.
// A last line without a line end counts; a line end at the very end of the
// bytes adds no empty line. The import reads tables with it, and so does
// whatever must find the lines the import found.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

  bool Next(std::string_view& line) {
    if (position_ >= bytes_.size()) return false;
    std::size_t end = position_;
    // Almost every byte is above CR, which settles it with one comparison.
    while (end < bytes_.size() && (static_cast<unsigned char>(bytes_[end]) > '\r' ||
                                   (bytes_[end] != '\r' && bytes_[end] != '\n'))) {
      ++end;
    }
    line = bytes_.substr(position_, end - position_);
    position_ = end;
    if (position_ < bytes_.size()) {
      if (bytes_[position_] == '\r' && position_ + 1 < bytes_.size() &&
          bytes_[position_ + 1] == '\n') {
        ++position_;
      }
      ++position_;
    }
    return true;
  }

  // Where the next line begins.
  std::size_t position() const { return position_; }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

}  // namespace brenmoor

#include "app/progress_line.h"

#include <cctype>
#include <string>

namespace brenmoor {

using Clock = std::chrono::steady_clock;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

ProgressLine::ProgressLine(std::ostream& err, bool enabled, std::chrono::milliseconds quiet)
    : err_(err), enabled_(enabled), quiet_(quiet), start_(Clock::now()) {}

ProgressLine::~ProgressLine() { Erase(); }

void ProgressLine::Show(std::string_view step, std::int64_t done, std::int64_t total) {
  if (!enabled_) return;
  if (done >= total) {
    Erase();
    return;
  }
  const auto now = Clock::now();
  if (now - start_ < quiet_ || (width_ > 0 && now - last_ < kRedrawEvery)) return;
  last_ = now;
  std::string line = "brenmoor: ";
  for (char c : step) line += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  line += ' ' + std::to_string(done) + " / " + std::to_string(total);
  // Spaces over what is left of a longer line before.
  const std::size_t width = line.size();
  if (width < width_) line.append(width_ - width, ' ');
  err_ << '\r' << line << std::flush;
  width_ = width;
}

void ProgressLine::Erase() {
  if (width_ == 0) return;
  err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  width_ = 0;
}

}  // namespace brenmoor

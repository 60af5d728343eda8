#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>

#include "model/progress.h"

namespace brenmoor {

// Long work on the command line, shown on a terminal as one line that is
// rewritten in place ("brenmoor: writing sections 12032 / 32767") and erased
// when each step ends, so that what the command prints afterwards starts on
// a clean line. Only once the work has taken half a second, at most ten
// times a second, and only when enabled (standard error is a terminal):
// scripts and logs see nothing of it.
class ProgressLine : public Progress {
 public:
  // quiet: how long the work runs before the line shows.
  ProgressLine(std::ostream& err, bool enabled,
               std::chrono::milliseconds quiet = std::chrono::milliseconds(500));
  ~ProgressLine() override;

  void Show(std::string_view step, std::int64_t done, std::int64_t total) override;

  // Removes the line, if one is shown.
  void Erase();

 private:
  std::ostream& err_;
  bool enabled_;
  std::chrono::milliseconds quiet_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_;
  std::size_t width_ = 0;  // characters of the line shown, 0 when none is
};

}  // namespace brenmoor

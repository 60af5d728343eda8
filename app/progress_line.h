#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

#include "model/progress.h"

namespace brenmoor {

// What a progress line asks of the world around it. Tests give their own, so
// that none of them waits for the clock or needs a terminal.
struct ProgressLineSystem {
  using TimePoint = std::chrono::steady_clock::time_point;
  // The time now.
  std::function<TimePoint()> now;
  // The terminal's width in columns; 0 when it does not say.
  std::function<std::size_t()> columns;
  // Told how many columns of the terminal's line the progress line covers
  // (0: none), so that Ctrl-C can blank them.
  std::function<void(std::size_t)> covers;
};

// The steady clock, standard error's terminal and Ctrl-C.
ProgressLineSystem TerminalProgressLineSystem();

// Long work on the command line, shown on a terminal as one line that is
// rewritten in place ("brenmoor: writing sections 12032 / 32767") and erased
// when each step ends, so that what the command prints afterwards starts on
// a clean line; Ctrl-C erases it too. Only once the work has taken half a
// second, at most ten times a second, and only when enabled (standard error
// is a terminal): scripts and logs see nothing of it.
// The line never reaches the terminal's last column, so that it never
// wraps, whatever the width (asked at each redraw, as the engineer may
// resize the window meanwhile): where the whole line does not fit, it drops
// "brenmoor: ", then the step's name, then the total, and shows nothing
// where not even the count fits.
// Example: at 30 columns, "12032 / 32767".
class ProgressLine : public Progress {
 public:
  // quiet: how long the work runs before the line shows.
  ProgressLine(std::ostream& err, bool enabled,
               std::chrono::milliseconds quiet = std::chrono::milliseconds(500),
               ProgressLineSystem system = TerminalProgressLineSystem());
  ~ProgressLine() override;

  void Show(std::string_view step, std::int64_t done, std::int64_t total) override;

  // Removes the line, if one is shown.
  void Erase();

  // Shows nothing from now on (the command line's -q).
  void Silence() {
    Erase();
    enabled_ = false;
  }

 private:
  // The columns a line may take: one less than the terminal's width, since
  // writing the last column moves some terminals (the Windows console) to
  // the next row.
  std::size_t Room() const;

  std::ostream& err_;
  bool enabled_;
  std::chrono::milliseconds quiet_;
  ProgressLineSystem system_;
  ProgressLineSystem::TimePoint start_;
  ProgressLineSystem::TimePoint last_;
  std::size_t width_ = 0;  // columns of the line shown, 0 when none is
};

}  // namespace brenmoor

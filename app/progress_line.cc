#include "app/progress_line.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/console.h"
#include "platform/interrupt.h"

namespace brenmoor {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
// Where the terminal does not say its width: the width terminals start with.
constexpr std::size_t kUsualColumns = 80;

// The columns text takes: one per character (the texts are ASCII; a UTF-8
// character counts once).
std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The longest of the line's forms that fits in room columns; empty when
// none does.
std::string Fitted(std::string_view step, std::int64_t done, std::int64_t total, std::size_t room) {
  std::string name;
  for (char c : step) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string count = std::to_string(done);
  const std::string counts = count + " / " + std::to_string(total);
  for (const std::string& form :
       {"brenmoor: " + name + " " + counts, name + " " + counts, counts, count}) {
    if (Columns(form) <= room) return form;
  }
  return "";
}

}  // namespace

ProgressLineSystem TerminalProgressLineSystem() {
  return {std::chrono::steady_clock::now, StandardErrorColumns, SetProgressLineColumns};
}

ProgressLine::ProgressLine(std::ostream& err, bool enabled, std::chrono::milliseconds quiet,
                           ProgressLineSystem system)
    : err_(err),
      enabled_(enabled),
      quiet_(quiet),
      system_(std::move(system)),
      start_(enabled ? system_.now() : ProgressLineSystem::TimePoint()) {}

ProgressLine::~ProgressLine() { Erase(); }

std::size_t ProgressLine::Room() const {
  const std::size_t columns = system_.columns();
  return (columns > 0 ? columns : kUsualColumns) - 1;
}

void ProgressLine::Show(std::string_view step, std::int64_t done, std::int64_t total) {
  if (!enabled_) return;
  if (done >= total) {
    Erase();
    return;
  }
  const auto now = system_.now();
  if (now - start_ < quiet_ || (width_ > 0 && now - last_ < kRedrawEvery)) return;
  last_ = now;
  const std::size_t room = Room();
  std::string line = Fitted(step, done, total, room);
  const std::size_t width = Columns(line);
  if (width == 0 && width_ == 0) return;
  // Spaces over what is left of a longer line before, as far as the
  // terminal is wide now.
  const std::size_t before = std::min(width_, room);
  if (width < before) line.append(before - width, ' ');
  err_ << '\r' << line << std::flush;
  width_ = width;
  // And the "^C" the terminal shows after it when the engineer presses it.
  system_.covers(width > 0 ? std::min(width + 2, room) : 0);
}

void ProgressLine::Erase() {
  if (width_ == 0) return;
  err_ << '\r' << std::string(std::min(width_, Room()), ' ') << '\r' << std::flush;
  width_ = 0;
  system_.covers(0);
}

}  // namespace brenmoor

#include "app/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brenmoor {
namespace {

using std::chrono::milliseconds;

// A clock the test moves by hand and a terminal whose width it sets.
struct FakeTerminal {
  ProgressLineSystem::TimePoint now{};
  std::size_t columns = 80;
  std::size_t covered = 0;  // what Ctrl-C would blank

  ProgressLineSystem System() {
    return {[this] { return now; }, [this] { return columns; },
            [this](std::size_t count) { covered = count; }};
  }
};

std::string ShownAndBlanked(const std::string& line) {
  return "\r" + line + "\r" + std::string(line.size(), ' ') + "\r";
}

// What reaches the terminal: one line rewritten in place, blanked over
// before the next step and at the end, so that the command's own output
// starts on a clean line; nothing at all when standard error is no terminal
// or the work ends within the quiet time.
TEST(ProgressLine, RewritesOneLineAndLeavesNothingBehind) {
  const struct {
    bool enabled;
    milliseconds quiet;
    std::string expect;
  } cases[] = {
      {true, milliseconds(0),
       ShownAndBlanked("brenmoor: reading sections 5 / 10") +
           ShownAndBlanked("brenmoor: drawing report pages 1 / 4")},
      {false, milliseconds(0), ""},
      {true, milliseconds(60'000), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect);
    FakeTerminal terminal;
    std::ostringstream err;
    {
      ProgressLine line(err, c.enabled, c.quiet, terminal.System());
      line.Show("Reading sections", 5, 10);
      line.Show("Reading sections", 10, 10);  // a step's end blanks the line
      line.Show("Drawing report pages", 1, 4);
      line.Show("Drawing report pages", 2, 4);  // within a tenth of a second: not redrawn
    }                                           // and so does the end of the work, however it ends
    EXPECT_EQ(err.str(), c.expect);
    EXPECT_EQ(terminal.covered, 0u);
  }
}

// However narrow the terminal, the line never reaches its last column (the
// line would wrap, and every redraw leave a row behind); it keeps what tells
// most, the count.
TEST(ProgressLine, NeverReachesTheTerminalsLastColumn) {
  const struct {
    std::size_t columns;
    std::string shown;
  } cases[] = {
      {0, "brenmoor: writing sections 12032 / 32767"},  // a terminal that does not say: 80
      {41, "brenmoor: writing sections 12032 / 32767"},
      {40, "writing sections 12032 / 32767"},
      {31, "writing sections 12032 / 32767"},
      {30, "12032 / 32767"},
      {14, "12032 / 32767"},
      {13, "12032"},
      {6, "12032"},
      {5, ""},
      {1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.columns);
    FakeTerminal terminal;
    terminal.columns = c.columns;
    std::ostringstream err;
    {
      ProgressLine line(err, true, milliseconds(0), terminal.System());
      line.Show("Writing sections", 12032, 32767);
    }
    EXPECT_EQ(err.str(), c.shown.empty() ? "" : ShownAndBlanked(c.shown));
  }
}

// The engineer narrows the window while the line shows: the next line, the
// spaces over the longer one before and the blanking all stay within the
// new width, and Ctrl-C knows what to blank.
TEST(ProgressLine, FollowsTheTerminalsWidth) {
  FakeTerminal terminal;
  std::ostringstream err;
  ProgressLine line(err, true, milliseconds(0), terminal.System());
  line.Show("Writing sections", 12032, 32767);
  EXPECT_EQ(terminal.covered, 42u);  // the line and the "^C" the terminal echoes after it
  terminal.columns = 20;
  terminal.now += milliseconds(100);
  line.Show("Writing sections", 12040, 32767);
  EXPECT_EQ(terminal.covered, 15u);
  line.Erase();
  EXPECT_EQ(terminal.covered, 0u);
  EXPECT_EQ(err.str(),
            "\rbrenmoor: writing sections 12032 / 32767"
            "\r12040 / 32767      "
            "\r             \r");
}

}  // namespace
}  // namespace brenmoor

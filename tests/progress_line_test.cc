#include "app/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brenmoor {
namespace {

using std::chrono::milliseconds;

// What reaches the terminal: one line rewritten in place, blanked over
// before the next step and at the end, so that the command's own output
// starts on a clean line; nothing at all when standard error is no terminal
// or the work ends within the quiet time.
TEST(ProgressLine, RewritesOneLineAndLeavesNothingBehind) {
  const auto shown_and_blanked = [](const std::string& line) {
    return "\r" + line + "\r" + std::string(line.size(), ' ') + "\r";
  };
  const struct {
    bool enabled;
    milliseconds quiet;
    std::string expect;
  } cases[] = {
      {true, milliseconds(0),
       shown_and_blanked("brenmoor: reading sections 5 / 10") +
           shown_and_blanked("brenmoor: drawing report pages 1 / 4")},
      {false, milliseconds(0), ""},
      {true, milliseconds(60'000), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect);
    std::ostringstream err;
    {
      ProgressLine line(err, c.enabled, c.quiet);
      line.Show("Reading sections", 5, 10);
      line.Show("Reading sections", 10, 10);  // a step's end blanks the line
      line.Show("Drawing report pages", 1, 4);
      line.Show("Drawing report pages", 2, 4);  // within a tenth of a second: not redrawn
    }                                           // and so does the end of the work, however it ends
    EXPECT_EQ(err.str(), c.expect);
  }
}

}  // namespace
}  // namespace brenmoor

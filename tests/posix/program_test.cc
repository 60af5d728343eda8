// The real program where only a process shows the fault: its standard output
// on a full disk, no display, the toolkit's own talk on standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

const std::string kProgram = std::string(BRENMOOR_BINARY_DIR) + "/brenmoor";
const std::string kSample = std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample.csv";

TEST(Program, SaysWhatWentWrongOnStandardError) {
  testing::TempDir dir;
  const std::string err = (dir / "err").string();
  const std::string component = (dir / "K").string();
  const std::string no_display = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
  const std::string full = "brenmoor: cannot write to standard output: No space left on device.\n";
  const struct {
    std::string command;
    int status;
    std::string err;
  } cases[] = {
      {kProgram + " convert " + kSample + " -o " + component, 0,
       "" /* and the file for inspect below */},
      {kProgram + " report " + kSample + " --csv -o - >/dev/full", 1, full},
      {kProgram + " inspect " + component + " --fibers >/dev/full", 1, full},
      {kProgram + " convert " + kSample + " -o - >/dev/full", 1, full},
      {no_display + kProgram, 1,
       "brenmoor: the window needs a display, and there is none (DISPLAY and WAYLAND_DISPLAY are "
       "not set).\nbrenmoor convert and brenmoor report work without one; see brenmoor --help.\n"},
      {no_display + "-u XDG_RUNTIME_DIR " + kProgram + " report " + kSample + " -o " +
           (dir / "r.pdf").string() + " >/dev/null",
       0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const int status = std::system((c.command + " 2>" + err).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    EXPECT_EQ(testing::ReadFile(err), c.err);
  }
}

}  // namespace
}  // namespace brenmoor

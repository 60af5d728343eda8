// The commands that draw nothing load no Qt at all; the PDF reports, from the
// same program, load it (which also shows that the check sees Qt when it is
// there).
#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/loaded_libraries.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(QtFree, ConvertInspectAndTheCsvLoadNoQtTheReportDoes) {
  TempDir dir;
  const std::string sample = BRENMOOR_SOURCE_DIR "/examples/sample.csv";
  const std::string component = PathToUtf8(dir / "sample.PF3CMP");
  const std::string pdf = PathToUtf8(dir / "sample.pdf");
  const struct {
    std::vector<std::string> args;
    bool draws;
  } runs[] = {
      {{"convert", sample, "-o", component}, false},
      {{"inspect", component, "--fibers"}, false},
      {{"report", sample, "--csv", "-o", PathToUtf8(dir / "sample.csv")}, false},
      {{"capacity", sample, "--csv", "-o", PathToUtf8(dir / "capacity.csv")}, false},
      {{"--version"}, false},
      {{"report", sample, "-o", pdf}, true},  // last: in one process, Qt stays
      {{"capacity", sample, "-o", PathToUtf8(dir / "capacity.pdf")}, true},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.args.front());
    int status = -1;
    const std::string qt = testing::QtLoadedBy(run.args, status);
    EXPECT_EQ(status, 0);
    if (run.draws) {
      EXPECT_NE(qt, "");
    } else {
      EXPECT_EQ(qt, "");
    }
  }
  EXPECT_EQ(ReadFile(PathFromUtf8(pdf)).substr(0, 5), "%PDF-");
}

}  // namespace
}  // namespace brenmoor

// Generate under restrictions only POSIX can put on one child process: an
// ordinary user without write permission, a file size limit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "model/errors.h"
#include "output/generate.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::ReadFile;

const std::string kOldFile = "an older component file the engineer relies on";

// In a child process, so the restriction does not stay on the tests: prints
// generate's error and exits 0; the parent then looks at what is on disk.
void GenerateRestricted(BrenmoorState& state, const std::filesystem::path& path,
                        void (*restrict)()) {
  restrict();
  try {
    GenerateComponentFile(state, path);
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  std::exit(0);
}

TEST(GenerateComponentFileDeathTest, UnwritableFolderOrFullDiskIsReportedAndChangesNothing) {
  const struct {
    const char* message;
    void (*restrict)();
  } cases[] = {
      // Root may write anywhere, so the child becomes an ordinary user first.
      {"Cannot create file \".*KAVOSEC.PF3CMP\". Permission denied\n",
       [] {
         if (::geteuid() == 0 && ::setuid(65534) != 0) std::abort();
       }},
      // A file size limit makes the disk "full" after 5000 bytes.
      {"Cannot write file \".*KAVOSEC.PF3CMP\". File too large\n",
       [] {
         ::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{5000, 5000};
         ::setrlimit(RLIMIT_FSIZE, &limit);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    testing::TempDir dir;
    const auto path = dir / kComponentFileName;
    testing::WriteFile(path, kOldFile);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
    std::filesystem::permissions(path, std::filesystem::perms::all);
    BrenmoorState state = testing::StateWith(testing::DefaultSection(), testing::DefaultSection());
    EXPECT_EXIT(GenerateRestricted(state, path, c.restrict), ::testing::ExitedWithCode(0),
                c.message);
    EXPECT_EQ(ReadFile(path), kOldFile);
    EXPECT_EQ(testing::EntriesIn(dir.path()), 1);
  }
}

}  // namespace
}  // namespace brenmoor

// Generate under restrictions only POSIX can put on one child process: an
// ordinary user without write permission, a file size limit.
#include <grp.h>
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
  // Root may write anywhere, so the child becomes an ordinary user (with
  // that user's groups) first.
  const auto ordinary_user = [] {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      std::abort();
    }
  };
  const char* const unwritable =
      "Cannot create file \".*KAVOSEC.PF3CMP\". The folder is not writable: Brenmoor writes the "
      "new file beside it and then renames it into place\n";
  const struct {
    const char* message;
    bool read_only_folder;
    bool old_file;
    void (*restrict)();
  } cases[] = {
      // The folder is read-only for everyone: the same reason whether a file
      // is replaced or made anew.
      {unwritable, true, true, ordinary_user},
      {unwritable, true, false, ordinary_user},
      // A file size limit makes the disk "full" after 5000 bytes.
      {"Cannot write file \".*KAVOSEC.PF3CMP\". File too large\n", false, true,
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
    if (c.old_file) {
      testing::WriteFile(path, kOldFile);
      std::filesystem::permissions(path, std::filesystem::perms::all);
    }
    using std::filesystem::perms;
    if (c.read_only_folder) {
      std::filesystem::permissions(dir.path(), perms::owner_read | perms::owner_exec |
                                                   perms::group_read | perms::group_exec |
                                                   perms::others_read | perms::others_exec);
    }
    BrenmoorState state = testing::StateWith(testing::DefaultSection(), testing::DefaultSection());
    EXPECT_EXIT(GenerateRestricted(state, path, c.restrict), ::testing::ExitedWithCode(0),
                c.message);
    EXPECT_EQ(ReadFile(path), c.old_file ? kOldFile : "");
    EXPECT_EQ(testing::EntriesIn(dir.path()), c.old_file ? 1 : 0);
  }
}

}  // namespace
}  // namespace brenmoor

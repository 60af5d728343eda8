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

using testing::EntriesIn;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kOldFile = "an older component file the engineer relies on";

std::string ErrorOf(BrenmoorState& state, const std::filesystem::path& path) {
  try {
    GenerateComponentFile(state, path);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

// Runs generate in a child process under a restriction the test process
// must not keep (another user, a file size limit), prints the error and
// exits 0; the parent then looks at what is left on disk.
void GenerateRestricted(BrenmoorState& state, const std::filesystem::path& path,
                        void (*restrict)()) {
  restrict();
  std::fprintf(stderr, "%s\n", ErrorOf(state, path).c_str());
  std::exit(0);
}

TEST(GenerateComponentFileDeathTest, UnwritableFolderIsReportedAndChangesNothing) {
  TempDir dir;
  const auto path = dir / kComponentFileName;
  WriteFile(path, kOldFile);
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all |
                                               std::filesystem::perms::others_read |
                                               std::filesystem::perms::others_exec);
  std::filesystem::permissions(path, std::filesystem::perms::all);
  BrenmoorState state = testing::StateWith(testing::DefaultSection());
  // Root may write anywhere, so the child becomes an ordinary user first.
  EXPECT_EXIT(GenerateRestricted(state, path,
                                 [] {
                                   if (::geteuid() == 0 && ::setuid(65534) != 0) std::abort();
                                 }),
              ::testing::ExitedWithCode(0),
              "Cannot create file \".*KAVOSEC.PF3CMP\". Permission denied\n");
  EXPECT_EQ(ReadFile(path), kOldFile);
  EXPECT_EQ(EntriesIn(dir.path()), 1);
}

TEST(GenerateComponentFileDeathTest, FailingWriteIsReportedAndChangesNothing) {
  TempDir dir;
  const auto path = dir / kComponentFileName;
  WriteFile(path, kOldFile);
  BrenmoorState state = testing::StateWith(testing::DefaultSection(), testing::DefaultSection());
  // A file size limit makes the disk "full" after 5000 bytes.
  EXPECT_EXIT(GenerateRestricted(state, path,
                                 [] {
                                   ::signal(SIGXFSZ, SIG_IGN);
                                   const rlimit limit{5000, 5000};
                                   ::setrlimit(RLIMIT_FSIZE, &limit);
                                 }),
              ::testing::ExitedWithCode(0),
              "Cannot write file \".*KAVOSEC.PF3CMP\". File too large\n");
  EXPECT_EQ(ReadFile(path), kOldFile);
  EXPECT_EQ(EntriesIn(dir.path()), 1);
}

}  // namespace
}  // namespace brenmoor

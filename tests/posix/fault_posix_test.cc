// Faults that only POSIX can provoke from one test process: another user,
// a reader keeping an unlinked file, a child process's peak memory.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/fault_test.h"

namespace brenmoor::testing {
namespace {

TEST_F(FaultTest, UnreadableTable) {
  ::chmod(table_.c_str(), 0);
  // Root reads anything, so the check runs as an ordinary user.
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && ::setuid(65534) != 0) std::abort();
        std::fprintf(stderr, "%s\n", ImportError(table_).c_str());
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "Cannot open file \".*sections.csv\". Permission denied\n");
  ExpectNothingLost();
}

TEST_F(FaultTest, ComponentFileHeldOpenByAnotherProgram) {
  const int reader = ::open(component_.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  state_.records[1].NAME = "KZ1-NEW";
  GenerateComponentFile(state_, component_);
  // The program holding the old file still reads it whole; the name now
  // leads to the new one.
  std::string held(old_file_.size() + 1, '\0');
  held.resize(std::max<ssize_t>(0, ::pread(reader, held.data(), held.size(), 0)));
  EXPECT_EQ(held, old_file_);
  ::close(reader);
  EXPECT_EQ(ReadFile(component_).substr(72, 7), "KZ1-NEW");
}

// The peak memory in MB of a child process that imports table.
double ImportPeakMemoryMb(const std::filesystem::path& table) {
  const pid_t child = ::fork();
  if (child == 0) {
    BrenmoorState state;
    try {
      ImportSectionFile(state, table.string(), '.');
    } catch (const Error&) {
    }
    std::_Exit(0);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  return usage.ru_maxrss / 1024.0;
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(FaultTest, HugeGarbageDoesNotEatMemory) {
  WriteHugeTables();
  // The file in memory and a few copies of its longest field: never more.
  EXPECT_LT(ImportPeakMemoryMb(huge_garbage_), 100 * 4 + 50);
  EXPECT_LT(ImportPeakMemoryMb(huge_line_), 50 * 4 + 50);
  ExpectNothingLost();
}
#endif

}  // namespace
}  // namespace brenmoor::testing

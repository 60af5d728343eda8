// A generate killed at any instant (a power cut, a killed program) must leave
// the component file it replaces complete, old or new, and what it leaves
// beside it must not pile up. This kills the real `brenmoor convert` with
// SIGKILL while it starts and reads the table, computes, writes, flushes to
// the disk and renames.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "output/generate.h"
#include "platform/files.h"
#include "tests/temp_dir.h"
#include "tests/varied_table.h"

namespace brenmoor {
namespace {

using std::filesystem::path;
using testing::ReadFile;
using testing::WriteFile;
using Clock = std::chrono::steady_clock;

const std::string kProgram = std::string(BRENMOOR_BINARY_DIR) + "/brenmoor";
constexpr int kRuns = 120;

// Starts `brenmoor convert table` in folder, its output silenced.
pid_t StartConvert(const path& folder, const path& table) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) std::_Exit(126);
    ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
    ::execl(kProgram.c_str(), "brenmoor", "convert", table.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  return child;
}

int RunConvert(const path& folder, const path& table) {
  int status = -1;
  ::waitpid(StartConvert(folder, table), &status, 0);
  return status;
}

// The temporary files beside the component file.
std::size_t Temporaries(const path& folder) {
  std::size_t found = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::int64_t pid = 0;
    found += IsReplacingFileTemporary(entry.path().filename().string(), kComponentFileName, pid);
  }
  return found;
}

// The temporary file a run writes (its first attempt's name).
path TemporaryOf(const path& folder, pid_t run) {
  return folder / ("." + std::string(kComponentFileName) + "." + std::to_string(run) + ".0.tmp");
}

std::uintmax_t SizeOf(const path& file) {
  std::error_code missing;
  const auto size = std::filesystem::file_size(file, missing);
  return missing ? 0 : size;
}

// Puts the old file in place through a rename, so that each run starts over
// a complete file with an inode of its own; returns that inode.
ino_t RestoreOld(const path& folder, const std::string& old_bytes) {
  WriteFile(folder.parent_path() / "old.tmp", old_bytes);
  std::filesystem::rename(folder.parent_path() / "old.tmp", folder / kComponentFileName);
  struct stat target {};
  ::stat((folder / kComponentFileName).c_str(), &target);
  return target.st_ino;
}

enum class Phase { kBeforeTheFile, kWriting, kFlushing, kRenamed };
const char* const kPhaseNames[] = {"before its file was created", "while writing",
                                   "while flushing to the disk or renaming", "after the rename"};

// What the run writing temporary was doing, as seen from outside: whether
// its file is there and complete, whether the target is another file than
// before.
Phase PhaseOf(const path& temporary, ino_t old_inode, std::uintmax_t new_size) {
  struct stat target {};
  ::stat((temporary.parent_path() / kComponentFileName).c_str(), &target);
  if (target.st_ino != old_inode) return Phase::kRenamed;
  if (!std::filesystem::exists(temporary)) return Phase::kBeforeTheFile;
  return SizeOf(temporary) < new_size ? Phase::kWriting : Phase::kFlushing;
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

TEST(KilledConvert, LeavesTheOldFileOrTheNewOneAndItsTemporariesAreCleared) {
  testing::TempDir dir;
  const path folder = dir / "work", target = folder / kComponentFileName;
  std::filesystem::create_directory(folder);
  const path table = dir / "sections.csv";
  WriteFile(table, testing::VariedTable(4000, 21));

  // The old file: what another table converts to.
  WriteFile(dir / "old.csv", testing::VariedTable(300, 22));
  ASSERT_EQ(RunConvert(dir.path(), dir / "old.csv"), 0);
  const std::string old_bytes = ReadFile(dir / kComponentFileName);

  // A whole run for the new file, then two watched: how long a run takes,
  // and how long its complete temporary file waits for the disk and the
  // rename. The kills are placed from these, and from what each run is
  // seen doing, so that a slower machine (a sanitizer build, a busy CI)
  // still has its kills spread over every phase.
  std::string new_bytes;
  double whole_run = 0, flush = -1;
  for (int i = 0; i < 3; ++i) {
    const ino_t old_inode = RestoreOld(folder, old_bytes);
    const auto start = Clock::now();
    const pid_t run = StartConvert(folder, table);
    double complete = -1, renamed = -1;
    int status = 0;
    while (::waitpid(run, &status, WNOHANG) == 0) {
      if (i > 0) {
        const Phase phase = PhaseOf(TemporaryOf(folder, run), old_inode, new_bytes.size());
        if (phase == Phase::kFlushing && complete < 0) complete = Since(start);
        if (phase == Phase::kRenamed && renamed < 0) renamed = Since(start);
      }
      Sleep(100e-6);
    }
    ASSERT_EQ(status, 0);
    const double ended = Since(start);
    whole_run = std::max(whole_run, ended);
    if (complete >= 0) flush = std::max(flush, (renamed < 0 ? ended : renamed) - complete);
    new_bytes = ReadFile(target);
  }
  ASSERT_NE(old_bytes, new_bytes);
  if (flush < 0) flush = 0.005;

  std::map<std::string, int> outcomes, phases;
  std::size_t most_temporaries = 0;
  for (int i = 0; i < kRuns; ++i) {
    SCOPED_TRACE(i);
    const ino_t old_inode = RestoreOld(folder, old_bytes);
    const pid_t run = StartConvert(folder, table);
    const path temporary = TemporaryOf(folder, run);
    int status = 0;
    bool reaped = false;
    auto wait_until = [&](auto seen) {
      while (!seen() && !(reaped = ::waitpid(run, &status, WNOHANG) == run)) Sleep(100e-6);
    };
    // Half the runs are killed at moments spread from their start to well
    // past their usual end; a quarter when their file has grown to a
    // growing share of its size; a quarter once it is complete, at moments
    // spread over the time it waits for the disk and the rename and past it.
    const double k = i / 4 + 0.5, of = kRuns / 4;
    if (i % 4 == 1) {
      wait_until([&] { return SizeOf(temporary) >= new_bytes.size() * k / of; });
    } else if (i % 4 == 3) {
      wait_until([&] { return SizeOf(temporary) == new_bytes.size(); });
      Sleep(flush * 1.5 * k / of);
    } else {
      Sleep(whole_run * 1.2 * (i / 2 + 0.5) / (kRuns / 2));
    }
    const Phase phase = PhaseOf(temporary, old_inode, new_bytes.size());
    ::kill(run, SIGKILL);
    if (!reaped) ::waitpid(run, &status, 0);
    ++phases[WIFEXITED(status) ? "after it had finished" : kPhaseNames[static_cast<int>(phase)]];

    const std::string left = ReadFile(target);
    if (left == old_bytes || left == new_bytes) {
      ++outcomes[left == old_bytes ? "old" : "new"];
    } else {
      ADD_FAILURE() << "the component file is neither the old nor the new one: " << left.size()
                    << " bytes, killed " << kPhaseNames[static_cast<int>(phase)];
    }
    most_temporaries = std::max(most_temporaries, Temporaries(folder));
  }

  std::printf(
      "%d killed runs (a whole run: %.0f ms, its complete file waiting %.1f ms for the "
      "disk): the file was old %d times, new %d times\n",
      kRuns, whole_run * 1000, flush * 1000, outcomes["old"], outcomes["new"]);
  for (const auto& [phase, count] : phases) std::printf("  killed %s: %d\n", phase.c_str(), count);
  std::printf("  at most %zu temporary files beside it at once\n", most_temporaries);
  EXPECT_EQ(outcomes["old"] + outcomes["new"], kRuns);
  EXPECT_GT(outcomes["old"], 0);
  EXPECT_GT(outcomes["new"], 0);
  // Half the kills wait for the file; they land while it is written or flushed.
  EXPECT_GT(phases[kPhaseNames[1]], kRuns / 8);
  EXPECT_GT(phases[kPhaseNames[2]], kRuns / 16);
  // Each run clears what the runs killed before it left, and the next whole
  // run the last killed run's.
  EXPECT_LE(most_temporaries, 2u);
  EXPECT_EQ(RunConvert(folder, table), 0);
  EXPECT_EQ(ReadFile(target), new_bytes);
  EXPECT_EQ(Temporaries(folder), 0u);
}

}  // namespace
}  // namespace brenmoor

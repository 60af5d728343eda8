// A generate killed at any instant (a power cut, a killed program) must leave
// the component file it replaces either complete and old or complete and new,
// and what it leaves beside it must not pile up. This runs the real program,
// `brenmoor convert`, over an existing KAVOSEC.PF3CMP and kills it with
// SIGKILL at moments spread over its whole run: while it starts and reads
// the table, while it computes, writes, flushes to the disk and renames.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "output/generate.h"
#include "platform/files.h"
#include "tests/temp_dir.h"
#include "tests/varied_table.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kProgram = std::string(BRENMOOR_BINARY_DIR) + "/brenmoor";
constexpr int kRuns = 120;

// Starts `brenmoor convert table` in folder, its output silenced.
pid_t StartConvert(const std::filesystem::path& folder, const std::filesystem::path& table) {
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

// The temporary files beside the component file; of one process, or of all
// when run is 0.
std::vector<std::filesystem::path> Temporaries(const std::filesystem::path& folder, pid_t run = 0) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::int64_t pid = 0;
    if (IsReplacingFileTemporary(entry.path().filename().string(), kComponentFileName, pid) &&
        (run == 0 || pid == run)) {
      found.push_back(entry.path());
    }
  }
  return found;
}

enum class Phase { kBeforeTheFile, kWriting, kFlushing, kRenamed };
const char* const kPhaseNames[] = {"before its file was created", "while writing",
                                   "while flushing to the disk or renaming", "after the rename"};

// What run was doing, as seen from outside: whether its temporary file is
// there and complete, whether the target is another file than before.
Phase PhaseOf(pid_t run, const std::filesystem::path& folder, ino_t old_inode,
              std::uintmax_t new_size) {
  struct stat target {};
  ::stat((folder / kComponentFileName).c_str(), &target);
  if (target.st_ino != old_inode) return Phase::kRenamed;
  const auto temporaries = Temporaries(folder, run);
  if (temporaries.empty()) return Phase::kBeforeTheFile;
  std::error_code ignored;
  return std::filesystem::file_size(temporaries[0], ignored) < new_size ? Phase::kWriting
                                                                        : Phase::kFlushing;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void SleepFor(std::chrono::nanoseconds delay) {
  const timespec wait{static_cast<time_t>(delay.count() / 1'000'000'000),
                      static_cast<long>(delay.count() % 1'000'000'000)};
  ::clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, nullptr);
}

TEST(KilledConvert, LeavesTheOldFileOrTheNewOneAndItsTemporariesAreCleared) {
  TempDir dir;
  const auto folder = dir / "work";
  std::filesystem::create_directory(folder);
  const auto target = folder / kComponentFileName;
  const auto table = dir / "sections.csv";
  WriteFile(table, testing::VariedTable(4000, 21));

  // The old file: what this table converts to, with other sections. The new
  // one: what an uninterrupted run writes, timed.
  WriteFile(dir / "old.csv", testing::VariedTable(300, 22));
  {
    const pid_t run = StartConvert(dir.path(), dir / "old.csv");
    int status = 0;
    ::waitpid(run, &status, 0);
    ASSERT_EQ(status, 0);
  }
  const std::string old_bytes = ReadFile(dir / kComponentFileName);

  // A whole run for the new file, then two watched: how long a run takes,
  // and how long its complete temporary file waits for the disk and the
  // rename. The kills are placed from these, and from what each run is
  // seen doing, so that a slower machine (a sanitizer build, a busy CI)
  // still has its kills spread over every phase.
  std::string new_bytes;
  std::vector<double> whole_runs, flushes;
  for (int i = 0; i < 3; ++i) {
    WriteFile(target, old_bytes);
    struct stat old_target {};
    ::stat(target.c_str(), &old_target);
    const auto start = std::chrono::steady_clock::now();
    const pid_t run = StartConvert(folder, table);
    double complete = -1, renamed = -1;
    int status = 0;
    while (::waitpid(run, &status, WNOHANG) == 0) {
      if (i > 0) {
        const Phase phase = PhaseOf(run, folder, old_target.st_ino, new_bytes.size());
        if (phase == Phase::kFlushing && complete < 0) complete = Since(start);
        if (phase == Phase::kRenamed && renamed < 0) renamed = Since(start);
      }
      SleepFor(std::chrono::microseconds(100));
    }
    ASSERT_EQ(status, 0);
    whole_runs.push_back(Since(start));
    if (i > 0 && complete >= 0)
      flushes.push_back((renamed < 0 ? whole_runs.back() : renamed) - complete);
    new_bytes = ReadFile(target);
  }
  ASSERT_NE(old_bytes, new_bytes);
  const double whole_run = *std::max_element(whole_runs.begin(), whole_runs.end());
  const double flush = flushes.empty() ? 0.005 : *std::max_element(flushes.begin(), flushes.end());

  std::map<std::string, int> outcomes;
  std::map<std::string, int> phases;
  std::size_t most_temporaries = 0;
  for (int i = 0; i < kRuns; ++i) {
    SCOPED_TRACE(i);
    // Restored through a rename, so every run starts over a complete old
    // file with an inode of its own.
    WriteFile(dir / "old.tmp", old_bytes);
    std::filesystem::rename(dir / "old.tmp", target);
    struct stat old_target {};
    ::stat(target.c_str(), &old_target);

    const pid_t run = StartConvert(folder, table);
    const auto temporary =
        folder / ("." + std::string(kComponentFileName) + "." + std::to_string(run) + ".0.tmp");
    int status = 0;
    bool reaped = false;
    auto wait_until = [&](auto seen) {
      while (!seen()) {
        if (::waitpid(run, &status, WNOHANG) == run) {
          reaped = true;
          return;
        }
        SleepFor(std::chrono::microseconds(100));
      }
    };
    auto temporary_size = [&] {
      std::error_code missing;
      const auto size = std::filesystem::file_size(temporary, missing);
      return missing ? std::uintmax_t{0} : size;
    };
    // Half the runs are killed at moments spread from their start to well
    // past their usual end; a quarter when their file has grown to a
    // growing share of its size; a quarter once it is complete, at moments
    // spread over the time it waits for the disk and the rename and past it.
    // Each a little later in its kind than the one before.
    const double k = i / 4 + 0.5, of = kRuns / 4;
    switch (i % 4) {
      case 1:
        wait_until([&] {
          return temporary_size() >= static_cast<std::uintmax_t>(new_bytes.size() * k / of);
        });
        break;
      case 3:
        wait_until([&] { return temporary_size() == new_bytes.size(); });
        SleepFor(std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::duration<double>(flush * 1.5 * k / of)));
        break;
      default:
        SleepFor(std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::duration<double>(whole_run * 1.2 * (i / 2 + 0.5) / (kRuns / 2))));
        break;
    }
    const Phase phase = PhaseOf(run, folder, old_target.st_ino, new_bytes.size());
    ::kill(run, SIGKILL);
    if (!reaped) ::waitpid(run, &status, 0);
    ++phases[WIFEXITED(status) ? "after it had finished" : kPhaseNames[static_cast<int>(phase)]];

    const std::string left = ReadFile(target);
    if (left == old_bytes) {
      ++outcomes["old"];
    } else if (left == new_bytes) {
      ++outcomes["new"];
    } else {
      ADD_FAILURE() << "the component file is neither the old nor the new one: " << left.size()
                    << " bytes, killed " << kPhaseNames[static_cast<int>(phase)];
    }
    most_temporaries = std::max(most_temporaries, Temporaries(folder).size());
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
  // Each run clears what the runs killed before it left; a temporary file
  // of a killed run lives only until the next one starts.
  EXPECT_LE(most_temporaries, 2u);

  // The next whole run clears the last killed run's temporary file.
  const pid_t last = StartConvert(folder, table);
  int status = 0;
  ::waitpid(last, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(target), new_bytes);
  EXPECT_EQ(Temporaries(folder).size(), 0u);
}

}  // namespace
}  // namespace brenmoor

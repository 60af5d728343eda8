// A convert killed at any moment (a power cut, a killed program) must leave
// the component file it replaces complete, old or new, and what it leaves
// beside it must not pile up; one stopped by Ctrl-C or told to end leaves
// nothing at all. The real `brenmoor convert` is killed (SIGKILL) at each
// named moment of its file's road (BRENMOOR_CRASH_AT), or stopped there
// (BRENMOOR_STOP_AT) and sent a signal, so that every run ends where it is
// meant to however loaded the machine is. Killing at moments picked by the
// clock instead is a soak, run on request: BRENMOOR_KILL_SOAK=1.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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

struct Start {
  // NAME=VALUE put into the program's environment, if not empty.
  std::string setting;
  // A signal the program starts with ignored, as nohup starts it; 0: none.
  int ignored = 0;
  std::string output = kComponentFileName;
};

// Starts `brenmoor convert table -o output` in folder, its output silenced.
pid_t StartConvert(const path& folder, const path& table, const Start& start = {}) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) std::_Exit(126);
    ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
    // Whatever this test was started with (a background job of a script
    // ignores SIGINT), the program starts as from a terminal.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
    if (start.ignored != 0) ::signal(start.ignored, SIG_IGN);
    if (!start.setting.empty()) ::putenv(const_cast<char*>(start.setting.c_str()));
    ::execl(kProgram.c_str(), "brenmoor", "convert", table.c_str(), "-o", start.output.c_str(),
            static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  return child;
}

int RunConvert(const path& folder, const path& table, const Start& start = {}) {
  int status = -1;
  ::waitpid(StartConvert(folder, table, start), &status, 0);
  return status;
}

// The temporary files in folder, whatever file they were for.
std::size_t Temporaries(const path& folder) {
  std::size_t found = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::int64_t pid = 0;
    found += IsReplacingFileTemporary(entry.path().filename().string(), pid);
  }
  return found;
}

// The temporary file a run writes (its name has a random part), or a name
// that does not exist.
path TemporaryOf(const path& folder, pid_t run) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::int64_t pid = 0;
    if (IsReplacingFileTemporary(entry.path().filename().string(), kComponentFileName, pid) &&
        pid == run) {
      return entry.path();
    }
  }
  return folder / "no temporary file";
}

// The bytes run has written so far (its file's space is reserved at once,
// so the file's size does not tell), from the system's count of the bytes
// each process writes; the program writes nothing else before its file is
// in place.
std::uintmax_t WrittenBy(pid_t run) {
  std::ifstream io("/proc/" + std::to_string(run) + "/io");
  std::string field;
  std::uintmax_t value = 0;
  while (io >> field >> value) {
    if (field == "wchar:") return value;
  }
  return 0;
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

// A folder holding the old component file (what another table converts
// to), and a table of 4,000 sections whose component file (about 14 MB) is
// the new one.
struct Folders {
  Folders() {
    std::filesystem::create_directory(folder);
    WriteFile(table, testing::VariedTable(4000, 21));
    WriteFile(dir / "old.csv", testing::VariedTable(300, 22));
    EXPECT_EQ(RunConvert(dir.path(), dir / "old.csv"), 0);
    old_bytes = ReadFile(dir / kComponentFileName);
    EXPECT_EQ(RunConvert(folder, table), 0);
    new_bytes = ReadFile(target);
    EXPECT_NE(old_bytes, new_bytes);
  }
  testing::TempDir dir;
  const path folder = dir / "work", target = folder / kComponentFileName;
  const path table = dir / "sections.csv";
  std::string old_bytes, new_bytes;
};

bool KilledBy(int status, int signal) { return WIFSIGNALED(status) && WTERMSIG(status) == signal; }

TEST(KilledConvert, AtEachNamedMomentLeavesTheOldFileOrTheNewOneAndALaterRunSweeps) {
  Folders here;
  ASSERT_FALSE(HasFailure());
  enum Left { kEmpty, kPart, kWhole, kNone };
  const struct {
    const char* moment;
    bool new_file;  // the target is the new file, else the old one
    Left temporary;
  } cases[] = {
      {"before-first-write", false, kEmpty}, {"mid-write", false, kPart},
      {"after-sync", false, kWhole},         {"before-rename", false, kWhole},
      {"after-rename", true, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.moment);
    RestoreOld(here.folder, here.old_bytes);
    const pid_t run = StartConvert(here.folder, here.table,
                                   {.setting = std::string("BRENMOOR_CRASH_AT=") + c.moment});
    int status = 0;
    ::waitpid(run, &status, 0);
    EXPECT_TRUE(KilledBy(status, SIGKILL)) << status;
    EXPECT_EQ(ReadFile(here.target), c.new_file ? here.new_bytes : here.old_bytes);
    // The temporary file's space may be reserved before the first write, so
    // what was written shows in its bytes, not its size: the parts that are
    // not zeros.
    const path temporary = TemporaryOf(here.folder, run);
    EXPECT_EQ(std::filesystem::exists(temporary), c.temporary != kNone);
    const std::string left = c.temporary == kNone ? "" : ReadFile(temporary);
    const bool written = left.find_first_not_of('\0') != std::string::npos;
    const bool as_expected[] = {!written, written && left != here.new_bytes, left == here.new_bytes,
                                true};
    EXPECT_TRUE(as_expected[c.temporary]) << left.size() << " bytes of " << here.new_bytes.size()
                                          << (written ? ", some" : ", none") << " written";
    // The next run in the folder clears it, whatever file that run writes.
    EXPECT_EQ(RunConvert(here.folder, here.dir / "old.csv", Start{"", 0, "other.PF3CMP"}), 0);
    EXPECT_EQ(Temporaries(here.folder), 0u);
    EXPECT_EQ(ReadFile(here.target), c.new_file ? here.new_bytes : here.old_bytes);
  }
}

// Ctrl-C (SIGINT), SIGTERM and SIGHUP while the file is made: the old file
// stays, the temporary file goes, and the program ends by the signal, so
// that a shell reports it (130 for Ctrl-C). Started by nohup (SIGHUP
// ignored), it goes on and writes the new file.
TEST(InterruptedConvert, RemovesItsTemporaryFileAndEndsByTheSignal) {
  Folders here;
  ASSERT_FALSE(HasFailure());
  const struct {
    int signal;
    const char* moment;
    bool ignored = false;
  } cases[] = {
      {SIGINT, "mid-write"},       {SIGTERM, "mid-write"},          {SIGHUP, "mid-write"},
      {SIGINT, "before-rename"},   {SIGTERM, "before-first-write"}, {SIGHUP, "after-sync"},
      {SIGHUP, "mid-write", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(strsignal(c.signal)) + " at " + c.moment);
    RestoreOld(here.folder, here.old_bytes);
    const pid_t run =
        StartConvert(here.folder, here.table,
                     Start{std::string("BRENMOOR_STOP_AT=") + c.moment, c.ignored ? c.signal : 0});
    int status = 0;
    ASSERT_EQ(::waitpid(run, &status, WUNTRACED), run);
    ASSERT_TRUE(WIFSTOPPED(status)) << status;
    EXPECT_TRUE(std::filesystem::exists(TemporaryOf(here.folder, run)));
    ::kill(run, c.signal);
    ::kill(run, SIGCONT);
    // Each moment comes once, however many threads write: a run that stops
    // again would otherwise be waited for forever.
    ::waitpid(run, &status, WUNTRACED);
    if (WIFSTOPPED(status)) {
      ADD_FAILURE() << "stopped at " << c.moment << " a second time";
      ::kill(run, SIGKILL);
      ::waitpid(run, &status, 0);
    }
    if (c.ignored) {
      EXPECT_EQ(status, 0);
    } else {
      EXPECT_TRUE(KilledBy(status, c.signal)) << status;
    }
    EXPECT_TRUE(ReadFile(here.target) == (c.ignored ? here.new_bytes : here.old_bytes));
    EXPECT_EQ(Temporaries(here.folder), 0u);
  }
}

enum class Phase { kBeforeTheFile, kWriting, kFlushing, kRenamed };
const char* const kPhaseNames[] = {"before its file was created", "while writing",
                                   "while flushing to the disk or renaming", "after the rename"};

// What run, writing temporary, was doing, as seen from outside: whether its
// file is there and all of it written, whether the target is another file
// than before.
Phase PhaseOf(pid_t run, const path& temporary, ino_t old_inode, std::uintmax_t new_size) {
  struct stat target {};
  ::stat((temporary.parent_path() / kComponentFileName).c_str(), &target);
  if (target.st_ino != old_inode) return Phase::kRenamed;
  if (!std::filesystem::exists(temporary)) return Phase::kBeforeTheFile;
  return WrittenBy(run) < new_size ? Phase::kWriting : Phase::kFlushing;
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Kills at moments spread by the clock over the whole run, from its start
// and its reading of the table to well past its end. What a run was doing
// when it was killed depends on the machine's load, so the counts of kills
// per phase below can fall short on a busy machine: a soak, not a test of
// every build.
TEST(KilledConvertSoak, AtMomentsSpreadOverTheRunLeavesTheOldFileOrTheNewOne) {
  if (std::getenv("BRENMOOR_KILL_SOAK") == nullptr) {
    GTEST_SKIP() << "a soak: set BRENMOOR_KILL_SOAK=1 to run it";
  }
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
        const Phase phase = PhaseOf(run, TemporaryOf(folder, run), old_inode, new_bytes.size());
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
      wait_until([&] { return WrittenBy(run) >= new_bytes.size() * k / of; });
    } else if (i % 4 == 3) {
      wait_until([&] { return WrittenBy(run) >= new_bytes.size(); });
      Sleep(flush * 1.5 * k / of);
    } else {
      Sleep(whole_run * 1.2 * (i / 2 + 0.5) / (kRuns / 2));
    }
    // Its name has a random part: looked for once it may exist.
    const Phase phase = PhaseOf(run, TemporaryOf(folder, run), old_inode, new_bytes.size());
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

// What a new ReplacingFile clears beside its target: the temporary files that
// runs killed midway left there, and nothing else; never a file another
// running generate is writing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "model/errors.h"
#include "platform/files.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr char kTarget[] = "KAVOSEC.PF3CMP";

// The id of a process that has ended and been reaped.
pid_t DeadProcess() {
  const pid_t child = ::fork();
  if (child == 0) std::_Exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// The name a run of process pid gives its temporary file, built step by step:
// g++ 12 warns falsely about "." + std::string.
std::string Temporary(std::int64_t pid, int attempt, std::string_view target = kTarget) {
  std::string name(1, '.');
  name += target;
  name += '.';
  name += std::to_string(pid);
  if (attempt >= 0) {
    name += '.';
    name += std::to_string(attempt);
  }
  name += ".tmp";
  return name;
}

TEST(ReplacingFile, ClearsOnlyTheTemporariesOfRunsThatAreGone) {
  TempDir dir;
  const pid_t dead = DeadProcess();
  // An ordinary file of this name lies beside a symbolic link that must not
  // be followed; the locked one is held open by this test, as a run still
  // writing holds its own.
  WriteFile(dir / "elsewhere", "not ours");
  const auto locked = dir / Temporary(dead, 4);
  WriteFile(locked, "held");
  const int holder = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

  enum What { kFile, kFolder, kLink, kAlready };
  const struct {
    std::string name;
    What what;
    bool cleared;
  } cases[] = {
      {Temporary(dead, 0), kFile, true},
      {Temporary(dead, 12), kFile, true},
      {Temporary(99'999'999'999, 0), kFile, true},  // no process can have that id
      {Temporary(1, 0), kFile, false},              // a process that runs
      {Temporary(::getpid(), 7), kFile, false},     // this process's own
      {Temporary(dead, 4), kAlready, false},        // locked
      {Temporary(dead, 1), kFolder, false},
      {Temporary(dead, 2), kLink, false},
      {Temporary(dead, 0, "OTHER.PF3CMP"), kFile, false},
      {Temporary(dead, 0).substr(1), kFile, false},  // no leading dot
      {Temporary(dead, -1), kFile, false},           // no attempt number
      {Temporary(dead, 0) + ".bak", kFile, false},
      {Temporary(12, 0, "KAVOSEC.PF3CMP.ab"), kFile, false},
  };
  for (const auto& c : cases) {
    switch (c.what) {
      case kFile:
        WriteFile(dir / c.name, "left behind");
        break;
      case kFolder:
        std::filesystem::create_directory(dir / c.name);
        break;
      case kLink:
        std::filesystem::create_symlink(dir / "elsewhere", dir / c.name);
        break;
      case kAlready:
        break;
    }
  }

  {
    ReplacingFile file(dir / kTarget);
    file.Write("new", 3);
    file.Commit();
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(dir / c.name)), !c.cleared);
  }
  EXPECT_EQ(ReadFile(dir / "elsewhere"), "not ours");
  EXPECT_EQ(ReadFile(dir / kTarget), "new");

  // Once its holder lets go, the locked one goes too.
  ::close(holder);
  ReplacingFile next(dir / kTarget);
  EXPECT_FALSE(std::filesystem::exists(locked));
}

// A child that starts writing a ReplacingFile in folder, reports it through
// the pipe and then waits to be told to finish or is killed.
pid_t StartWriter(const std::filesystem::path& folder, int ready[2], int go[2]) {
  const pid_t child = ::fork();
  if (child == 0) {
    ReplacingFile file(folder / kTarget);
    file.Write("from the other run", 18);
    const char byte = 1;
    if (::write(ready[1], &byte, 1) != 1) std::_Exit(2);
    char order = 0;
    if (::read(go[0], &order, 1) != 1) std::_Exit(3);
    file.Commit();
    std::_Exit(0);
  }
  char byte = 0;
  EXPECT_EQ(::read(ready[0], &byte, 1), 1);
  return child;
}

TEST(ReplacingFile, LeavesARunningRunsFileAndClearsAKilledRunsFile) {
  TempDir dir;
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);

  // Two generates in one folder at once: neither disturbs the other.
  const pid_t running = StartWriter(dir.path(), ready, go);
  const auto its_file = dir / Temporary(running, 0);
  ASSERT_TRUE(std::filesystem::exists(its_file));
  {
    ReplacingFile file(dir / kTarget);
    EXPECT_TRUE(std::filesystem::exists(its_file));
    file.Write("from this run", 13);
    file.Commit();
  }
  ASSERT_EQ(::write(go[1], "x", 1), 1);
  int status = 0;
  ::waitpid(running, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(dir / kTarget), "from the other run");
  EXPECT_FALSE(std::filesystem::exists(its_file));

  // A run killed midway: its file stays until the next run in the folder.
  const pid_t killed = StartWriter(dir.path(), ready, go);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  const auto left = dir / Temporary(killed, 0);
  EXPECT_TRUE(std::filesystem::exists(left));
  EXPECT_EQ(ReadFile(dir / kTarget), "from the other run");
  ReplacingFile next(dir / kTarget);
  EXPECT_FALSE(std::filesystem::exists(left));
  for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
}

TEST(IsReplacingFileTemporary, NamesAndTheirProcess) {
  const struct {
    const char* name;
    bool temporary;
    std::int64_t pid;
  } cases[] = {
      {".KAVOSEC.PF3CMP.4711.0.tmp", true, 4711},
      {".KAVOSEC.PF3CMP.1.99.tmp", true, 1},
      {".KAVOSEC.PF3CMP.4711.tmp", false, 0},
      {".KAVOSEC.PF3CMP..0.tmp", false, 0},
      {".KAVOSEC.PF3CMP.4711..tmp", false, 0},
      {".KAVOSEC.PF3CMP.-1.0.tmp", false, 0},
      {".KAVOSEC.PF3CMP.4711.0.tm", false, 0},
      {".KAVOSEC.PF3CMPX.4711.0.tmp", false, 0},
      {"KAVOSEC.PF3CMP.4711.0.tmp", false, 0},
      {".kavosec.pf3cmp.4711.0.tmp", false, 0},
      {".KAVOSEC.PF3CMP.99999999999999999999999.0.tmp", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::int64_t pid = 0;
    EXPECT_EQ(IsReplacingFileTemporary(c.name, kTarget, pid), c.temporary);
    if (c.temporary) {
      EXPECT_EQ(pid, c.pid);
    }
  }
}

}  // namespace
}  // namespace brenmoor

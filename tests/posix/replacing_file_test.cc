// What a new ReplacingFile clears beside its target: the temporary files that
// runs killed midway left there, whatever file they were writing, and nothing
// else; never a file another running generate is writing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "model/errors.h"
#include "platform/files.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::WriteFile;

constexpr char kTarget[] = "KAVOSEC.PF3CMP";

// A name a run of process pid may give its temporary file.
std::string Temporary(std::int64_t pid, int attempt, const std::string& target = kTarget) {
  return ReplacingFileTemporaryName(target, pid, attempt);
}

// The temporary file that process pid writes in folder (its name has a
// random part), or a name that does not exist.
std::filesystem::path TemporaryOf(const std::filesystem::path& folder, std::int64_t pid) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::int64_t its = 0;
    if (IsReplacingFileTemporary(entry.path().filename().string(), kTarget, its) && its == pid) {
      return entry.path();
    }
  }
  return folder / "no temporary file";
}

TEST(ReplacingFile, ClearsOnlyTheTemporariesOfRunsThatAreGone) {
  testing::TempDir dir;
  // Only root may give a file to another user.
  const bool root = ::geteuid() == 0;
  const pid_t dead = ::fork();  // a process that has ended and been reaped
  if (dead == 0) std::_Exit(0);
  ::waitpid(dead, nullptr, 0);
  // The locked file is held open by this test, as a run still writing holds
  // its own: a process given the dead one's id would look like this.
  const auto locked = dir / Temporary(dead, 4);
  WriteFile(locked, "held");
  const int holder = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  WriteFile(dir / "elsewhere", "not ours");  // where a link points; not followed

  enum What { kFile, kFolder, kLink, kAlready, kOthers, kPipe };
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
      {Temporary(dead, 0, "OTHER.PF3CMP"), kFile, true},  // whatever file it was for
      {Temporary(1, 0, "sections.pdf"), kFile, false},
      {Temporary(dead, 0) + ".bak", kFile, false},  // names of another kind: their own
                                                    // test is below
      {Temporary(dead, 3), kOthers, false},         // another user's, in a shared folder
      {Temporary(dead, 5), kPipe, false},           // opening it would wait for a writer
  };
  for (const auto& c : cases) {
    if (c.what == kOthers && !root) continue;
    if (c.what == kFile || c.what == kOthers) WriteFile(dir / c.name, "left behind");
    if (c.what == kOthers) {
      ASSERT_EQ(::chown((dir / c.name).c_str(), 65534, 65534), 0);
    }
    if (c.what == kFolder) std::filesystem::create_directory(dir / c.name);
    if (c.what == kLink) std::filesystem::create_symlink(dir / "elsewhere", dir / c.name);
    if (c.what == kPipe) {
      ASSERT_EQ(::mkfifo((dir / c.name).c_str(), 0600), 0);
    }
  }

  {
    ReplacingFile file(dir / kTarget);
    file.Write("new", 3);
    file.Commit();
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.what == kOthers && !root) continue;
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(dir / c.name)), !c.cleared);
  }
  EXPECT_EQ(ReadFile(dir / "elsewhere"), "not ours");
  EXPECT_EQ(ReadFile(dir / kTarget), "new");

  // Once its holder lets go, the locked one goes too.
  ::close(holder);
  ReplacingFile next(dir / kTarget);
  EXPECT_FALSE(std::filesystem::exists(locked));
}

TEST(ReplacingFile, LeavesARunningRunsFileAndClearsAKilledRunsFile) {
  testing::TempDir dir;
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  // A child that starts writing, says so, then waits to be told to finish
  // or is killed.
  auto start_writer = [&] {
    const pid_t child = ::fork();
    if (child == 0) {
      ReplacingFile file(dir / kTarget);
      file.Write("from the other run", 18);
      char order = 1;
      if (::write(ready[1], &order, 1) != 1 || ::read(go[0], &order, 1) != 1) std::_Exit(2);
      file.Commit();
      std::_Exit(0);
    }
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    return child;
  };

  // Two generates in one folder at once: neither disturbs the other.
  const pid_t running = start_writer();
  const auto its_file = TemporaryOf(dir.path(), running);
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
  const pid_t killed = start_writer();
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  const auto left = TemporaryOf(dir.path(), killed);
  EXPECT_TRUE(std::filesystem::exists(left));
  EXPECT_EQ(ReadFile(dir / kTarget), "from the other run");
  ReplacingFile next(dir / kTarget);
  EXPECT_FALSE(std::filesystem::exists(left));
  for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
}

TEST(IsReplacingFileTemporary, NamesAndTheirProcess) {
  const struct {
    const char* name;
    std::int64_t pid;      // 0: not a temporary of KAVOSEC.PF3CMP
    std::int64_t any_pid;  // 0: not a temporary of any file
  } cases[] = {
      {".KAVOSEC.PF3CMP.4711.0.tmp", 4711, 4711},
      {".KAVOSEC.PF3CMP.1.99.tmp", 1, 1},
      {".KAVOSEC.PF3CMP.4711.tmp", 0, 0},
      {".KAVOSEC.PF3CMP..0.tmp", 0, 0},
      {".KAVOSEC.PF3CMP.4711..tmp", 0, 0},
      {".KAVOSEC.PF3CMP.-1.0.tmp", 0, 0},
      {".KAVOSEC.PF3CMP.4711.0.tm", 0, 0},
      {".KAVOSEC.PF3CMPX.4711.0.tmp", 0, 4711},
      {"KAVOSEC.PF3CMP.4711.0.tmp", 0, 0},
      {".kavosec.pf3cmp.4711.0.tmp", 0, 4711},
      {".KAVOSEC.PF3CMP.99999999999999999999999.0.tmp", 0, 0},
      {".t.2024.csv.17.0.tmp", 0, 17},  // digits in the target's own name
      {"..1.0.tmp", 0, 0},              // no target name
      {".1.0.tmp", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::int64_t pid = 0;
    const bool temporary = IsReplacingFileTemporary(c.name, kTarget, pid);
    EXPECT_EQ(temporary ? pid : 0, c.pid);
    pid = 0;
    const bool any = IsReplacingFileTemporary(c.name, pid);
    EXPECT_EQ(any ? pid : 0, c.any_pid);
  }
}

// A link stays a link and the file it leads to gets the new bytes in its own
// folder; the new file keeps the old one's permissions, whatever the umask.
TEST(ReplacingFile, FollowsALinkAndKeepsThePermissions) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir / "real");
  const auto file = dir / "real" / kTarget;
  WriteFile(file, "old");
  ::chmod(file.c_str(), 0640);
  std::filesystem::create_symlink(file, dir / kTarget);
  WriteFileReplacing(dir / kTarget, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / kTarget));
  EXPECT_EQ(ReadFile(file), "new");
  struct stat info;
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(testing::EntriesIn(dir / "real"), 1);
}

// The new file is its owner's alone until it is complete, whatever it ends
// up as: nobody can open it meanwhile and read along. Then it gets the old
// file's permissions and owner, or a new file's (0666 less the umask).
TEST(ReplacingFile, IsPrivateUntilCompleteThenGetsItsFinalModeAndOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "gives a file to another user, which only root may";
  testing::TempDir dir;
  const mode_t umask = ::umask(027);
  const struct {
    const char* what;
    int old_mode;  // -1: no old file
    uid_t old_owner;
    mode_t mode;
    uid_t owner;
  } cases[] = {
      {"new", -1, 0, 0640, 0},
      {"readable by all", 0644, 0, 0644, 0},
      {"private", 0600, 0, 0600, 0},
      {"another user's", 0664, 65534, 0664, 65534},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto target = dir / c.what;
    if (c.old_mode >= 0) {
      WriteFile(target, "old");
      ASSERT_EQ(::chmod(target.c_str(), static_cast<mode_t>(c.old_mode)), 0);
      ASSERT_EQ(::chown(target.c_str(), c.old_owner, c.old_owner), 0);
    }
    ReplacingFile file(target);
    file.Write("secret", 6);
    struct stat info;
    ASSERT_EQ(::stat(file.temporary().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_uid, 0u);
    file.Commit();
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.mode);
    EXPECT_EQ(info.st_uid, c.owner);
    EXPECT_EQ(ReadFile(target), "secret");
  }
  ::umask(umask);
}

// In a folder where anyone may create files, a link or a file that another
// user put at the output's name before the run is refused, naming its
// owner, whatever the system's own protection of such folders says; what
// the running user (or the folder's owner) put there is used as ever.
TEST(ReplacingFile, InASharedFolderRefusesWhatAnotherUserPlanted) {
  if (::geteuid() != 0) GTEST_SKIP() << "gives a file to another user, which only root may";
  testing::TempDir dir;
  std::filesystem::create_directory(dir / "shared");
  std::filesystem::create_directory(dir / "private");
  ASSERT_EQ(::chmod((dir / "shared").c_str(), 01777), 0);
  const auto secret = dir / "private" / "secret";
  WriteFile(secret, "root's own");
  const std::string refused = " in a folder where anyone may create files";
  enum Planted { kLink, kFile };
  const struct {
    const char* name;
    Planted planted;
    uid_t owner;
    std::string reason;  // empty: written
  } cases[] = {
      {"link.csv", kLink, 65534, "It is a symbolic link of another user (nobody)" + refused},
      {"file.csv", kFile, 65534, "It is a file of another user (nobody)" + refused},
      {"own-link.csv", kLink, 0, ""},
      {"own-file.csv", kFile, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto name = dir / "shared" / c.name;
    if (c.planted == kLink) {
      std::filesystem::create_symlink(secret, name);
      ASSERT_EQ(::lchown(name.c_str(), c.owner, c.owner), 0);
    } else {
      WriteFile(name, "planted");
      ASSERT_EQ(::chmod(name.c_str(), 0666), 0);
      ASSERT_EQ(::chown(name.c_str(), c.owner, c.owner), 0);
    }
    std::string error;
    try {
      WriteFileReplacing(name, "new");
    } catch (const Error& e) {
      error = e.what();
    }
    EXPECT_EQ(error,
              c.reason.empty() ? "" : "Cannot create file \"" + name.string() + "\". " + c.reason);
  }
  EXPECT_EQ(ReadFile(dir / "shared" / "file.csv"), "planted");
  EXPECT_EQ(ReadFile(secret), "new");  // only through root's own link
  // The same names in a folder of root's own are no one else's doing.
  ASSERT_EQ(::chmod((dir / "shared").c_str(), 0755), 0);
  EXPECT_NO_THROW(WriteFileReplacing(dir / "shared" / "file.csv", "new"));
}

// What is not a plain file the engineer may replace is refused with the
// reason, or written in place where replacing it would break it (as cp does).
TEST(ReplacingFile, SpecialTargetsAreRefusedOrWrittenInPlace) {
  testing::TempDir dir;
  std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
  WriteFile(dir / "read-only", "kept");
  ::chmod((dir / "read-only").c_str(), 0444);  // refused even for root
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const int reader = ::open((dir / "pipe").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  std::filesystem::create_symlink(dir / "pipe", dir / "to-pipe");
  const struct {
    std::filesystem::path target;
    std::string reason;  // empty: written in place
  } cases[] = {
      {dir / "dangling", "It is a symbolic link to a file that does not exist"},
      {dir / "read-only", "Permission denied"},
      {dir.path() / "", "Is a directory"},
      {dir / ".", "Is a directory"},
      {"/dev/null", ""},
      {dir / "pipe", ""},
      {dir / "to-pipe", ""},  // through a link
      {"/dev/fd/999", "Bad file descriptor"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    std::string error;
    try {
      WriteFileReplacing(c.target, "bytes");
    } catch (const Error& e) {
      error = e.what();
    }
    EXPECT_TRUE(error.ends_with(c.reason)) << error;
    EXPECT_EQ(error.empty(), c.reason.empty()) << error;
  }
  char got[16] = {};
  EXPECT_EQ(::read(reader, got, sizeof got), 10);
  EXPECT_EQ(std::string(got), "bytesbytes");
  ::close(reader);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
  EXPECT_EQ(ReadFile(dir / "read-only"), "kept");
  EXPECT_EQ(testing::EntriesIn(dir.path()), 4);
}

}  // namespace
}  // namespace brenmoor

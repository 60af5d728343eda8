// What Ctrl-C and its kin do inside the program: blank the progress line,
// remove the temporary files, and pass the signal on to a handler installed
// before ours (the window's module carries a copy of this code). Each case
// runs in a child process, which the signal ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include "app/progress_line.h"
#include "platform/files.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

struct Ended {
  int status = -1;
  std::string err;  // what the child wrote to its standard error
};

// Runs body in a child process whose standard error is a pipe, with SIGINT,
// SIGTERM and SIGHUP as a program started from a terminal has them.
Ended InChild(const std::function<void()>& body) {
  int err[2];
  EXPECT_EQ(::pipe(err), 0);
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(err[1], STDERR_FILENO);
    ::close(err[0]);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
    body();
    std::_Exit(0);
  }
  ::close(err[1]);
  Ended ended;
  char buffer[256];
  for (ssize_t got; (got = ::read(err[0], buffer, sizeof buffer)) > 0;)
    ended.err.append(buffer, got);
  ::close(err[0]);
  ::waitpid(child, &ended.status, 0);
  return ended;
}

bool KilledBy(int status, int signal) { return WIFSIGNALED(status) && WTERMSIG(status) == signal; }

TEST(Interrupt, BlanksTheProgressLineRemovesTheTemporaryFileAndEndsByTheSignal) {
  testing::TempDir dir;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    const Ended ended = InChild([&] {
      ProgressLineSystem system = TerminalProgressLineSystem();
      system.columns = [] { return std::size_t{80}; };
      ProgressLine line(std::cerr, true, std::chrono::milliseconds(0), system);
      ReplacingFile file(dir / "K");
      file.Write("half", 4);
      line.Show("Writing sections", 5, 10);
      ::raise(signal);
    });
    EXPECT_TRUE(KilledBy(ended.status, signal)) << ended.status;
    // The line, then spaces over it and over the "^C" the terminal echoes.
    const std::string shown = "brenmoor: writing sections 5 / 10";
    EXPECT_EQ(ended.err, "\r" + shown + "\r" + std::string(shown.size() + 2, ' ') + "\r");
    EXPECT_EQ(testing::EntriesIn(dir.path()), 0);
  }
}

void WriteMark(int) { [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, "mark", 4); }

TEST(Interrupt, PassesTheSignalOnToAHandlerInstalledBefore) {
  testing::TempDir dir;
  const Ended ended = InChild([&] {
    ::signal(SIGTERM, WriteMark);
    ReplacingFile file(dir / "K");
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(KilledBy(ended.status, SIGTERM)) << ended.status;
  EXPECT_EQ(ended.err, "mark");
  EXPECT_EQ(testing::EntriesIn(dir.path()), 0);
}

}  // namespace
}  // namespace brenmoor

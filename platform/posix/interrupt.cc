// The POSIX side of what an interruption tidies up: signal handlers that
// remove the temporary files being written and blank the progress line. Only
// code for POSIX systems belongs here; the Windows side is
// windows/interrupt.cc.
#include "platform/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <mutex>

#include "platform/posix/interrupt.h"

namespace brenmoor {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kPlaces = 16;
constexpr std::size_t kLongestPath = 4096;  // with its terminating zero

// A place of the table goes kFree -> kFilling -> kHeld, and back to kFree
// when the file is kept, or to kTaken when a handler removes it (for good:
// the program is ending).
enum : int { kFree, kFilling, kHeld, kTaken };

static_assert(std::atomic<int>::is_always_lock_free &&
                  std::atomic<std::size_t>::is_always_lock_free,
              "a signal handler may only use atomics that take no lock");

// What the handlers read. Process-wide, since a signal handler can reach
// nothing else; made once, before the first handler is installed, so that no
// handler ever waits for it to be made.
struct InterruptTable {
  std::atomic<int> state[kPlaces] = {};
  char path[kPlaces][kLongestPath] = {};
  std::atomic<std::size_t> line_columns{0};
  // What each signal did before our handler, so that it can be passed on.
  struct sigaction before[std::size(kSignals)] = {};
};

constinit InterruptTable table;

void Put(const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(STDERR_FILENO, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void BlankLine() {
  std::size_t columns = table.line_columns.load();
  if (columns == 0) return;
  static constexpr char kSpaces[] =
      "                                                                ";
  Put("\r", 1);
  while (columns > 0) {
    const std::size_t now = std::min(columns, sizeof kSpaces - 1);
    Put(kSpaces, now);
    columns -= now;
  }
  Put("\r", 1);
}

void RemoveTemporaries() {
  for (int place = 0; place < kPlaces; ++place) {
    int held = kHeld;
    if (table.state[place].compare_exchange_strong(held, kTaken)) ::unlink(table.path[place]);
  }
}

void OnInterrupt(int signal, siginfo_t* info, void* context) {
  BlankLine();
  RemoveTemporaries();
  // Another copy of this code (the window's module carries its own) may have
  // been installed first with files of its own to remove: it runs too.
  const auto index = std::find(std::begin(kSignals), std::end(kSignals), signal) - kSignals;
  const struct sigaction& before = table.before[index];
  if ((before.sa_flags & SA_SIGINFO) != 0) {
    if (before.sa_sigaction != nullptr) before.sa_sigaction(signal, info, context);
  } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
    before.sa_handler(signal);
  }
  // Ended by the signal itself, so that the parent learns why (a shell
  // reports 130 for SIGINT); it is not blocked here (SA_NODEFER), so it
  // takes effect at once.
  struct sigaction default_action = {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  ::sigaction(signal, &default_action, nullptr);
  ::raise(signal);
}

void InstallHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
      struct sigaction& before = table.before[i];
      if (::sigaction(kSignals[i], nullptr, &before) != 0) continue;
      // Started with the signal ignored (nohup, a background job of a
      // script): it stays ignored.
      if ((before.sa_flags & SA_SIGINFO) == 0 && before.sa_handler == SIG_IGN) continue;
      struct sigaction action = {};
      action.sa_sigaction = OnInterrupt;
      ::sigemptyset(&action.sa_mask);
      action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_RESTART;
      ::sigaction(kSignals[i], &action, nullptr);
    }
  });
}

}  // namespace

void SetProgressLineColumns(std::size_t columns) {
  if (columns > 0) InstallHandlers();
  table.line_columns.store(columns);
}

namespace posix {

int RemoveOnInterrupt(const char* path) {
  const std::size_t size = std::strlen(path) + 1;
  if (size > kLongestPath) return -1;
  InstallHandlers();
  for (int place = 0; place < kPlaces; ++place) {
    int free = kFree;
    if (!table.state[place].compare_exchange_strong(free, kFilling)) continue;
    std::memcpy(table.path[place], path, size);
    table.state[place].store(kHeld);
    return place;
  }
  return -1;
}

void KeepOnInterrupt(int place) {
  if (place < 0 || place >= kPlaces) return;
  // Fails only when a handler has taken the name: the program is ending.
  int held = kHeld;
  table.state[place].compare_exchange_strong(held, kFree);
}

}  // namespace posix
}  // namespace brenmoor

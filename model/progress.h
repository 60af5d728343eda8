#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <thread>

#include "model/errors.h"

namespace brenmoor {

// Where long work (the import of a large table, the generate command, the
// report) shows how far it has come, and how the engineer stops it: the
// window shows a progress dialog with a Cancel button, the command line a
// line on the terminal. Plain C++, so that the core can take one.
class Progress {
 public:
  virtual ~Progress() = default;

  // done of total units of step, e.g. ("Writing sections", 1200, 32767).
  // Called only on the thread that started the work, between sections, every
  // few milliseconds while it runs; may call Cancel().
  virtual void Show(std::string_view step, std::int64_t done, std::int64_t total) = 0;

  // Asks the work to stop at the next section; from any thread.
  void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
  bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> cancelled_{false};
};

// What work throws when it stops because it was cancelled. Whatever it was
// writing is left as it was before; the window shows no error for it.
class Cancelled : public Error {
 public:
  Cancelled() : Error("Cancelled") {}
};

// Counts the units of one step of work done on any number of threads and
// passes the count to a Progress (which may be nullptr: then it only
// counts). The work calls Done() after each piece; the thread that made the
// counter shows the count, so a Progress is never called from elsewhere.
class ProgressCounter {
 public:
  ProgressCounter(Progress* progress, std::string_view step, std::int64_t total);

  // Counts units just finished, from any thread. Throws Cancelled when the
  // engineer asked to stop, so that no further piece is begun.
  void Done(std::int64_t units);

  // Shows the count as it stands, on the thread that made the counter: the
  // pieces other threads finished last were counted but not shown.
  void ShowNow();

  std::int64_t done() const { return done_.load(std::memory_order_relaxed); }

 private:
  Progress* progress_;
  std::string_view step_;
  std::int64_t total_;
  std::thread::id owner_;
  std::atomic<std::int64_t> done_{0};
};

}  // namespace brenmoor

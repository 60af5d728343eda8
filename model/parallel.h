#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace brenmoor {

// How many threads pay for `units` pieces of independent work: one per core,
// never more than there are pieces, at least one.
int WorkersFor(std::size_t units);

// Starts a thread that runs body, or throws std::system_error when the system
// gives none (too many processes, no memory). Tests pass their own, which
// refuses threads, where a ThreadStarter is taken.
using ThreadStarter = std::function<std::jthread(std::function<void()> body)>;
std::jthread StartThread(std::function<void()> body);

// Runs work(0), work(1), ... work(workers - 1) at the same time, work(0) on
// the calling thread, and returns once all have returned. The work must be
// shared out by the workers themselves (a counter of pieces taken): when the
// system gives fewer threads than asked, fewer workers run, and with none at
// all work(0) alone does everything. So no worker may wait for another to do
// a part of the work. When any of them throws, the exception of the
// lowest-numbered worker that threw is rethrown after all have finished.
// Import, compute and write all share their work out through this.
void RunWorkers(int workers, const std::function<void(int worker)>& work,
                const ThreadStarter& start = StartThread);

// The failure of the earliest item (by index) among items that are processed
// out of order, so that a parallel pass reports the error a pass in order
// would have met first.
class EarliestFailure {
 public:
  // Keeps error if index is earlier than any kept so far.
  void Record(std::size_t index, std::exception_ptr error);
  // Whether an item at index still matters: no failure at or before it yet.
  bool Matters(std::size_t index) const;
  // Rethrows the kept exception, if any.
  void RethrowIfAny() const;

 private:
  mutable std::mutex mutex_;
  std::size_t index_ = static_cast<std::size_t>(-1);
  std::exception_ptr error_;
};

}  // namespace brenmoor

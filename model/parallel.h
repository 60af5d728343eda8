#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>

namespace brenmoor {

// How many threads pay for `units` pieces of independent work: one per core,
// never more than there are pieces, at least one.
int WorkersFor(std::size_t units);

// Runs work(0), work(1), ... work(workers - 1) at the same time, work(0) on
// the calling thread, and returns once all have returned. The work must be
// shared out by the workers themselves (a counter of pieces taken): when the
// system gives fewer threads than asked, fewer workers run. When any of them
// throws, the exception of the lowest-numbered worker that threw is rethrown
// after all have finished.
void RunWorkers(int workers, const std::function<void(int worker)>& work);

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

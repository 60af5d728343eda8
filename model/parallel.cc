#include "model/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace brenmoor {

int WorkersFor(std::size_t units) {
  constexpr std::size_t kMostWorkers = 16;
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::max<std::size_t>(1, std::min({cores, units, kMostWorkers})));
}

std::jthread StartThread(std::function<void()> body) { return std::jthread(std::move(body)); }

void RunWorkers(int workers, const std::function<void(int worker)>& work,
                const ThreadStarter& start) {
  if (workers <= 1) {  // a small table: no thread to start or wait for
    work(0);
    return;
  }
  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(std::max(workers, 1)));
  auto run = [&](int worker) {
    try {
      work(worker);
    } catch (...) {
      errors[static_cast<std::size_t>(worker)] = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> threads;
    threads.reserve(errors.size());
    for (int worker = 1; worker < workers; ++worker) {
      try {
        threads.push_back(start([&run, worker] { run(worker); }));
      } catch (const std::exception&) {
        break;  // no thread to be had (or no memory for one): the workers started share the work
      }
    }
    run(0);
  }  // the jthreads join here
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}

namespace {

// The failure of the earliest piece among pieces done out of order, so that
// a parallel pass reports the error a pass in order would have met first.
class EarliestFailure {
 public:
  // Keeps error if piece is earlier than any kept so far.
  void Record(std::size_t piece, std::exception_ptr error) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (piece < piece_) {
      piece_ = piece;
      error_ = std::move(error);
    }
  }
  // Whether piece still matters: no failure at or before it yet.
  bool Matters(std::size_t piece) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return piece < piece_;
  }
  void RethrowIfAny() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (error_) std::rethrow_exception(error_);
  }

 private:
  mutable std::mutex mutex_;
  std::size_t piece_ = static_cast<std::size_t>(-1);
  std::exception_ptr error_;
};

}  // namespace

namespace parallel_internal {

int WorkersOf(std::size_t pieces, const PieceOptions& options) {
  const int workers = WorkersFor(pieces);
  return options.most_workers > 0 ? std::min(workers, options.most_workers) : workers;
}

void RunPieces(std::size_t count, std::size_t first_piece, std::size_t last_piece,
               const PieceOptions& options, ProgressCounter* counter,
               const std::function<void(std::size_t first, std::size_t last)>& work) {
  const std::size_t piece = std::max<std::size_t>(options.piece, 1);
  std::atomic<std::size_t> next{first_piece};
  EarliestFailure failure;
  RunWorkers(
      WorkersOf(last_piece - first_piece, options),
      [&](int) {
        for (std::size_t p; (p = next++) < last_piece;) {
          // Pieces are taken in order, so every piece before p is taken
          // already and will finish; none after a failure need start.
          if (!failure.Matters(p)) return;
          const std::size_t first = p * piece, last = std::min(count, first + piece);
          try {
            if (options.progress != nullptr && options.progress->cancelled()) throw Cancelled();
            work(first, last);
            if (counter != nullptr) counter->Done(static_cast<std::int64_t>(last - first));
          } catch (...) {
            failure.Record(p, std::current_exception());
            return;
          }
        }
      },
      options.start);
  failure.RethrowIfAny();
}

}  // namespace parallel_internal

void ForEachPiece(std::size_t count, const PieceOptions& options,
                  const std::function<void(std::size_t first, std::size_t last)>& work) {
  const std::size_t piece = std::max<std::size_t>(options.piece, 1);
  ProgressCounter counter(options.progress, options.step, static_cast<std::int64_t>(count));
  parallel_internal::RunPieces(count, 0, (count + piece - 1) / piece, options, &counter, work);
  counter.ShowNow();
}

}  // namespace brenmoor

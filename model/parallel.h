#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "model/progress.h"

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
// ForEachPiece is built on it; use that unless the workers must do
// different things.
void RunWorkers(int workers, const std::function<void(int worker)>& work,
                const ThreadStarter& start = StartThread);

// How ForEachPiece shares out and counts its work.
struct PieceOptions {
  // Items a worker takes at a time: enough that taking a piece costs nothing
  // next to doing it, few enough that every core gets some.
  std::size_t piece = 64;
  // Where the items of finished pieces are counted, under step ("Computing
  // capacity"), and where a cancel is seen; may be nullptr.
  Progress* progress = nullptr;
  std::string_view step = {};
  // At most this many workers; 0 for one per core.
  int most_workers = 0;
  ThreadStarter start = StartThread;
};

// Does work(first, last) for the items [0, count) in pieces [first, last) of
// options.piece items, on every core: the pieces are handed out in order,
// each to the next worker free, the calling thread being one of them (so
// everything is done even when the system starts no thread). Each piece runs
// on one thread; different pieces run at the same time, so work must touch
// only what its items own.
// Failures: a piece that throws stops the pieces after it from starting,
// while the pieces before it still finish; once all are done, the exception
// of the earliest piece that threw is rethrown. Since a piece does its items
// in order and stops at its first failure, that is the error a pass over the
// items in order would have met first.
// Progress: the items of each finished piece are counted (shown only on the
// calling thread); a cancel stops the work at the next piece and throws
// Cancelled, unless an earlier piece failed.
// Example: ForEachPiece(1000, {.piece = 256}, f) calls f(0, 256), f(256, 512),
// f(512, 768) and f(768, 1000), on up to four threads.
void ForEachPiece(std::size_t count, const PieceOptions& options,
                  const std::function<void(std::size_t first, std::size_t last)>& work);

// Like ForEachPiece, for work whose results must be used in the order of the
// items (a file written as it is made): make(first, last) makes a piece's
// result on any thread, and deliver(first, last, result) takes the results
// on the calling thread, in order. The pieces are made a window at a time,
// two per worker: every piece of a window is made before the first of its
// results is delivered, and the next window is begun only once the last is
// delivered. So the first bytes go out when the first window is made, not
// when its first piece is, and no piece is made while results are being
// delivered; at most one window of results is held, so the memory held
// stays the same whatever count is. Failures and cancel as ForEachPiece; a
// failure of deliver stops everything and is thrown.
template <typename Result, typename Make, typename Deliver>
void ForEachPieceInOrder(std::size_t count, const PieceOptions& options, Make&& make,
                         Deliver&& deliver);

namespace parallel_internal {

// The workers ForEachPiece starts for pieces pieces.
int WorkersOf(std::size_t pieces, const PieceOptions& options);

// ForEachPiece over the pieces [first_piece, last_piece) only, counting the
// items of each finished piece in counter when it is not nullptr.
void RunPieces(std::size_t count, std::size_t first_piece, std::size_t last_piece,
               const PieceOptions& options, ProgressCounter* counter,
               const std::function<void(std::size_t first, std::size_t last)>& work);

}  // namespace parallel_internal

template <typename Result, typename Make, typename Deliver>
void ForEachPieceInOrder(std::size_t count, const PieceOptions& options, Make&& make,
                         Deliver&& deliver) {
  const std::size_t piece = std::max<std::size_t>(options.piece, 1);
  const std::size_t pieces = (count + piece - 1) / piece;
  // Made a window at a time: every worker busy while the window is made,
  // then the window delivered in order.
  const std::size_t window =
      2 * static_cast<std::size_t>(parallel_internal::WorkersOf(pieces, options));
  ProgressCounter counter(options.progress, options.step, static_cast<std::int64_t>(count));
  std::vector<std::optional<Result>> made(window);
  for (std::size_t start = 0; start < pieces; start += window) {
    const std::size_t end = std::min(pieces, start + window);
    parallel_internal::RunPieces(count, start, end, options, nullptr,
                                 [&](std::size_t first, std::size_t last) {
                                   made[first / piece - start].emplace(make(first, last));
                                 });
    for (std::size_t p = start; p < end; ++p) {
      const std::size_t first = p * piece, last = std::min(count, first + piece);
      deliver(first, last, std::move(*made[p - start]));
      made[p - start].reset();
      counter.Done(static_cast<std::int64_t>(last - first));
    }
  }
}

}  // namespace brenmoor

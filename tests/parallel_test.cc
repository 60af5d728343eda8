// The one parallel engine every pass over the sections runs on: whatever the
// threads do, the work is done whole, the error reported is the one a pass
// in order would meet first, and a cancel stops it.
#include "model/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace brenmoor {
namespace {

// A starter that gives no thread at all, as a system out of threads does.
std::jthread NoThread(std::function<void()>) {
  throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

TEST(ForEachPiece, DoesEveryItemOnceWithOrWithoutThreads) {
  struct Case {
    std::size_t count, piece;
    bool threads;
  } cases[] = {{0, 4, true},    {1, 4, true},     {4, 4, true}, {5, 4, true},
               {1000, 7, true}, {1000, 7, false}, {3, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.count) + " items in pieces of " + std::to_string(c.piece) +
                 (c.threads ? "" : ", no thread"));
    std::vector<std::atomic<int>> done(c.count);
    std::mutex mutex;
    std::set<std::pair<std::size_t, std::size_t>> pieces;
    PieceOptions options{.piece = c.piece};
    if (!c.threads) options.start = NoThread;
    ForEachPiece(c.count, options, [&](std::size_t first, std::size_t last) {
      {
        const std::lock_guard<std::mutex> lock(mutex);
        pieces.insert({first, last});
      }
      for (std::size_t i = first; i < last; ++i) ++done[i];
    });
    for (std::size_t i = 0; i < c.count; ++i) EXPECT_EQ(done[i].load(), 1) << "item " << i;
    EXPECT_EQ(pieces.size(), (c.count + c.piece - 1) / c.piece);
    for (const auto& [first, last] : pieces) {
      EXPECT_EQ(first % c.piece, 0u);
      EXPECT_EQ(last, std::min(c.count, first + c.piece));
    }
  }
}

TEST(ForEachPiece, TheEarliestFailingPieceWinsAndThePiecesBeforeItFinish) {
  // Pieces 3 and 7 fail; whichever thread meets its failure first, piece 3's
  // error is the one thrown, and pieces 0 to 2 are done whole.
  for (int run = 0; run < 50; ++run) {
    std::vector<std::atomic<int>> done(100);
    try {
      ForEachPiece(100, {.piece = 10}, [&](std::size_t first, std::size_t last) {
        if (first == 70) throw std::runtime_error("piece 7");
        for (std::size_t i = first; i < last; ++i) {
          if (i == 35) throw std::runtime_error("item 35");
          ++done[i];
        }
      });
      FAIL() << "nothing thrown";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "item 35");
    }
    for (std::size_t i = 0; i < 35; ++i) ASSERT_EQ(done[i].load(), 1) << "item " << i;
  }
}

// Cancels once the count has reached cancel_at.
class CancelAt : public Progress {
 public:
  explicit CancelAt(std::int64_t cancel_at) : cancel_at_(cancel_at) {}
  void Show(std::string_view step, std::int64_t done, std::int64_t total) override {
    EXPECT_EQ(step, "Counting");
    EXPECT_EQ(total, 1000);
    last = done;
    if (done >= cancel_at_) Cancel();
  }
  std::int64_t last = -1;

 private:
  std::int64_t cancel_at_;
};

TEST(ForEachPiece, CountsFinishedPiecesAndStopsOnCancel) {
  CancelAt whole(2000);
  ForEachPiece(1000, {.piece = 100, .progress = &whole, .step = "Counting", .start = NoThread},
               [](std::size_t, std::size_t) {});
  EXPECT_EQ(whole.last, 1000);
  // The calling thread shows the whole count at the end, also of pieces
  // that other threads finished last.
  CancelAt threads(2000);
  ForEachPiece(1000, {.piece = 1, .progress = &threads, .step = "Counting"},
               [](std::size_t, std::size_t) {});
  EXPECT_EQ(threads.last, 1000);

  CancelAt early(300);
  std::atomic<std::size_t> items{0};
  EXPECT_THROW(
      ForEachPiece(1000, {.piece = 100, .progress = &early, .step = "Counting", .start = NoThread},
                   [&](std::size_t first, std::size_t last) { items += last - first; }),
      Cancelled);
  EXPECT_EQ(items.load(), 300u);  // no piece begun after the cancel
}

TEST(ForEachPieceInOrder, DeliversInOrderOnTheCallingThreadWithFewPiecesHeld) {
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> held{0}, most_held{0};
  std::string delivered;
  ForEachPieceInOrder<std::string>(
      26, {.piece = 2},
      [&](std::size_t first, std::size_t last) {
        const int now = ++held;
        for (int seen = most_held; now > seen && !most_held.compare_exchange_weak(seen, now);) {
        }
        std::string letters;
        for (std::size_t i = first; i < last; ++i) letters += static_cast<char>('a' + i);
        return letters;
      },
      [&](std::size_t first, std::size_t, std::string&& letters) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        EXPECT_EQ(delivered.size(), first);
        delivered += letters;
        --held;
      });
  EXPECT_EQ(delivered, "abcdefghijklmnopqrstuvwxyz");
  EXPECT_LE(most_held.load(), 2 * WorkersFor(13));
}

TEST(ForEachPieceInOrder, AFailureOfDeliverStopsTheWork) {
  std::atomic<std::size_t> made{0};
  EXPECT_THROW(
      ForEachPieceInOrder<int>(
          10000, {.piece = 1}, [&](std::size_t, std::size_t) { return static_cast<int>(++made); },
          [](std::size_t first, std::size_t, int) {
            if (first == 5) throw std::runtime_error("disk full");
          }),
      std::runtime_error);
  EXPECT_LT(made.load(), 100u);
}

}  // namespace
}  // namespace brenmoor

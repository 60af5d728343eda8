// The generate command computes each section on one of the cores just before
// writing it. These tests hold it to the bytes of the plain
// path (PrepareSections, then WriteComponentFile, one section after another)
// and to the hash of a large varied table's file as written before the work
// was shared out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <system_error>
#include <thread>

#include "import/section_import.h"
#include "model/errors.h"
#include "model/float32.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "output/generate.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"
#include "tests/varied_table.h"

namespace brenmoor {
namespace {

using testing::Bits;
using testing::ErrorOf;
using testing::Fnv1a64;

BrenmoorState Imported(const std::string& table) {
  BrenmoorState state;
  ImportSectionTable(state, table, '.', "varied.csv");
  return state;
}

// The file as the plain path makes it, from a copy of state.
std::string PlainFile(BrenmoorState state) {
  PrepareSections(state);
  StringSink sink;
  WriteComponentFile(state, sink);
  return sink.bytes();
}

TEST(StreamComponentFile, VariedTableHasTheHashOfTheSequentialWriter) {
  // 5,000 sections: 79 pieces of 64, shared by the threads. The hash and the
  // size are those of the file the one-thread writer made of this table.
  BrenmoorState state = Imported(testing::VariedTable(5000));
  const std::string plain = PlainFile(state);
  testing::TempDir dir;
  GenerateComponentFile(state, dir / kComponentFileName);
  for (const std::string& file : {plain, testing::ReadFile(dir / kComponentFileName)}) {
    EXPECT_EQ(file.size(), 16649124u);
    EXPECT_EQ(Fnv1a64(file), 0x0d3a607b8c66892au);
  }
  // The records keep what the plain path stores, fibers apart.
  BrenmoorState prepared = state;
  PrepareSections(prepared);
  for (int i = 1; i <= state.imported_count; i += 97) {
    SCOPED_TRACE(i);
    const TSECTION &kept = state.records[i], &full = prepared.records[i];
    EXPECT_EQ(kept.fiber_count, full.fiber_count);
    EXPECT_EQ(Bits(kept.torsion_constant), Bits(full.torsion_constant));
    EXPECT_EQ(Bits(kept.concrete_ax2_sum), Bits(full.concrete_ax2_sum));
    EXPECT_EQ(Bits(kept.steel_ay2_sum), Bits(full.steel_ay2_sum));
  }
}

TEST(StreamComponentFile, SameBytesAsThePlainPathAtEveryPieceBoundary) {
  const struct {
    int sections;
    int unfilled;  // a record left at kind 0, written as it stands; 0 for none
  } cases[] = {{0, 0}, {1, 0}, {127, 0}, {128, 0}, {129, 129}, {256, 1}, {257, 0}, {700, 333}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sections);
    BrenmoorState state = Imported(testing::VariedTable(c.sections, 7));
    if (c.unfilled > 0) state.records[c.unfilled] = TSECTION{};
    const std::string plain = PlainFile(state);
    StringSink streamed;
    StreamComponentFile(state, streamed);
    EXPECT_EQ(streamed.bytes().size(), plain.size());
    EXPECT_EQ(Fnv1a64(streamed.bytes()), Fnv1a64(plain));
  }
}

// A sink that fails once it has taken more than limit bytes, as a full disk does.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}

 protected:
  void Deliver(const char*, std::size_t size) override {
    if ((taken_ += size) > limit_) throw Error("Cannot write file \"x\". No space left on device");
  }

 private:
  std::size_t limit_, taken_ = 0;
};

TEST(StreamComponentFile, AFailingSinkStopsEveryThreadAndIsReported) {
  BrenmoorState state = Imported(testing::VariedTable(3000, 3));
  for (std::size_t limit : {0u, 100'000u, 5'000'000u}) {
    SCOPED_TRACE(limit);
    FailingSink sink(limit);
    EXPECT_EQ(ErrorOf([&] { StreamComponentFile(state, sink); }),
              "Cannot write file \"x\". No space left on device");
  }
}

TEST(StreamComponentFile, WritesTheWholeFileWhenTheSystemStartsFewOrNoThreads) {
  BrenmoorState state = Imported(testing::VariedTable(700, 5));
  const std::string plain = PlainFile(state);
  for (int given : {0, 1}) {
    SCOPED_TRACE(given);
    int started = 0;
    const ThreadStarter start = [&](std::function<void()> body) {
      if (started == given) throw std::system_error(EAGAIN, std::generic_category());
      ++started;
      return std::jthread(std::move(body));
    };
    StringSink sink;
    StreamComponentFile(state, sink, start);
    EXPECT_EQ(sink.bytes(), plain);
  }
}

TEST(ComputeSections, BothParallelPassesReportTheErrorOfTheFirstFailingSection) {
  // B = H = 0 divides 0 by 0; sides of 3e38 overflow float32 in the cell
  // areas. Whichever comes first in the table is the one reported, however
  // the sections were shared out.
  const TSECTION no_size = testing::MakeSection({"ZERO", 1, 0, 0, 40, 5, 5, 6, 6, 1000, 1000, 490});
  const TSECTION huge = testing::MakeSection({"HUGE", 1, 3e38f, 3e38f, 40, 5, 5, 6, 6, 1, 1, 1});
  const struct {
    int first_at;
    const TSECTION* first;
    int second_at;
    const TSECTION* second;
    const char* message;
  } cases[] = {
      {2000, &no_size, 2900, &huge, "Section \"ZERO\": Invalid floating point operation"},
      {2000, &huge, 2900, &no_size, "Section \"HUGE\": Floating point overflow"},
      {3, &huge, 2999, &no_size, "Section \"HUGE\": Floating point overflow"},
      {257, &no_size, 256, &huge, "Section \"HUGE\": Floating point overflow"},
      {3000, &no_size, 3000, &no_size, "Section \"ZERO\": Invalid floating point operation"},
  };
  const BrenmoorState table = Imported(testing::VariedTable(3000, 11));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first_at);
    for (int attempt = 0; attempt < 5; ++attempt) {
      BrenmoorState state = table;
      state.records[c.first_at] = *c.first;
      state.records[c.second_at] = *c.second;
      BrenmoorState plain = state, streamed = state;
      EXPECT_EQ(ErrorOf([&] { PrepareSections(plain); }), c.message);
      StringSink sink;
      EXPECT_EQ(ErrorOf([&] { StreamComponentFile(streamed, sink); }), c.message);
      EXPECT_EQ(ErrorOf([&] { ComputeSections(state); }), c.message);
      // The sections before the failing one are complete.
      const int before = std::min(c.first_at, c.second_at) - 1;
      EXPECT_EQ(Bits(state.records[before].torsion_constant),
                Bits(plain.records[before].torsion_constant));
    }
  }
}

}  // namespace
}  // namespace brenmoor

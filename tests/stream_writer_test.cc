// The generate command makes the file in pieces at fixed offsets, on every
// core, each piece computing the sections it overlaps just before writing
// them; a device or a pipe takes the same pieces in order. These tests hold
// both roads to the bytes of the plain path (PrepareSections, then the
// reference writer, one section after another), wherever the piece
// boundaries cut the header, a block or the end mark, to the hash of a large
// varied table's file as written before the work was shared out, and to the
// error a pass in order would meet first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "import/section_import.h"
#include "model/errors.h"
#include "model/float32.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "output/generate.h"
#include "tests/reference_writer.h"
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

// A file in memory that takes its parts at their offsets, and fails the
// test unless the parts cover it exactly once; fails the write numbered
// failing_write (counted from 0), as a full disk does.
class MemoryFile : public PositionalSink {
 public:
  explicit MemoryFile(std::uint64_t size, std::size_t failing_write = static_cast<std::size_t>(-1))
      : bytes_(size, '\x55'), failing_write_(failing_write) {}

  void WriteAt(const char* data, std::size_t size, std::uint64_t offset) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (writes_++ == failing_write_) throw Error("Cannot write file \"x\". No space left");
      parts_.emplace_back(offset, offset + size);
    }
    ASSERT_LE(offset + size, bytes_.size());
    std::memcpy(bytes_.data() + offset, data, size);
  }

  // The file, once every part is in.
  const std::string& bytes() {
    std::sort(parts_.begin(), parts_.end());
    std::uint64_t covered = 0;
    for (const auto& [begin, end] : parts_) {
      EXPECT_EQ(begin, covered) << "a part that overlaps another or leaves a gap";
      covered = end;
    }
    EXPECT_EQ(covered, bytes_.size());
    return bytes_;
  }

 private:
  std::string bytes_;
  std::size_t failing_write_;
  std::mutex mutex_;
  std::size_t writes_ = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> parts_;
};

// The file by either road: in pieces at their offsets, or in order.
std::string PiecesOf(BrenmoorState& state, const ComponentWriting& writing = {}) {
  const ComponentPlan plan(state);
  MemoryFile file(plan.size());
  WriteComponentPieces(state, plan, file, writing);
  return file.bytes();
}
std::string StreamOf(BrenmoorState& state, const ComponentWriting& writing = {}) {
  StringSink sink;
  StreamComponentFile(state, sink, writing);
  return sink.bytes();
}
const struct Road {
  const char* name;
  std::string (*make)(BrenmoorState&, const ComponentWriting&);
} kRoads[] = {{"pieces", PiecesOf}, {"in order", StreamOf}};

TEST(GenerateComponentFile, VariedTableHasTheHashOfTheSequentialWriter) {
  // 5,000 sections, 16.6 MB: 32 pieces, shared by the threads. The hash and
  // the size are those of the file the one-thread writer made of this table.
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

TEST(ComponentPieces, SameBytesAsThePlainPathWhereverThePiecesAreCut) {
  // Pieces of 1 byte cut every field; of 67 to 70 bytes, the header and the
  // end mark; of 4096, blocks at every point; the default, nothing but the
  // largest table's blocks.
  const struct {
    int sections;
    int unfilled;  // a record left at kind 0, written as it stands; 0 for none
    std::size_t piece;
  } cases[] = {
      {0, 0, 1},
      {0, 0, 69},
      {1, 0, 1},
      {3, 2, 1},
      {2, 0, 67},
      {2, 0, 68},
      {2, 0, 70},
      {40, 0, 4096},
      {129, 129, 4096},
      {700, 333, 4096},
      {700, 1, ComponentWriting::kPieceBytes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.sections) + " sections in pieces of " + std::to_string(c.piece));
    BrenmoorState state = Imported(testing::VariedTable(c.sections, 7));
    if (c.unfilled > 0) state.records[c.unfilled] = TSECTION{};
    const std::string plain = PlainFile(state);
    for (const Road& road : kRoads) {
      SCOPED_TRACE(road.name);
      const std::string made = road.make(state, {.piece_bytes = c.piece});
      EXPECT_EQ(made.size(), plain.size());
      EXPECT_EQ(Fnv1a64(made), Fnv1a64(plain));
    }
  }
}

TEST(ComponentPieces, WholeFileWhenTheSystemStartsFewOrNoThreads) {
  BrenmoorState state = Imported(testing::VariedTable(700, 5));
  const std::string plain = PlainFile(state);
  for (const Road& road : kRoads) {
    for (int given : {0, 1}) {
      SCOPED_TRACE(std::string(road.name) + ", threads: " + std::to_string(given));
      int started = 0;
      const ThreadStarter start = [&](std::function<void()> body) {
        if (started == given) throw std::system_error(EAGAIN, std::generic_category());
        ++started;
        return std::jthread(std::move(body));
      };
      EXPECT_EQ(road.make(state, {.piece_bytes = 8192, .start = start}), plain);
    }
  }
}

// A sink that fails once it has taken more than limit bytes, as a full disk does.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}

 protected:
  void Deliver(const char*, std::size_t size) override {
    if ((taken_ += size) > limit_) throw Error("Cannot write file \"x\". No space left");
  }

 private:
  std::size_t limit_, taken_ = 0;
};

TEST(ComponentPieces, AFailedWriteStopsTheWorkAndIsReported) {
  BrenmoorState state = Imported(testing::VariedTable(3000, 3));
  const ComponentPlan plan(state);
  for (std::size_t failing : {0u, 3u, 9u}) {
    SCOPED_TRACE(failing);
    MemoryFile file(plan.size(), failing);
    EXPECT_EQ(ErrorOf([&] { WriteComponentPieces(state, plan, file); }),
              "Cannot write file \"x\". No space left");
    FailingSink sink(failing * ComponentWriting::kPieceBytes);
    EXPECT_EQ(ErrorOf([&] { StreamComponentFile(state, sink); }),
              "Cannot write file \"x\". No space left");
  }
}

TEST(ComponentPieces, EveryPassReportsTheErrorOfTheFirstFailingSection) {
  // B = H = 0 divides 0 by 0; sides of 3e38 overflow float32 in the cell
  // areas. Whichever comes first in the table is the one reported, however
  // the sections were shared out, and whichever pieces they fall in.
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
    for (int attempt = 0; attempt < 3; ++attempt) {
      BrenmoorState state = table;
      state.records[c.first_at] = *c.first;
      state.records[c.second_at] = *c.second;
      BrenmoorState plain = state;
      EXPECT_EQ(ErrorOf([&] { PrepareSections(plain); }), c.message);
      const int before = std::min(c.first_at, c.second_at) - 1;
      for (std::size_t piece : {std::size_t{4096}, ComponentWriting::kPieceBytes}) {
        for (const Road& road : kRoads) {
          SCOPED_TRACE(std::string(road.name) + " of " + std::to_string(piece));
          BrenmoorState made = state;
          EXPECT_EQ(ErrorOf([&] { road.make(made, {.piece_bytes = piece}); }), c.message);
          // The sections before the failing one are complete.
          EXPECT_EQ(Bits(made.records[before].torsion_constant),
                    Bits(plain.records[before].torsion_constant));
        }
      }
      EXPECT_EQ(ErrorOf([&] { ComputeSections(state); }), c.message);
      EXPECT_EQ(Bits(state.records[before].torsion_constant),
                Bits(plain.records[before].torsion_constant));
    }
  }
}

TEST(ComponentPlan, RefusesWhatTheFileHasNoRoomFor) {
  // What an import refuses, should a table reach the writer some other way:
  // the file has no room for it.
  TSECTION too_many = testing::DefaultSection(), negative = too_many, long_name = too_many;
  too_many.NAME = "MANY";
  too_many.FX = 7;
  negative.NAME = "NEG";
  negative.NY = -1;
  long_name.NAME = std::string(41, 'N');
  const struct {
    TSECTION section;
    std::string message;
  } cases[] = {
      {too_many, "Section \"MANY\": needs 66 fibers; at most 60 are allowed"},
      {negative, "Section \"NEG\": a count of bars or cells is negative"},
      {long_name,
       "Section \"" + long_name.NAME + "\": the name is 41 bytes long; at most 40 are allowed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    BrenmoorState state = testing::StateWith(testing::DefaultSection(), c.section);
    EXPECT_EQ(ErrorOf([&] { ComponentPlan{state}; }), c.message);
  }
  BrenmoorState numbered_twice = testing::StateWith();
  numbered_twice.records.resize(32769, testing::DefaultSection());
  numbered_twice.imported_count = 32768;
  EXPECT_EQ(ErrorOf([&] { ComponentPlan{numbered_twice}; }),
            "The table holds 32768 sections; at most 32767 are allowed");
}

}  // namespace
}  // namespace brenmoor

#include "output/component_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "model/errors.h"
#include "model/fiber_layout.h"
#include "model/float32.h"
#include "model/parallel.h"
#include "model/section_properties.h"
#include "output/component_layout.h"

namespace brenmoor {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the component file is little-endian and written from memory as is");

constexpr std::string_view kStep = "Writing sections";

// Copies the bytes of [from, from + bytes.size()) of the file that fall in
// [begin, end) to out, which holds [begin, end).
void CopyOverlap(std::string_view bytes, std::uint64_t from, std::uint64_t begin, std::uint64_t end,
                 char* out) {
  const std::uint64_t first = std::max(from, begin);
  const std::uint64_t last = std::min<std::uint64_t>(from + bytes.size(), end);
  if (first < last) {
    std::memcpy(out + (first - begin), bytes.data() + (first - from),
                static_cast<std::size_t>(last - first));
  }
}

// Buffers for the pieces, each reused from one piece to the next: a fresh
// buffer costs the system a page fault on every 4 KB of it.
class PieceBuffers {
 public:
  // A buffer taken, given back when it goes.
  class Lease {
   public:
    Lease(PieceBuffers& pool, std::unique_ptr<char[]> buffer)
        : pool_(&pool), buffer_(std::move(buffer)) {}
    Lease(Lease&& other) noexcept = default;
    Lease& operator=(Lease&&) = delete;
    ~Lease() {
      if (buffer_) pool_->Give(std::move(buffer_));
    }
    char* get() const { return buffer_.get(); }

   private:
    PieceBuffers* pool_;
    std::unique_ptr<char[]> buffer_;
  };

  explicit PieceBuffers(std::size_t size) : size_(size) {
    // Room for every buffer that can be out at once (a few per worker), so
    // that giving one back never allocates.
    free_.reserve(64);
  }

  Lease Take() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        std::unique_ptr<char[]> buffer = std::move(free_.back());
        free_.pop_back();
        return Lease(*this, std::move(buffer));
      }
    }
    // Left uninitialised: every byte of a piece is written before it goes out.
    return Lease(*this, std::unique_ptr<char[]>(new char[size_]));
  }

 private:
  void Give(std::unique_ptr<char[]> buffer) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (free_.size() < free_.capacity()) free_.push_back(std::move(buffer));
  }

  std::size_t size_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<char[]>> free_;
};

// Makes any piece of the file, on any thread.
class PieceMaker {
 public:
  PieceMaker(BrenmoorState& state, const ComponentPlan& plan)
      : state_(state), plan_(plan), entries_(state) {
    StringSink header;
    header.Write(layout::kMagic.data(), layout::kMagic.size());
    WritePaddedText(header, static_cast<int>(layout::kModelNameWidth), layout::kModelName);
    header_ = header.bytes();
  }

  // Makes the bytes [begin, end) of the file into out, which has room for
  // layout::kLargestBlock bytes more (a block begun in the piece is encoded
  // whole, and its bytes past end left to the next piece). Returns the
  // count of sections whose blocks end in the piece.
  std::size_t Make(std::uint64_t begin, std::uint64_t end, char* out) const {
    CopyOverlap(header_, 0, begin, end, out);
    std::size_t ended = 0;
    TSECTION scratch;
    std::array<char, layout::kLargestBlock> begun_before;
    for (std::size_t r = plan_.RecordAt(std::max<std::uint64_t>(begin, layout::kHeaderSize));
         r <= plan_.sections() && plan_.BlockAt(r) < end; ++r) {
      const std::uint64_t at = plan_.BlockAt(r), next = plan_.BlockAt(r + 1);
      // The piece a block begins in stores its record, so that no two
      // threads write one record.
      const bool begins_here = at >= begin;
      const BlockContent block = Section(r, begins_here, scratch);
      if (begins_here) {
        EncodeSectionBlock(out + (at - begin), entries_, block);
      } else {
        EncodeSectionBlock(begun_before.data(), entries_, block);
        CopyOverlap({begun_before.data(), static_cast<std::size_t>(next - at)}, at, begin, end,
                    out);
      }
      ended += next <= end;
    }
    CopyOverlap(layout::kEndMark, plan_.size() - layout::kEndMark.size(), begin, end, out);
    return ended;
  }

 private:
  // The block of record r: laid out in scratch and computed when it is of
  // kind 1, and then, when store, its fiber count and figures kept in it.
  BlockContent Section(std::size_t r, bool store, TSECTION& scratch) const {
    TSECTION& record = state_.records[r];
    const auto number = static_cast<std::int32_t>(r);
    if (record.kind != kRectangularColumn) return BlockContentOf(record, record, number);
    try {
      CopyLayoutInput(record, scratch);
      LayoutFibers(scratch);
      ComputeSectionProperties(state_, scratch);
    } catch (const Error& error) {
      throw SectionError(state_, r, error);
    }
    if (scratch.fiber_count != plan_.FiberCount(r)) {
      // Every later block would be misplaced: never written.
      throw SectionError(
          state_, r,
          Error("laid out " + std::to_string(scratch.fiber_count) +
                " fibers where its block has room for " + std::to_string(plan_.FiberCount(r))));
    }
    if (store) {
      record.fiber_count = scratch.fiber_count;
      static_cast<ElasticProperties&>(record) = scratch;
    }
    return BlockContentOf(record, scratch, number);
  }

  BrenmoorState& state_;
  const ComponentPlan& plan_;
  const MaterialEntries entries_;
  std::string header_;
};

// The pieces of the file, at fixed offsets.
struct Pieces {
  Pieces(const ComponentPlan& plan, const ComponentWriting& options)
      : size(plan.size()),
        piece(std::max<std::size_t>(options.piece_bytes, 1)),
        count(static_cast<std::size_t>((size + piece - 1) / piece)) {}
  std::uint64_t Begin(std::size_t p) const { return std::uint64_t{p} * piece; }
  std::uint64_t End(std::size_t p) const { return std::min(size, Begin(p) + piece); }

  std::uint64_t size;
  std::size_t piece;
  std::size_t count;
};

// One piece of the file per item of the parallel engine; the sections are
// counted by the writers themselves, since an item is a piece, not a section.
PieceOptions EngineOptions(const ComponentWriting& options) {
  return {.piece = 1, .most_workers = options.most_workers, .start = options.start};
}

void StopIfCancelled(const Progress* progress) {
  if (progress != nullptr && progress->cancelled()) throw Cancelled();
}

}  // namespace

static_assert(layout::kLargestFile < (std::uint64_t{1} << 32));

ComponentPlan::ComponentPlan(const BrenmoorState& state) {
  const auto count = static_cast<std::size_t>(std::max(state.imported_count, 0));
  if (count > layout::kMostSections) {
    // Their numbers would repeat, and the file would not fit the offsets.
    throw Error("The table holds " + std::to_string(count) + " sections; at most " +
                std::to_string(layout::kMostSections) + " are allowed");
  }
  starts_.reserve(count + 2);
  starts_.push_back(0);
  std::uint32_t at = layout::kHeaderSize;
  for (std::size_t i = 1; i <= count; ++i) {
    starts_.push_back(at);
    const TSECTION& s = state.records.at(i);
    std::int64_t fibers = std::clamp(s.fiber_count, 0, kMaxFibers);  // written as it stands
    if (s.kind == kRectangularColumn) {
      fibers = FiberCountOf(s);
      if (fibers < 0) throw SectionError(state, i, Error("a count of bars or cells is negative"));
      if (fibers > kMaxFibers) {
        throw SectionError(state, i,
                           Error("needs " + std::to_string(fibers) + " fibers; at most " +
                                 std::to_string(kMaxFibers) + " are allowed"));
      }
    }
    if (s.NAME.size() > layout::kNameWidth) {
      throw SectionError(
          state, i,
          Error("the name is " + std::to_string(s.NAME.size()) + " bytes long; at most " +
                std::to_string(layout::kNameWidth) + " are allowed"));
    }
    at += static_cast<std::uint32_t>(layout::BlockSize(static_cast<int>(fibers)));
  }
  starts_.push_back(at);
}

std::size_t ComponentPlan::RecordAt(std::uint64_t offset) const {
  const auto after = std::upper_bound(starts_.begin() + 1, starts_.end(), offset);
  return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

int ComponentPlan::FiberCount(std::size_t record) const {
  return static_cast<int>((starts_[record + 1] - starts_[record] - layout::kFixedBlockSize) /
                          layout::kEntrySize);
}

void WriteComponentPieces(BrenmoorState& state, const ComponentPlan& plan, PositionalSink& out,
                          const ComponentWriting& options) {
  const PieceMaker maker(state, plan);
  const Pieces pieces(plan, options);
  PieceBuffers buffers(pieces.piece + layout::kLargestBlock);
  ProgressCounter counter(options.progress, kStep, static_cast<std::int64_t>(plan.sections()));
  ForEachPiece(pieces.count, EngineOptions(options), [&](std::size_t first, std::size_t last) {
    for (std::size_t p = first; p < last; ++p) {
      StopIfCancelled(options.progress);
      const std::uint64_t begin = pieces.Begin(p), end = pieces.End(p);
      const PieceBuffers::Lease buffer = buffers.Take();
      const std::size_t ended = maker.Make(begin, end, buffer.get());
      out.WriteAt(buffer.get(), static_cast<std::size_t>(end - begin), begin);
      counter.Done(static_cast<std::int64_t>(ended));
    }
  });
  // The last pieces may have been finished on other threads, whose counts
  // only this one shows.
  counter.ShowNow();
}

void StreamComponentFile(BrenmoorState& state, ByteSink& sink, const ComponentWriting& options) {
  const ComponentPlan plan(state);
  const PieceMaker maker(state, plan);
  const Pieces pieces(plan, options);
  PieceBuffers buffers(pieces.piece + layout::kLargestBlock);
  ProgressCounter counter(options.progress, kStep, static_cast<std::int64_t>(plan.sections()));
  struct Made {
    PieceBuffers::Lease buffer;
    std::size_t ended;
  };
  ForEachPieceInOrder<Made>(
      pieces.count, EngineOptions(options),
      [&](std::size_t p, std::size_t) {
        StopIfCancelled(options.progress);
        PieceBuffers::Lease buffer = buffers.Take();
        const std::size_t ended = maker.Make(pieces.Begin(p), pieces.End(p), buffer.get());
        return Made{std::move(buffer), ended};
      },
      [&](std::size_t p, std::size_t, Made made) {
        sink.Write(made.buffer.get(), static_cast<std::size_t>(pieces.End(p) - pieces.Begin(p)));
        counter.Done(static_cast<std::int64_t>(made.ended));
      });
  sink.Flush();
}

static_assert(MaterialEntries::kSize == layout::kEntrySize);
static_assert(kSteelFiber == 0 && kConcreteFiber == 1);

MaterialEntries::MaterialEntries(const BrenmoorState& state) : materials_(state.materials.size()) {
  StringSink entries;
  for (std::int32_t type : {kSteelFiber, kConcreteFiber}) {
    for (const TMAT& material : state.materials) {
      const std::array<char, 2> head = {static_cast<char>(type), 0};
      entries.Write(head.data(), head.size());
      // A name longer than its field would shift every entry after it.
      WritePaddedText(entries, static_cast<int>(layout::kNameWidth),
                      std::string_view(material.name).substr(0, layout::kNameWidth));
    }
  }
  bytes_ = entries.bytes();
}

BlockContent BlockContentOf(const TSECTION& record, const TSECTION& laid_out, std::int32_t number) {
  BlockContent block;
  block.number = number;
  block.name = record.NAME;
  block.figures = laid_out;
  block.fiber_count = laid_out.fiber_count;
  block.fibers = laid_out.fibers.data();
  block.steel_material = record.steel_material;
  // The corner bars, as (y, x) pairs like every coordinate pair of the block.
  const long double h = record.H, b = record.B, cc = record.CC;
  const float minus_dy = RoundToFloat(-h / 2 + cc);
  const float minus_dx = RoundToFloat(-b / 2 + cc);
  const float dy = RoundToFloat(h / 2 - cc);
  const float dx = RoundToFloat(b / 2 - cc);
  block.corners = {minus_dy, minus_dx, dy, dx, dy, minus_dx, minus_dy, dx};
  return block;
}

std::size_t SectionBlockSize(const BlockContent& block) {
  const std::size_t overflow = block.name.size() - std::min(block.name.size(), layout::kNameWidth);
  return overflow + layout::BlockSize(std::clamp(block.fiber_count, 0, kMaxFibers));
}

std::size_t EncodeSectionBlock(char* out, const MaterialEntries& entries,
                               const BlockContent& block) {
  using namespace layout;
  const int n = block.fiber_count;
  const int items = std::clamp(n, 0, kMaxFibers);  // n is 0 to 60 for every section imported
  const FiberSlot* const fibers = block.fibers;
  std::memcpy(out, kBlockMark.data(), kBlockMark.size());
  std::memcpy(out + kNameAt, block.name.data(), block.name.size());
  if (block.name.size() < kNameWidth) {
    std::memset(out + kNameAt + block.name.size(), ' ', kNameWidth - block.name.size());
  }
  // A name longer than its field (never written: the import refuses it)
  // moves everything after it.
  char* const moved = out + (SectionBlockSize(block) - BlockSize(items));

  // Everything after the name has fixed offsets from the block's start.
  std::memset(moved + kFixedPartAt, 0, kFixedPartSize);
  auto put = [moved](std::size_t at, const void* data, std::size_t size) {
    std::memcpy(moved + at, data, size);
  };
  auto put_int16 = [&put](std::size_t at, std::int32_t value) {
    // Integer fields carry the low bytes of the 32-bit values.
    const auto low = static_cast<std::uint16_t>(value);
    put(at, &low, 2);
  };
  auto put_float = [&put](std::size_t at, float value) { put(at, &value, 4); };

  put_int16(kNumberAt, block.number);
  const std::array<unsigned char, 5> kind = {0x0F, 0x02, 0x02, static_cast<unsigned char>(n), 0x04};
  put(kKindAt, kind.data(), kind.size());
  put_float(kOneAt, 1.0f);
  const ElasticProperties& f = block.figures;
  put_float(kSteelSumsAt, f.steel_area_sum);
  put_float(kSteelSumsAt + 4, f.steel_ay2_sum);
  put_float(kSteelSumsAt + 8, f.steel_ax2_sum);
  put_float(kConcreteSumsAt, f.concrete_area_sum);
  put_float(kConcreteSumsAt + 4, f.concrete_ay2_sum);
  put_float(kConcreteSumsAt + 8, f.concrete_ax2_sum);
  put_float(kTorsionAt, f.torsion_constant);
  put_float(kShearModulusAt, f.shear_modulus);
  put_float(kShearArea1At, f.shear_area_1);
  put_float(kShearArea2At, f.shear_area_2);
  put_float(kShearModulus2At, f.shear_modulus);

  // Six arrays of 60 items each: n items, one pass over the fibers each, then zeros.
  std::memset(moved + kItemFoursAt, 4, static_cast<std::size_t>(items));
  std::memset(moved + kItemOnesAt, 1, static_cast<std::size_t>(items));
  for (int k = 0; k < items; ++k) put_int16(kTypesAt + 2 * k, fibers[k].type);
  for (int k = 0; k < items; ++k) put_int16(kMaterialsAt + 2 * k, fibers[k].material);
  for (int k = 0; k < items; ++k) put_float(kAreasAt + 4 * k, fibers[k].area);
  for (int k = 0; k < items; ++k) {
    put_float(kCoordinatesAt + 8 * k, fibers[k].y);
    put_float(kCoordinatesAt + 8 * k + 4, fibers[k].x);
  }

  put(kFlagsAt, kFlags.data(), kFlags.size());
  for (int i = 0; i < 4; ++i) put_int16(kSteelIndexesAt + 2 * i, block.steel_material);
  put(kCornersAt, block.corners.data(), sizeof block.corners);

  char* entry = moved + kEntriesAt;
  for (int k = 0; k < items; ++k, entry += kEntrySize) {
    std::memcpy(entry, entries.Entry(fibers[k].type, fibers[k].material), kEntrySize);
  }
  // Fibers 1 to 4 are always bars, so these name the section's steel.
  for (int k = 0; k < 4; ++k, entry += kEntrySize) {
    std::memcpy(entry, entries.Entry(kSteelFiber, fibers[k].material), kEntrySize);
  }
  std::memset(entry, 0, kBlockEndZeros);
  return SectionBlockSize(block);
}

void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const BlockContent& block) {
  const std::size_t size = SectionBlockSize(block);
  if (size <= layout::kLargestBlock) {
    std::array<char, layout::kLargestBlock> bytes;
    sink.Write(bytes.data(), EncodeSectionBlock(bytes.data(), entries, block));
  } else {
    std::string bytes(size, '\0');
    sink.Write(bytes.data(), EncodeSectionBlock(bytes.data(), entries, block));
  }
}

void WritePaddedText(ByteSink& sink, int width, std::string_view text) {
  static const std::string kSpaces(64, ' ');
  sink.Write(text.data(), text.size());
  const auto padding = static_cast<long long>(width) - static_cast<long long>(text.size());
  for (long long left = padding; left > 0; left -= 64) {
    sink.Write(kSpaces.data(), static_cast<std::size_t>(std::min(left, 64LL)));
  }
}

void WriteZeros(ByteSink& sink, int count) {
  static constexpr char kZeros[256] = {};
  for (long long left = count; left > 0; left -= 256) {
    sink.Write(kZeros, static_cast<std::size_t>(std::min(left, 256LL)));
  }
}

}  // namespace brenmoor

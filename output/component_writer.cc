#include "output/component_writer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
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

void WriteByte(ByteSink& sink, std::uint8_t value) { sink.Write(&value, 1); }

void WriteText(ByteSink& sink, std::string_view bytes) { sink.Write(bytes.data(), bytes.size()); }

// The block of section s, numbered number, with the fibers and fiber count of
// laid_out: s itself, or a scratch section s was just laid out in.
void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const TSECTION& s,
                       const TSECTION& laid_out, std::int32_t number) {
  BlockContent block;
  block.number = number;
  block.name = s.NAME;
  block.figures = s;
  block.fiber_count = laid_out.fiber_count;
  block.fibers = laid_out.fibers.data();
  block.steel_material = s.steel_material;
  // The corner bars, as (y, x) pairs like every coordinate pair of the block.
  const long double h = s.H, b = s.B, cc = s.CC;
  const float minus_dy = RoundToFloat(-h / 2 + cc);
  const float minus_dx = RoundToFloat(-b / 2 + cc);
  const float dy = RoundToFloat(h / 2 - cc);
  const float dx = RoundToFloat(b / 2 - cc);
  block.corners = {minus_dy, minus_dx, dy, dx, dy, minus_dx, minus_dy, dx};
  WriteSectionBlock(sink, entries, block);
}

void WriteHeader(ByteSink& sink) {
  WriteText(sink, layout::kMagic);
  WritePaddedText(sink, layout::kModelNameWidth, layout::kModelName);
}

void WriteEndMark(ByteSink& sink) {
  WriteText(sink, layout::kEndMark);
  sink.Flush();
}

// Sections per piece of the file that one thread makes at a time: about
// 560 KB. The pieces are written as they come, and the system takes a few
// large writes much faster than many small ones (140 KB writes made the
// whole write a fifth slower); yet a piece is small enough that the writer
// starts early and the pieces in flight take little memory.
constexpr std::size_t kSectionsPerPiece = 128;

// The pieces made and not yet written, and who waits for whom. Piece p goes
// into slot p % slot count; a maker waits until the piece that slot held has
// been written, the writer until the piece it needs is made.
class PieceSlots {
 public:
  static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

  PieceSlots(std::size_t count, std::size_t capacity) : ready_(count, kEmpty), failures_(count) {
    for (std::size_t i = 0; i < count; ++i)
      sinks_.push_back(std::make_unique<MemorySink>(capacity));
  }

  // The slot's sink for piece, once it is free; nullptr when stopped.
  MemorySink* WaitToMake(std::size_t piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || written_ + sinks_.size() > piece; });
    return stopped_ ? nullptr : sinks_[piece % sinks_.size()].get();
  }

  void Made(std::size_t piece) { Made(piece, nullptr); }

  // A piece that could not be made is handed over like a made one, with its
  // error, so that the writer meets the errors in the order of the file.
  void Failed(std::size_t piece, std::exception_ptr error) { Made(piece, std::move(error)); }

  // Throws the error of a piece that could not be made.
  void RethrowFailure(std::size_t piece) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (failures_[piece % sinks_.size()]) std::rethrow_exception(failures_[piece % sinks_.size()]);
  }

  // For the writer, which must never wait for a free slot: takes the next
  // piece to make from next when its slot is free, so that the writer makes
  // pieces itself while no maker does (no maker thread may have started).
  std::optional<std::size_t> ClaimWithFreeSlot(std::atomic<std::size_t>& next, std::size_t pieces) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::size_t piece = next.load();
    while (piece < pieces && piece < written_ + sinks_.size()) {
      if (next.compare_exchange_weak(piece, piece + 1)) return piece;
    }
    return std::nullopt;
  }

  // The slot's sink once piece is made; nullptr when stopped. With wait
  // false, nullptr as well when it is not made yet.
  MemorySink* MadeSink(std::size_t piece, bool wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto ready = [&] { return stopped_ || ready_[piece % sinks_.size()] == piece; };
    if (wait) {
      changed_.wait(lock, ready);
    } else if (!ready()) {
      return nullptr;
    }
    return stopped_ ? nullptr : sinks_[piece % sinks_.size()].get();
  }

  bool stopped() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
  }

  void Made(std::size_t piece, std::exception_ptr failure) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_[piece % sinks_.size()] = piece;
    failures_[piece % sinks_.size()] = std::move(failure);
    changed_.notify_all();
  }

  void Written(std::size_t piece) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_[piece % sinks_.size()] = kEmpty;
    written_ = piece + 1;
    changed_.notify_all();
  }

  // After a failure on either side: nobody waits any more.
  void Stop() {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

 private:
  std::vector<std::unique_ptr<MemorySink>> sinks_;
  std::vector<std::size_t> ready_;
  std::vector<std::exception_ptr> failures_;
  std::size_t written_ = 0;
  bool stopped_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace

MaterialEntries::MaterialEntries(const BrenmoorState& state) {
  for (std::int32_t type : {kSteelFiber, kConcreteFiber}) {
    for (const TMAT& material : state.materials) {
      StringSink entry;
      WriteByte(entry, static_cast<std::uint8_t>(type));
      WriteByte(entry, 0);
      WritePaddedText(entry, layout::kNameWidth, material.name);
      entries_[type].push_back(entry.bytes());
    }
  }
}

void MaterialEntries::Write(ByteSink& sink, std::int32_t type, std::int32_t material) const {
  const std::string& entry = entries_.at(type).at(material);
  sink.Write(entry.data(), entry.size());
}

void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const BlockContent& block) {
  using namespace layout;
  const int n = block.fiber_count;
  const int items = std::clamp(n, 0, kMaxFibers);  // n is 0 to 60 for every section imported
  const FiberSlot* const fibers = block.fibers;
  WriteText(sink, kBlockMark);
  WritePaddedText(sink, kNameWidth, block.name);

  // Everything after the name has fixed offsets; it is assembled in memory
  // and written in one piece, since writing it field by field cost as much
  // as computing it.
  std::array<unsigned char, kFixedPartSize> part{};
  auto put = [&part](std::size_t at, const void* data, std::size_t size) {
    std::memcpy(part.data() + at - kFixedPartAt, data, size);
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
  std::memset(part.data() + kItemFoursAt - kFixedPartAt, 4, static_cast<std::size_t>(items));
  std::memset(part.data() + kItemOnesAt - kFixedPartAt, 1, static_cast<std::size_t>(items));
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
  sink.Write(part.data(), part.size());

  for (int k = 0; k < items; ++k) entries.Write(sink, fibers[k].type, fibers[k].material);
  // Fibers 1 to 4 are always bars, so these name the section's steel.
  for (int k = 0; k < 4; ++k) entries.Write(sink, kSteelFiber, fibers[k].material);
  WriteZeros(sink, kBlockEndZeros);
}

void WriteComponentFile(const BrenmoorState& state, ByteSink& sink) {
  WriteHeader(sink);
  const MaterialEntries entries(state);
  for (std::int32_t i = 1; i <= state.imported_count; ++i) {
    const TSECTION& s = state.records.at(i);
    WriteSectionBlock(sink, entries, s, s, i);
  }
  WriteEndMark(sink);
}

void StreamComponentFile(BrenmoorState& state, ByteSink& sink, const ThreadStarter& start,
                         Progress* progress) {
  WriteHeader(sink);
  const MaterialEntries entries(state);
  const std::size_t count = static_cast<std::size_t>(std::max(state.imported_count, 0));
  const std::size_t pieces = (count + kSectionsPerPiece - 1) / kSectionsPerPiece;
  // The writing thread needs a core of its own: copying the bytes into the
  // system and starting the disk on them is the slowest part, and a maker
  // on its core slowed the whole by a third. So one maker fewer than cores.
  const int makers = WorkersFor(pieces) - 1;
  // A piece for each maker, one being written and one made waiting.
  PieceSlots slots(
      static_cast<std::size_t>(makers) + 2,
      std::min(kSectionsPerPiece, std::max<std::size_t>(count, 1)) * layout::kLargestBlock);
  std::atomic<std::size_t> next_piece{0};
  ProgressCounter counter(progress, "Writing sections", static_cast<std::int64_t>(count));

  // Each record is computed by the one thread that makes its piece, so no
  // two threads touch a record.
  auto make_piece = [&](std::size_t piece, MemorySink& out, TSECTION& scratch) {
    const std::size_t first = piece * kSectionsPerPiece + 1;
    const std::size_t last = std::min(first + kSectionsPerPiece - 1, count);
    std::size_t i = first;
    try {
      for (; i <= last; ++i) {
        TSECTION& record = state.records.at(i);
        const auto number = static_cast<std::int32_t>(i);
        if (record.kind == kRectangularColumn) {
          CopyLayoutInput(record, scratch);
          LayoutFibers(scratch);
          ComputeSectionProperties(state, scratch);
          record.fiber_count = scratch.fiber_count;
          static_cast<ElasticProperties&>(record) = scratch;
          WriteSectionBlock(out, entries, record, scratch, number);
        } else {
          WriteSectionBlock(out, entries, record, record, number);
        }
      }
    } catch (const Error& error) {
      slots.Failed(piece, std::make_exception_ptr(SectionError(state, i, error)));
      return;
    } catch (...) {
      slots.Failed(piece, std::current_exception());
      return;
    }
    slots.Made(piece);
  };
  auto make = [&] {
    TSECTION scratch;
    for (std::size_t piece; (piece = next_piece++) < pieces;) {
      MemorySink* out = slots.WaitToMake(piece);
      if (out == nullptr) return;
      make_piece(piece, *out, scratch);
    }
  };
  // Writes the pieces in order; while the next one is not made, makes one
  // itself if a slot is free, and waits only for a piece a maker has taken.
  auto write = [&] {
    TSECTION scratch;
    for (std::size_t piece = 0; piece < pieces; ++piece) {
      MemorySink* in = nullptr;
      while ((in = slots.MadeSink(piece, false)) == nullptr) {
        if (slots.stopped()) return;
        if (const auto mine = slots.ClaimWithFreeSlot(next_piece, pieces)) {
          MemorySink* out = slots.WaitToMake(*mine);  // its slot is free: no wait
          if (out == nullptr) return;
          make_piece(*mine, *out, scratch);
        } else {
          in = slots.MadeSink(piece, true);
          break;
        }
      }
      if (in == nullptr) return;
      slots.RethrowFailure(piece);
      in->MoveTo(sink);
      slots.Written(piece);
      counter.Done(static_cast<std::int64_t>(
          std::min(kSectionsPerPiece, count - piece * kSectionsPerPiece)));
    }
  };
  // Worker 0, this thread, writes, and makes what no maker has taken; the
  // others make the pieces.
  RunWorkers(
      makers + 1,
      [&](int worker) {
        try {
          worker == 0 ? write() : make();
        } catch (...) {
          slots.Stop();
          throw;
        }
      },
      start);
  WriteEndMark(sink);
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

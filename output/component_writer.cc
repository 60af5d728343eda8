#include "output/component_writer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "model/fiber_layout.h"
#include "model/float32.h"
#include "model/parallel.h"

namespace brenmoor {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the component file is little-endian and written from memory as is");

constexpr std::array<unsigned char, 8> kMagic = {'P', 'F', '3', 'C', 'M', 'P', 0, 0};
constexpr char kModelName[] = "KAVOSEC";
constexpr int kModelNameWidth = 60;
constexpr int kNameWidth = 40;

void WriteByte(ByteSink& sink, std::uint8_t value) { sink.Write(&value, 1); }

template <std::size_t N>
void WriteBytes(ByteSink& sink, const std::array<unsigned char, N>& bytes) {
  sink.Write(bytes.data(), N);
}

// The 42-byte material-name entries, made once per file: a type byte, a zero
// byte and the material name padded to 40. Indexed [type][material].
class MaterialEntries {
 public:
  explicit MaterialEntries(const BrenmoorState& state) {
    for (std::int32_t type : {kSteelFiber, kConcreteFiber}) {
      for (const TMAT& material : state.materials) {
        StringSink entry;
        WriteByte(entry, static_cast<std::uint8_t>(type));
        WriteByte(entry, 0);
        WritePaddedText(entry, kNameWidth, material.name);
        entries_[type].push_back(entry.bytes());
      }
    }
  }

  void Write(ByteSink& sink, std::int32_t type, std::int32_t material) const {
    const std::string& entry = entries_.at(type).at(material);
    sink.Write(entry.data(), entry.size());
  }

 private:
  std::array<std::vector<std::string>, 2> entries_;
};

// The block of section s, numbered number, with the fibers and fiber count of
// laid_out: s itself, or a scratch section s was just laid out in. Everything
// after the name has fixed offsets; it is assembled in memory and written in
// one piece, since writing it field by field cost as much as computing it.
void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const TSECTION& s,
                       const TSECTION& laid_out, std::int32_t number) {
  const int n = laid_out.fiber_count;
  const int items = std::clamp(n, 0, kMaxFibers);  // n is 0 to 60 for every section imported
  const FiberSlot* const fibers = laid_out.fibers.data();
  WriteBytes(sink, std::array<unsigned char, 4>{0x02, 0x00, 0x0F, 0x00});
  WritePaddedText(sink, kNameWidth, s.NAME);

  // Offsets below count from the end of the name (block offset 44).
  std::array<unsigned char, 1547> part{};
  auto put = [&part](std::size_t at, const void* data, std::size_t size) {
    std::memcpy(part.data() + at, data, size);
  };
  auto put_int16 = [&put](std::size_t at, std::int32_t value) {
    // Integer fields carry the low bytes of the 32-bit values.
    const auto low = static_cast<std::uint16_t>(value);
    put(at, &low, 2);
  };
  auto put_float = [&put](std::size_t at, float value) { put(at, &value, 4); };

  put_int16(0, number);
  const std::array<unsigned char, 5> kind = {0x0F, 0x02, 0x02, static_cast<unsigned char>(n), 0x04};
  put(46, kind.data(), kind.size());
  put_float(161, 1.0f);  // the one nonzero value of the 174 constant bytes
  put_float(225, s.steel_area_sum);
  put_float(229, s.steel_ay2_sum);
  put_float(233, s.steel_ax2_sum);
  put_float(245, s.concrete_area_sum);
  put_float(249, s.concrete_ay2_sum);
  put_float(253, s.concrete_ax2_sum);
  put_float(305, s.torsion_constant);
  put_float(309, s.shear_modulus);
  put_float(313, s.shear_area_1);
  put_float(317, s.shear_area_2);
  put_float(321, s.shear_modulus);

  // Six arrays of 60 items each: n items, one pass over the fibers each, then zeros.
  std::memset(part.data() + 325, 4, static_cast<std::size_t>(items));
  std::memset(part.data() + 385, 1, static_cast<std::size_t>(items));
  for (int k = 0; k < items; ++k) put_int16(445 + 2 * k, fibers[k].type);
  for (int k = 0; k < items; ++k) put_int16(565 + 2 * k, fibers[k].material);
  for (int k = 0; k < items; ++k) put_float(685 + 4 * k, fibers[k].area);
  for (int k = 0; k < items; ++k) {
    put_float(925 + 8 * k, fibers[k].y);
    put_float(929 + 8 * k, fibers[k].x);
  }

  const std::array<unsigned char, 16> kFlags = {4, 4, 4, 4, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0};
  put(1405, kFlags.data(), kFlags.size());
  for (int i = 0; i < 4; ++i) put_int16(1437 + 2 * i, s.steel_material);

  // The corner bars, as (y, x) pairs like every coordinate pair of the block.
  const long double h = s.H, b = s.B, cc = s.CC;
  const float minus_dy = RoundToFloat(-h / 2 + cc);
  const float minus_dx = RoundToFloat(-b / 2 + cc);
  const float dy = RoundToFloat(h / 2 - cc);
  const float dx = RoundToFloat(b / 2 - cc);
  const std::array<float, 8> corners = {minus_dy, minus_dx, dy, dx, dy, minus_dx, minus_dy, dx};
  put(1453, corners.data(), sizeof corners);
  sink.Write(part.data(), part.size());

  for (int k = 0; k < items; ++k) entries.Write(sink, fibers[k].type, fibers[k].material);
  // Fibers 1 to 4 are always bars, so these name the section's steel.
  for (int k = 0; k < 4; ++k) entries.Write(sink, kSteelFiber, fibers[k].material);
  WriteZeros(sink, 6);
}

void WriteHeader(ByteSink& sink) {
  WriteBytes(sink, kMagic);
  WritePaddedText(sink, kModelNameWidth, kModelName);
}

void WriteEndMark(ByteSink& sink) {
  WriteBytes(sink, std::array<unsigned char, 2>{0xFF, 0xFF});
  sink.Flush();
}

// Sections per piece of the file that one thread makes at a time: about
// 140 KB, large enough that handing pieces over costs nothing, small enough
// that the writer starts early and the pieces in flight take little memory.
constexpr std::size_t kSectionsPerPiece = 32;

// The pieces made and not yet written, and who waits for whom. Piece p goes
// into slot p % slot count; a maker waits until the piece that slot held has
// been written, the writer until the piece it needs is made.
class PieceSlots {
 public:
  static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

  PieceSlots(std::size_t count, std::size_t capacity) : ready_(count, kEmpty) {
    for (std::size_t i = 0; i < count; ++i)
      sinks_.push_back(std::make_unique<MemorySink>(capacity));
  }

  // The slot's sink for piece, once it is free; nullptr when stopped.
  MemorySink* WaitToMake(std::size_t piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || written_ + sinks_.size() > piece; });
    return stopped_ ? nullptr : sinks_[piece % sinks_.size()].get();
  }

  void Made(std::size_t piece) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_[piece % sinks_.size()] = piece;
    changed_.notify_all();
  }

  // The slot's sink once piece is made; nullptr when stopped.
  MemorySink* WaitToWrite(std::size_t piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || ready_[piece % sinks_.size()] == piece; });
    return stopped_ ? nullptr : sinks_[piece % sinks_.size()].get();
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
  std::size_t written_ = 0;
  bool stopped_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace

void WriteComponentFile(const BrenmoorState& state, ByteSink& sink) {
  WriteHeader(sink);
  const MaterialEntries entries(state);
  for (std::int32_t i = 1; i <= state.imported_count; ++i) {
    const TSECTION& s = state.records.at(i);
    WriteSectionBlock(sink, entries, s, s, i);
  }
  WriteEndMark(sink);
}

void StreamComponentFile(const BrenmoorState& state, ByteSink& sink, Progress* progress) {
  WriteHeader(sink);
  const MaterialEntries entries(state);
  const std::size_t count = static_cast<std::size_t>(std::max(state.imported_count, 0));
  const std::size_t pieces = (count + kSectionsPerPiece - 1) / kSectionsPerPiece;
  const int makers = WorkersFor(pieces);
  constexpr std::size_t kLargestBlock = 1765 + 42 * kMaxFibers;
  PieceSlots slots(2 * static_cast<std::size_t>(makers) + 2, kSectionsPerPiece * kLargestBlock);
  std::atomic<std::size_t> next_piece{0};
  ProgressCounter counter(progress, "Writing sections", static_cast<std::int64_t>(count));

  auto make = [&] {
    TSECTION scratch;
    for (std::size_t piece; (piece = next_piece++) < pieces;) {
      MemorySink* out = slots.WaitToMake(piece);
      if (out == nullptr) return;
      const std::size_t first = piece * kSectionsPerPiece + 1;
      const std::size_t last = std::min(first + kSectionsPerPiece - 1, count);
      for (std::size_t i = first; i <= last; ++i) {
        const TSECTION& record = state.records.at(i);
        const auto number = static_cast<std::int32_t>(i);
        if (record.kind == kRectangularColumn) {
          CopyLayoutInput(record, scratch);
          LayoutFibers(scratch);
          WriteSectionBlock(*out, entries, record, scratch, number);
        } else {
          WriteSectionBlock(*out, entries, record, record, number);
        }
      }
      slots.Made(piece);
    }
  };
  auto write = [&] {
    for (std::size_t piece = 0; piece < pieces; ++piece) {
      MemorySink* in = slots.WaitToWrite(piece);
      if (in == nullptr) return;
      in->MoveTo(sink);
      slots.Written(piece);
      counter.Done(static_cast<std::int64_t>(
          std::min(kSectionsPerPiece, count - piece * kSectionsPerPiece)));
    }
  };
  // Worker 0, this thread, writes; the others make the pieces.
  RunWorkers(makers + 1, [&](int worker) {
    try {
      worker == 0 ? write() : make();
    } catch (...) {
      slots.Stop();
      throw;
    }
  });
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

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/parallel.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// The component file: the 68-byte header (magic "PF3CMP" and two zero
// bytes, the model name "KAVOSEC" padded to 60), one block of 1765 + 42·n
// bytes for each record 1 to the imported-section count (n its fiber count),
// and the end mark FF FF. Numbers are little-endian; float32 fields are the
// records' values bit for bit. A record of kind 1 is laid out and computed
// as PrepareSections does it; a record of another kind is written as it
// stands. Example: no sections gives 70 bytes; one 60-fiber section 4355.

// Where every block of the file goes, known from the records' input alone:
// a section's fiber count, and so its block's size, follows from its counts
// (2·NX + 2·NY + FX·FY + 4), so the offsets are a running sum. Throws
// SectionError for a record the file has no room for (more than 60 fibers,
// a name longer than 40 bytes), and Error for more than 32,767 sections,
// which no import lets through.
// Example: the default section and a 42-fiber one give blocks at 68 and
// 4353, the end mark at 7882 and a file of 7884 bytes.
class ComponentPlan {
 public:
  explicit ComponentPlan(const BrenmoorState& state);

  std::size_t sections() const { return starts_.size() - 2; }
  std::uint64_t size() const { return starts_.back() + 2; }
  // Where the block of record (1 to sections()) begins; at sections() + 1,
  // where the end mark begins.
  std::uint64_t BlockAt(std::size_t record) const { return starts_[record]; }
  // The record whose block holds the byte at offset; sections() + 1 from
  // the end mark on. offset must not be in the header.
  std::size_t RecordAt(std::uint64_t offset) const;
  // The fiber count of the record's block.
  int FiberCount(std::size_t record) const;

 private:
  // starts_[0] is 0, the header; starts_[i] the block of record i; the last
  // the end mark. 32 bits: the largest file is 140 MB.
  std::vector<std::uint32_t> starts_;
};

// How the file is made: in pieces of piece_bytes at fixed offsets, each
// made by one worker from the sections it overlaps (a block that crosses
// the boundary between two pieces is made by both, and each keeps its own
// bytes of it).
struct ComponentWriting {
  // 512 KiB: whole pages, so that the system copies each piece without
  // reading or merging, and large enough that a few hundred calls write the
  // largest file. Pieces of 1 MiB were no faster beyond the spread of the
  // runs but took the largest table's convert to 10 MB of memory.
  static constexpr std::size_t kPieceBytes = 1 << 19;
  std::size_t piece_bytes = kPieceBytes;  // at least 1
  // Counts the sections whose blocks end in each piece written, as
  // "Writing sections"; its cancel stops the work at the next piece.
  Progress* progress = nullptr;
  int most_workers = 0;  // 0: one per core
  ThreadStarter start = StartThread;
};

// The whole file in one pass, each piece written at its offset in out as
// soon as it is made, on every core: a worker takes the next piece, lays out
// and computes only the sections it overlaps, encodes them straight into a
// buffer of its own and hands that to out. plan must be state's.
// Each record of kind 1 is left with the fiber count and properties
// PrepareSections gives it, but not its fibers (each is laid out in a
// scratch section), stored by the piece its block begins in.
// Failures: the error PrepareSections would throw first (SectionError, of
// the lowest record that fails), or of out, whichever piece comes first in
// the file: the pieces after it are not begun, those before it finish; what
// out took is then to be thrown away. A cancel throws Cancelled.
void WriteComponentPieces(BrenmoorState& state, const ComponentPlan& plan, PositionalSink& out,
                          const ComponentWriting& options = {});

// The same bytes into sink, in order, for outputs that cannot take bytes
// at an offset (standard output, a pipe): the pieces are made on every core
// as above and handed to sink on this thread one after another; no more
// than a few are held. Records and failures as WriteComponentPieces; bytes
// after a failing piece never reach sink. Flushes sink at the end.
void StreamComponentFile(BrenmoorState& state, ByteSink& sink,
                         const ComponentWriting& options = {});

// The 42-byte material entries of a file, made once per file from the
// material table: the fiber type, a zero byte and the material name padded
// to 40.
class MaterialEntries {
 public:
  static constexpr std::size_t kSize = 42;
  explicit MaterialEntries(const BrenmoorState& state);
  // The entry's 42 bytes. Throws std::out_of_range for a type or material
  // outside the table.
  const char* Entry(std::int32_t type, std::int32_t material) const {
    // Inline: it is asked once per fiber of every block.
    const auto index =
        static_cast<std::size_t>(type) * materials_ + static_cast<std::size_t>(material);
    if (type < 0 || type > 1 || material < 0 || static_cast<std::size_t>(material) >= materials_) {
      throw std::out_of_range("no material entry of that type and index");
    }
    return bytes_.data() + index * kSize;
  }

 private:
  std::size_t materials_;
  // Steel's entries, then concrete's, each in the table's order.
  std::string bytes_;
};

// Everything a section block holds that is not fixed by the layout.
struct BlockContent {
  std::int32_t number = 0;
  std::string_view name;
  ElasticProperties figures;
  int fiber_count = 0;
  const FiberSlot* fibers = nullptr;  // fiber_count of them, and at least 4
  std::int32_t steel_material = 0;
  std::array<float, 8> corners{};  // four (y, x) pairs
};

// The block of record number, named and placed as record is, with the
// fibers, fiber count and properties of laid_out: the record itself once it
// is prepared, or a scratch section it was just laid out in. The corner bars
// are worked out from H, B and CC.
BlockContent BlockContentOf(const TSECTION& record, const TSECTION& laid_out, std::int32_t number);

// The size of the block: 1765 + 42·n bytes (n the fiber count, taken as 0
// to 60), and the bytes by which a name longer than 40 bytes overflows its
// field.
std::size_t SectionBlockSize(const BlockContent& block);

// Encodes one section block (see component_layout.h) into out, which has
// room for SectionBlockSize(block) bytes; returns that size. The reader
// makes the block again from what it read and compares, so every fixed byte
// is checked against this one description.
std::size_t EncodeSectionBlock(char* out, const MaterialEntries& entries,
                               const BlockContent& block);

// The same into sink.
void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const BlockContent& block);

// Writes all bytes of text, then spaces up to width. A longer text is written
// whole: never cut.
void WritePaddedText(ByteSink& sink, int width, std::string_view text);

// Writes count zero bytes; nothing when count <= 0.
void WriteZeros(ByteSink& sink, int count);

}  // namespace brenmoor

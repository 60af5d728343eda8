#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/parallel.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// Writes the whole component file: the 68-byte header (magic "PF3CMP" and two
// zero bytes, the model name "KAVOSEC" padded to 60), one block of
// 1765 + 42·n bytes for each record 1 to the imported-section count (n its
// fiber count), and the end mark FF FF. Numbers are little-endian; float32
// fields are the records' values bit for bit. The records must have been
// prepared (PrepareSections); nothing is changed or checked here.
// Example: no sections gives 70 bytes; one 60-fiber section gives 4355.
void WriteComponentFile(const BrenmoorState& state, ByteSink& sink);

// Writes the same bytes as WriteComponentFile after PrepareSections, and
// leaves each record of kind 1 with the fiber count and properties
// PrepareSections gives it, but not its fibers: each is laid out once, in a
// scratch section of the thread making its block, its properties computed,
// and its block made from them. Pieces of 128 blocks are made on every other
// core while this thread writes the pieces made before, in order, so that
// computing overlaps writing; a few pieces are held at a time (560 KB each,
// one a maker and two more), whatever the count of sections.
// A record of another kind is written as it stands. A section that cannot be
// computed throws the error PrepareSections would throw first (SectionError,
// of the lowest record that fails), once the blocks before it have gone to
// the sink: the caller throws those bytes away. Any other failure (of the
// sink, say) stops every thread and is thrown. This thread makes pieces too
// whenever no maker has taken the next one, so the file is complete even when
// the system starts no thread (start, for tests, starts them). With a
// progress, counts the sections written; a cancel stops every thread and
// throws Cancelled.
void StreamComponentFile(BrenmoorState& state, ByteSink& sink,
                         const ThreadStarter& start = StartThread, Progress* progress = nullptr);

// The 42-byte material entries of a file, made once per file from the
// material table: the fiber type, a zero byte and the material name padded
// to 40.
class MaterialEntries {
 public:
  explicit MaterialEntries(const BrenmoorState& state);
  // Throws std::out_of_range for a type or material outside the table.
  void Write(ByteSink& sink, std::int32_t type, std::int32_t material) const;

 private:
  std::array<std::vector<std::string>, 2> entries_;
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

// Writes one section block (see component_layout.h). The reader makes the
// block again from what it read and compares, so every fixed byte is checked
// against this one description.
void WriteSectionBlock(ByteSink& sink, const MaterialEntries& entries, const BlockContent& block);

// Writes all bytes of text, then spaces up to width. A longer text is written
// whole: never cut.
void WritePaddedText(ByteSink& sink, int width, std::string_view text);

// Writes count zero bytes; nothing when count <= 0.
void WriteZeros(ByteSink& sink, int count);

}  // namespace brenmoor

#pragma once

#include <string_view>

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

// Writes the same bytes as WriteComponentFile after PrepareSections, from
// records whose properties and fiber counts ComputeSections has computed and
// which need hold no fibers: each section of kind 1 is laid out again, just
// before its block is made, in a scratch section of the thread making it.
// Pieces of 32 blocks are made on every core while this thread writes the
// pieces made before, in order, so that computing overlaps writing; a few
// pieces are held at a time (140 KB each, two a core and two more), whatever
// the count of sections.
// A record of another kind is written as it stands. The first failure (of
// the sink, say) stops every thread and is thrown. With a progress, counts
// the sections written; a cancel stops every thread and throws Cancelled.
void StreamComponentFile(const BrenmoorState& state, ByteSink& sink, Progress* progress = nullptr);

// Writes all bytes of text, then spaces up to width. A longer text is written
// whole: never cut.
void WritePaddedText(ByteSink& sink, int width, std::string_view text);

// Writes count zero bytes; nothing when count <= 0.
void WriteZeros(ByteSink& sink, int count);

}  // namespace brenmoor

#pragma once

#include <string_view>

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

// Writes all bytes of text, then spaces up to width. A longer text is written
// whole: never cut.
void WritePaddedText(ByteSink& sink, int width, std::string_view text);

// Writes count zero bytes; nothing when count <= 0.
void WriteZeros(ByteSink& sink, int count);

}  // namespace brenmoor

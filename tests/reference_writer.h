#pragma once

#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// The plain component file writer the byte tests compare the program's with:
// the 68-byte header, then each record's block from the record itself, one
// after another, then the end mark. The records must have been prepared
// (PrepareSections); nothing is changed or checked here.
// Example: no sections gives 70 bytes; one 60-fiber section gives 4355.
void WriteComponentFile(const BrenmoorState& state, ByteSink& sink);

}  // namespace brenmoor

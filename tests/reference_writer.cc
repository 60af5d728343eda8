#include "tests/reference_writer.h"

#include <cstdint>

#include "output/component_layout.h"
#include "output/component_writer.h"

namespace brenmoor {

void WriteComponentFile(const BrenmoorState& state, ByteSink& sink) {
  sink.Write(layout::kMagic.data(), layout::kMagic.size());
  WritePaddedText(sink, static_cast<int>(layout::kModelNameWidth), layout::kModelName);
  const MaterialEntries entries(state);
  for (std::int32_t i = 1; i <= state.imported_count; ++i) {
    const TSECTION& s = state.records.at(static_cast<std::size_t>(i));
    WriteSectionBlock(sink, entries, BlockContentOf(s, s, i));
  }
  sink.Write(layout::kEndMark.data(), layout::kEndMark.size());
  sink.Flush();
}

}  // namespace brenmoor

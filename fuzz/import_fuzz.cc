// Any bytes as a section table, with '.' and ',' as the regional decimal
// separator: the import either succeeds with sections the writer can write
// correctly, or fails with an ImportError and leaves nothing imported.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/number_text.h"
#include "import/section_import.h"
#include "model/materials.h"
#include "output/component_reader.h"
#include "output/component_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char separator = data[0] & 1 ? ',' : '.';
  const std::string_view table(reinterpret_cast<const char*>(data + 1), size - 1);
  brenmoor::BrenmoorState state;
  try {
    brenmoor::ImportSectionTable(state, table, separator, "fuzz.csv");
  } catch (const brenmoor::ImportError&) {
    if (state.imported_count != 0) std::abort();
    return 0;
  }
  // What was accepted must compute and write, and read back the same.
  for (int i = 1; i <= state.imported_count; ++i) {
    const brenmoor::TSECTION& s = state.records[static_cast<std::size_t>(i)];
    for (float value : {s.H, s.B, s.ASX, s.ASY, s.ASCOR, s.CC}) {
      brenmoor::FormatGridNumber(value, separator);
    }
  }
  // The writer the program uses, in small pieces so that blocks are split.
  brenmoor::StringSink sink;
  try {
    brenmoor::StreamComponentFile(state, sink, {.piece_bytes = 4096});
  } catch (const brenmoor::Error&) {
    return 0;  // a section whose values overflow float32 when computed
  }
  const brenmoor::ComponentFile file = brenmoor::ReadComponentFile(sink.bytes());
  if (file.sections.size() != static_cast<std::size_t>(state.imported_count)) std::abort();
  return 0;
}

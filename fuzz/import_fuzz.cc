// Any bytes as a section table, with '.' and ',' as the regional decimal
// separator: the import either succeeds with sections the writer can write
// correctly, or fails with an ImportError and leaves nothing imported.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/section_import.h"
#include "model/materials.h"
#include "output/component_reader.h"
#include "output/component_writer.h"
#include "model/section_properties.h"

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
    for (int column = 0; column < brenmoor::kGridColumns; ++column) {
      brenmoor::GridCellText(state, column, i, separator);
    }
  }
  try {
    brenmoor::PrepareSections(state);
  } catch (const brenmoor::Error&) {
    return 0;  // a section whose values overflow float32 when computed
  }
  brenmoor::StringSink sink;
  brenmoor::WriteComponentFile(state, sink);
  const brenmoor::ComponentFile file = brenmoor::ReadComponentFile(sink.bytes());
  if (file.sections.size() != static_cast<std::size_t>(state.imported_count)) std::abort();
  return 0;
}

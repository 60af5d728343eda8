// Any bytes as one table line: the tokenizer must stay inside its 40 fields
// and give every field trimmed, never longer than the line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/split_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  brenmoor::BrenmoorState state;
  brenmoor::SplitLine(state, line);
  std::size_t total = 0;
  for (const std::string& field : state.fields) {
    total += field.size();
    if (!field.empty() && (static_cast<unsigned char>(field.front()) <= ' ' ||
                           static_cast<unsigned char>(field.back()) <= ' ')) {
      std::abort();
    }
  }
  if (total > size) std::abort();
  return 0;
}

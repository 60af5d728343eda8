// Any bytes as one table line: the tokenizer must stay inside its 40 fields
// and give every field trimmed, never longer than the line, and the view
// splitter the import uses must agree with the field array.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/split_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  // Kept from one input to the next: a fresh array for every input would
  // cost more than the split.
  static brenmoor::FieldArray fields;
  brenmoor::SplitLine(fields, line);
  brenmoor::LineFields views;
  brenmoor::SplitFields(line, views);
  std::size_t total = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& field = fields[i];
    if (field != views[i]) std::abort();
    total += field.size();
    if (!field.empty() && (static_cast<unsigned char>(field.front()) <= ' ' ||
                           static_cast<unsigned char>(field.back()) <= ' ')) {
      std::abort();
    }
  }
  if (total > size) std::abort();
  return 0;
}

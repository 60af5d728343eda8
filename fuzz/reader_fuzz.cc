// Any bytes as a component file: the reader either reads it or throws Error;
// it never reads out of bounds.
#include <cstdint>
#include <string_view>

#include "model/errors.h"
#include "output/component_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    brenmoor::ReadComponentFile(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const brenmoor::Error&) {
  }
  return 0;
}

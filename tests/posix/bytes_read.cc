#include "tests/bytes_read.h"

#include <fstream>
#include <string>

namespace brenmoor::testing {

std::optional<std::uint64_t> BytesReadSoFar() {
  // Linux: "rchar: <bytes>", every byte read() returned.
  std::ifstream io("/proc/self/io");
  std::string name;
  std::uint64_t value = 0;
  while (io >> name >> value) {
    if (name == "rchar:") return value;
  }
  return std::nullopt;
}

}  // namespace brenmoor::testing

#include "tests/system_texts.h"

#include <fstream>

namespace brenmoor::testing {

const SystemTexts& Texts() {
  static const SystemTexts texts{"No such file or directory", "No such file or directory",
                                 "Is a directory", "Is a directory"};
  return texts;
}

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

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/section.h"

namespace brenmoor {

// Everything the program keeps between the engineer's actions. main owns the
// one instance for the life of the process; the commands take it by reference.
struct BrenmoorState {
  // Record 0 is never filled; the imported sections are records 1 to
  // imported_count, in the order of the table's lines.
  std::vector<TSECTION> records;
  std::vector<TMAT> materials;
  std::int32_t imported_count = 0;
  // The path of the table the records came from, as errors name it.
  std::string table;
};

}  // namespace brenmoor

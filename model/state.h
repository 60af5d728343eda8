#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/section.h"

namespace brenmoor {

// Something the import accepted that an engineer should look at: a line of
// the table (the header is line 1) and what to check on it.
struct TableWarning {
  int line = 0;
  std::string message;
};

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
  // What the import of that table accepted but found odd, in line order.
  std::vector<TableWarning> warnings;
};

}  // namespace brenmoor

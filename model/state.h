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

// Why the stirrup columns of a table's line cannot be used (the header's
// line 1 for the columns themselves): the analysis refuses the table for
// it, convert only warns, since the component file never carries stirrups.
struct StirrupProblem {
  int line = 0;
  std::string section;  // the line's NAME; empty for the header
  std::string column;   // the column to correct, e.g. "STIRRUP_S"
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
  // Whether the table's header names any stirrup column, and what of them
  // cannot be used, in line order (see import/stirrup_columns.h).
  bool stirrup_columns = false;
  std::vector<StirrupProblem> stirrup_problems;
};

}  // namespace brenmoor

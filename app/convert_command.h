#pragma once

#include <ostream>
#include <string>

#include "model/state.h"

namespace brenmoor {

// table and output are UTF-8 paths. Imports table exactly as the window's
// import button does (decimal separator of the regional settings) and
// generates the component file at output exactly as the generate button does;
// output "-" is standard output (the file's bytes, nothing else). On success
// with a file prints one line naming the number of sections and the full
// output path. A table without sections, or an output that is the table
// itself, is refused before anything is written. Errors are thrown as by the
// import and the generate command.
void ConvertCommand(BrenmoorState& state, const std::string& table, const std::string& output,
                    std::ostream& out);

}  // namespace brenmoor

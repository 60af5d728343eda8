#pragma once

#include <ostream>

#include "model/state.h"

namespace brenmoor {

// Runs `brenmoor convert ...`, `brenmoor inspect ...`, `--help` or
// `--version` (argv[0] is the program). Needs no display. Prints results to
// out, errors to err as "brenmoor: MESSAGE" (with "TABLE:LINE: " for an error
// on a line of the table). Returns the exit status: 0 success, 1 failure,
// 2 a wrong call.
int RunCommandLine(int argc, char** argv, BrenmoorState& state, std::ostream& out,
                   std::ostream& err);

}  // namespace brenmoor

#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/state.h"

namespace brenmoor {

// Runs `brenmoor convert ...`, `brenmoor inspect ...`, `brenmoor report ...`, `brenmoor capacity
// ...`, `--help` or
// `--version`; args are the program's arguments in UTF-8, args[0] the
// program. Needs no display. Prints results to
// out, errors to err as "brenmoor: MESSAGE" (with "TABLE:LINE: " for an error
// on a line of the table). Returns the exit status: 0 success, 1 failure,
// 2 a wrong call.
// Whether the arguments (args[0] the program) ask to open the window with a
// table: exactly one argument, not a command or an option, naming an existing
// file. Example: {"brenmoor", "sections.csv"} when sections.csv exists.
bool OpensWindowWithTable(const std::vector<std::string>& args);

int RunCommandLine(const std::vector<std::string>& args, BrenmoorState& state, std::ostream& out,
                   std::ostream& err);

}  // namespace brenmoor

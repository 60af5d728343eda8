#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "app/command.h"
#include "model/state.h"

namespace brenmoor {

// Whether the arguments (args[0] the program) ask to open the window with a
// table: exactly one argument, not a command or an option, naming an existing
// file. Example: {"brenmoor", "sections.csv"} when sections.csv exists.
bool OpensWindowWithTable(const std::vector<std::string>& args);

// Runs one of AllCommands, `brenmoor help [COMMAND]`, `--help` or `--version`; args are the
// program's arguments in UTF-8, args[0] the program. Needs no display. Prints results to out,
// errors to err as "brenmoor: MESSAGE" (with "TABLE:LINE: " for an error on a line of a table, the
// table it came from), a wrong call as one line and "Try 'brenmoor COMMAND --help'.". Returns the
// exit status: 0 success, 1 failure (a refused table, a file that cannot be written, standard
// output that takes nothing more, no memory left), 2 a wrong call.
int RunCommandLine(const std::vector<std::string>& args, BrenmoorState& state, std::ostream& out,
                   std::ostream& err);

// The same with the commands given, for tests.
int RunCommandLine(const std::vector<std::string>& args, BrenmoorState& state, std::ostream& out,
                   std::ostream& err, std::span<const Command> commands);

// Every command, in the order the usage lists them.
std::span<const Command> AllCommands();

// Their names, "convert, inspect, ...": every one of them works without a
// display.
std::string CommandNames();

}  // namespace brenmoor

#pragma once

#include <ostream>
#include <string>

#include "app/command.h"

namespace brenmoor {

// Reads the component file at path with a reader of its own that checks the
// whole structure, and prints every section: number, name, fiber count,
// properties and corner bars; with fibers also the table of fibers. A file
// that cannot be read or is malformed throws Error.
void InspectCommand(const std::string& path, bool fibers, std::ostream& out);

// `brenmoor inspect FILE [--fibers]`: InspectCommand.
extern const Command kInspectCommand;

}  // namespace brenmoor

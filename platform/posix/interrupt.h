#pragma once

// The POSIX side's table of temporary files that an interruption removes
// (see platform/interrupt.h). Only code for POSIX systems includes this.

namespace brenmoor::posix {

// Copies path into a fixed table of 16 places, so that an interruption
// removes the file while it is there, and returns its place; -1 when every
// place is taken or path is 4096 bytes or longer (the file is then left to
// the sweep of a later run). Installs the handlers on the first call.
int RemoveOnInterrupt(const char* path);

// Takes the name at place (from RemoveOnInterrupt; -1 does nothing) out of
// the table again.
void KeepOnInterrupt(int place);

}  // namespace brenmoor::posix

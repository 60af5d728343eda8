#pragma once

#include <string>
#include <vector>

namespace brenmoor::testing {

// The Qt libraries in memory once `brenmoor ARGS...` has run, one file name a
// line, "" when none; status gets its exit status. On Linux the real program
// runs with a preloaded probe that copies its /proc/self/maps when it exits;
// on Windows the command line runs in this process, which links no Qt
// either, and the modules loaded are asked for afterwards.
std::string QtLoadedBy(const std::vector<std::string>& args, int& status);

}  // namespace brenmoor::testing

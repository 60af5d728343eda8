#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "model/state.h"

namespace brenmoor::testing {

// What a run of the command line left: its exit status and what it printed.
struct Outcome {
  int status;
  std::string out, err;
};

// Runs `brenmoor ARGS...` as the program does, into state, with standard
// output and standard error caught.
inline Outcome RunWith(std::vector<std::string> args, BrenmoorState& state) {
  args.insert(args.begin(), "brenmoor");
  std::ostringstream out, err;
  const int status = RunCommandLine(args, state, out, err);
  return {status, out.str(), err.str()};
}

inline Outcome RunWith(std::vector<std::string> args) {
  BrenmoorState state;
  return RunWith(std::move(args), state);
}

}  // namespace brenmoor::testing

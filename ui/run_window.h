#pragma once

#include <string>

#include "model/state.h"

namespace brenmoor {

// Starts the window toolkit, titles the application "Brenmoor", shows Form1
// over state and runs the event loop until the window is closed. Returns the
// loop's exit status (0 on a normal close). With a table (a UTF-8 path), the
// window imports it first, as if it had been chosen in the open dialog.
int RunWindow(int argc, char** argv, BrenmoorState& state, const std::string& table = {});

}  // namespace brenmoor

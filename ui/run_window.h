#pragma once

#include "model/state.h"

namespace brenmoor {

// Starts the window toolkit, titles the application "Brenmoor", shows Form1
// over state and runs the event loop until the window is closed. Returns the
// loop's exit status (0 on a normal close).
int RunWindow(int argc, char** argv, BrenmoorState& state);

}  // namespace brenmoor

#include "app/command_line.h"
#include "model/state.h"
#include "platform/console.h"

#ifdef BRENMOOR_WITH_UI
#include "ui/run_window.h"
#endif

int main(int argc, char** argv) {
  // Everything the program keeps between the engineer's actions lives here,
  // for the life of the process.
  brenmoor::BrenmoorState state;
#ifdef BRENMOOR_WITH_UI
  if (argc <= 1) return brenmoor::RunWindow(argc, argv, state);
#endif
  return brenmoor::RunCommandLine(brenmoor::Utf8Arguments(argc, argv), state,
                                  brenmoor::ConsoleOut(), brenmoor::ConsoleErr());
}

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
  const std::vector<std::string> args = brenmoor::Utf8Arguments(argc, argv);
#ifdef BRENMOOR_WITH_UI
  if (argc <= 1) return brenmoor::RunWindow(argc, argv, state);
  // "Open with" from the file manager: the window with that table imported.
  if (brenmoor::OpensWindowWithTable(args)) return brenmoor::RunWindow(argc, argv, state, args[1]);
#endif
  return brenmoor::RunCommandLine(args, state, brenmoor::ConsoleOut(), brenmoor::ConsoleErr());
}

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
  // No arguments, or "Open with" from the file manager: the window, with that
  // table imported.
  const bool window = argc <= 1 || brenmoor::OpensWindowWithTable(args);
  if (window && !brenmoor::HasDisplay()) {
    brenmoor::ConsoleErr()
        << "brenmoor: the window needs a display, and there is none (DISPLAY and WAYLAND_DISPLAY "
           "are not set).\n"
           "brenmoor convert and brenmoor report work without one; see brenmoor --help.\n";
    return 1;
  }
  if (window) return brenmoor::RunWindow(argc, argv, state, argc <= 1 ? std::string() : args[1]);
#endif
  return brenmoor::RunCommandLine(args, state, brenmoor::ConsoleOut(), brenmoor::ConsoleErr());
}

#include "app/command_line.h"
#include "app/qt_module.h"
#include "model/errors.h"
#include "model/state.h"
#include "platform/console.h"
#include "platform/text.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = brenmoor::Utf8Arguments(argc, argv);
#ifdef BRENMOOR_WITH_UI
  // No arguments, or "Open with" from the file manager: the window, with that
  // table imported. Qt is loaded for it alone.
  const bool window = argc <= 1 || brenmoor::OpensWindowWithTable(args);
  if (window) {
    // Said here, in our words: without a display the toolkit aborts with its own.
    const std::string missing = brenmoor::WhyNoDisplay();
    if (!missing.empty()) {
      brenmoor::ConsoleErr() << "brenmoor: the window needs a display, and " << missing
                             << ".\nEvery command works without one (" << brenmoor::CommandNames()
                             << "); see brenmoor --help.\n";
      return 1;
    }
    try {
      return brenmoor::RunWindowFromModule(argc, argv, argc <= 1 ? "" : args[1]);
    } catch (const brenmoor::Error& e) {
      // Names a folder or file, which may hold control characters.
      brenmoor::ShowStartupFailure("brenmoor: " +
                                   brenmoor::DisplayMessage(brenmoor::ErrorReportText(e.what())));
      return 1;
    }
  }
#endif
  // What a command keeps while it runs lives here, for the life of the
  // process; the window keeps its own, in the module.
  brenmoor::BrenmoorState state;
  return brenmoor::RunCommandLine(args, state, brenmoor::ConsoleOut(), brenmoor::ConsoleErr());
}

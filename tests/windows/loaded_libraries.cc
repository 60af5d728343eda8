#include "tests/loaded_libraries.h"

#include <windows.h>

#include <sstream>

#include "app/command_line.h"

namespace brenmoor::testing {

std::string QtLoadedBy(const std::vector<std::string>& args, int& status) {
  std::vector<std::string> arguments = {"brenmoor-cli"};
  arguments.insert(arguments.end(), args.begin(), args.end());
  BrenmoorState state;
  std::ostringstream out, err;
  status = RunCommandLine(arguments, state, out, err);
  std::string names;
  for (const char* dll : {"Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll"}) {
    if (::GetModuleHandleA(dll) != nullptr) names += std::string(dll) + "\n";
  }
  return names;
}

}  // namespace brenmoor::testing

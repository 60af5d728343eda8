// The POSIX side of the console: arguments and terminals are UTF-8 already.
#include "platform/console.h"

#include <unistd.h>

#include <iostream>

namespace brenmoor {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::ostream& ConsoleOut() { return std::cout; }
std::ostream& ConsoleErr() { return std::cerr; }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace brenmoor

#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brenmoor {

// The program's arguments, argv[0] included, as UTF-8. On Windows they are
// read as UTF-16 from the system, since argv holds them in the 8-bit code
// page, where a Chinese file name does not survive.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Streams for standard output and standard error that take UTF-8. Text
// reaches a console as the characters it stands for; redirected to a file or
// a pipe it goes out as the UTF-8 bytes themselves.
std::ostream& ConsoleOut();
std::ostream& ConsoleErr();

// Why writing to out (ConsoleOut()) failed, in the system's words ("No space
// left on device"), for "cannot write to standard output: <reason>"; a
// general text for another stream.
std::string StandardOutputFailure(const std::ostream& out);

// Whether a window can be shown: on X11 and Wayland systems, a display to
// show it on. Windows and macOS always have one.
bool HasDisplay();

}  // namespace brenmoor

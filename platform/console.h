#pragma once

#include <cstddef>
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

// Whether standard error is a terminal (a console window on Windows), where a
// line can be rewritten in place; not when it goes to a file or a pipe.
bool StandardErrorIsTerminal();

// Tells the engineer why the program cannot start at all (the window's
// library is missing, say): on standard error, and where a program has none
// to show it (brenmoor.exe, started from Explorer), in a message box.
void ShowStartupFailure(const std::string& message);

// Why writing to out (ConsoleOut()) failed, in the system's words ("No space
// left on device"), for "cannot write to standard output: <reason>"; a
// general text for another stream.
std::string StandardOutputFailure(const std::ostream& out);

// The width of the terminal standard error shows on, in columns; 0 when it
// is not a terminal or does not say. Asked anew at each call (it changes as
// the engineer resizes the window), so call it at most a few times a second.
std::size_t StandardErrorColumns();

// Why a window cannot be shown, as the end of the sentence "the window needs
// a display, and ...", or empty when it can. On X11 and Wayland systems a
// display must answer: the X server DISPLAY names (its local socket, or TCP
// port 6000 + n for host:n) or the Wayland compositor's socket
// ($XDG_RUNTIME_DIR/$WAYLAND_DISPLAY), each tried with a short timeout; the
// Qt platform QT_QPA_PLATFORM names is the one tried when it is xcb or
// wayland, and any other (offscreen, say) needs no display. Windows and macOS
// always have one.
// Examples: "there is none (DISPLAY and WAYLAND_DISPLAY are not set)",
// ":57 does not answer".
std::string WhyNoDisplay();

}  // namespace brenmoor

#pragma once

#include <cstddef>

namespace brenmoor {

// What the program tidies up when the engineer stops it with Ctrl-C, or the
// system tells it to end (SIGINT, SIGTERM, SIGHUP; on Windows Ctrl-C,
// Ctrl-Break and closing the console window): the temporary file of every
// ReplacingFile not yet committed is removed and the progress line on the
// terminal is blanked. Then the program ends by that signal as if it had no
// handler, so that a shell sees why (status 130 for Ctrl-C; on Windows the
// status 0xC000013A of a console program ended by Ctrl-C). A signal the
// program was started with ignored (nohup, a job in the background of a
// script) stays ignored. The handlers are installed when first needed: by the
// first ReplacingFile, or the first progress line shown.
//
// The POSIX handlers do only what is safe inside a signal handler: they
// remove names and blank columns prepared beforehand, without allocating or
// locking. On Windows the system removes a temporary file itself when the
// program ends without committing it, however it ends (see ReplacingFile), so
// only the line is left to the handler there.

// Tells an interruption how many columns of the terminal's current line the
// progress line on standard error covers; 0 when none is shown.
void SetProgressLineColumns(std::size_t columns);

}  // namespace brenmoor

#pragma once

#include <QString>
#include <string>

#include "model/state.h"

namespace brenmoor {

// Starts the window toolkit, titles the application "Brenmoor", shows Form1
// over sections of its own and runs the event loop until the window is
// closed. Returns the loop's exit status (0 on a normal close). With a table
// (a UTF-8 path), the window imports it first, as if it had been chosen in
// the open dialog, and works in the table's folder (see EnterTableFolder).
int RunWindow(int argc, char** argv, const std::string& table = {});

// Makes the folder of table (a path, relative to the current folder or
// absolute) the current folder, so that a window started with a table ("Open
// with", `brenmoor TABLE`) generates KAVOSEC.PF3CMP beside it rather than in
// wherever the file manager or the Start menu started it. Returns the
// table's absolute path. A table that does not exist changes nothing.
QString EnterTableFolder(const QString& table);

}  // namespace brenmoor

// The Windows side of what an interruption tidies up: a console handler that
// blanks the progress line. The temporary files need none: the system
// removes them when the program ends (see windows/files.cc). Only code for
// Windows belongs here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

namespace brenmoor {
namespace {

// Process-wide, since the console handler can reach nothing else.
constinit std::atomic<std::size_t> line_columns{0};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  const std::size_t columns = line_columns.load();
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (columns > 0 && err != nullptr && err != INVALID_HANDLE_VALUE &&
      ::GetConsoleMode(err, &mode)) {
    const std::wstring blank = L"\r" + std::wstring(columns, L' ') + L"\r";
    DWORD written = 0;
    ::WriteConsoleW(err, blank.data(), static_cast<DWORD>(blank.size()), &written, nullptr);
  }
  // Not handled: the system's own handler ends the program as Ctrl-C does,
  // with the status 0xC000013A (STATUS_CONTROL_C_EXIT).
  return FALSE;
}

}  // namespace

void SetProgressLineColumns(std::size_t columns) {
  if (columns > 0) {
    static std::once_flag once;
    std::call_once(once, [] { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); });
  }
  line_columns.store(columns);
}

}  // namespace brenmoor

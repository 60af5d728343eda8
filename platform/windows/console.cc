// The Windows side of the console. Only code for Windows belongs here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <streambuf>

#include "platform/console.h"
#include "platform/windows/wide.h"

namespace brenmoor {
namespace {

// Standard output or standard error. A console gets the characters through
// WriteConsoleW, whatever its code page (a Western cmd.exe would show the
// UTF-8 bytes of a Chinese name as "é¡¹ç›®"); a file or a pipe gets the
// UTF-8 bytes themselves, so that redirected output is the same on every
// system.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(DWORD which) : handle_(::GetStdHandle(which)) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
               ::GetFileType(handle_) == FILE_TYPE_CHAR && ::GetConsoleMode(handle_, &mode);
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  ~ConsoleBuffer() override { Flush(true); }

  // The reason of the first failed write, empty while none failed.
  const std::string& failure() const { return failure_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Flush(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return Flush(false) ? 0 : -1; }

 private:
  // Writes what is buffered. For a console, the first bytes of a character
  // whose other bytes are still to come stay behind until they arrive (or
  // the program ends): converted alone they would show as two U+FFFD.
  bool Flush(bool all) {
    std::string_view bytes(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    if (bytes.empty()) return true;
    bool ok = true;
    std::size_t done = bytes.size();
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) {
      // No standard handle (a GUI process): the text has nowhere to go.
    } else if (console_) {
      done = all ? bytes.size() : windows::CompleteUtf8Prefix(bytes);
      const std::wstring wide = windows::WideFromUtf8(bytes.substr(0, done));
      for (std::size_t at = 0; ok && at < wide.size();) {
        DWORD written = 0;
        ok = ::WriteConsoleW(handle_, wide.data() + at,
                             static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192)),
                             &written, nullptr) &&
             written > 0;
        at += written;
      }
    } else {
      for (std::size_t at = 0; ok && at < bytes.size();) {
        DWORD written = 0;
        ok = ::WriteFile(handle_, bytes.data() + at, static_cast<DWORD>(bytes.size() - at),
                         &written, nullptr) &&
             written > 0;
        at += written;
      }
    }
    if (!ok && failure_.empty()) {
      const DWORD error = ::GetLastError();
      failure_ = error != 0 ? windows::SystemErrorText(error) : "nothing was written";
    }
    // What is left (at most three bytes of one character) moves to the front.
    const std::size_t left = bytes.size() - done;
    std::copy(pbase() + done, pptr(), buffer_);
    setp(buffer_, buffer_ + sizeof buffer_);
    pbump(static_cast<int>(left));
    return ok;
  }

  HANDLE handle_;
  bool console_ = false;
  std::string failure_;
  char buffer_[4096];
};

ConsoleBuffer& OutBuffer() {
  static ConsoleBuffer buffer(STD_OUTPUT_HANDLE);
  return buffer;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int, char**) {
  // argv holds the arguments in the 8-bit code page, where a Chinese file
  // name turns into question marks; the UTF-16 command line keeps them.
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(windows::Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

// A file or a pipe gets the bytes as they are (WriteFile, no text mode), so
// the component file reaches standard output unchanged.
std::ostream& ConsoleOut() {
  static std::ostream stream(&OutBuffer());
  return stream;
}

bool StandardErrorIsTerminal() {
  const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         ::GetFileType(handle) == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode);
}

void ShowStartupFailure(const std::string& message) {
  const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
    ::MessageBoxW(nullptr, windows::WideFromUtf8(message).c_str(), L"Brenmoor", MB_ICONERROR);
    return;
  }
  ConsoleErr() << message << "\n";
}

std::string StandardOutputFailure(const std::ostream& out) {
  if (out.rdbuf() == &OutBuffer() && !OutBuffer().failure().empty()) return OutBuffer().failure();
  return "the write failed";
}

std::size_t StandardErrorColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

std::string WhyNoDisplay() { return ""; }

std::ostream& ConsoleErr() {
  static ConsoleBuffer buffer(STD_ERROR_HANDLE);
  static std::ostream stream(&buffer);
  stream.setf(std::ios::unitbuf);
  return stream;
}

}  // namespace brenmoor

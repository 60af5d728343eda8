#include "tests/system_texts.h"

#include "tests/windows/system_text.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace brenmoor::testing {

std::string Text(unsigned long error) {
  wchar_t buffer[512] = {};
  DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, 512, nullptr);
  while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r' ||
                        buffer[length - 1] == L' ' || buffer[length - 1] == L'.' ||
                        buffer[length - 1] == L'\u3002')) {
    --length;
  }
  char utf8[2048];
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), utf8,
                                         sizeof utf8, nullptr, nullptr);
  return std::string(utf8, static_cast<std::size_t>(size));
}

const SystemTexts& Texts() {
  static const SystemTexts texts{Text(ERROR_FILE_NOT_FOUND), Text(ERROR_PATH_NOT_FOUND),
                                 Text(ERROR_ACCESS_DENIED), Text(ERROR_ACCESS_DENIED)};
  return texts;
}

std::optional<std::uint64_t> BytesReadSoFar() {
  IO_COUNTERS counters{};
  if (!::GetProcessIoCounters(::GetCurrentProcess(), &counters)) return std::nullopt;
  return counters.ReadTransferCount;
}

}  // namespace brenmoor::testing

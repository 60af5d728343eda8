// Text conversions of the Windows side. Only code for Windows belongs here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/windows/wide.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace brenmoor::windows {

std::wstring WideFromUtf8(std::string_view utf8) {
  std::wstring wide;
  // Longer than an int can count never happens for names and console text;
  // such a text is cut rather than overflowing the length.
  const int size = static_cast<int>(std::min<std::size_t>(utf8.size(), INT_MAX / 2));
  if (size == 0) return wide;
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  wide.resize(static_cast<std::size_t>(length));
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
  std::string utf8;
  const int size = static_cast<int>(std::min<std::size_t>(wide.size(), INT_MAX / 4));
  if (size == 0) return utf8;
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(length));
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::string SystemErrorText(unsigned long error) {
  wchar_t* buffer = nullptr;
  // Language 0: the thread's, then the user's language, as other Windows
  // programs report the same failure.
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length > 0 && buffer != nullptr) text.assign(buffer, length);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n' ||
                           text.back() == L'.' || text.back() == L'\u3002')) {
    text.pop_back();
  }
  if (text.empty()) return "System error " + std::to_string(error);
  return Utf8FromWide(text);
}

std::size_t CompleteUtf8Prefix(std::string_view utf8) {
  // Look back over at most three bytes for the lead byte of the last
  // sequence and compare its length with what has arrived.
  const std::size_t size = utf8.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(utf8[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: keep looking
    const std::size_t needed = byte >= 0xF0 && byte <= 0xF4   ? 4
                               : byte >= 0xE0 && byte <= 0xEF ? 3
                               : byte >= 0xC2 && byte <= 0xDF ? 2
                                                              : 1;
    return needed > back ? size - back : size;
  }
  return size;
}

}  // namespace brenmoor::windows

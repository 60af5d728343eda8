// The Windows side of legacy text: code page 54936 is GB18030. Only code for
// Windows belongs here.
#include "platform/text.h"

#include <windows.h>

namespace brenmoor {

std::optional<std::string> Gb18030ToUtf8(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  constexpr UINT kGb18030 = 54936;
  // Where the system lacks GB18030 (Wine 8 does), GBK: every character of
  // one or two bytes is the same in both; only the rare four-byte ones are
  // not read then.
  constexpr UINT kGbk = 936;
  const UINT code_page = ::IsValidCodePage(kGb18030) ? kGb18030 : kGbk;
  const int size = static_cast<int>(bytes.size());
  const int wide_length =
      ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (wide_length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                        wide_length);
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace brenmoor

#pragma once
// UTF-8 <-> UTF-16 for the Windows side of the platform layer, and the
// system's own text for an error code. Only code for Windows belongs here.

#include <string>
#include <string_view>

namespace brenmoor::windows {

// UTF-16 from UTF-8 and back; bytes that are not UTF-8 become U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// FormatMessageW's text for a system error code, in the user's language, as
// a message quotes it: trailing blanks, line breaks and full stops (also the
// ideographic one, U+3002) removed. Example: 5 -> "Access is denied".
std::string SystemErrorText(unsigned long error);

// How many leading bytes of utf8 form whole UTF-8 sequences: the rest (at
// most 3 bytes) is the start of a character whose other bytes are still to
// come. Bytes that can never become a character count as whole, so nothing
// is held back forever.
// Example: CompleteUtf8Prefix("a\xE9\xA1") == 1 (the first two bytes of 项).
std::size_t CompleteUtf8Prefix(std::string_view utf8);

}  // namespace brenmoor::windows

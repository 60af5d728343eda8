// The Windows side of the regional settings. Only code for Windows belongs here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/locale.h"

#include <windows.h>

namespace brenmoor {

char RegionalDecimalSeparator() {
  // The user's own choice in the regional settings, which may differ from
  // what their language would give (a German engineer who set '.').
  wchar_t separator[8] = {};
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  // length counts the terminating zero. Only a single ASCII character can
  // stand in a table of bytes.
  if (length == 2 && separator[0] > L' ' && separator[0] < 0x7F) {
    return static_cast<char>(separator[0]);
  }
  return '.';
}

}  // namespace brenmoor

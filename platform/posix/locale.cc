// The POSIX side of the regional settings.
#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>

namespace brenmoor {

char RegionalDecimalSeparator() {
  // A locale object of its own, so the process locale (which the window
  // toolkit may have set) stays as it is.
  const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (numeric == static_cast<locale_t>(0)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
  const char separator =
      (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') ? radix[0] : '.';
  freelocale(numeric);
  return separator;
}

}  // namespace brenmoor

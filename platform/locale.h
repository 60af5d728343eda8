#pragma once

namespace brenmoor {

// The decimal separator of the user's regional settings ('.' or ','), read
// without changing the process's own locale; '.' when the setting is not a
// single byte. On Linux from LC_NUMERIC of the environment, on Windows from
// the user's regional settings.
char RegionalDecimalSeparator();

}  // namespace brenmoor

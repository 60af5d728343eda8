#pragma once

#include <string>

namespace brenmoor::testing {

// FormatMessageW's text for a Windows error code in the language of the
// machine the tests run on, trimmed as file error messages show it. Written
// apart from the program's own conversion so that a fault there shows.
std::string Text(unsigned long error);

}  // namespace brenmoor::testing

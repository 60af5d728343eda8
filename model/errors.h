#pragma once

#include <stdexcept>
#include <string>

namespace brenmoor {

// Every failure the engineer can cause or meet (a bad table, a full disk, a
// section that cannot be computed) is thrown as an Error whose what() is the
// exact text the window's error report and the command line show.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace brenmoor

#pragma once

#include <string>

namespace brenmoor::testing {

// The table the examples ship (examples/sample.csv): 7 sections, KZ1 to
// KZ7, no warnings. Every test that needs a real table reads this one.
inline const std::string kSampleTable = std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample.csv";

}  // namespace brenmoor::testing

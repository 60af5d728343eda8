#pragma once

#include <cstdint>
#include <optional>

namespace brenmoor::testing {

// The bytes this process has read so far from files, pipes and devices, as
// the system counts them; nothing where it does not count them. Asked
// before and after a call, it tells how much the call read, however fast
// the machine is.
std::optional<std::uint64_t> BytesReadSoFar();

}  // namespace brenmoor::testing

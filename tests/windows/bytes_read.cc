#define WIN32_LEAN_AND_MEAN
#include "tests/bytes_read.h"

#include <windows.h>

namespace brenmoor::testing {

std::optional<std::uint64_t> BytesReadSoFar() {
  IO_COUNTERS counters{};
  if (!::GetProcessIoCounters(::GetCurrentProcess(), &counters)) return std::nullopt;
  return counters.ReadTransferCount;
}

}  // namespace brenmoor::testing

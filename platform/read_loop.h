#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/files.h"

namespace brenmoor {

// The loop both sides of the file layer read a whole file with. read(buffer,
// size) reads at most size bytes into buffer and returns how many (0 at the
// end) or a negative number on a failure, whose cause the caller keeps.
// expected is the file's size when known (0 otherwise): the buffer is one
// byte larger, so the end is seen without growing it; a pipe or a growing
// file grows it by halves. Reading stops early where limits say (after the
// first zero byte, which is kept, or at limits.most bytes), so that an
// endless input cannot exhaust the memory. Returns false when a read failed.
template <class Read>
bool ReadToEnd(std::size_t expected, const ReadLimits& limits, std::string& bytes, Read read) {
  constexpr std::size_t kMinimumChunk = 64 * 1024;
  bytes.resize(std::min(expected, limits.most) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(used + std::max(used / 2, kMinimumChunk));
    const auto got = read(bytes.data() + used, bytes.size() - used);
    if (got < 0) return false;
    if (got == 0) break;
    const std::size_t from = used;
    used += static_cast<std::size_t>(got);
    if (limits.stop_at_zero) {
      if (const void* zero = std::memchr(bytes.data() + from, '\0', used - from)) {
        used = static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()) + 1;
        break;
      }
    }
    if (used >= limits.most) {
      used = limits.most;
      break;
    }
  }
  bytes.resize(used);
  return true;
}

}  // namespace brenmoor

#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace brenmoor {

// The loop both sides of the file layer read a whole file with. read(buffer,
// size) reads at most size bytes into buffer and returns how many (0 at the
// end) or a negative number on a failure, whose cause the caller keeps.
// expected is the file's size when known (0 otherwise): the buffer is one
// byte larger, so the end is seen without growing it; a pipe or a growing
// file grows it by halves. Returns false when a read failed.
template <class Read>
bool ReadToEnd(std::size_t expected, std::string& bytes, Read read) {
  constexpr std::size_t kMinimumChunk = 64 * 1024;
  bytes.resize(expected + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(used + std::max(used / 2, kMinimumChunk));
    const auto got = read(bytes.data() + used, bytes.size() - used);
    if (got < 0) return false;
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return true;
}

}  // namespace brenmoor

#include "model/errors.h"

namespace brenmoor {

std::string ShortenedForMessage(std::string_view text) {
  constexpr std::size_t kLongest = 80;
  constexpr std::size_t kKept = 60;
  if (text.size() <= kLongest) return std::string(text);
  // Cut before a whole character: half of one is not text at all.
  std::size_t kept = kKept;
  while (kept > 0 && (static_cast<unsigned char>(text[kept]) & 0xC0) == 0x80) --kept;
  std::string shortened(text.substr(0, kept));
  shortened += "...";
  return shortened;
}

}  // namespace brenmoor

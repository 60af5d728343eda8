#include "model/errors.h"

namespace brenmoor {

std::string ShortenedForMessage(std::string_view text) {
  constexpr std::size_t kLongest = 80;
  constexpr std::size_t kKept = 60;
  if (text.size() <= kLongest) return std::string(text);
  std::string shortened(text.substr(0, kKept));
  shortened += "...";
  return shortened;
}

}  // namespace brenmoor

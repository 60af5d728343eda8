#include "model/errors.h"

#include <cstring>
#include <filesystem>

namespace brenmoor {

std::string SystemReason(int errno_value) {
  std::string reason = std::strerror(errno_value);
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '\n' ||
                             reason.back() == '\r' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

std::string FileErrorMessage(std::string_view what, const std::string& path, int errno_value) {
  std::error_code ignored;
  std::filesystem::path full = std::filesystem::absolute(path, ignored);
  if (full.empty()) full = path;
  std::string message(what);
  message += " file \"";
  message += full.lexically_normal().string();
  message += "\". ";
  message += SystemReason(errno_value);
  return message;
}

std::string ShortenedForMessage(std::string_view text) {
  constexpr std::size_t kLongest = 80;
  constexpr std::size_t kKept = 60;
  if (text.size() <= kLongest) return std::string(text);
  std::string shortened(text.substr(0, kKept));
  shortened += "...";
  return shortened;
}

}  // namespace brenmoor

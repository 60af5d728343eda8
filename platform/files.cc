#include "platform/files.h"

#include <charconv>
#include <cstring>

namespace brenmoor {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path FullPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error || full.empty() ? path : full.lexically_normal();
}

std::string FileErrorMessage(std::string_view what, const std::filesystem::path& path,
                             std::string_view reason) {
  std::string message(what);
  message += " file \"";
  message += PathToUtf8(FullPath(path));
  message += "\". ";
  message += reason;
  return message;
}

bool IsReplacingFileTemporary(std::string_view name, std::string_view target_name,
                              std::int64_t& process_id) {
  // "." target_name "." <digits> "." <digits> ".tmp"
  if (name.size() < target_name.size() + 9 || name[0] != '.' ||
      name.substr(1, target_name.size()) != target_name || !name.ends_with(".tmp")) {
    return false;
  }
  std::string_view rest = name.substr(1 + target_name.size());
  rest.remove_suffix(4);
  if (rest.empty() || rest[0] != '.') return false;
  rest.remove_prefix(1);
  const auto dot = rest.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == rest.size()) return false;
  const std::string_view pid = rest.substr(0, dot);
  const std::string_view attempt = rest.substr(dot + 1);
  for (std::string_view digits : {pid, attempt}) {
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
    }
  }
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), process_id);
  return ec == std::errc() && end == pid.data() + pid.size();
}

std::size_t LimitedEnd(const std::string& bytes, std::size_t new_from, std::size_t used,
                       const ReadLimits& limits, bool& stop) {
  stop = false;
  if (limits.stop_at_zero) {
    if (const void* zero = std::memchr(bytes.data() + new_from, '\0', used - new_from)) {
      stop = true;
      used = static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()) + 1;
    }
  }
  if (used >= limits.most) {
    stop = true;
    used = limits.most;
  }
  return used;
}

}  // namespace brenmoor

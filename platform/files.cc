#include "platform/files.h"

#include <charconv>

#include "model/errors.h"

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

namespace {

// Everything of a temporary file's name before the process id: "." and the
// target's name (cut and hashed when long) and ".".
std::string TemporaryStem(std::string_view target_name) {
  // The longest name a folder takes (255 bytes on POSIX systems, 255 UTF-16
  // units on Windows, never more than the UTF-8 bytes), less the longest
  // tail: "." 20 digits of process id "." 3 digits of attempt ".tmp".
  constexpr std::size_t kLongestName = 255;
  constexpr std::size_t kLongestTail = 1 + 20 + 1 + 3 + 4;
  constexpr std::size_t kHashText = 1 + 16;  // "~" and 16 hex digits
  std::string stem(1, '.');
  if (1 + target_name.size() + 1 + kLongestTail <= kLongestName) {
    stem += target_name;
  } else {
    // FNV-1a of the whole name: two long names that share their start still
    // get different temporary names.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : target_name) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    std::size_t kept = kLongestName - kLongestTail - kHashText - 2;
    // Never half a UTF-8 character: back off over continuation bytes.
    while (kept > 0 && (static_cast<unsigned char>(target_name[kept]) & 0xC0) == 0x80) --kept;
    stem += target_name.substr(0, kept);
    stem += '~';
    constexpr char kHex[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4) stem += kHex[(hash >> shift) & 0xF];
  }
  stem += '.';
  return stem;
}

}  // namespace

std::string ReplacingFileTemporaryName(std::string_view target_name, std::int64_t process_id,
                                       int attempt) {
  std::string name = TemporaryStem(target_name);
  name += std::to_string(process_id);
  name += '.';
  name += std::to_string(attempt);
  name += ".tmp";
  return name;
}

bool IsReplacingFileTemporary(std::string_view name, std::string_view target_name,
                              std::int64_t& process_id) {
  // TemporaryStem "<digits>.<digits>.tmp"
  const std::string stem = TemporaryStem(target_name);
  if (!name.starts_with(stem) || !name.ends_with(".tmp")) return false;
  std::string_view rest = name.substr(stem.size());
  if (rest.size() < 4) return false;
  rest.remove_suffix(4);
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

void RefuseOutputOverInput(const std::filesystem::path& output,
                           const std::filesystem::path& input) {
  if (IsSameFile(output, input)) {
    throw Error(FileErrorMessage("Cannot create", output, "It is the section table itself"));
  }
}

void WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
  ReplacingFile file(target);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}

}  // namespace brenmoor

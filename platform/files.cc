#include "platform/files.h"

#include <charconv>
#include <cstdlib>
#include <utility>

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
  // tail: "." 20 digits of process id "." 20 digits of the unique part ".tmp".
  constexpr std::size_t kLongestName = 255;
  constexpr std::size_t kLongestTail = 1 + 20 + 1 + 20 + 4;
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
                                       std::uint64_t unique) {
  std::string name = TemporaryStem(target_name);
  name += std::to_string(process_id);
  name += '.';
  name += std::to_string(unique);
  name += ".tmp";
  return name;
}

namespace {

// Whether tail is "<digits>.<digits>.tmp" (a process id and a unique part),
// and the process id in it.
bool IsTemporaryTail(std::string_view tail, std::int64_t& process_id) {
  if (!tail.ends_with(".tmp")) return false;
  tail.remove_suffix(4);
  const auto dot = tail.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == tail.size()) return false;
  const std::string_view pid = tail.substr(0, dot);
  const std::string_view attempt = tail.substr(dot + 1);
  for (std::string_view digits : {pid, attempt}) {
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
    }
  }
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), process_id);
  return ec == std::errc() && end == pid.data() + pid.size();
}

}  // namespace

bool IsReplacingFileTemporary(std::string_view name, std::string_view target_name,
                              std::int64_t& process_id) {
  // TemporaryStem "<digits>.<digits>.tmp"
  const std::string stem = TemporaryStem(target_name);
  return name.starts_with(stem) && IsTemporaryTail(name.substr(stem.size()), process_id);
}

bool IsReplacingFileTemporary(std::string_view name, std::int64_t& process_id) {
  // "." <target name> "." <digits> "." <digits> ".tmp": the process id is the
  // second number from the end, since a target's name may hold dots and
  // digits of its own.
  if (!name.starts_with('.') || !name.ends_with(".tmp")) return false;
  const std::string_view before_tmp = name.substr(0, name.size() - 4);
  const auto attempt_dot = before_tmp.rfind('.');
  if (attempt_dot == std::string_view::npos || attempt_dot == 0) return false;
  const auto pid_dot = before_tmp.rfind('.', attempt_dot - 1);
  // At least one byte of target name between the leading dot and pid_dot.
  if (pid_dot == std::string_view::npos || pid_dot < 2) return false;
  return IsTemporaryTail(name.substr(pid_dot + 1), process_id);
}

void ReplacingFile::ReadTestHook() {
  static constexpr std::pair<std::string_view, Moment> kMoments[] = {
      {"before-first-write", Moment::kBeforeFirstWrite},
      {"mid-write", Moment::kMidWrite},
      {"after-sync", Moment::kAfterSync},
      {"before-rename", Moment::kBeforeRename},
      {"after-rename", Moment::kAfterRename},
  };
  const auto moment_named_by = [](const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr) return Moment::kNone;
    for (const auto& [name, moment] : kMoments) {
      if (name == value) return moment;
    }
    return Moment::kNone;
  };
  crash_at_ = moment_named_by("BRENMOOR_CRASH_AT");
  stop_at_ = moment_named_by("BRENMOOR_STOP_AT");
  // Without the hook, the writes side by side need not wait for each other.
  moments_passed_ = crash_at_ == Moment::kNone && stop_at_ == Moment::kNone;
}

void ReplacingFile::CountWriteAt() {
  if (moments_passed_.load(std::memory_order_acquire)) return;
  const std::lock_guard<std::mutex> lock(writing_);
  // Again: another write may have reached the last moment while this one waited.
  if (moments_passed_.load(std::memory_order_relaxed)) return;
  if (writes_ == 0) {
    Reached(Moment::kBeforeFirstWrite);
  } else if (finished_writes_.load(std::memory_order_acquire) > 0) {
    Reached(Moment::kMidWrite);
    moments_passed_.store(true, std::memory_order_release);
  }
  ++writes_;
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

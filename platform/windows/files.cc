// The Windows side of the file layer. Only code for Windows belongs here; the
// POSIX side is posix/files.cc. Every name reaches the system as UTF-16
// (std::filesystem::path holds it so on Windows), never through the 8-bit
// code page.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/files.h"

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <bcrypt.h>

#include <algorithm>
#include <string>
#include <thread>

#include "model/errors.h"
#include "platform/read_loop.h"
#include "platform/windows/wide.h"

namespace brenmoor {
namespace {

// The name as the system's wide-character calls take it. A full path longer
// than MAX_PATH (260) reaches them only in the "\\?\" form, which takes a
// full, tidied path as it is; deep project folders with long Chinese names
// get there.
std::wstring SystemName(const std::filesystem::path& path) {
  constexpr std::size_t kShortEnough = MAX_PATH - 12;  // what CreateDirectoryW allows
  if (path.native().size() < kShortEnough && path.is_absolute()) return path.native();
  std::wstring name = FullPath(path).native();
  if (name.size() < kShortEnough || name.starts_with(LR"(\\?\)")) return name;
  if (name.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + name.substr(2);  // \\server\share
  return LR"(\\?\)" + name;
}

[[noreturn]] void Throw(std::string_view what, const std::filesystem::path& path, DWORD error) {
  throw Error(FileErrorMessage(what, path, windows::SystemErrorText(error)));
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// 0, or the system error of the failure.
DWORD ReadAll(const std::filesystem::path& path, std::string& bytes, const ReadLimits& limits) {
  // Others may go on reading the table meanwhile, but not change it under us.
  const Handle file(::CreateFileW(SystemName(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return ::GetLastError();
  LARGE_INTEGER size{};
  const bool regular = ::GetFileType(file.get()) == FILE_TYPE_DISK;
  if (regular && !::GetFileSizeEx(file.get(), &size)) return ::GetLastError();
  const bool read = ReadToEnd(static_cast<std::size_t>(regular ? size.QuadPart : 0), limits, bytes,
                              [&](char* buffer, std::size_t want) -> long long {
                                DWORD got = 0;
                                const DWORD most =
                                    static_cast<DWORD>(std::min<std::size_t>(want, 1u << 30));
                                if (::ReadFile(file.get(), buffer, most, &got, nullptr)) return got;
                                // The writing end of a pipe closed: its end.
                                if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
                                return -1;
                              });
  return read ? 0 : ::GetLastError();
}

bool ProcessIsRunning(std::int64_t process_id) {
  if (process_id <= 0 || process_id > 0xFFFFFFFFll) return false;
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process_id));
  if (process == nullptr) {
    // A process of another user that we may not look at is still running.
    return ::GetLastError() == ERROR_ACCESS_DENIED;
  }
  DWORD exit_code = 0;
  const bool running = !::GetExitCodeProcess(process, &exit_code) || exit_code == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

// Whether the file at name belongs to the user running this program; false
// when either cannot be told.
bool OwnedByThisUser(const std::wstring& name) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool same = false;
  HANDLE token = nullptr;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
      const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
      same = owner != nullptr && ::EqualSid(owner, user->User.Sid) != 0;
    }
    ::CloseHandle(token);
  }
  ::LocalFree(descriptor);
  return same;
}

// Random bits for a temporary file's name, so that nobody can create that
// name before us; 0 only if the system's generator fails.
std::uint64_t RandomNumber() {
  std::uint64_t number = 0;
  ::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&number), sizeof number,
                    BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  return number;
}

// A run cut off by the power, or killed in the instant between closing its
// temporary file and renaming it, leaves the file behind, whatever file it
// was writing (a run that ends any other way takes its file with it: see
// MarkForDeletion). It is removed only when its process is gone; a run
// still writing holds its file open without sharing it for deletion, so even
// a reused process id cannot make us delete a file in use. Only this user's
// files go, never a link: a shared folder may hold others' under such names.
void RemoveStaleTemporaries(const std::filesystem::path& target_folder) {
  std::error_code error;
  const std::filesystem::path folder(SystemName(target_folder));
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = PathToUtf8(it->path().filename());
    std::int64_t process_id = 0;
    if (!IsReplacingFileTemporary(name, process_id)) continue;
    if (process_id == ::GetCurrentProcessId() || ProcessIsRunning(process_id)) continue;
    const DWORD attributes = ::GetFileAttributesW(it->path().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !OwnedByThisUser(it->path().native())) {
      continue;
    }
    ::DeleteFileW(it->path().c_str());
  }
}

// Whether the system is to delete file when its last handle closes: from
// the moment it is made until it is committed, so that a program ended by
// Ctrl-C, by closing its console, by Task Manager or by a crash leaves no
// temporary file behind. False when the system refuses.
bool MarkForDeletion(HANDLE file, bool deleted) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleted ? TRUE : FALSE;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

// Hands what was written so far to the disk while the rest is still being
// made, as Linux's sync_file_range does, so that Commit's flush waits only
// for the last few MB. Windows has no call that only starts writing out, so
// FlushFileBuffers runs on a thread of its own, through a second handle of
// the same file. Only a start: a failure here changes nothing, durability
// is Commit's flush alone.
class Writeback {
 public:
  explicit Writeback(HANDLE file) {
    HANDLE second = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), file, ::GetCurrentProcess(), &second, 0, FALSE,
                          DUPLICATE_SAME_ACCESS)) {
      thread_ = std::jthread([second] {
        ::FlushFileBuffers(second);
        ::CloseHandle(second);
      });
    }
  }
  // Waits for the flush: the file is closed, replaced or removed only after.
  ~Writeback() = default;

 private:
  std::jthread thread_;
};

}  // namespace

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  // The volume and the file's index on it: what tells one file from another
  // however it is named.
  const auto identity = [](const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& info) {
    const Handle file(::CreateFileW(SystemName(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.get() != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(file.get(), &info);
  };
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return identity(a, first) && identity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool NamesStandardOutput(const std::filesystem::path&) { return false; }

bool NamesOpenDescriptor(const std::filesystem::path&) { return false; }

std::string ReadWholeFile(const std::filesystem::path& path, ReadLimits limits) {
  std::string bytes;
  if (const DWORD error = ReadAll(path, bytes, limits); error != 0)
    Throw("Cannot open", path, error);
  return bytes;
}

std::string ReadStandardInput(ReadLimits limits) {
  std::string bytes;
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  const bool read = input != nullptr && input != INVALID_HANDLE_VALUE &&
                    ReadToEnd(0, limits, bytes, [&](char* buffer, std::size_t want) -> long long {
                      DWORD got = 0;
                      const DWORD most = static_cast<DWORD>(std::min<std::size_t>(want, 1u << 30));
                      if (::ReadFile(input, buffer, most, &got, nullptr)) return got;
                      // The writing end of a pipe closed: its end.
                      if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
                      return -1;
                    });
  if (!read) Throw("Cannot open", "-", ::GetLastError());
  return bytes;
}

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : target_(FullPath(target)) {
  ReadTestHook();
  // A file the engineer made read-only is not replaced behind their back.
  const DWORD attributes = ::GetFileAttributesW(SystemName(target_).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    Throw("Cannot create", target_, ERROR_ACCESS_DENIED);
  }
  if (target_.filename().empty() ||
      (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
    // In the system's words, as replacing it would fail.
    Throw("Cannot create", target_, ERROR_ACCESS_DENIED);
  }
  RemoveStaleTemporaries(target_.parent_path());
  const std::string target_name = PathToUtf8(target_.filename());
  for (int attempt = 0;; ++attempt) {
    temporary_ = target_.parent_path() / PathFromUtf8(ReplacingFileTemporaryName(
                                             target_name, ::GetCurrentProcessId(), RandomNumber()));
    // A new file nobody else may write or delete while it is ours; DELETE
    // so that it can be marked for deletion.
    const HANDLE file = ::CreateFileW(SystemName(temporary_).c_str(), GENERIC_WRITE | DELETE, 0,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(file);
      // Where the system refuses, a later run's sweep removes what is left.
      marked_for_deletion_ = MarkForDeletion(file, true);
      break;
    }
    const DWORD error = ::GetLastError();
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 100) {
      temporary_.clear();
      Throw("Cannot create", target_, error);
    }
  }
}

ReplacingFile::~ReplacingFile() {
  // The second handle would keep the temporary file from being removed.
  writeback_.reset();
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  if (!committed_ && !temporary_.empty()) ::DeleteFileW(SystemName(temporary_).c_str());
}

void ReplacingFile::Reached(Moment moment) const {
  if (moment == Moment::kNone) return;
  // As SIGKILL does elsewhere: no clean-up of any kind. Windows has no way
  // to stop a program from within for another to signal it, so
  // BRENMOOR_STOP_AT does nothing here.
  if (moment == crash_at_) ::TerminateProcess(::GetCurrentProcess(), 137);
}

void ReplacingFile::Write(const char* data, std::size_t size) {
  CountWrite();
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  while (size > 0) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, data, want, &written, nullptr)) {
      Throw("Cannot write", target_, ::GetLastError());
    }
    data += written;
    size -= written;
    written_ += written;
  }
  // One flush at a time, each once another 8 MB are written.
  constexpr std::uint64_t kWritebackStep = 8 << 20;
  if (written_ - sent_to_disk_ >= kWritebackStep) {
    writeback_.reset();
    writeback_ = std::make_shared<Writeback>(file);
    sent_to_disk_ = written_;
  }
}

void ReplacingFile::Reserve(std::uint64_t size) {
  if (size == 0) return;
  // The allocation only: the end of the file moves with the writes, since
  // moving it first would have the system fill the gap before a write far
  // out with zeros of its own.
  FILE_ALLOCATION_INFO allocation{};
  allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
  if (::SetFileInformationByHandle(reinterpret_cast<HANDLE>(handle_), FileAllocationInfo,
                                   &allocation, sizeof allocation)) {
    return;
  }
  const DWORD error = ::GetLastError();
  // A file system that cannot reserve space takes the writes as they come.
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ||
      error == ERROR_FILE_TOO_LARGE) {
    Throw("Cannot write", target_, error);
  }
}

void ReplacingFile::WriteAt(const char* data, std::size_t size, std::uint64_t offset) {
  CountWriteAt();
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  const std::uint64_t total = size;
  while (size > 0) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    // On a handle opened for plain (not overlapped) writing, the offset
    // places the write and the call returns once it is done; the system
    // takes one such call at a time on the handle.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    if (!::WriteFile(file, data, want, &written, &at)) {
      Throw("Cannot write", target_, ::GetLastError());
    }
    if (written == 0) Throw("Cannot write", target_, ERROR_DISK_FULL);
    data += written;
    size -= written;
    offset += written;
  }
  const std::uint64_t now = written_ += total;
  finished_writes_.fetch_add(1, std::memory_order_release);
  // As Write does: one flush at a time, each once another 8 MB are in.
  constexpr std::uint64_t kWritebackStep = 8 << 20;
  const std::lock_guard<std::mutex> lock(writing_);
  if (now > sent_to_disk_ && now - sent_to_disk_ >= kWritebackStep) {
    writeback_.reset();
    writeback_ = std::make_shared<Writeback>(file);
    sent_to_disk_ = now;
  }
}

void ReplacingFile::Commit() {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  writeback_.reset();
  if (!::FlushFileBuffers(file)) Throw("Cannot write", target_, ::GetLastError());
  Reached(Moment::kAfterSync);
  if (marked_for_deletion_ && !MarkForDeletion(file, false)) {
    Throw("Cannot write", target_, ::GetLastError());
  }
  handle_ = -1;
  if (!::CloseHandle(file)) Throw("Cannot write", target_, ::GetLastError());
  Reached(Moment::kBeforeRename);
  // Write-through: the call returns once the new name is on the disk. It
  // fails while another program holds the old file open without sharing it
  // for deletion (as the analysis program does); the destructor then removes
  // the temporary file and the old file stays as it was.
  if (!::MoveFileExW(SystemName(temporary_).c_str(), SystemName(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Throw("Cannot create", target_, ::GetLastError());
  }
  committed_ = true;
  Reached(Moment::kAfterRename);
}

}  // namespace brenmoor

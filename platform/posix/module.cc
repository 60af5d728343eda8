// The POSIX side of loading a library on demand: dlopen. Only code for POSIX
// systems belongs here.
#include "platform/module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "model/errors.h"
#include "platform/files.h"

namespace brenmoor {
namespace {

std::string Quoted(const std::filesystem::path& path) { return '"' + PathToUtf8(path) + '"'; }

// The system's buffer size for the user and group database calls.
std::vector<char> DatabaseBuffer() {
  const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  return std::vector<char>(size > 0 ? static_cast<std::size_t>(size) * 4 : 65536);
}

std::string UserName(uid_t uid) {
  std::vector<char> buffer = DatabaseBuffer();
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
    return found->pw_name;
  }
  return "user " + std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  std::vector<char> buffer = DatabaseBuffer();
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
    return found->gr_name;
  }
  return "group " + std::to_string(gid);
}

// Whether the group gid has one member, the user owner: a private group of
// the kind systems give each user, whose umask 002 leaves folders
// group-writable. No member at all is not enough: such groups serve
// programs, whose files others may then write.
bool IsOwnersOwnGroup(gid_t gid, uid_t owner) {
  std::vector<char> buffer = DatabaseBuffer();
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
    return false;
  }
  const std::string owner_name = UserName(owner);
  int members = 0;
  for (char** member = found->gr_mem; *member != nullptr; ++member) {
    if (owner_name != *member) return false;
    ++members;
  }
  // Users whose own group it is.
  std::vector<char> user_buffer = DatabaseBuffer();
  passwd user{};
  passwd* next = nullptr;
  ::setpwent();
  while (::getpwent_r(&user, user_buffer.data(), user_buffer.size(), &next) == 0 &&
         next != nullptr) {
    if (next->pw_gid != gid) continue;
    if (next->pw_uid != owner) {
      members = -1;
      break;
    }
    ++members;
  }
  ::endpwent();
  return members > 0;
}

}  // namespace

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

std::string WhyNotTrusted(const std::filesystem::path& path) {
  std::error_code error;
  // The folders the file really lies in: a link on the way may lead anywhere.
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  if (error) return Quoted(path) + " cannot be examined: " + error.message();
  const uid_t me = ::geteuid();
  bool folder = false;
  for (std::filesystem::path step = real;; step = step.parent_path()) {
    struct stat info;
    if (::lstat(step.c_str(), &info) != 0) {
      return Quoted(step) + " cannot be examined: " + std::strerror(errno);
    }
    if (info.st_uid != 0 && info.st_uid != me) {
      return Quoted(step) + " belongs to another user (" + UserName(info.st_uid) + ")";
    }
    // Others may add names to a sticky folder but not rename or remove
    // what belongs to someone else, such as the folder below it.
    const bool sticky = folder && (info.st_mode & S_ISVTX) != 0;
    if ((info.st_mode & S_IWOTH) != 0 && !sticky) {
      return Quoted(step) + " is writable by every user";
    }
    if ((info.st_mode & S_IWGRP) != 0 && !sticky && !IsOwnersOwnGroup(info.st_gid, info.st_uid)) {
      return Quoted(step) + " is writable by the group " + GroupName(info.st_gid);
    }
    if (step == step.parent_path()) return "";
    folder = true;
  }
}

LibraryFile::LibraryFile(const std::filesystem::path& path) : path_(path) {
  handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle_ < 0) throw Error(FileErrorMessage("Cannot open", path, std::strerror(errno)));
}

LibraryFile::~LibraryFile() { ::close(static_cast<int>(handle_)); }

std::string LibraryFile::Read(std::size_t most) const {
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < most) {
    const std::size_t want = std::min(sizeof buffer, most - bytes.size());
    const ssize_t got =
        ::pread(static_cast<int>(handle_), buffer, want, static_cast<off_t>(bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw Error(FileErrorMessage("Cannot open", path_, std::strerror(errno)));
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

void* LibraryFile::LoadFunction(const char* symbol) const {
  const int fd = static_cast<int>(handle_);
  struct stat opened, named;
  if (::fstat(fd, &opened) != 0) {
    throw Error("Cannot load \"" + PathToUtf8(path_) + "\". " + std::strerror(errno));
  }
  // The open file by its descriptor's name, whatever path names by now.
  // Without /proc the file is loaded by its path, and only while that still
  // leads to the file checked: the folders it lies in are writable only by
  // this user and the administrator (see WhyNotTrusted).
  std::string name = "/proc/self/fd/" + std::to_string(fd);
  if (::stat(name.c_str(), &named) != 0 || named.st_dev != opened.st_dev ||
      named.st_ino != opened.st_ino) {
    name = path_.native();
    if (::stat(name.c_str(), &named) != 0 || named.st_dev != opened.st_dev ||
        named.st_ino != opened.st_ino) {
      throw Error("Cannot load \"" + PathToUtf8(path_) +
                  "\". The file was replaced while it was being checked");
    }
  }
  // Never closed: Qt keeps threads and handlers that must outlive main.
  // RTLD_LOCAL keeps its copy of the core from standing in for the program's.
  void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* reason = nullptr;
  void* function = nullptr;
  if (library == nullptr) {
    reason = ::dlerror();
  } else if ((function = ::dlsym(library, symbol)) == nullptr) {
    reason = ::dlerror();
  }
  if (function == nullptr) {
    std::string why = reason != nullptr ? reason : "Unknown error";
    // dlerror names the file first; the message names it already.
    if (why.starts_with(name + ": ")) why.erase(0, name.size() + 2);
    throw Error("Cannot load \"" + PathToUtf8(path_) + "\". " + why);
  }
  return function;
}

}  // namespace brenmoor

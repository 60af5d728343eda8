#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace brenmoor {

// The folder of the running program (the real file, links followed), where
// the libraries it loads on demand are looked for.
// Example: "/usr/bin" for /usr/bin/brenmoor.
std::filesystem::path ExecutableFolder();

// Why a library at path may have been put there or changed by another user,
// or "" when only the running user and the system's administrator could
// have: the file and every folder above it must belong to one of them and
// be writable by nobody else (a group is harmless when its only member is
// the owner). A folder that others may write to is still safe when its
// sticky bit keeps them from renaming what they do not own (such as /tmp),
// since the folder below it belongs to the user or the administrator.
// Always "" on Windows, whose folders carry their own access lists.
// Example: "\"/tmp/lib\" belongs to another user (nobody)".
std::string WhyNotTrusted(const std::filesystem::path& path);

// A library file held open from its check to its loading, so that the bytes
// checked are the bytes that run: a file renamed over path meanwhile (another
// user's, or an upgrade landing mid-run) is not the one loaded. On Windows
// the file is opened without sharing it for writing or deleting; on Linux it
// is loaded through the open descriptor.
class LibraryFile {
 public:
  // Throws "Cannot open file \"<path>\". <reason>".
  explicit LibraryFile(const std::filesystem::path& path);
  ~LibraryFile();
  LibraryFile(const LibraryFile&) = delete;
  LibraryFile& operator=(const LibraryFile&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // The file's first bytes, at most most of them, read from the open file.
  // Throws "Cannot open file ...".
  std::string Read(std::size_t most) const;

  // Loads the open file, once for the life of the process, and returns the
  // address of its function named symbol. The libraries it needs are looked
  // for beside it first (on Windows; on Linux where its run path says).
  // Throws Error("Cannot load \"<path>\". <reason>") when the library cannot
  // be loaded or has no such function.
  void* LoadFunction(const char* symbol) const;

 private:
  std::filesystem::path path_;
  std::intptr_t handle_ = -1;  // the system's handle of the open file
};

}  // namespace brenmoor

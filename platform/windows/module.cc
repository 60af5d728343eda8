// The Windows side of loading a library on demand. Only code for Windows
// belongs here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/module.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "model/errors.h"
#include "platform/files.h"
#include "platform/windows/wide.h"

namespace brenmoor {

std::filesystem::path ExecutableFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

std::string WhyNotTrusted(const std::filesystem::path&) {
  // What may write a folder is its access list's to say; a program copied
  // alone is not looked for in folders above it.
  return {};
}

LibraryFile::LibraryFile(const std::filesystem::path& path) : path_(path) {
  // Others may read it, as the loader does, but nobody may write, rename or
  // delete it while the handle is held: what is checked is what loads.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw Error(FileErrorMessage("Cannot open", path, windows::SystemErrorText(::GetLastError())));
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

LibraryFile::~LibraryFile() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::string LibraryFile::Read(std::size_t most) const {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < most) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(bytes.size() & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(bytes.size()) >> 32);
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, most - bytes.size()));
    DWORD got = 0;
    if (!::ReadFile(file, buffer, want, &got, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      throw Error(
          FileErrorMessage("Cannot open", path_, windows::SystemErrorText(::GetLastError())));
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

void* LibraryFile::LoadFunction(const char* symbol) const {
  // Loaded while this handle keeps the file as it was checked. The DLLs it
  // needs (Qt's) are looked for in its own folder first, so the ones
  // shipped beside it are taken, not others on the PATH. Never freed.
  HMODULE library = ::LoadLibraryExW(path_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  FARPROC function = library != nullptr ? ::GetProcAddress(library, symbol) : nullptr;
  if (function == nullptr) {
    throw Error("Cannot load \"" + PathToUtf8(path_) + "\". " +
                windows::SystemErrorText(::GetLastError()));
  }
  return reinterpret_cast<void*>(function);
}

}  // namespace brenmoor

// The Windows side of loading a library on demand. Only code for Windows
// belongs here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/module.h"

#include <windows.h>

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

void* LoadLibraryFunction(const std::filesystem::path& path, const char* symbol) {
  // The DLLs it needs (Qt's) are looked for in its own folder first, so the
  // ones shipped beside it are taken, not others on the PATH. Never freed.
  HMODULE library = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  FARPROC function = library != nullptr ? ::GetProcAddress(library, symbol) : nullptr;
  if (function == nullptr) {
    throw Error("Cannot load \"" + PathToUtf8(path) + "\". " +
                windows::SystemErrorText(::GetLastError()));
  }
  return reinterpret_cast<void*>(function);
}

}  // namespace brenmoor

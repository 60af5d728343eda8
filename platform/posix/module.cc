// The POSIX side of loading a library on demand: dlopen. Only code for POSIX
// systems belongs here.
#include "platform/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "model/errors.h"
#include "platform/files.h"

namespace brenmoor {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

void* LoadLibraryFunction(const std::filesystem::path& path, const char* symbol) {
  // Never closed: Qt keeps threads and handlers that must outlive main.
  // RTLD_LOCAL keeps its copy of the core from standing in for the program's.
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    if (why.starts_with(path.native() + ": ")) why.erase(0, path.native().size() + 2);
    throw Error("Cannot load \"" + PathToUtf8(path) + "\". " + why);
  }
  return function;
}

}  // namespace brenmoor

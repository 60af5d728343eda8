#pragma once

#include <filesystem>

namespace brenmoor {

// The folder of the running program (the real file, links followed), where
// the libraries it loads on demand are looked for.
// Example: "/usr/bin" for /usr/bin/brenmoor.
std::filesystem::path ExecutableFolder();

// Loads the shared library at path, once for the life of the process, and
// returns the address of its function named symbol. The libraries it needs
// are looked for beside it first (on Windows; on Linux where its run path
// says). Throws Error("Cannot load \"<path>\". <reason>") when the library
// cannot be loaded or has no such function.
void* LoadLibraryFunction(const std::filesystem::path& path, const char* symbol);

}  // namespace brenmoor

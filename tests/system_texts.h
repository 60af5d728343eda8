#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brenmoor::testing {

// The operating system's words for the failures the tests provoke, as file
// error messages quote them. POSIX and Windows name the same fault
// differently (a folder read as a file is "Is a directory" on Linux and
// "Access is denied" on Windows), and Windows says it in the user's language.
struct SystemTexts {
  std::string missing_file;         // opening a file that does not exist
  std::string missing_folder;       // creating a file in a folder that does not exist
  std::string folder_read_as_file;  // opening a folder to read it
  std::string folder_in_the_way;    // replacing a folder by a file
};

const SystemTexts& Texts();

// The bytes this process has read so far from files, pipes and devices, as
// the system counts them; nothing where it does not count them. Asked
// before and after a call, it tells how much the call read, however fast
// the machine is.
std::optional<std::uint64_t> BytesReadSoFar();

}  // namespace brenmoor::testing

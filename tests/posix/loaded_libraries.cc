#include "tests/loaded_libraries.h"

#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "tests/temp_dir.h"

namespace brenmoor::testing {

std::string QtLoadedBy(const std::vector<std::string>& args, int& status) {
  TempDir dir;
  const std::string maps = (dir / "maps").string();
  // The probe is no sanitized library's first: ASan must not mind.
  std::string command = "BRENMOOR_MAPS_FILE='" + maps +
                        "' LD_PRELOAD='" BRENMOOR_MAPS_PROBE
                        "' ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 '" BRENMOOR_PROGRAM
                        "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " >/dev/null 2>&1";
  const int result = std::system(command.c_str());
  status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  std::istringstream lines(ReadFile(maps));
  std::set<std::string> qt;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t name = line.rfind('/');
    if (name != std::string::npos && line.compare(name + 1, 6, "libQt6") == 0) {
      qt.insert(line.substr(name + 1));
    }
  }
  std::string names;
  for (const std::string& name : qt) names += name + "\n";
  // No copy at all would look like no Qt: say so instead.
  return std::filesystem::exists(maps) ? names : "(the probe wrote nothing)";
}

}  // namespace brenmoor::testing

// Preloaded into the real program by the Qt-free test: when the program
// exits, copies what it has mapped (/proc/self/maps) to the file that
// BRENMOOR_MAPS_FILE names.
#include <cstdlib>
#include <fstream>

__attribute__((destructor)) static void CopyMaps() {
  const char* copy = std::getenv("BRENMOOR_MAPS_FILE");
  if (copy == nullptr) return;
  std::ifstream maps("/proc/self/maps");
  std::ofstream(copy) << maps.rdbuf();
}

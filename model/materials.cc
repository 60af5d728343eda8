#include "model/materials.h"

#include <algorithm>

namespace brenmoor {

void BuildMaterialTable(BrenmoorState& state) {
  state.materials = {
      {"C30", 30000.0f}, {"C35", 31500.0f}, {"C40", 32500.0f}, {"C45", 32500.0f},
      {"C50", 33500.0f}, {"C55", 34500.0f}, {"C60", 35500.0f}, {"C65", 36000.0f},
      {"C70", 36500.0f}, {"C75", 37000.0f}, {"C80", 38000.0f}, {"STEEL", 206000.0f},
  };
}

std::optional<std::int32_t> FindMaterial(const BrenmoorState& state, std::string_view text) {
  std::optional<std::int32_t> found;
  for (std::size_t i = 0; i < state.materials.size(); ++i) {
    // Compared in place: names of three to five bytes, twice for each of up
    // to 32,767 lines, cost more through a library call than the compare.
    const std::string& name = state.materials[i].name;
    if (name.size() == text.size() && std::equal(name.begin(), name.end(), text.begin())) {
      found = static_cast<std::int32_t>(i);
    }
  }
  return found;
}

}  // namespace brenmoor

#include "model/materials.h"

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
    // The first, middle and last bytes tell the names apart before the
    // whole compare: it runs twice for each of up to 32,767 lines.
    const std::string& name = state.materials[i].name;
    const std::size_t n = text.size();
    if (name.size() != n) continue;
    if (n > 0 && (name[0] != text[0] || name[n / 2] != text[n / 2] || name[n - 1] != text[n - 1])) {
      continue;
    }
    if (name == text) found = static_cast<std::int32_t>(i);
  }
  return found;
}

std::string MaterialName(const BrenmoorState& state, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= state.materials.size()) return "?";
  return state.materials[static_cast<std::size_t>(index)].name;
}

SwappedMaterials MaterialsLookSwapped(const BrenmoorState& state, const TSECTION& section) {
  const std::optional<std::int32_t> steel = FindMaterial(state, "STEEL");
  return {section.concrete_material == steel, section.steel_material != steel};
}

}  // namespace brenmoor

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/state.h"

namespace brenmoor {

inline constexpr int kMaterialCount = 12;

// Replaces the material table by its twelve fixed entries, in this order:
// "C30" 30000, "C35" 31500, "C40" 32500, "C45" 32500, "C50" 33500,
// "C55" 34500, "C60" 35500, "C65" 36000, "C70" 36500, "C75" 37000,
// "C80" 38000, "STEEL" 206000 (N/mm²). Every import rebuilds it.
void BuildMaterialTable(BrenmoorState& state);

// The index of the entry whose name equals text byte for byte (same length,
// case-sensitive; nothing trimmed or folded), or nothing.
// Example: FindMaterial(state, "C35") == 1; "c35", "C35 " and "" find nothing.
std::optional<std::int32_t> FindMaterial(const BrenmoorState& state, std::string_view text);

// The name of the material at index, or "?" for an index outside the table
// (a record that no import filled).
std::string MaterialName(const BrenmoorState& state, std::int32_t index);

// What looks swapped in a section's material columns, a common slip when
// columns are reordered in a spreadsheet: the steel as its concrete, or a
// concrete grade as its bars. Either converts as it always did (a steel
// section modelled as cells may be intended); the engineer is told.
struct SwappedMaterials {
  bool steel_as_concrete = false;
  bool concrete_as_bars = false;
  bool any() const { return steel_as_concrete || concrete_as_bars; }
};
SwappedMaterials MaterialsLookSwapped(const BrenmoorState& state, const TSECTION& section);

}  // namespace brenmoor

#include "model/materials.h"

#include <gtest/gtest.h>

namespace brenmoor {
namespace {

TEST(FindMaterial, MatchesWholeNamesExactly) {
  BrenmoorState state;
  BuildMaterialTable(state);
  const struct {
    const char* text;
    std::optional<std::int32_t> expect;
  } cases[] = {
      {"C30", 0},
      {"C35", 1},
      {"C45", 3},
      {"C80", 10},
      {"STEEL", 11},
      {"c35", std::nullopt},
      {"C35 ", std::nullopt},
      {"", std::nullopt},
      {"STEE", std::nullopt},
      {"STEELS", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FindMaterial(state, c.text), c.expect);
  }
}

TEST(BuildMaterialTable, HoldsTheTwelveEntriesAndRebuildsIdentically) {
  BrenmoorState state;
  BuildMaterialTable(state);
  ASSERT_EQ(state.materials.size(), 12u);
  EXPECT_EQ(state.materials[3].modulus, state.materials[2].modulus);  // C45 as C40
  EXPECT_EQ(state.materials[11].modulus, 206000.0f);
  state.materials[0].name = "changed";
  BuildMaterialTable(state);
  EXPECT_EQ(state.materials[0].name, "C30");
  EXPECT_EQ(state.materials.size(), 12u);
}

}  // namespace
}  // namespace brenmoor

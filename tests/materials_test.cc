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

}  // namespace
}  // namespace brenmoor

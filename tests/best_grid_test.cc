#include "capacity/best_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "capacity/biaxial.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;
using testing::SectionValues;
using testing::StateWith;

// A grid's error from the figures the engineer sees: capacity's fiber errors
// about x and y and, where the section carries the axial load, the biaxial
// one, for the section laid out with the grid.
double ErrorOf(BrenmoorState state, int record, int FX, int FY, const CapacityOptions& options) {
  state.records[record].FX = FX;
  state.records[record].FY = FY;
  const CapacitySection section = MakeCapacitySection(state, record, options);
  const SectionCapacity uniaxial = ComputeSectionCapacity(section);
  const BiaxialFigures biaxial = ComputeBiaxialCapacity(section, options.axial_ratio).figures;
  return std::max({uniaxial.x.fiber_error_pct, uniaxial.y.fiber_error_pct,
                   biaxial.holds ? biaxial.fiber_error_pct : 0.0});
}

struct Exhaustive {
  int FX = 0, FY = 0;
  double error = 0;
  int finest_FX = 0, finest_FY = 0;  // the grid of the least error alone
};

// Every grid within the budget, the winner by the rules written out again:
// of the grids within 0.001 points of the least error, the one of fewest
// cells, then FX/FY nearest B/H, then the smaller FX.
Exhaustive SearchEveryGrid(const BrenmoorState& state, int record, const CapacityOptions& options) {
  const TSECTION& s = state.records[record];
  const int budget = 60 - (2 * s.NX + 2 * s.NY + 4);
  auto distance = [&](int fx, int fy) {
    return std::abs(std::log(fx * static_cast<double>(s.H) / (fy * static_cast<double>(s.B))));
  };
  std::vector<Exhaustive> all;
  Exhaustive least;
  for (int fx = 1; fx <= budget; ++fx) {
    for (int fy = 1; fx * fy <= budget; ++fy) {
      all.push_back({fx, fy, ErrorOf(state, record, fx, fy, options)});
      if (least.FX == 0 || all.back().error < least.error) least = all.back();
    }
  }
  Exhaustive best;
  for (const Exhaustive& g : all) {
    if (g.error > least.error + 0.001) continue;
    bool wins;
    if (best.FX == 0) {
      wins = true;
    } else if (g.FX * g.FY != best.FX * best.FY) {
      wins = g.FX * g.FY < best.FX * best.FY;
    } else if (std::abs(distance(g.FX, g.FY) - distance(best.FX, best.FY)) > 1e-12) {
      wins = distance(g.FX, g.FY) < distance(best.FX, best.FY);
    } else {
      wins = g.FX < best.FX;
    }
    if (wins) best = g;
  }
  best.finest_FX = least.FX;
  best.finest_FY = least.FY;
  return best;
}

TEST(BestGrid, AgreesWithASearchOfEveryGrid) {
  CapacityOptions hrb500;
  hrb500.steel = SteelGrade::kHRB500;
  hrb500.axial_ratio = 0.6;
  CapacityOptions characteristic;
  characteristic.strengths = Strengths::kCharacteristic;
  characteristic.axial_ratio = -0.1;
  const struct {
    SectionValues section;
    CapacityOptions options;
  } cases[] = {
      // KZ1 and KZ2 of the sample.
      {{"KZ1", 1, 500, 500, 40, 5, 5, 6, 6, 1000, 1000, 490}, {}},
      {{"KZ2", 0, 600, 400, 40, 3, 4, 4, 6, 600, 800, 314}, {}},
      // Square and symmetric: FX × FY and FY × FX tie, the smaller FX wins.
      {{"SQ", 4, 600, 600, 45, 3, 3, 3, 7, 900, 900, 380}, hrb500},
      // Many bars, a budget of 16 cells; a C70 law (n = 1.67).
      {{"BARS", 8, 900, 500, 50, 8, 6, 2, 3, 2400, 1800, 490}, characteristic},
      // No cells at all today.
      {{"KZ5", 6, 400, 400, 35, 5, 5, 0, 0, 785, 785, 314.2f}, hrb500},
      // 6 × 8 has the least error, 10⁻⁷ points below 6 × 6's: not worth 12
      // more fibers.
      {{"FEW", 2, 700, 700, 50, 2, 2, 5, 5, 800, 800, 490}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section.name);
    const BrenmoorState state = StateWith(MakeSection(c.section));
    const GridChoice choice = ChooseBestGrid(state, 1, c.options);
    const Exhaustive want = SearchEveryGrid(state, 1, c.options);
    EXPECT_EQ(choice.verdict, GridVerdict::kSearched);
    EXPECT_EQ(choice.FX, c.section.FX);
    EXPECT_EQ(choice.FY, c.section.FY);
    // The very figures capacity and biaxial give for those grids.
    EXPECT_EQ(choice.error_pct, ErrorOf(state, 1, c.section.FX, c.section.FY, c.options));
    EXPECT_EQ(choice.best_FX, want.FX);
    EXPECT_EQ(choice.best_FY, want.FY);
    EXPECT_EQ(choice.best_error_pct, want.error);
    EXPECT_EQ(choice.Improves(), choice.error_pct - want.error > 0.01);
    if (c.section.name == "FEW") {
      EXPECT_LT(want.FX * want.FY, want.finest_FX * want.finest_FY);
    }
  }
}

TEST(BestGrid, SectionsWithoutRoomKeepTheirGridAndWithoutLoadAreSearchedUniaxially) {
  // FULL: 2·14 + 2·14 + 4 = 60 bars, no cell fits; it carries r = 0.3
  // (686.4 kN; N0 = 14.3·160000 + 360·7560 = 5009.6 kN).
  // LIGHT: 4 corner bars of 200 mm²: N0 = 14.3·160000 + 360·800 = 2576 kN,
  // below r = 1.5 (3432 kN): no biaxial error, the grids compared about x
  // and y alone.
  const BrenmoorState state =
      StateWith(MakeSection({"FULL", 0, 400, 400, 35, 14, 14, 0, 0, 1400, 1400, 490}),
                MakeSection({"LIGHT", 0, 400, 400, 35, 0, 0, 6, 6, 0, 0, 200}));
  CapacityOptions options;
  const GridChoice full = ChooseBestGrid(state, 1, options);
  EXPECT_EQ(full.verdict, GridVerdict::kNoRoom);
  EXPECT_EQ(full.best_FX, 0);
  EXPECT_EQ(full.best_FY, 0);
  EXPECT_EQ(full.error_pct, full.best_error_pct);
  EXPECT_FALSE(full.Improves());

  options.axial_ratio = 1.5;
  const GridChoice light = ChooseBestGrid(state, 2, options);
  const Exhaustive want = SearchEveryGrid(state, 2, options);
  const SectionCapacity own = ComputeSectionCapacity(MakeCapacitySection(state, 2, options));
  EXPECT_EQ(light.verdict, GridVerdict::kCannotCarry);
  EXPECT_FALSE(light.biaxial);
  EXPECT_EQ(light.error_pct, std::max(own.x.fiber_error_pct, own.y.fiber_error_pct));
  EXPECT_EQ(light.best_FX, want.FX);
  EXPECT_EQ(light.best_FY, want.FY);
  EXPECT_EQ(light.best_error_pct, want.error);
  EXPECT_EQ(light.Improves(), light.error_pct - want.error > 0.01);
}

TEST(BestGrid, TableSearchesLikeSectionsOnceAndNoOthers) {
  // Sections that differ from the first in one field each must each be
  // searched; copies of one (another name) take its choice.
  const SectionValues base{"A", 0, 600, 400, 40, 3, 4, 4, 6, 600, 800, 314};
  std::vector<SectionValues> inputs(9, base);
  inputs[1].name = "copy";
  inputs[2].concrete = 2;
  inputs[3].H = 650;
  inputs[4].CC = 45;
  inputs[5].NX = 2;
  inputs[6].FX = 5;
  inputs[7].ASCOR = 380;
  inputs[8].ASY = 400;
  BrenmoorState state;
  BuildMaterialTable(state);
  state.records.resize(1);
  for (const SectionValues& in : inputs) state.records.push_back(MakeSection(in));
  state.imported_count = static_cast<std::int32_t>(inputs.size());
  const CapacityOptions options;
  const std::vector<GridChoice> all = ChooseBestGrids(state, options);
  ASSERT_EQ(all.size(), inputs.size());
  for (int r = 1; r <= state.imported_count; ++r) {
    SCOPED_TRACE(r);
    const GridChoice one = ChooseBestGrid(state, r, options);
    EXPECT_EQ(all[r - 1].FX, one.FX);
    EXPECT_EQ(all[r - 1].error_pct, one.error_pct);
    EXPECT_EQ(all[r - 1].best_FX, one.best_FX);
    EXPECT_EQ(all[r - 1].best_FY, one.best_FY);
    EXPECT_EQ(all[r - 1].best_error_pct, one.best_error_pct);
  }
}

}  // namespace
}  // namespace brenmoor

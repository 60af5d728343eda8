#include "capacity/capacity_csv.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/csv_lines.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;
using testing::StateWith;

using testing::Fields;
using testing::kBom;
using testing::Lines;

// KZ1, and a section of 0.5 % whose N0 (2576 kN) is below r = 1.2 (2745.6 kN).
BrenmoorState TwoSections() {
  return StateWith(MakeSection({"KZ1", 1, 500, 500, 40, 5, 5, 6, 6, 1000, 1000, 490}),
                   MakeSection({"LIGHT", 0, 400, 400, 35, 0, 0, 6, 6, 0, 0, 200}));
}

TEST(CapacityCsvRows, MomentCurvatureMarksEachModelsOwnPoints) {
  const BrenmoorState state = TwoSections();
  EXPECT_EQ(MomentCurvatureCsvHeader(), kBom + "No,NAME,axis,model,N,phi,M,point\r\n");
  std::string csv;
  AppendMomentCurvatureCsvRows(csv, state, 1, MakeCapacitySection(state, 1, {}), 0.3);
  const std::vector<std::string> lines = Lines(csv);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "1,\"KZ1\",x,exact,1252.5,0,0,");
  // Four blocks in order, each ending in its "ultimate" with one "yield" before.
  const char* blocks[] = {"x,exact", "x,fiber", "y,exact", "y,fiber"};
  std::size_t at = 0;
  for (const char* block : blocks) {
    SCOPED_TRACE(block);
    int yields = 0;
    for (; at < lines.size(); ++at) {
      const std::vector<std::string> f = Fields(lines[at]);
      ASSERT_EQ(f.size(), 8u) << lines[at];
      EXPECT_EQ(f[2] + "," + f[3], block);
      EXPECT_EQ(f[4], "1252.5");
      yields += f[7] == "yield";
      if (f[7] == "ultimate") break;
      EXPECT_TRUE(f[7].empty() || f[7] == "yield") << lines[at];
    }
    ASSERT_LT(at, lines.size());
    EXPECT_EQ(yields, 1);
    ++at;
  }
  EXPECT_EQ(at, lines.size());

  // A section that cannot carry N: one row per axis and model, figures empty.
  csv.clear();
  AppendMomentCurvatureCsvRows(csv, state, 2, MakeCapacitySection(state, 2, {}), 1.2);
  EXPECT_EQ(csv,
            "2,\"LIGHT\",x,exact,2745.6,,,\r\n2,\"LIGHT\",x,fiber,2745.6,,,\r\n"
            "2,\"LIGHT\",y,exact,2745.6,,,\r\n2,\"LIGHT\",y,fiber,2745.6,,,\r\n");
}

TEST(CapacityCsvRows, BiaxialFiguresAndContours) {
  const BrenmoorState state = TwoSections();
  const std::vector<BiaxialFigures> figures = {
      ComputeBiaxialCapacity(MakeCapacitySection(state, 1, {}), 1.2).figures,
      ComputeBiaxialCapacity(MakeCapacitySection(state, 2, {}), 1.2).figures};
  const std::vector<std::string> lines = Lines(BiaxialCsv(state, figures));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], kBom + "No,NAME,N,biaxial_M_min,biaxial_M_max,biaxial_fiber_error_pct");
  EXPECT_EQ(Fields(lines[1]).size(), 6u);
  EXPECT_EQ(lines[1].substr(0, 13), "1,\"KZ1\",5010,");
  EXPECT_EQ(lines[2], "2,\"LIGHT\",2745.6,,,");

  EXPECT_EQ(BiaxialCurvesCsvHeader(), kBom + "No,NAME,theta_deg,Mx,My,fiber_Mx,fiber_My\r\n");
  std::string csv;
  AppendBiaxialCurvesCsvRows(csv, state, 1,
                             ComputeBiaxialCapacity(MakeCapacitySection(state, 1, {}), 0.3));
  std::vector<std::string> rows = Lines(csv);
  ASSERT_EQ(rows.size(), 72u);
  EXPECT_EQ(rows[0].substr(0, 19), "1,\"KZ1\",0,0,579.303");
  EXPECT_EQ(rows[18].substr(0, 20), "1,\"KZ1\",90,579.303,0");
  EXPECT_EQ(Fields(rows[71])[2], "355");
  csv.clear();
  AppendBiaxialCurvesCsvRows(csv, state, 2,
                             ComputeBiaxialCapacity(MakeCapacitySection(state, 2, {}), 1.2));
  rows = Lines(csv);
  ASSERT_EQ(rows.size(), 72u);
  EXPECT_EQ(rows[1], "2,\"LIGHT\",5,,,,");
}

TEST(CapacityCsvRows, GridsSayWhichErrorsTheyWereComparedOn) {
  const BrenmoorState state = TwoSections();
  EXPECT_EQ(GridCsvHeader(),
            kBom +
                "No,NAME,FX,FY,fiber_error_pct,best_FX,best_FY,best_fiber_error_pct,"
                "error_basis\r\n");
  GridChoice searched;
  searched.FX = 4;
  searched.FY = 6;
  searched.error_pct = 2.850594;
  searched.best_FX = 7;
  searched.best_FY = 6;
  searched.best_error_pct = 1.076224;
  GridChoice cannot = searched;
  cannot.verdict = GridVerdict::kCannotCarry;
  cannot.biaxial = false;
  cannot.best_FX = 5;
  std::string csv;
  AppendGridCsvRow(csv, state, 1, searched);
  AppendGridCsvRow(csv, state, 2, cannot);
  EXPECT_EQ(csv,
            "1,\"KZ1\",4,6,2.85059,7,6,1.07622,biaxial\r\n"
            "2,\"LIGHT\",4,6,2.85059,5,6,1.07622,uniaxial\r\n");
}

}  // namespace
}  // namespace brenmoor

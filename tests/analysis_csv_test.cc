#include "capacity/analysis_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/csv_lines.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::Fields;
using testing::kBom;
using testing::Lines;
using testing::MakeSection;
using testing::StateWith;

double Number(const std::string& field) { return std::strtod(field.c_str(), nullptr); }

// KZ1 with hoops, and a section too light for r = 1.2 without them.
BrenmoorState TwoSections() {
  return StateWith(MakeSection({"KZ1", 1, 500, 500, 40, 5, 5, 6, 6, 1000, 1000, 490}),
                   MakeSection({"LIGHT", 0, 400, 400, 35, 0, 0, 6, 6, 0, 0, 200}));
}
const std::vector<std::optional<Stirrups>> kHoops = {Stirrups{10, 100, 4, 4}, std::nullopt};

std::string Written(const BrenmoorState& state, const AnalysisOptions& options, bool curves) {
  std::string csv;
  WriteAnalysisCsv(state, options, kHoops, curves, [&](std::string_view s) { csv += s; });
  return csv;
}

// The rows' layout, and each fiber_error_pct figure worked from the exact
// and fiber rows above it (to the 6 digits the CSV keeps).
TEST(AnalysisCsv, RowsAndFiberErrors) {
  const BrenmoorState state = TwoSections();
  const std::string csv = Written(state, {.axial_ratio = 1.2}, false);
  ASSERT_EQ(csv.rfind(kBom, 0), 0u);
  const std::vector<std::string> lines = Lines(csv.substr(kBom.size()));
  ASSERT_EQ(lines.size(), 1u + 2 * 4 + 2 * 3);
  EXPECT_EQ(
      lines[0],
      "No,NAME,axis,model,N,EI0,phi_y1,M_y1,M_n,phi_y,EI_eff,phi_u,M_u,M_peak,mu_phi,ends_by");
  const char* expected[] = {"1 x exact",           "1 x fiber",           "1 x confined",
                            "1 x fiber_error_pct", "1 y exact",           "1 y fiber",
                            "1 y confined",        "1 y fiber_error_pct", "2 x exact",
                            "2 x fiber",           "2 x fiber_error_pct", "2 y exact",
                            "2 y fiber",           "2 y fiber_error_pct"};
  for (std::size_t i = 1; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    const std::vector<std::string> f = Fields(lines[i]);
    ASSERT_EQ(f.size(), 16u);
    EXPECT_EQ(f[0] + ' ' + f[2] + ' ' + f[3], expected[i - 1]);
    EXPECT_EQ(f[1], i <= 8 ? "\"KZ1\"" : "\"LIGHT\"");
  }
  // KZ1 at r = 1.2: N = 1.2·16.7·500² N.
  for (int row : {1, 5}) {
    const std::vector<std::string> exact = Fields(lines[row]), fiber = Fields(lines[row + 1]),
                                   error = Fields(lines[row + 3]);
    EXPECT_EQ(exact[4], "5010");
    EXPECT_EQ(error[4], "5010");
    EXPECT_EQ(error[15], "");
    for (int k = 5; k < 15; ++k) {
      SCOPED_TRACE(k);
      if (exact[k].empty() || fiber[k].empty()) {
        EXPECT_EQ(error[k], "");
        continue;
      }
      const double e = Number(exact[k]), f = Number(fiber[k]);
      EXPECT_NEAR(Number(error[k]), std::abs(f - e) / std::abs(e) * 100,
                  2e-5 * std::abs(f) / std::abs(e) * 100 + 1e-6);
    }
  }
  // LIGHT (C30, 4 corner bars of 200 mm²) cannot carry 1.2·14.3·400² N.
  for (int row : {9, 10, 11}) {
    const std::vector<std::string> f = Fields(lines[row]);
    EXPECT_EQ(f[4], "2745.6");
    for (int k = 5; k < 16; ++k) EXPECT_EQ(f[k], "") << k;
  }
}

TEST(AnalysisCsv, CurvesMarkTheirPoints) {
  const BrenmoorState state = TwoSections();
  const std::vector<std::string> lines =
      Lines(Written(state, {.axial_ratio = 0.3}, true).substr(kBom.size()));
  EXPECT_EQ(lines[0], "No,NAME,axis,model,N,phi,M,point");
  std::map<std::string, int> points;
  std::map<std::string, std::string> marks;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = Fields(lines[i]);
    ASSERT_EQ(f.size(), 8u) << lines[i];
    const std::string curve = f[0] + ' ' + f[2] + ' ' + f[3];
    ++points[curve];
    if (!f[7].empty()) marks[curve] += f[7] + ' ';
  }
  EXPECT_EQ(points.size(), 10u);
  for (const auto& [curve, count] : points) {
    SCOPED_TRACE(curve);
    EXPECT_GE(count, 41);
    EXPECT_EQ(marks[curve].substr(0, 12), "first_yield ");
    EXPECT_EQ(marks[curve].substr(marks[curve].size() - 4), "end ");
  }
}

// The laws as an engineer types them in: each with its peak and limits.
TEST(MaterialsCsv, LawsWithTheirMarks) {
  const BrenmoorState state = TwoSections();
  const std::string csv = MaterialsCsv(state, {.strengths = Strengths::kCharacteristic}, kHoops);
  const std::vector<std::string> lines = Lines(csv.substr(kBom.size()));
  EXPECT_EQ(lines[0], "material,law,strain,stress");
  std::map<std::string, std::vector<std::pair<double, double>>> laws;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = Fields(lines[i]);
    ASSERT_EQ(f.size(), 4u);
    laws[f[0] + ' ' + f[1]].push_back({Number(f[2]), Number(f[3])});
  }
  auto has = [&](const std::string& law, double strain, double stress) {
    for (auto [e, s] : laws[law]) {
      // A NaN stress: the strain alone is asked for.
      if (std::abs(e - strain) <= 1e-5 * std::abs(strain) &&
          (std::isnan(stress) || std::abs(s - stress) <= 1e-5 * std::abs(stress))) {
        return true;
      }
    }
    return false;
  };
  EXPECT_EQ(laws.size(), 7u);
  for (const auto& [law, points] : laws) EXPECT_GE(points.size(), 40u) << law;
  // C35 characteristic by hand (see the laws' tests), C30: fck = 20.1 at
  // 0.02 of the way from the 20 column: εc,r = 1471.8 ×10⁻⁶.
  EXPECT_TRUE(has("\"C35\" compression", 1531.2e-6, 23.4));
  EXPECT_TRUE(has("\"C35\" compression", 1.5 * 4.17711e-3, NAN));
  EXPECT_TRUE(has("\"C30\" compression", 1471.8e-6, 20.1));
  EXPECT_TRUE(has("\"C35\" tension", -10 * 99.49966e-6, NAN));
  EXPECT_TRUE(has("\"bars HRB400\" steel", -0.075, -540));
  EXPECT_TRUE(has("\"bars HRB400\" steel", 0.002, 400));
  EXPECT_TRUE(has("\"hoops HRB400\" steel", 0.075, 540));
  EXPECT_TRUE(has("\"KZ1 core\" confined", 5.308412e-3, 34.94477));
  EXPECT_EQ(laws.count("\"LIGHT core\" confined"), 0u);
}

// A table with a hoop that does not fit is refused before anything is
// written.
TEST(AnalysisCsv, RefusedBeforeWriting) {
  const BrenmoorState state = TwoSections();
  bool wrote = false;
  EXPECT_THROW(WriteAnalysisCsv(state, {}, {std::nullopt, Stirrups{60, 100, 2, 2}}, false,
                                [&](std::string_view) { wrote = true; }),
               CapacityRefusal);
  EXPECT_FALSE(wrote);
}

}  // namespace
}  // namespace brenmoor

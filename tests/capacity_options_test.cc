#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include "capacity/capacity.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;
using testing::StateWith;

TEST(ParseAxialRatio, ReadsWhatStrtodReadsWithinTheRange) {
  // strtod in the C locale is the reference for every form it accepts.
  std::setlocale(LC_NUMERIC, "C");
  for (const char* text : {"0.3", "+0.3", "3e-1", "3E-1", ".3", "-.25", "1.", "+1.5", "-0.5", "0",
                           "000.300", "30e-2", "0.3e+0", "1.5000000000000001"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseAxialRatio(text), std::strtod(text, nullptr));
  }
  // No −0, and a magnitude below the smallest double is 0, not an overflow.
  EXPECT_FALSE(std::signbit(ParseAxialRatio("-0")));
  EXPECT_EQ(ParseAxialRatio("1e-400"), 0.0);
  EXPECT_EQ(ParseAxialRatio("-0.0000001e-399"), 0.0);
}

TEST(ParseAxialRatio, RefusesOtherTextsNamingTheRange) {
  for (const char* text : {// Beyond the range, also where a double overflows.
                           "5", "1.5000001", "-0.5000001", "1e308", "1e400", "-1e400", "100000e-4",
                           // Forms strtod would read but no engineer means as a ratio.
                           "0x1p-2", "0x0", "nan", "NaN", "-nan", "inf", "-inf", "infinity",
                           // Blanks, separators and broken forms.
                           " 0.3", "0.3 ", "0.3\n", "", "+", "-", ".", "+.", "e1", "1e", "1e+",
                           "0.3,", "0,3", "++0.3", "1 e3", "0.3x"}) {
    SCOPED_TRACE(text);
    try {
      ParseAxialRatio(text);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "the axial ratio must be a number from -0.5 to 1.5, not \"" +
                                           std::string(text) + "\"");
    }
  }
}

TEST(AxialLoad, IsOfTheDesignFcWhicheverStrengthsTheLawsUse) {
  // KZ1 (C35, fc = 16.7, fck = 23.4) and a C80 section (fc = 35.9, fck = 50.2):
  // N = r · fc(design) · B · H.
  const BrenmoorState state =
      StateWith(testing::DefaultSection(),
                MakeSection({"C80", 10, 800, 600, 50, 3, 3, 4, 5, 942, 942, 490.9}));
  const struct {
    int record;
    double ratio, N;
  } cases[] = {{1, 0.3, 0.3 * 16.7 * 500 * 500 / 1e3},
               {2, 0.6, 0.6 * 35.9 * 800 * 600 / 1e3},
               {2, -0.5, -0.5 * 35.9 * 800 * 600 / 1e3}};
  for (const auto& c : cases) {
    for (Strengths strengths : {Strengths::kDesign, Strengths::kCharacteristic}) {
      SCOPED_TRACE(std::to_string(c.record) + " " + StrengthsName(strengths));
      CapacityOptions options;
      options.strengths = strengths;
      const CapacitySection section = MakeCapacitySection(state, c.record, options);
      EXPECT_DOUBLE_EQ(AxialLoad(section, c.ratio), c.N);
      // The moment–curvature curves are drawn at that load.
      EXPECT_DOUBLE_EQ(
          MomentCurvatureCurve(section, BendingAxis::kX, CapacityModel::kExact, c.ratio).N, c.N);
    }
  }
}

TEST(SteelLawHrb500, CompressionIs435ButN0Takes400) {
  // KZ1 with HRB500 design bars, by hand:
  //   N0 = 16.7·500·500 + min(400, 2e5·0.002)·5960 = 6559 kN;
  //   balanced: top at 0.0033, far bars (depth 460) at −435/2e5, so the
  //   neutral axis is at x = 0.0033/(0.0033 + 0.002175)·460 = 277.260 mm;
  //   concrete (n = 2) 0.79798·16.7·500·x = 1847.42 kN; bars: the top face
  //   and corners (1980 mm² at depth 40) yield at +435 and the bottom ones at
  //   −435; the side bars (400 mm² at depths 110, 180, 250, 320, 390) take
  //   2e5·0.0033·(1 − d/x) = 398.2, 231.5, 64.9, −101.7, −268.4 N/mm²;
  //   Nb = 1977.20 kN, Mb = 659.339 kN·m (concrete block integrated apart).
  // A C80 section, where Es·ε0 = 430 would pass 400:
  //   N0 = 35.9·800·600 + 400·(2·942 + 2·942 + 4·490.9) = 20,805.0 kN.
  const BrenmoorState state =
      StateWith(testing::DefaultSection(),
                MakeSection({"C80", 10, 800, 600, 50, 3, 3, 4, 5, 942, 942, 490.9}));
  CapacityOptions options;
  options.steel = SteelGrade::kHRB500;
  const SteelLaw law = SteelLawOf(SteelGrade::kHRB500, Strengths::kDesign);
  EXPECT_EQ(law.fy, 435);
  EXPECT_EQ(law.fy_comp, 435);
  EXPECT_EQ(law.fy_axial, 400);

  const AxisCapacity kz1 =
      ComputeAxisCapacity(MakeCapacitySection(state, 1, options), BendingAxis::kX);
  EXPECT_NEAR(kz1.N0, 6559, 1e-6);
  EXPECT_NEAR(kz1.Nb, 1977.20, 0.01);
  EXPECT_NEAR(kz1.Mb, 659.339, 0.001);

  const double as = 2 * 942 + 2 * 942 + 4.0 * 490.9f;
  const CapacitySection c80 = MakeCapacitySection(state, 2, options);
  for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
    EXPECT_NEAR(ComputeAxisCapacity(c80, axis).N0, (35.9 * 800 * 600 + 400 * as) / 1e3, 1e-6);
    // Each model's curve ends at its own N0, rising all the way.
    for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
      const auto curve = InteractionCurve(c80, axis, model);
      EXPECT_EQ(curve.back().mark, CurveMark::kSquash);
      EXPECT_NEAR(curve.back().N, (35.9 * 800 * 600 + 400 * as) / 1e3, 1e-3);
      for (std::size_t i = 1; i < curve.size(); ++i) EXPECT_GE(curve[i].N, curve[i - 1].N) << i;
    }
  }
  // Characteristic strengths keep fyk = 500 in N0: min(500, 2e5·0.00215) = 430.
  options.strengths = Strengths::kCharacteristic;
  EXPECT_NEAR(ComputeAxisCapacity(MakeCapacitySection(state, 2, options), BendingAxis::kX).N0,
              (50.2 * 800 * 600 + 430 * as) / 1e3, 1e-6);
}

TEST(ReinforcementRatio, MarksSectionsOutsideTheLimitsOfTheirGrade) {
  // 500 × 500 with corner bars only: ρ = 4·ASCOR / 250000. The least ρ of
  // GB 50010 Table 8.5.1: 0.60 % HRB335, 0.55 % HRB400, 0.50 % HRB500, and
  // 0.10 % more from C60; at most 5 %.
  constexpr int kC35 = 1, kC60 = 6;
  const struct {
    SteelGrade steel;
    int concrete;
    float ascor;
    double ratio;
    bool outside;
  } cases[] = {
      {SteelGrade::kHRB400, kC35, 343.75f, 0.0055, false},
      {SteelGrade::kHRB400, kC35, 340, 0.00544, true},
      {SteelGrade::kHRB335, kC35, 343.75f, 0.0055, true},
      {SteelGrade::kHRB335, kC35, 375, 0.006, false},
      {SteelGrade::kHRB500, kC35, 312.5f, 0.005, false},
      {SteelGrade::kHRB500, kC35, 310, 0.00496, true},
      {SteelGrade::kHRB400, kC60, 375, 0.006, true},
      {SteelGrade::kHRB400, kC60, 406.25f, 0.0065, false},
      {SteelGrade::kHRB500, kC60, 343.75f, 0.0055, true},
      {SteelGrade::kHRB400, kC35, 3125, 0.05, false},
      {SteelGrade::kHRB400, kC35, 3130, 0.05008, true},
      {SteelGrade::kHRB400, kC35, 1000, 0.016, false},
      {SteelGrade::kHRB400, kC35, 7812.5f, 0.125, true},
      {SteelGrade::kHRB400, kC35, 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(SteelGradeName(c.steel)) + " " + std::to_string(c.ascor));
    const BrenmoorState state =
        StateWith(MakeSection({"R", c.concrete, 500, 500, 40, 0, 0, 6, 6, 0, 0, c.ascor}));
    CapacityOptions options;
    options.steel = c.steel;
    const CapacitySection section = MakeCapacitySection(state, 1, options);
    const double ratio = ReinforcementRatio(section);
    EXPECT_NEAR(ratio, c.ratio, 1e-12);
    EXPECT_EQ(ReinforcementOutsideLimits(ratio, c.steel, section.concrete.fcuk), c.outside);
  }
}

}  // namespace
}  // namespace brenmoor

#include "capacity/analysis_laws.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brenmoor {
namespace {

// Figures worked by hand from the tables, not from the code: C35
// characteristic lies at 0.68 of the way from the 20 to the 25 column.
TEST(AnalysisConcrete, C35CharacteristicByHand) {
  const AnalysisConcrete c = AnalysisConcreteOf(35, Strengths::kCharacteristic);
  EXPECT_DOUBLE_EQ(c.Ec, 31500);
  EXPECT_NEAR(c.eps_c, 1531.2e-6, 1e-12);  // 1470 + 0.68·90
  EXPECT_NEAR(c.alpha_c, 0.9576, 1e-12);   // 0.74 + 0.68·0.32
  EXPECT_NEAR(c.eps_cu, 4.177e-3, 5e-7);   // (3.0 − 0.68·0.4)·1531.2e-6
  EXPECT_NEAR(c.eps_t, 99.5e-6, 0.05e-6);  // 2.2^0.54·65e-6
  EXPECT_NEAR(c.alpha_t, 1.510, 5e-4);     // 0.312·2.2²
  EXPECT_NEAR(c.rho_t, 0.702, 5e-4);       // 2.2/(31500·99.5e-6)

  const struct {
    double strain, stress;
  } points[] = {{0.001, 21.52}, {1531.2e-6, 23.40}, {0.002, 21.90}, {0.0033, 14.69}};
  for (const auto& p : points) {
    SCOPED_TRACE(p.strain);
    EXPECT_NEAR(UnconfinedStress(c, p.strain), p.stress, 0.005);
  }
  // The slopes at zero strain: Ec in compression, 1.2·ρt·Ec in tension.
  const double h = 1e-9;
  EXPECT_NEAR(UnconfinedStress(c, h) / h, 31500, 1);
  EXPECT_NEAR(UnconfinedStress(c, -h) / -h, 1.2 * c.rho_t * 31500, 1);
  // The tension peak is ft,r at εt,r, from either side.
  EXPECT_NEAR(UnconfinedStress(c, -c.eps_t), -2.20, 1e-9);
  EXPECT_NEAR(UnconfinedStress(c, -c.eps_t * (1 + 1e-9)), -2.20, 1e-6);
}

// The table is held at its end columns: design C30 (fc = 14.3) takes the
// 20 column, characteristic C80 (fck = 50.2) lies just past the 50 column.
TEST(AnalysisConcrete, TableEndsAndInterpolation) {
  const AnalysisConcrete c30 = AnalysisConcreteOf(30, Strengths::kDesign);
  EXPECT_NEAR(c30.eps_c, 1470e-6, 1e-15);
  EXPECT_NEAR(c30.alpha_c, 0.74, 1e-15);
  EXPECT_NEAR(c30.eps_cu, 3.0 * 1470e-6, 1e-15);
  EXPECT_DOUBLE_EQ(c30.ft, 1.43);
  const AnalysisConcrete c80 = AnalysisConcreteOf(80, Strengths::kCharacteristic);
  EXPECT_DOUBLE_EQ(c80.Ec, 3.80e4);
  EXPECT_NEAR(c80.eps_c, 1922.4e-6, 1e-12);           // 1920 + 0.04·60
  EXPECT_NEAR(c80.alpha_c, 2.4904, 1e-12);            // 2.48 + 0.04·0.26
  EXPECT_NEAR(c80.eps_cu, 1.896 * 1922.4e-6, 1e-12);  // 1.9 − 0.04·0.1
  // C45's modulus is that of the standard's table, not the file's 32,500.
  EXPECT_DOUBLE_EQ(AnalysisConcreteOf(45, Strengths::kDesign).Ec, 3.35e4);
}

TEST(AnalysisSteel, GradesAndBranches) {
  const struct {
    RebarGrade grade;
    Strengths strengths;
    double strain, stress;
  } cases[] = {
      {RebarGrade::kHRB400, Strengths::kCharacteristic, 0.001, 200},
      {RebarGrade::kHRB400, Strengths::kCharacteristic, 0.002, 400},
      // 400 + 140·(0.0375 − 0.002)/(0.075 − 0.002)
      {RebarGrade::kHRB400, Strengths::kCharacteristic, -0.0375, -468.0822},
      {RebarGrade::kHRB400, Strengths::kCharacteristic, 0.075, 540},
      {RebarGrade::kHRB400, Strengths::kCharacteristic, 0.2, 540},
      // design: fst,r = 435·630/500 = 548.1
      {RebarGrade::kHRB500, Strengths::kDesign, -0.075, -548.1},
      {RebarGrade::kHRB500, Strengths::kDesign, 0.0021, 420},
      // HPB300 reaches 420 at Agt = 0.10
      {RebarGrade::kHPB300, Strengths::kCharacteristic, 0.1, 420},
      {RebarGrade::kHPB300, Strengths::kDesign, 0.05,
       270 + (378 - 270) * (0.05 - 0.00135) / 0.09865},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(RebarGradeName(c.grade) + std::string(" ") + std::to_string(c.strain));
    EXPECT_NEAR(AnalysisSteelStress(AnalysisSteelOf(c.grade, c.strengths), c.strain), c.stress,
                1e-4);
  }
  EXPECT_EQ(RebarGradeFromName("HPB300"), RebarGrade::kHPB300);
  EXPECT_EQ(RebarGradeFromName("HRB600"), std::nullopt);
}

// KZ1 with Φ10@100, 4 legs each way, HRB400 hoops, characteristic.
TEST(ConfinedCore, Kz1ByHand) {
  const AnalysisConcrete concrete = AnalysisConcreteOf(35, Strengths::kCharacteristic);
  const AnalysisSteel hoops = AnalysisSteelOf(RebarGrade::kHRB400, Strengths::kCharacteristic);
  const ConfinedCore c =
      ConfinedCoreOf({500, 500, 40, 5, 5, 1000, 1000, 490}, {10, 100, 4, 4}, concrete, hoops);
  // d_cor = √(4·490/π) = 24.9777; a = 40 − 12.4889 − 5
  EXPECT_NEAR(c.a, 22.51113, 1e-5);
  EXPECT_NEAR(c.bc, 454.97774, 1e-5);  // 500 − 2a
  EXPECT_NEAR(c.dc, 454.97774, 1e-5);
  // d_x = √(4·200/π) = 15.9577; w′ = 420/3 − (24.9777 + 15.9577)/2 = 119.5323,
  // 3 gaps on each of 4 faces
  EXPECT_NEAR(c.sum_w2, 12 * 119.53229 * 119.53229, 0.05);
  // ρcc = 5960/454.9777²; ke = (1 − 171455.6/(6·207004.7))·(1 − 90/909.96)²/(1 − 0.028792)
  EXPECT_NEAR(c.rho_cc, 0.0287916, 1e-7);
  EXPECT_NEAR(c.ke, 0.720630, 1e-6);
  // ρx = ρy = 4·78.5398/(100·454.9777)
  EXPECT_NEAR(c.rho_x, 0.00690494, 1e-8);
  EXPECT_NEAR(c.rho_y, 0.00690494, 1e-8);
  // fl′ = 0.720630·400·0.00690494
  EXPECT_NEAR(c.fl, 1.990363, 1e-6);
  // fcc = 23.4·(−1.254 + 2.254·√(1 + 7.94·0.085058) − 2·0.085058)
  EXPECT_NEAR(c.fcc, 34.94477, 1e-5);
  // εcc = 1531.2e-6·(1 + 5·0.493366)
  EXPECT_NEAR(c.eps_cc, 5.308412e-3, 1e-9);
  // r = 31500/(31500 − 34.94477/0.005308412)
  EXPECT_NEAR(c.r, 1.264192, 1e-6);
  // εcu,c = 0.004 + 1.4·0.0138099·400·0.075/34.94477
  EXPECT_NEAR(c.eps_cu, 0.0205980, 1e-7);
  EXPECT_NEAR(ConfinedStress(c, concrete, c.eps_cc), c.fcc, 1e-9);
}

// Without confinement the core's law is C.2.4's rising branch.
TEST(ConfinedCore, NoConfinementIsTheRisingBranch) {
  const AnalysisConcrete concrete = AnalysisConcreteOf(50, Strengths::kDesign);
  ConfinedCore core;
  core.fcc = concrete.fc;
  core.eps_cc = concrete.eps_c;
  core.r = concrete.Ec / (concrete.Ec - concrete.fc / concrete.eps_c);
  for (double x : {0.1, 0.5, 0.9, 1.0}) {
    SCOPED_TRACE(x);
    EXPECT_NEAR(ConfinedStress(core, concrete, x * concrete.eps_c),
                UnconfinedStress(concrete, x * concrete.eps_c), 1e-12);
  }
}

}  // namespace
}  // namespace brenmoor

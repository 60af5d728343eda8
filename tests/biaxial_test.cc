#include "capacity/biaxial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;
using testing::StateWith;

// θ = 5k°.
int Index(int degrees) { return degrees / kBiaxialStepDegrees; }

CapacitySection Kz1(const CapacityOptions& options = {}) {
  return MakeCapacitySection(StateWith(testing::DefaultSection()), 1, options);
}

// An independent reading of one direction: the path written again from its
// words, the rectangle summed over thin strips across u with each strip's
// chord clipped from the rectangle, the bars and cells as points, the state
// at N found by halving. Forces N, moments N·mm.
struct Reference {
  const CapacitySection& s;
  bool fibers;

  struct Sums {
    double N = 0, Mx = 0, My = 0;
  };

  double Concrete(double e) const {
    const ConcreteLaw& c = s.concrete;
    if (e <= 0) return 0;
    return e >= c.eps0 ? c.fc : c.fc * (1 - std::pow(1 - e / c.eps0, c.n));
  }
  double Steel(double e) const { return std::clamp(2e5 * e, -s.steel.fy, s.steel.fy_comp); }

  // The strains at the extreme compressed corner (top) and at the opposite
  // one (bottom), a distance D apart along u; the tension-most bar, the
  // corner bar beyond which no bar lies, sits CC·(|cos| + |sin|) short of
  // the bottom.
  Sums At(double degrees, double t) const {
    const double c = std::cos(degrees * std::numbers::pi / 180);
    const double sn = std::sin(degrees * std::numbers::pi / 180);
    const double D = s.B * std::abs(c) + s.H * std::abs(sn);
    const double bar = D - s.CC * (std::abs(c) + std::abs(sn));
    const ConcreteLaw& law = s.concrete;
    double top, bottom;
    auto through_bar = [&](double at_top) { return at_top + (-0.01 - at_top) * D / bar; };
    if (t <= 1) {  // the bar at −0.01, the top rising to εcu
      top = -0.01 + t * (law.epscu + 0.01);
      bottom = through_bar(top);
    } else if (t <= 2) {  // the top at εcu, the bottom rising to 0
      top = law.epscu;
      bottom = through_bar(law.epscu) * (2 - t);
    } else {  // the bottom rising to ε0, turning about ε0 at (1 − ε0/εcu)·D
      bottom = (t - 2) * law.eps0;
      const double k = 1 - law.eps0 / law.epscu;
      top = (law.eps0 - bottom * k) / (1 - k);
    }
    auto strain = [&](double x, double y) {
      const double depth = D / 2 - (x * c + y * sn);
      return top + (bottom - top) * depth / D;
    };
    Sums sums;
    auto add = [&](double force, double x, double y) {
      sums.N += force;
      sums.Mx += force * y;
      sums.My += force * x;
    };
    for (const CapacityBar& b : s.bars) add(Steel(strain(b.x, b.y)) * b.area, b.x, b.y);
    if (fibers) {
      for (const CapacityBar& cell : s.cells)
        add(Concrete(strain(cell.x, cell.y)) * cell.area, cell.x, cell.y);
      return sums;
    }
    constexpr int kStrips = 40000;
    const double width = D / kStrips;
    for (int i = 0; i < kStrips; ++i) {
      const double p = -D / 2 + (i + 0.5) * width;
      // The chord {p·u + q·v}, v = (−sin, cos), within |x| ≤ B/2, |y| ≤ H/2.
      double lo = -1e300, hi = 1e300;
      auto clip = [&](double base, double slope, double half) {
        if (slope == 0) {
          if (std::abs(base) > half) hi = lo - 1;
          return;
        }
        const double a = (-half - base) / slope, b = (half - base) / slope;
        lo = std::max(lo, std::min(a, b));
        hi = std::min(hi, std::max(a, b));
      };
      clip(p * c, -sn, s.B / 2);
      clip(p * sn, c, s.H / 2);
      if (hi <= lo) continue;
      const double q = (lo + hi) / 2;
      const double x = p * c - q * sn, y = p * sn + q * c;
      add(Concrete(strain(x, y)) * (hi - lo) * width, x, y);
    }
    return sums;
  }

  Sums AtN(double degrees, double N) const {
    double lo = 0, hi = 3;
    for (int i = 0; i < 60; ++i) {
      const double mid = (lo + hi) / 2;
      (At(degrees, mid).N < N ? lo : hi) = mid;
    }
    return At(degrees, (lo + hi) / 2);
  }
};

TEST(Biaxial, Kz1ReferenceFigures) {
  // 500 × 500, C35, HRB400 design, r = 0.3: N = 0.3·16.7·500·500 = 1252.5 kN.
  const CapacitySection section = Kz1();
  const BiaxialCapacity b = ComputeBiaxialCapacity(section, 0.3);
  ASSERT_TRUE(b.figures.holds);
  EXPECT_DOUBLE_EQ(b.figures.N, 1252.5);
  // θ = 90°: bending about x, the end of the moment–curvature curve at N.
  const MomentCurvature mc =
      MomentCurvatureCurve(section, BendingAxis::kX, CapacityModel::kExact, 0.3);
  const double end = mc.points[mc.end].M;
  EXPECT_NEAR(end, 579.3, 0.05);
  EXPECT_NEAR(b.exact[Index(90)].Mx, end, 1e-9 * end);
  EXPECT_EQ(b.exact[Index(90)].My, 0.0);
  // θ = 45°: Mx = My = 349.0 kN·m.
  EXPECT_NEAR(b.exact[Index(45)].Mx, 349.0, 0.002 * 349.0);
  EXPECT_NEAR(b.exact[Index(45)].My, 349.0, 0.002 * 349.0);
}

TEST(Biaxial, SquareSectionIsSymmetricAboutTheDiagonal) {
  // KZ1 is square with the same bars and cells along x and y: Mx(θ) = My(90° − θ).
  for (double ratio : {0.3, -0.2, 0.9}) {
    const BiaxialCapacity b = ComputeBiaxialCapacity(Kz1(), ratio);
    for (int degrees = 0; degrees <= 90; degrees += kBiaxialStepDegrees) {
      SCOPED_TRACE(std::to_string(ratio) + " at " + std::to_string(degrees));
      const int k = Index(degrees), mirror = Index(90 - degrees);
      for (const auto* contour : {&b.exact, &b.fiber}) {
        EXPECT_NEAR((*contour)[k].Mx, (*contour)[mirror].My, 1e-9 * b.figures.M_max);
      }
    }
  }
}

TEST(Biaxial, AlongTheAxesTheUniaxialFigures) {
  // At N = 0 the uniaxial M0 (and fiber M0), at N = Nb the uniaxial Mb,
  // about x at θ = 90° (and −M at 270°), about y at θ = 0° (−M at 180°).
  const BrenmoorState state =
      StateWith(MakeSection({"C30", 0, 600, 400, 40, 3, 4, 4, 6, 600, 800, 314}),
                MakeSection({"C60", 6, 800, 600, 50, 3, 3, 4, 5, 942, 942, 490.9f}));
  CapacityOptions hrb500;
  hrb500.steel = SteelGrade::kHRB500;
  for (int record : {1, 2}) {
    for (const CapacityOptions& options : {CapacityOptions{}, hrb500}) {
      const CapacitySection section = MakeCapacitySection(state, record, options);
      const SectionCapacity uniaxial = ComputeSectionCapacity(section);
      const double fc_bh = section.concrete.fc_design * section.B * section.H / 1e3;
      for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
        const AxisCapacity& a = uniaxial.about(axis);
        const struct {
          double ratio, M, fiber_M;
        } loads[] = {{0, a.M0, a.fiber_M0}, {a.Nb / fc_bh, a.Mb, NAN}};
        for (const auto& load : loads) {
          SCOPED_TRACE(std::to_string(record) + (axis == BendingAxis::kX ? " x " : " y ") +
                       std::to_string(load.ratio));
          const BiaxialCapacity b = ComputeBiaxialCapacity(section, load.ratio);
          const bool about_x = axis == BendingAxis::kX;
          const int k = Index(about_x ? 90 : 0), opposite = Index(about_x ? 270 : 180);
          auto along = [&](const BiaxialMoment& m) { return about_x ? m.Mx : m.My; };
          auto across = [&](const BiaxialMoment& m) { return about_x ? m.My : m.Mx; };
          EXPECT_NEAR(along(b.exact[k]), load.M, 1e-7 * load.M);
          EXPECT_NEAR(along(b.exact[opposite]), -load.M, 1e-7 * load.M);
          EXPECT_EQ(across(b.exact[k]), 0.0);
          if (!std::isnan(load.fiber_M)) {
            EXPECT_NEAR(along(b.fiber[k]), load.fiber_M, 1e-7 * load.fiber_M);
          }
        }
      }
    }
  }
}

TEST(Biaxial, BothModelsAgainstAnIndependentReading) {
  const BrenmoorState state =
      StateWith(MakeSection({"C60", 6, 600, 400, 40, 3, 4, 4, 6, 600, 800, 314}),
                MakeSection({"C30", 0, 500, 700, 45, 4, 2, 3, 5, 1256, 628, 380.1f}));
  CapacityOptions hrb500;
  hrb500.steel = SteelGrade::kHRB500;
  std::vector<CapacitySection> sections = {MakeCapacitySection(state, 1, CapacityOptions{}),
                                           MakeCapacitySection(state, 2, hrb500)};
  // Without one side bar the section is nobody's mirror image, so every
  // direction is computed rather than mirrored from the first quadrant.
  sections.push_back(sections[0]);
  sections.back().bars.erase(sections.back().bars.begin() + 7);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const CapacitySection& section = sections[i];
    for (double ratio : {0.15, 0.6, 1.0}) {
      const BiaxialCapacity b = ComputeBiaxialCapacity(section, ratio);
      ASSERT_TRUE(b.fiber_holds);
      for (int degrees : {30, 135, 200, 325, 5, 355}) {
        SCOPED_TRACE(std::to_string(i) + " " + std::to_string(ratio) + " at " +
                     std::to_string(degrees));
        for (bool fibers : {false, true}) {
          const Reference::Sums want = Reference{section, fibers}.AtN(degrees, b.figures.N * 1e3);
          const BiaxialMoment& got = (fibers ? b.fiber : b.exact)[Index(degrees)];
          const double size = std::hypot(want.Mx, want.My) / 1e6;
          EXPECT_NEAR(got.Mx, want.Mx / 1e6, 1e-6 * size);
          EXPECT_NEAR(got.My, want.My / 1e6, 1e-6 * size);
        }
      }
    }
  }
}

TEST(Biaxial, SectionsThatCannotCarryTheLoadGiveNoFigures) {
  // 500 × 500 C35 with 4 corner bars, HRB400 design: N0 = 16.7·250000 +
  // 360·As, Nt = −360·As, N = r·16.7·250000.
  const struct {
    float ascor;
    double ratio;
    bool holds;
  } table[] = {
      // As = 1250: N0 = 4625 kN = 1.1078·fc·B·H.
      {312.5f, 1.1, true},
      {312.5f, 1.12, false},
      // As = 2500: Nt = −900 kN = −0.2156·fc·B·H.
      {625, -0.2, true},
      {625, -0.22, false},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(std::to_string(c.ascor) + " " + std::to_string(c.ratio));
    const BrenmoorState state =
        StateWith(MakeSection({"R", 1, 500, 500, 40, 0, 0, 6, 6, 0, 0, c.ascor}));
    const BiaxialCapacity b =
        ComputeBiaxialCapacity(MakeCapacitySection(state, 1, CapacityOptions{}), c.ratio);
    EXPECT_EQ(b.figures.holds, c.holds);
    EXPECT_DOUBLE_EQ(b.figures.N, c.ratio * 16.7 * 500 * 500 / 1e3);
    if (!c.holds) {
      EXPECT_EQ(b.figures.M_max, 0.0);
      EXPECT_EQ(b.exact[Index(45)].Mx, 0.0);
    } else {
      EXPECT_GT(b.figures.M_min, 0.0);
    }
  }
}

TEST(Biaxial, FiberModelThatCannotCarryTheLoadCountsAsNoMoment) {
  // No cells: the bars alone (4·314.2 + 20·157 mm² at 360) carry at most
  // 1582.8 kN, less than N = 0.6·27.5·400·400 = 2640 kN, which the exact
  // model carries; so every fiber moment counts as 0 and the error is 100 %.
  const BrenmoorState state =
      StateWith(MakeSection({"KZ5", 6, 400, 400, 35, 5, 5, 0, 0, 785, 785, 314.2f}));
  const BiaxialCapacity b =
      ComputeBiaxialCapacity(MakeCapacitySection(state, 1, CapacityOptions{}), 0.6);
  ASSERT_TRUE(b.figures.holds);
  EXPECT_FALSE(b.fiber_holds);
  EXPECT_EQ(b.fiber[Index(45)].Mx, 0.0);
  EXPECT_DOUBLE_EQ(b.figures.fiber_error_pct, 100.0);
}

}  // namespace
}  // namespace brenmoor

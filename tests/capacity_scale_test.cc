#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "capacity/biaxial.h"
#include "capacity/capacity.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;
using testing::StateWith;

// Every figure of one section: forces (kN), moments (kN·m), curvatures (1/m)
// and errors (%), each with the size of its kind so that a figure that is 0
// by symmetry is compared against its kind, not against itself.
struct Figures {
  std::vector<double> forces, moments, curvatures, errors;
};

double LargestOf(const std::vector<double>& values) {
  double largest = 0;
  for (double v : values) largest = std::max(largest, std::abs(v));
  return largest;
}

Figures FiguresOf(const CapacitySection& section, double ratio) {
  Figures f;
  for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
    const AxisCapacity a = ComputeAxisCapacity(section, axis);
    f.forces.insert(f.forces.end(), {a.N0, a.Nt, a.Nb});
    f.moments.insert(f.moments.end(), {a.Mb, a.M0, a.fiber_M0});
    f.errors.push_back(a.fiber_error_pct);
    for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
      for (const InteractionPoint& p : InteractionCurve(section, axis, model)) {
        f.forces.push_back(p.N);
        f.moments.push_back(p.M);
      }
      const MomentCurvature mc = MomentCurvatureCurve(section, axis, model, ratio);
      f.forces.push_back(mc.N);
      f.errors.push_back(static_cast<double>(mc.points.size()));
      f.errors.push_back(static_cast<double>(mc.first_yield.value_or(99)));
      for (const CurvaturePoint& p : mc.points) {
        f.curvatures.push_back(p.curvature);
        f.moments.push_back(p.M);
      }
    }
  }
  const BiaxialCapacity b = ComputeBiaxialCapacity(section, ratio);
  f.forces.push_back(b.figures.N);
  f.moments.insert(f.moments.end(), {b.figures.M_min, b.figures.M_max});
  f.errors.push_back(b.figures.fiber_error_pct);
  for (const auto* contour : {&b.exact, &b.fiber}) {
    for (const BiaxialMoment& m : *contour) f.moments.insert(f.moments.end(), {m.Mx, m.My});
  }
  return f;
}

void ExpectScaled(const std::vector<double>& got, const std::vector<double>& want, double factor,
                  const char* kind) {
  ASSERT_EQ(got.size(), want.size()) << kind;
  const double size = LargestOf(want) * factor;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i], want[i] * factor, 1e-6 * size) << kind << " " << i;
  }
}

TEST(CapacityScale, FiguresScaleWithTheSectionFrom2ToMinus40To2To40) {
  // A section s times as large, with bars s² times as large: forces s², moments
  // s³, curvatures 1/s, the same errors. Powers of two keep the float fields
  // and every product exact, so nothing but a tolerance with a fixed floor
  // or ceiling could tell the sizes apart. C60 (n = 1.833) with HRB500 design
  // bars, so that the law's powers and the squash strength take part too.
  CapacityOptions options;
  options.steel = SteelGrade::kHRB500;
  const double ratio = 0.45;
  auto section_at = [&](int k) {
    const float s = std::ldexp(1.0f, k), s2 = std::ldexp(1.0f, 2 * k);
    const BrenmoorState state = StateWith(
        MakeSection({"S", 6, 600 * s, 400 * s, 40 * s, 3, 4, 4, 6, 600 * s2, 800 * s2, 314 * s2}));
    return MakeCapacitySection(state, 1, options);
  };
  const Figures reference = FiguresOf(section_at(0), ratio);
  ASSERT_GT(LargestOf(reference.errors), 0.0);
  for (int k = -40; k <= 40; ++k) {
    SCOPED_TRACE("scale 2^" + std::to_string(k));
    const Figures scaled = FiguresOf(section_at(k), ratio);
    ExpectScaled(scaled.forces, reference.forces, std::ldexp(1.0, 2 * k), "force");
    ExpectScaled(scaled.moments, reference.moments, std::ldexp(1.0, 3 * k), "moment");
    ExpectScaled(scaled.curvatures, reference.curvatures, std::ldexp(1.0, -k), "curvature");
    ExpectScaled(scaled.errors, reference.errors, 1.0, "error");
  }
}

}  // namespace
}  // namespace brenmoor

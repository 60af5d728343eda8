// Properties that must hold for every valid section, checked over many
// random ones: the file's size, a faithful read-back, sums equal to their
// exact values within float rounding, and symmetry under transposition.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "model/fiber_layout.h"
#include "model/section_properties.h"
#include "output/component_reader.h"
#include "output/component_writer.h"
#include "tests/reference_writer.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

constexpr int kSections = 2000;

// A random section within the limits an import accepts.
TSECTION RandomSection(std::mt19937& random) {
  auto uniform = [&](double low, double high) {
    return static_cast<float>(std::uniform_real_distribution<double>(low, high)(random));
  };
  auto count = [&](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
  TSECTION s;
  s.kind = kRectangularColumn;
  s.NAME = "R";
  s.NAME += std::to_string(random() % 100000);
  s.concrete_material = static_cast<std::int32_t>(random() % 11);
  s.steel_material = 11;
  s.H = uniform(150, 2500);
  s.B = uniform(150, 2500);
  s.CC = uniform(15, std::min(s.H, s.B) / 4);
  do {
    s.NX = count(12);
    s.NY = count(12);
    s.FX = count(10);
    s.FY = count(10);
  } while (2 * s.NX + 2 * s.NY + s.FX * s.FY + 4 > kMaxFibers);
  s.ASX = uniform(0, 5000);
  s.ASY = uniform(0, 5000);
  s.ASCOR = uniform(0, 1000);
  return s;
}

TSECTION Transposed(TSECTION s) {
  std::swap(s.H, s.B);
  std::swap(s.NX, s.NY);
  std::swap(s.FX, s.FY);
  std::swap(s.ASX, s.ASY);
  return s;
}

struct Exact {
  double area = 0, ax2 = 0, ay2 = 0, bound = 0;  // bound: sum of |terms|
};

// The sums of one fiber type, exactly but for double rounding (far below
// float rounding), from the stored fiber values.
Exact ExactSums(const TSECTION& s, std::int32_t type) {
  Exact e;
  for (int k = 0; k < s.fiber_count; ++k) {
    const FiberSlot& f = s.fibers[k];
    if (f.type != type) continue;
    e.area += f.area;
    e.ax2 += static_cast<double>(f.area) * f.x * f.x;
    e.ay2 += static_cast<double>(f.area) * f.y * f.y;
  }
  return e;
}

// A running float32 sum of n non-negative terms is off by at most about
// n half-ulps of the final value.
void ExpectWithinRunningRounding(float sum, double exact, int n) {
  const double tolerance = (n + 1) * std::ldexp(std::fabs(exact), -24) + 1e-30;
  EXPECT_NEAR(sum, exact, tolerance);
}

TEST(SectionProperties, HoldForRandomSections) {
  std::mt19937 random(20261207);
  BrenmoorState state;
  BuildMaterialTable(state);
  state.records.resize(1);
  std::size_t expected_size = 70;
  for (int i = 0; i < kSections; ++i) state.records.push_back(RandomSection(random));
  state.imported_count = kSections;
  PrepareSections(state);

  for (int i = 1; i <= kSections; ++i) {
    const TSECTION& s = state.records[i];
    SCOPED_TRACE(i);
    expected_size += 1765 + 42 * s.fiber_count;
    for (std::int32_t type : {kSteelFiber, kConcreteFiber}) {
      const Exact e = ExactSums(s, type);
      const int n = type == kSteelFiber ? 2 * s.NX + 2 * s.NY + 4 : s.FX * s.FY;
      ExpectWithinRunningRounding(type ? s.concrete_area_sum : s.steel_area_sum, e.area, n);
      ExpectWithinRunningRounding(type ? s.concrete_ax2_sum : s.steel_ax2_sum, e.ax2, n);
      ExpectWithinRunningRounding(type ? s.concrete_ay2_sum : s.steel_ay2_sum, e.ay2, n);
    }
    if (s.FX > 0 && s.FY > 0) {
      // The cells cover the rectangle: B·H and B³H/12, H³B/12 but for rounding.
      const double b = s.B, h = s.H;
      EXPECT_NEAR(s.concrete_area_sum, b * h, b * h * 1e-5);
      EXPECT_NEAR(s.concrete_ax2_sum, b * b * b * h / 12 * (1 - 1.0 / (s.FX * s.FX)),
                  b * b * b * h * 1e-5);
    }

    TSECTION t = Transposed(s);
    LayoutFibers(t);
    ComputeSectionProperties(state, t);
    EXPECT_EQ(t.torsion_constant, s.torsion_constant);
    const int n = s.fiber_count;
    ExpectWithinRunningRounding(t.concrete_ax2_sum, s.concrete_ay2_sum, 2 * n);
    ExpectWithinRunningRounding(t.concrete_ay2_sum, s.concrete_ax2_sum, 2 * n);
    ExpectWithinRunningRounding(t.steel_ax2_sum, s.steel_ay2_sum, 2 * n);
    ExpectWithinRunningRounding(t.steel_ay2_sum, s.steel_ax2_sum, 2 * n);
  }

  StringSink sink;
  WriteComponentFile(state, sink);
  ASSERT_EQ(sink.bytes().size(), expected_size);
  const ComponentFile file = ReadComponentFile(sink.bytes());
  ASSERT_EQ(file.sections.size(), static_cast<std::size_t>(kSections));
  for (int i = 1; i <= kSections; ++i) {
    const TSECTION& s = state.records[i];
    const FileSection& r = file.sections[i - 1];
    SCOPED_TRACE(i);
    ASSERT_EQ(r.fiber_count, s.fiber_count);
    EXPECT_EQ(r.name, s.NAME);
    EXPECT_EQ(testing::Bits(r.torsion_constant), testing::Bits(s.torsion_constant));
    EXPECT_EQ(testing::Bits(r.steel_ay2_sum), testing::Bits(s.steel_ay2_sum));
    EXPECT_EQ(testing::Bits(r.concrete_ax2_sum), testing::Bits(s.concrete_ax2_sum));
    for (int k = 0; k < s.fiber_count; ++k) {
      EXPECT_EQ(testing::Bits(r.fibers[k].x), testing::Bits(s.fibers[k].x));
      EXPECT_EQ(testing::Bits(r.fibers[k].y), testing::Bits(s.fibers[k].y));
      EXPECT_EQ(testing::Bits(r.fibers[k].area), testing::Bits(s.fibers[k].area));
      EXPECT_EQ(r.fibers[k].type, s.fibers[k].type);
      EXPECT_EQ(r.fibers[k].material, s.fibers[k].material);
    }
  }
}

}  // namespace
}  // namespace brenmoor

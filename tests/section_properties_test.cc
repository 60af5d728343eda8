#include "model/section_properties.h"

#include <gtest/gtest.h>

#include "model/errors.h"
#include "model/fiber_layout.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::Bits;
using testing::MakeSection;

TSECTION Computed(TSECTION s) {
  BrenmoorState state;
  BuildMaterialTable(state);
  LayoutFibers(s);
  ComputeSectionProperties(state, s);
  return s;
}

TEST(ComputeSectionProperties, WorkedExamplesToTheLastBit) {
  const struct {
    const char* what;
    TSECTION section;
    float shear_modulus, shear_area, torsion;
    float concrete_area, steel_area, concrete_ay2, steel_ay2, concrete_ax2, steel_ax2;
  } cases[] = {
      {"default section", testing::DefaultSection(), 13125.0f, 208333.328125f, 8802083840.0f,
       249999.890625f, 5960.0f, 5063656960.0f, 194236000.0f, 5063657984.0f, 194236000.0f},
      {"600 high, 400 wide, C30", testing::Section600x400(), 12500.0f, 200000.0f, 7512494080.0f,
       240000.0f, 4056.0f, 6999998976.0f, 187657600.0f, 2999998976.0f, 78233600.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TSECTION s = Computed(c.section);
    EXPECT_EQ(Bits(s.shear_modulus), Bits(c.shear_modulus));
    EXPECT_EQ(Bits(s.shear_area_1), Bits(c.shear_area));
    EXPECT_EQ(Bits(s.shear_area_2), Bits(c.shear_area));
    EXPECT_EQ(Bits(s.torsion_constant), Bits(c.torsion));
    EXPECT_EQ(Bits(s.concrete_area_sum), Bits(c.concrete_area));
    EXPECT_EQ(Bits(s.steel_area_sum), Bits(c.steel_area));
    EXPECT_EQ(Bits(s.concrete_ay2_sum), Bits(c.concrete_ay2));
    EXPECT_EQ(Bits(s.steel_ay2_sum), Bits(c.steel_ay2));
    EXPECT_EQ(Bits(s.concrete_ax2_sum), Bits(c.concrete_ax2));
    EXPECT_EQ(Bits(s.steel_ax2_sum), Bits(c.steel_ax2));
  }
}

TEST(ComputeSectionProperties, ShearModulusOfEveryMaterial) {
  const float expect[12] = {12500.0f,   13125.0f, 13541.667f, 13541.667f, 13958.333f, 14375.0f,
                            14791.667f, 15000.0f, 15208.333f, 15416.667f, 15833.333f, 85833.336f};
  for (int m = 0; m < 12; ++m) {
    SCOPED_TRACE(m);
    TSECTION s = testing::DefaultSection();
    s.concrete_material = m;
    EXPECT_EQ(Bits(Computed(s).shear_modulus), Bits(expect[m]));
  }
}

TEST(ComputeSectionProperties, TorsionIsTheSameForTheTransposedSection) {
  const TSECTION tall = Computed(MakeSection({"S", 1, 500, 300, 40, 2, 3, 3, 5, 400, 600, 200}));
  const TSECTION wide = Computed(MakeSection({"S", 1, 300, 500, 40, 3, 2, 5, 3, 600, 400, 200}));
  EXPECT_EQ(Bits(tall.torsion_constant), Bits(wide.torsion_constant));
  EXPECT_GT(tall.torsion_constant, 0.0f);
}

TEST(ComputeSectionProperties, OneSideZeroGivesZeroWithoutError) {
  const TSECTION s = Computed(MakeSection({"S", 1, 500, 0, 40, 5, 5, 6, 6, 1000, 1000, 490}));
  EXPECT_EQ(s.shear_area_1, 0.0f);
  EXPECT_EQ(s.torsion_constant, 0.0f);
}

TEST(ComputeSectionProperties, NoCellsGivesZeroConcreteSums) {
  const TSECTION s = Computed(MakeSection({"S", 1, 500, 500, 40, 5, 5, 0, 6, 1000, 1000, 490}));
  EXPECT_EQ(s.concrete_area_sum, 0.0f);
  EXPECT_EQ(s.concrete_ax2_sum, 0.0f);
  EXPECT_EQ(s.concrete_ay2_sum, 0.0f);
  EXPECT_EQ(s.steel_area_sum, 5960.0f);
}

TEST(ComputeSectionProperties, BothSidesZeroIsAnInvalidOperation) {
  BrenmoorState state;
  BuildMaterialTable(state);
  TSECTION s = MakeSection({"S", 1, 0, 0, 40, 5, 5, 6, 6, 1000, 1000, 490});
  s.torsion_constant = 7.0f;
  s.steel_area_sum = 9.0f;
  LayoutFibers(s);
  try {
    ComputeSectionProperties(state, s);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Invalid floating point operation");
  }
  EXPECT_EQ(s.shear_modulus, 13125.0f);  // computed before the torsion step
  EXPECT_EQ(s.torsion_constant, 7.0f);
  EXPECT_EQ(s.steel_area_sum, 9.0f);
}

TEST(ComputeSectionProperties, AResultBeyondFloat32IsAnOverflow) {
  BrenmoorState state;
  BuildMaterialTable(state);
  TSECTION s = MakeSection({"S", 1, 1e30f, 1e30f, 40, 0, 0, 0, 0, 0, 0, 0});
  LayoutFibers(s);
  try {
    ComputeSectionProperties(state, s);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Floating point overflow");
  }
}

TEST(PrepareSections, SkipsRecordsNoImportFilledAndRepeatsIdentically) {
  TSECTION unfilled = testing::DefaultSection();
  unfilled.kind = 0;
  BrenmoorState state =
      testing::StateWith(testing::DefaultSection(), unfilled, testing::Section600x400());
  PrepareSections(state);
  EXPECT_EQ(state.records[1].fiber_count, 60);
  EXPECT_EQ(state.records[2].fiber_count, 0);
  EXPECT_EQ(state.records[3].fiber_count, 42);
  const TSECTION first = state.records[3];
  PrepareSections(state);
  EXPECT_EQ(Bits(state.records[3].concrete_ax2_sum), Bits(first.concrete_ax2_sum));
  EXPECT_EQ(Bits(state.records[3].torsion_constant), Bits(first.torsion_constant));
}

}  // namespace
}  // namespace brenmoor

#include "model/fiber_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::MakeSection;

struct Fiber {
  int slot;  // counted from 1
  float x, y, area;
  int material, type;
};

struct LayoutCase {
  const char* what;
  TSECTION section;
  int fiber_count;
  std::vector<Fiber> fibers;  // the slots worth checking
};

TEST(LayoutFibers, PlacesEachGroupAtItsSlots) {
  const float third = 208.33333f, sixth = 41.666668f;
  const LayoutCase cases[] = {
      {"default section",
       testing::DefaultSection(),
       60,
       {{1, -140, 210, 200, 11, 0},
        {5, 140, 210, 200, 11, 0},
        {6, -140, -210, 200, 11, 0},
        {10, 140, -210, 200, 11, 0},
        {11, -210, -140, 200, 11, 0},
        {15, -210, 140, 200, 11, 0},
        {16, 210, -140, 200, 11, 0},
        {20, 210, 140, 200, 11, 0},
        {21, -210, -210, 490, 11, 0},
        {22, 210, 210, 490, 11, 0},
        {23, 210, -210, 490, 11, 0},
        {24, -210, 210, 490, 11, 0},
        {25, -third, -third, 6944.4443f, 1, 1},
        {26, -125, -third, 6944.4443f, 1, 1},
        {27, -sixth, -third, 6944.4443f, 1, 1},
        {28, sixth, -third, 6944.4443f, 1, 1},
        {31, -third, -125, 6944.4443f, 1, 1},
        {60, third, third, 6944.4443f, 1, 1}}},
      {"600 high, 400 wide",
       testing::Section600x400(),
       42,
       {{1, -80, 260, 200, 11, 0},
        {3, 80, 260, 200, 11, 0},
        {4, -80, -260, 200, 11, 0},
        {7, -160, -156, 200, 11, 0},
        {10, -160, 156, 200, 11, 0},
        {11, 160, -156, 200, 11, 0},
        {14, 160, 156, 200, 11, 0},
        {15, -160, -260, 314, 11, 0},
        {18, -160, 260, 314, 11, 0},
        {19, -150, -250, 10000, 0, 1},
        {22, 150, -250, 10000, 0, 1},
        {23, -150, -150, 10000, 0, 1},
        {42, 150, 250, 10000, 0, 1}}},
      {"corner bars only",
       MakeSection({"S", 1, 500, 500, 40, 0, 0, 0, 0, 0, 0, 490}),
       4,
       {{1, -210, -210, 490, 11, 0},
        {2, 210, 210, 490, 11, 0},
        {3, 210, -210, 490, 11, 0},
        {4, -210, 210, 490, 11, 0}}},
      {"no X bars: Y bars start at slot 1",
       MakeSection({"S", 1, 700, 300, 50, 0, 2, 0, 0, 0, 600, 100}),
       8,
       {{1, -100, -100, 300, 11, 0},
        {2, -100, 100, 300, 11, 0},
        {3, 100, -100, 300, 11, 0},
        {4, 100, 100, 300, 11, 0},
        {5, -100, -300, 100, 11, 0},
        {8, -100, 300, 100, 11, 0}}},
      {"FX 0: no cells",
       MakeSection({"S", 1, 500, 500, 40, 5, 5, 0, 3, 1000, 1000, 490}),
       24,
       {{24, -210, 210, 490, 11, 0}}},
      {"one X bar sits at x 0 with the whole area",
       MakeSection({"S", 1, 500, 500, 40, 1, 0, 0, 0, 314, 0, 0}),
       6,
       {{1, 0, 210, 314, 11, 0}, {2, 0, -210, 314, 11, 0}, {3, -210, -210, 0, 11, 0}}},
      {"one cell covers the whole rectangle",
       MakeSection({"S", 4, 600, 400, 40, 0, 0, 1, 1, 0, 0, 0}),
       5,
       {{5, 0, 0, 240000, 4, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TSECTION s = c.section;
    LayoutFibers(s);
    EXPECT_EQ(s.fiber_count, c.fiber_count);
    for (const Fiber& f : c.fibers) {
      SCOPED_TRACE(f.slot);
      const FiberSlot& got = s.fibers[f.slot - 1];
      EXPECT_EQ(got.x, f.x);
      EXPECT_EQ(got.y, f.y);
      EXPECT_EQ(got.area, f.area);
      EXPECT_EQ(got.material, f.material);
      EXPECT_EQ(got.type, f.type);
    }
  }
}

TEST(LayoutFibers, RoundsEachValueOnceFromExtendedPrecision) {
  // 250000/36 rounded once; rounding w = 500/6 to float32 first would give
  // a different last bit for the cell area.
  TSECTION s = testing::DefaultSection();
  LayoutFibers(s);
  EXPECT_EQ(testing::Bits(s.fibers[24].area), testing::Bits(6944.4443359375f));
  EXPECT_EQ(s.fibers[24].area, static_cast<float>(250000.0L / 36.0L));
}

TEST(LayoutFibers, RepeatsIdenticallyAndLeavesHigherSlotsAlone) {
  TSECTION s = MakeSection({"S", 1, 500, 500, 40, 0, 0, 0, 0, 0, 0, 490});
  s.fibers[10].x = 123.0f;
  LayoutFibers(s);
  const TSECTION first = s;
  LayoutFibers(s);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(testing::Bits(s.fibers[k].x), testing::Bits(first.fibers[k].x));
  EXPECT_EQ(s.fibers[10].x, 123.0f);
}

}  // namespace
}  // namespace brenmoor

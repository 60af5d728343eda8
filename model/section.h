#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace brenmoor {

// A section holds at most this many fibers: the component file has room for
// 60 per section, and the window tells the engineer so.
inline constexpr int kMaxFibers = 60;

// Fiber types as the component file carries them.
inline constexpr std::int32_t kSteelFiber = 0;
inline constexpr std::int32_t kConcreteFiber = 1;

// The only section kind this tool creates: a rectangular column.
inline constexpr std::int32_t kRectangularColumn = 1;

// One bar or concrete cell. Coordinates in mm from the centre of the section
// (x along the width B, y along the height H), area in mm².
struct FiberSlot {
  float x = 0.0f;
  float y = 0.0f;
  float area = 0.0f;
  std::int32_t material = 0;  // index into the material table
  std::int32_t type = 0;      // kSteelFiber or kConcreteFiber
};

// One column section: what the table gave for it, its fibers and its elastic
// properties. A plain value with its fibers inline, so laying out and computing
// a section allocate nothing. Lengths in mm, areas mm², second moments and the
// torsion constant mm⁴, moduli N/mm².
struct TSECTION {
  std::int32_t kind = 0;  // kRectangularColumn once an import filled it
  float H = 0.0f;         // height, along y
  float B = 0.0f;         // width, along x
  std::int32_t concrete_material = 0;
  std::int32_t steel_material = 0;
  std::string NAME;
  std::int32_t NX = 0;  // bars on each face parallel to x, corner bars excluded
  std::int32_t NY = 0;  // bars on each face parallel to y, corner bars excluded
  float CC = 0.0f;      // bar centroid to the nearest face (not the clear cover)
  std::int32_t FX = 0;  // concrete cells across the width
  std::int32_t FY = 0;  // concrete cells across the height
  float ASX = 0.0f;     // total area of the NX bars of one face
  float ASY = 0.0f;     // total area of the NY bars of one face
  float ASCOR = 0.0f;   // area of one corner bar

  // Fiber k (counted from 1, as the file counts them) is fibers[k - 1].
  std::array<FiberSlot, kMaxFibers> fibers{};
  std::int32_t fiber_count = 0;

  float shear_area_1 = 0.0f;
  float shear_area_2 = 0.0f;
  float torsion_constant = 0.0f;
  float shear_modulus = 0.0f;
  float concrete_area_sum = 0.0f;
  float steel_area_sum = 0.0f;
  float concrete_ay2_sum = 0.0f;
  float steel_ay2_sum = 0.0f;
  float concrete_ax2_sum = 0.0f;
  float steel_ax2_sum = 0.0f;
};

// A material the analysis model must define under the same name.
struct TMAT {
  std::string name;
  float modulus = 0.0f;  // elastic modulus, N/mm²
};

}  // namespace brenmoor

#pragma once

#include <bit>
#include <cstdint>
#include <string>

#include "model/errors.h"
#include "model/materials.h"
#include "model/section.h"
#include "model/state.h"

namespace brenmoor::testing {

inline std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

struct SectionValues {
  std::string name;
  int concrete;  // material index
  float H, B, CC;
  int NX, NY, FX, FY;
  float ASX, ASY, ASCOR;
};

inline TSECTION MakeSection(const SectionValues& in) {
  TSECTION s;
  s.kind = kRectangularColumn;
  s.NAME = in.name;
  s.concrete_material = in.concrete;
  s.steel_material = 11;
  s.H = in.H;
  s.B = in.B;
  s.CC = in.CC;
  s.NX = in.NX;
  s.NY = in.NY;
  s.FX = in.FX;
  s.FY = in.FY;
  s.ASX = in.ASX;
  s.ASY = in.ASY;
  s.ASCOR = in.ASCOR;
  return s;
}

// The window's default section: 500 × 500, C35, 60 fibers.
inline TSECTION DefaultSection() {
  return MakeSection({"COLSEC1", 1, 500, 500, 40, 5, 5, 6, 6, 1000, 1000, 490});
}

// 600 high, 400 wide, C30, 42 fibers.
inline TSECTION Section600x400() {
  return MakeSection({"C600X400", 0, 600, 400, 40, 3, 4, 4, 6, 600, 800, 314});
}

// A state holding the material table and the given sections as records 1..n.
template <typename... Sections>
BrenmoorState StateWith(const Sections&... sections) {
  BrenmoorState state;
  BuildMaterialTable(state);
  state.records.resize(1);
  (state.records.push_back(sections), ...);
  state.imported_count = static_cast<std::int32_t>(sizeof...(sections));
  return state;
}

// The message that f() throws, or "no error".
template <typename F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace brenmoor::testing

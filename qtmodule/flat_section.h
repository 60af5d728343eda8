#pragma once

// The one conversion of a section record to the request's flat struct and
// back: the program makes the flat sections, the module its own records from
// them. A field added to SectionInput is added here and in request.h, and
// nowhere else on the way to the window and the reports.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/section.h"
#include "qtmodule/request.h"

namespace brenmoor {

inline BrenmoorQtSection FlatSection(const TSECTION& s) {
  BrenmoorQtSection flat;
  std::memset(&flat, 0, sizeof flat);
  flat.kind = s.kind;
  flat.H = s.H;
  flat.B = s.B;
  flat.CC = s.CC;
  flat.NX = s.NX;
  flat.NY = s.NY;
  flat.FX = s.FX;
  flat.FY = s.FY;
  flat.ASX = s.ASX;
  flat.ASY = s.ASY;
  flat.ASCOR = s.ASCOR;
  flat.concrete_material = s.concrete_material;
  flat.steel_material = s.steel_material;
  // The import refuses a longer name; a longer one here would be cut.
  flat.name_size = static_cast<std::int32_t>(std::min(s.NAME.size(), sizeof flat.name));
  std::memcpy(flat.name, s.NAME.data(), static_cast<std::size_t>(flat.name_size));
  if (s.stirrups) {
    flat.has_stirrups = 1;
    flat.stirrup_d = s.stirrups->d;
    flat.stirrup_s = s.stirrups->s;
    flat.stirrup_legs_x = s.stirrups->legs_x;
    flat.stirrup_legs_y = s.stirrups->legs_y;
  }
  return flat;
}

inline TSECTION SectionFromFlat(const BrenmoorQtSection& flat) {
  TSECTION s;
  s.kind = flat.kind;
  s.H = flat.H;
  s.B = flat.B;
  s.CC = flat.CC;
  s.NX = flat.NX;
  s.NY = flat.NY;
  s.FX = flat.FX;
  s.FY = flat.FY;
  s.ASX = flat.ASX;
  s.ASY = flat.ASY;
  s.ASCOR = flat.ASCOR;
  s.concrete_material = flat.concrete_material;
  s.steel_material = flat.steel_material;
  s.NAME.assign(flat.name, static_cast<std::size_t>(
                               std::clamp<std::int32_t>(flat.name_size, 0, sizeof flat.name)));
  if (flat.has_stirrups != 0) {
    s.stirrups = Stirrups{flat.stirrup_d, flat.stirrup_s, flat.stirrup_legs_x, flat.stirrup_legs_y};
  }
  return s;
}

}  // namespace brenmoor

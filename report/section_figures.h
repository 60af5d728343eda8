#pragma once

#include "model/progress.h"
#include "model/section.h"
#include "model/state.h"

// The report's figures that need no drawing, for the properties table as well
// as the PDF; plain C++, so that `report --csv` loads no window toolkit.
namespace brenmoor {

// What the report says about one prepared section (LayoutFibers and
// ComputeSectionProperties done), taken from the float32 values the
// component file carries.
struct SectionFigures {
  int bars = 0;   // steel fibers
  int cells = 0;  // concrete fibers
  // As / (B·H) in percent, from the float32 steel area sum and the float32
  // sides; not a number when B·H is 0.
  double rho_percent = 0.0;
};

SectionFigures FiguresOf(const TSECTION& prepared);

// A copy of the imported sections of state, prepared exactly as the generate
// command prepares them before writing (PrepareSections): record i of the
// copy holds the values the component file gets for section i. state itself
// is not changed. Throws what PrepareSections throws; with a progress,
// counts the sections and stops with Cancelled when asked to.
BrenmoorState PreparedCopy(const BrenmoorState& state, Progress* progress = nullptr);

}  // namespace brenmoor

#include "report/section_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/section_properties.h"

namespace brenmoor {

SectionFigures FiguresOf(const TSECTION& prepared) {
  SectionFigures figures;
  for (int k = 0; k < prepared.fiber_count && k < kMaxFibers; ++k) {
    if (prepared.fibers[k].type == kSteelFiber) ++figures.bars;
    if (prepared.fibers[k].type == kConcreteFiber) ++figures.cells;
  }
  const double gross = static_cast<double>(prepared.B) * static_cast<double>(prepared.H);
  figures.rho_percent = gross != 0.0 ? 100.0 * prepared.steel_area_sum / gross
                                     : std::numeric_limits<double>::quiet_NaN();
  return figures;
}

BrenmoorState PreparedCopy(const BrenmoorState& state, Progress* progress) {
  BrenmoorState copy;
  copy.materials = state.materials;
  copy.imported_count = state.imported_count;
  copy.records.assign(
      state.records.begin(),
      state.records.begin() +
          std::min<std::size_t>(state.records.size(),
                                static_cast<std::size_t>(state.imported_count) + 1));
  PrepareSections(copy, progress);
  return copy;
}

}  // namespace brenmoor

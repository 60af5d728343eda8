#pragma once

// The biaxial contours in the two steps a search over grids needs: the exact
// contour once per section (it does not depend on the grid), the fiber
// error per grid, which may give up early. ComputeBiaxialCapacity takes the
// same steps, so both give the same figure to the bit. Not for use outside
// capacity/.

#include <array>
#include <limits>

#include "capacity/biaxial.h"

namespace brenmoor::capacity_internal {

// One model's moments at N, in N·mm, [k] at θ = 5k°; all 0 when the model
// does not carry N.
struct Contour {
  bool holds = false;
  std::array<BiaxialMoment, kBiaxialDirections> M{};
  double largest = 0.0;  // N·mm, the largest |M|
};

// N in N.
Contour ExactContour(const CapacitySection& section, double N);
Contour FiberContour(const CapacitySection& section, double N);

// The biaxial fiber error (percent) of section's cells and bars at N against
// exact: max over θ of |M_fiber − M_exact| over exact.largest. Once one
// direction's difference alone exceeds give_up_above, that partial figure is
// returned. *worst is the direction tried first (the worst one of a grid
// tried before, as a guess) and becomes the worst one found.
double ContourErrorPct(const CapacitySection& section, double N, const Contour& exact,
                       double give_up_above, int* worst);

}  // namespace brenmoor::capacity_internal

#pragma once

#include <array>
#include <vector>

#include "capacity/capacity.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// ---- Biaxial bending at one axial load --------------------------------------
// A column bends about both axes at once; the analysis program traces that
// through the fibers. For each direction θ the section is bent so that its
// compression grows along u = (cos θ, sin θ) (x along B, y along H, origin at
// the centre): the extreme compressed point is the corner with the largest
// projection x·cos θ + y·sin θ, the opposite corner the smallest, and the
// tension-most bar the corner bar (±(B/2 − CC), ±(H/2 − CC)) with the
// smallest projection. Over the depth D = B·|cos θ| + H·|sin θ| measured
// along u, with the tension-most bar at D − CC·(|cos θ| + |sin θ|), the
// states are those of the uniaxial ultimate path (pivots A, B, C; see
// capacity.h), and at the axial load N the one state whose N it is gives
//   Mx = ∫σ·y dA,  My = ∫σ·x dA   (kN·m, compression positive),
// so at θ = 90° (Mx, My) = (M about x, 0), and at θ = 0° (0, M about y),
// the ultimate moments of ComputeAxisCapacity's path at that N.
//   exact  the gross rectangle integrated in closed form: the stress depends
//          only on the projection p on u, so each edge of the rectangle
//          contributes ∫σ(p)·(polynomial of p) dp (Green's theorem), split
//          where the strain crosses 0 and ε0; plus the bars as points;
//   fiber  the layout's cells at the strains of their centroids, and the bars.
// The resultant moment is not in general along u: for a rectangle bent off
// its axes the neutral axis and the moment are not at right angles.
//
// Reference, KZ1 of examples/sample.csv (500 × 500, C35, HRB400 design),
// r = 0.3, N = 1252.5 kN: θ = 90° gives Mx = 579.3 kN·m (the end moment of
// the moment–curvature curve at that N), θ = 45° Mx = My = 349.0 kN·m.

inline constexpr int kBiaxialDirections = 72;  // θ = 0°, 5°, …, 355°
inline constexpr int kBiaxialStepDegrees = 5;

struct BiaxialMoment {
  double Mx = 0.0;  // kN·m
  double My = 0.0;  // kN·m
};

// The figures of one section at one axial load.
struct BiaxialFigures {
  double N = 0.0;  // kN, AxialLoad(section, r)
  // Whether the section carries N: Nt ≤ N ≤ N0 of the exact model (figures
  // of ComputeAxisCapacity). When it does not, every other figure is 0 and
  // means nothing: the CSV leaves them empty.
  bool holds = false;
  double M_min = 0.0;  // kN·m, the smallest |(Mx, My)| of the exact contour
  double M_max = 0.0;  // kN·m, the largest
  // max over θ of |(Mx, My)fiber − (Mx, My)exact| over M_max, in percent (0
  // when M_max is 0). Where the fiber model does not carry N its moments
  // count as 0, which gives 100 %.
  double fiber_error_pct = 0.0;
};

struct BiaxialCapacity {
  BiaxialFigures figures;
  // Whether the fiber model carries N (its own Nt ≤ N ≤ its own N0, which
  // differ from the exact ones by the cells' areas); when not, fiber is 0.
  bool fiber_holds = false;
  // [k] at θ = 5k°; 0 where the model does not carry N. A component below
  // 10⁻¹² of fc·B·H·max(B, H) is rounding of a moment that is 0 by symmetry
  // and is given as 0.
  std::array<BiaxialMoment, kBiaxialDirections> exact{};
  std::array<BiaxialMoment, kBiaxialDirections> fiber{};
};

// The contours of one section at N = AxialLoad(section, axial_ratio).
// Every tolerance is a fraction of the section's own forces (see capacity.h),
// so the figures scale with the section's size. About 0.2 ms a section.
BiaxialCapacity ComputeBiaxialCapacity(const CapacitySection& section, double axial_ratio);

// The figures of every imported section (records 1 .. imported_count,
// result [r − 1]) at options.axial_ratio, on every core. Refuses as
// ComputeCapacityTable does, before computing anything; with a progress,
// counts the sections ("Computing biaxial bending") and stops with Cancelled
// when asked to.
std::vector<BiaxialFigures> ComputeBiaxialTable(const BrenmoorState& state,
                                                const CapacityOptions& options,
                                                Progress* progress = nullptr);

}  // namespace brenmoor

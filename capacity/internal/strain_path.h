#pragma once

// What the uniaxial, biaxial and grid-search code of capacity/ share: the path
// of ultimate strain states, the root finder, the tolerances taken against a
// section's own scale, and the uniaxial fiber error in two steps so that the
// grid search can stop early. Not for use outside capacity/.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "capacity/capacity.h"

namespace brenmoor::capacity_internal {

// The bars' tensile strain limit, where the path begins.
inline constexpr double kSteelTensionLimit = -0.01;

// A strain line over a depth D: top at depth 0 (the extreme compressed
// point), bottom at depth D (the extreme opposite point).
struct StrainLine {
  double top = 0.0;
  double bottom = 0.0;
};

// The two depths that fix the path: D from the extreme compressed point to
// the opposite one, bar_depth from the extreme compressed point to the
// tension-most bar.
struct PathDepths {
  double D = 0.0;
  double bar_depth = 0.0;
};

// The path of ultimate strain states, t from 0 (uniform −0.01) to 3 (uniform
// ε0):
//   A, t in [0, 1]: the tension-most bar at −0.01, the top from −0.01 to εcu;
//   B, t in [1, 2]: the top at εcu, the bottom from where A ended up to 0;
//   C, t in [2, 3]: the bottom from 0 to ε0, the line turning about the point
//      at depth (1 − ε0/εcu)·D, which is at ε0.
StrainLine PathState(const ConcreteLaw& law, const PathDepths& depths, double t);

// Where the balanced state (top at εcu, tension-most bar at −fy/Es) lies on
// the path.
double BalancedT(const CapacitySection& section, const PathDepths& depths);

// The scale of a section's forces, fc·B·H + max(fy, fy′)·Σ|As| (N): every
// tolerance on N is a fraction of it, so that a section's figures scale with
// its size (a section s times as large carries s² times the force).
double ForceScale(const CapacitySection& section);

// A moment in kN·m from N·mm. What is left of a moment that is 0 by symmetry
// is rounding, not a figure: below 10⁻¹² of fc·B·H·D (D the depth the moment
// acts over) it is reported as 0.
double KiloNewtonMetres(const CapacitySection& section, double D, double m);

inline constexpr double kKiloNewtons = 1e-3;  // N to kN

// N = r·fc·B·H (N), fc the design strength of the section's concrete.
double AxialLoadNewtons(const CapacitySection& section, double axial_ratio);

// A root of f in [lo, hi], where f(lo) ≤ 0 ≤ f(hi), by Brent's method
// (inverse quadratic and secant steps, a halving only where they stall),
// to |f| ≤ f_tol or an interval of x_tol.
template <typename F>
double FindRoot(F&& f, double lo, double hi, double flo, double fhi, double f_tol, double x_tol) {
  if (std::abs(flo) <= f_tol) return lo;
  if (std::abs(fhi) <= f_tol) return hi;
  double a = lo, b = hi, fa = flo, fb = fhi;
  double c = a, fc = fa, d = b - a, e = d;
  for (int iteration = 0; iteration < 200; ++iteration) {
    if ((fb > 0) == (fc > 0)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::abs(fc) < std::abs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol = 2 * std::numeric_limits<double>::epsilon() * std::abs(b) + x_tol / 2;
    const double m = (c - b) / 2;
    if (std::abs(m) <= tol || std::abs(fb) <= f_tol) return b;
    if (std::abs(e) >= tol && std::abs(fa) > std::abs(fb)) {
      double p, q;
      const double s = fb / fa;
      if (a == c) {
        p = 2 * m * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2 * m * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) {
        q = -q;
      } else {
        p = -p;
      }
      if (2 * p < std::min(3 * m * q - std::abs(tol * q), std::abs(e * q))) {
        e = d;
        d = p / q;
      } else {
        d = m;
        e = m;
      }
    } else {
      d = m;
      e = m;
    }
    a = b;
    fa = fb;
    b += std::abs(d) > tol ? d : (m > 0 ? tol : -tol);
    fb = f(b);
  }
  return b;
}

// Where a model's path begins and ends along N, in N: Nt at uniform −0.01,
// N_end at uniform ε0 with the law's stresses, N0 at uniform ε0 with the
// bars at fy_axial (N0 ≤ N_end). A model carries N when Nt ≤ N ≤ N0. The
// same whichever way the section bends, and the same figures as
// ComputeAxisCapacity's.
struct AxialRange {
  double Nt = 0.0;
  double N_end = 0.0;
  double N0 = 0.0;
};
AxialRange AxialRangeOf(const CapacitySection& section, CapacityModel model);

// ---- The uniaxial fiber error in two steps ----------------------------------
// The exact model does not depend on the concrete grid, so a search over
// grids computes its part once (ExactErrorLevels) and the fiber part per grid
// (FiberErrorPct), which may give up as soon as the error is known to exceed
// a bound. ComputeAxisCapacity takes the same two steps, so both give the
// same figure to the bit.

inline constexpr int kErrorLevels = 19;  // N_k = Nt + k·(N0 − Nt)/20, k = 1 … 19

struct ErrorLevels {
  std::array<double, kErrorLevels> N{};  // N
  std::array<double, kErrorLevels> M{};  // N·mm, exact; 0 where it cannot reach N_k
  double largest = 0.0;                  // the largest of M
};

// The levels of a section about one axis and the exact model's moments there.
ErrorLevels ExactErrorLevels(const CapacitySection& section, BendingAxis axis);

// The fiber error (percent) of section's cells and bars at the levels:
// max |M_fiber − M_exact| over the largest M_exact, the fiber model's M
// counting as 0 where it cannot reach a level. Once a level's difference
// alone exceeds give_up_above (percent), that partial figure is returned
// (it is then above give_up_above, and below the full one).
double FiberErrorPct(const CapacitySection& section, BendingAxis axis, const ErrorLevels& levels,
                     double give_up_above = std::numeric_limits<double>::infinity());

}  // namespace brenmoor::capacity_internal

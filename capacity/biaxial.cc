#include "capacity/biaxial.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>

#include "capacity/internal/biaxial_contour.h"
#include "capacity/internal/strain_path.h"
#include "model/parallel.h"

namespace brenmoor {
namespace capacity_internal {
namespace {

// The directions of the first quadrant, 0° to 90°: a section that is its own
// mirror image across both axes needs no others.
constexpr int kQuadrantDirections = 90 / kBiaxialStepDegrees + 1;

struct Direction {
  double c = 1.0;  // cos θ
  double s = 0.0;  // sin θ
};

// θ = 5k°, exact at the quarter turns (so that θ = 90° is bending about x to
// the bit) and with cos = sin at 45°.
Direction DirectionOf(int k) {
  const int degrees = (k * kBiaxialStepDegrees) % 360;
  const int rest = degrees % 90;
  Direction d;
  if (rest == 45) {
    d.c = d.s = std::sqrt(0.5);
  } else if (rest != 0) {
    const double radians = rest * std::numbers::pi / 180;
    d.c = std::cos(radians);
    d.s = std::sin(radians);
  }
  for (int quarter = degrees / 90; quarter > 0; --quarter) d = {-d.s, d.c};
  return d;
}

// N in N, moments in N·mm.
struct Resultant3 {
  double N = 0.0;
  double Mx = 0.0;
  double My = 0.0;
};

// The section bent along one direction: the depths of its path.
struct DirectionView {
  const CapacitySection* section = nullptr;
  Direction d;
  PathDepths depths;
};

DirectionView ViewAlong(const CapacitySection& section, int k) {
  const Direction d = DirectionOf(k);
  const double ac = std::abs(d.c), as = std::abs(d.s);
  // From the extreme compressed corner to the opposite one, and to the corner
  // bar nearest that one, which is CC inside along x and along y.
  const double D = section.B * ac + section.H * as;
  return {&section, d, {D, D - section.CC * (ac + as)}};
}

// ---- The rectangle in closed form ------------------------------------------
// In coordinates p along u and q along v = (−sin θ, cos θ), the stress is
// σ(p), with the strain ε = centre + g·p. By Green's theorem, for the
// rectangle's edges taken counterclockwise,
//   ∫∫ σ dA = −∮ σ·q dp,  ∫∫ σ·p dA = −∮ σ·p·q dp,  ∫∫ σ·q dA = −∮ σ·q²/2 dp,
// and along an edge q is linear in p, so each edge gives integrals of σ(p)
// times polynomials of degree 2 at most. An edge at right angles to u gives
// nothing.

constexpr double kNodes[5] = {-0.9061798459386640, -0.5384693101056831, 0.0, 0.5384693101056831,
                              0.9061798459386640};
constexpr double kWeights[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                0.4786286704993665, 0.2369268850561891};

// s^(n + extra), s ≥ 0; n = 2 (C50 and below) without pow.
double PowerOf(const ConcreteLaw& law, double s, int extra) {
  if (law.n == 2.0) {
    double power = s * s;
    for (int i = 0; i < extra; ++i) power *= s;
    return power;
  }
  return std::pow(s, law.n + extra);
}

// c0 + c1·τ + c2·τ², τ = p − p*.
struct Quadratic {
  double c[3] = {0, 0, 0};
  // ∫ from τa to τb.
  double Integral(double ta, double tb) const {
    return c[0] * (tb - ta) + c[1] * (tb * tb - ta * ta) / 2 +
           c[2] * (tb * tb * tb - ta * ta * ta) / 3;
  }
};

struct EdgeSums {
  double n = 0.0;  // ∫σ·q dp
  double u = 0.0;  // ∫σ·p·q dp
  double v = 0.0;  // ∫σ·q²/2 dp
};

// ∫ s(τ)^n · τ^j dτ, j = 0, 1, 2, from τ = 0, where s = s_near, to τ_far,
// where s = s_near + ds, ds ≥ 0, s_near the end nearer to s = 0 (the peak
// strain ε0).
std::array<double, 3> PowerMoments(const ConcreteLaw& law, double s_near, double ds, double t_far) {
  std::array<double, 3> J{};
  if (ds == 0) {
    const double power = PowerOf(law, s_near, 0);
    for (int j = 0; j < 3; ++j) J[j] = power * std::pow(t_far, j + 1) / (j + 1);
    return J;
  }
  if (s_near <= 4 * ds) {
    // With s as the variable, τ = (s − s_near)·t_far/ds:
    //   J_j = (t_far/ds)^(j+1) · ∫ s^n·(s − s_near)^j ds over [s_near, s_near + ds],
    // the powers of (s − s_near) expanded; as s_near is at most 4·ds the
    // expanded terms cancel little.
    const double s_far = s_near + ds;
    double S[4];  // S[k] = ∫ s^(n+k−1) ds = (s_far^(n+k) − s_near^(n+k))/(n+k)
    const double far1 = PowerOf(law, s_far, 1), near1 = PowerOf(law, s_near, 1);
    S[1] = (far1 - near1) / (law.n + 1);
    S[2] = (far1 * s_far - near1 * s_near) / (law.n + 2);
    S[3] = (far1 * s_far * s_far - near1 * s_near * s_near) / (law.n + 3);
    const double r = t_far / ds;
    J[0] = S[1] * r;
    J[1] = (S[2] - s_near * S[1]) * r * r;
    J[2] = (S[3] - 2 * s_near * S[2] + s_near * s_near * S[1]) * r * r * r;
    return J;
  }
  // Away from s = 0 the power is smooth over a piece this short (ds below a
  // quarter of s), and five Gauss–Legendre points are exact to rounding.
  const double half = t_far / 2;
  for (int i = 0; i < 5; ++i) {
    const double tau = half * (1 + kNodes[i]);
    const double weight = kWeights[i] * half * PowerOf(law, s_near + ds * (1 + kNodes[i]) / 2, 0);
    J[0] += weight;
    J[1] += weight * tau;
    J[2] += weight * tau * tau;
  }
  return J;
}

// One edge from (p1, q1) to (p2, q2) into sums.
void AddEdge(const ConcreteLaw& law, double centre, double g, double p1, double q1, double p2,
             double q2, EdgeSums& sums) {
  if (p1 == p2) return;
  const double slope = (q2 - q1) / (p2 - p1);
  const double lo = std::min(p1, p2), hi = std::max(p1, p2);
  const double direction = p2 > p1 ? 1.0 : -1.0;
  double cuts[4] = {lo, hi, hi, hi};
  int count = 1;
  if (g != 0) {
    for (double strain : {0.0, law.eps0}) {
      const double p = (strain - centre) / g;
      if (p > lo && p < hi) cuts[count++] = p;
    }
  }
  cuts[count++] = hi;
  std::sort(cuts, cuts + count);
  for (int i = 0; i + 1 < count; ++i) {
    const double a = cuts[i], b = cuts[i + 1];
    if (!(b > a)) continue;
    const double middle = centre + g * ((a + b) / 2);
    if (middle <= 0) continue;
    const bool plateau = middle >= law.eps0;
    // The polynomials about p*: the end where the law's power is smallest.
    double s_a = 0, s_b = 0;
    if (!plateau) {
      s_a = std::clamp(1 - (centre + g * a) / law.eps0, 0.0, 1.0);
      s_b = std::clamp(1 - (centre + g * b) / law.eps0, 0.0, 1.0);
    }
    const bool at_a = plateau || s_a <= s_b;
    const double p_star = at_a ? a : b;
    const double qs = q1 + slope * (p_star - p1);
    const Quadratic n{{qs, slope, 0}};
    const Quadratic u{{p_star * qs, p_star * slope + qs, slope}};
    const Quadratic v{{qs * qs / 2, qs * slope, slope * slope / 2}};
    const double ta = a - p_star, tb = b - p_star;
    EdgeSums piece{n.Integral(ta, tb), u.Integral(ta, tb), v.Integral(ta, tb)};
    if (!plateau) {
      // σ = fc·(1 − s^n): take away the power's part.
      const double s_near = at_a ? s_a : s_b, s_far = at_a ? s_b : s_a;
      const std::array<double, 3> J =
          PowerMoments(law, s_near, s_far - s_near, at_a ? b - a : a - b);
      const double from_a = at_a ? 1.0 : -1.0;
      auto times = [&](const Quadratic& poly) {
        return from_a * (poly.c[0] * J[0] + poly.c[1] * J[1] + poly.c[2] * J[2]);
      };
      piece.n -= times(n);
      piece.u -= times(u);
      piece.v -= times(v);
    }
    sums.n += direction * law.fc * piece.n;
    sums.u += direction * law.fc * piece.u;
    sums.v += direction * law.fc * piece.v;
  }
}

Resultant3 ExactConcrete(const CapacitySection& section, Direction d, double centre, double g) {
  const double x[4] = {section.B / 2, section.B / 2, -section.B / 2, -section.B / 2};
  const double y[4] = {-section.H / 2, section.H / 2, section.H / 2, -section.H / 2};
  double p[4], q[4];
  for (int i = 0; i < 4; ++i) {
    p[i] = x[i] * d.c + y[i] * d.s;
    q[i] = -x[i] * d.s + y[i] * d.c;
  }
  EdgeSums sums;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    AddEdge(section.concrete, centre, g, p[i], q[i], p[j], q[j], sums);
  }
  const double Mu = -sums.u, Mv = -sums.v;
  return {-sums.n, d.s * Mu + d.c * Mv, d.c * Mu - d.s * Mv};
}

// Bars (steel given) or cells (steel null) at the strains of their centres.
void AddPoints(const std::vector<CapacityBar>& points, Direction d, double centre, double g,
               const SteelLaw* steel, const ConcreteLaw& concrete, Resultant3& r) {
  for (const CapacityBar& point : points) {
    const double strain = centre + g * (point.x * d.c + point.y * d.s);
    const double sigma = steel ? SteelStress(*steel, strain) : ConcreteStress(concrete, strain);
    const double force = sigma * point.area;
    r.N += force;
    r.Mx += force * point.y;
    r.My += force * point.x;
  }
}

Resultant3 ResultantAlong(const DirectionView& view, CapacityModel model, double t) {
  const CapacitySection& s = *view.section;
  const StrainLine line = PathState(s.concrete, view.depths, t);
  // The depth's middle is the centre of the rectangle, p = 0.
  const double centre = (line.top + line.bottom) / 2;
  const double g = (line.top - line.bottom) / view.depths.D;
  Resultant3 r;
  AddPoints(s.bars, view.d, centre, g, &s.steel, s.concrete, r);
  if (model == CapacityModel::kExact) {
    const Resultant3 c = ExactConcrete(s, view.d, centre, g);
    r.N += c.N;
    r.Mx += c.Mx;
    r.My += c.My;
  } else {
    AddPoints(s.cells, view.d, centre, g, nullptr, s.concrete, r);
  }
  return r;
}

// The state of the path along view whose N is N, which the range says the
// model carries.
Resultant3 StateAtN(const DirectionView& view, CapacityModel model, double N,
                    const AxialRange& range) {
  const double f_tol = 1e-10 * ForceScale(*view.section);
  Resultant3 last;
  double last_t = -1;
  auto f = [&](double t) {
    last = ResultantAlong(view, model, t);
    last_t = t;
    return last.N - N;
  };
  const double t = FindRoot(f, 0, 3, range.Nt - N, range.N_end - N, f_tol, 1e-13);
  if (t != last_t) f(t);
  return last;
}

// Whether points are their own mirror images across the x axis and across
// the y axis, to the last bit: then so is every state's stress field, and
// θ, 180° − θ, 180° + θ and 360° − θ give the same moments up to their signs.
bool MirrorSymmetric(const std::vector<CapacityBar>& points) {
  auto sorted = [](std::vector<CapacityBar> v) {
    std::sort(v.begin(), v.end(), [](const CapacityBar& a, const CapacityBar& b) {
      return std::tie(a.x, a.y, a.area) < std::tie(b.x, b.y, b.area);
    });
    return v;
  };
  const std::vector<CapacityBar> original = sorted(points);
  for (int axis = 0; axis < 2; ++axis) {
    std::vector<CapacityBar> mirrored = points;
    for (CapacityBar& p : mirrored) (axis == 0 ? p.x : p.y) = -(axis == 0 ? p.x : p.y);
    mirrored = sorted(std::move(mirrored));
    for (std::size_t i = 0; i < original.size(); ++i) {
      const CapacityBar &a = original[i], &b = mirrored[i];
      if (a.x != b.x || a.y != b.y || a.area != b.area) return false;
    }
  }
  return true;
}

bool Symmetric(const CapacitySection& section, CapacityModel model) {
  return MirrorSymmetric(section.bars) &&
         (model == CapacityModel::kExact || MirrorSymmetric(section.cells));
}

// The directions of the first quadrant, mirrored into the other three.
void MirrorQuadrant(std::array<BiaxialMoment, kBiaxialDirections>& M) {
  constexpr int kHalf = kBiaxialDirections / 2;
  std::array<bool, kBiaxialDirections> set{};
  for (int k = 0; k < kQuadrantDirections; ++k) set[k] = true;
  for (int k = 0; k < kQuadrantDirections; ++k) {
    const BiaxialMoment m = M[k];
    const struct {
      int index;
      BiaxialMoment value;
    } images[] = {{kHalf + k, {-m.Mx, -m.My}},                                      // 180° + θ
                  {kHalf - k, {m.Mx, -m.My}},                                       // 180° − θ
                  {(kBiaxialDirections - k) % kBiaxialDirections, {-m.Mx, m.My}}};  // −θ
    for (const auto& image : images) {
      if (!set[image.index]) {
        M[image.index] = image.value;
        set[image.index] = true;
      }
    }
  }
}

double Length(const BiaxialMoment& m) { return std::hypot(m.Mx, m.My); }

BiaxialMoment Difference(const BiaxialMoment& a, const BiaxialMoment& b) {
  return {a.Mx - b.Mx, a.My - b.My};
}

Contour ContourOf(const CapacitySection& section, CapacityModel model, double N) {
  Contour contour;
  const AxialRange range = AxialRangeOf(section, model);
  if (!(N >= range.Nt && N <= range.N0)) return contour;
  contour.holds = true;
  const bool symmetric = Symmetric(section, model);
  for (int k = 0; k < (symmetric ? kQuadrantDirections : kBiaxialDirections); ++k) {
    const Resultant3 r = StateAtN(ViewAlong(section, k), model, N, range);
    contour.M[k] = {r.Mx, r.My};
  }
  if (symmetric) MirrorQuadrant(contour.M);
  for (const BiaxialMoment& m : contour.M) contour.largest = std::max(contour.largest, Length(m));
  return contour;
}

}  // namespace

Contour ExactContour(const CapacitySection& section, double N) {
  return ContourOf(section, CapacityModel::kExact, N);
}

Contour FiberContour(const CapacitySection& section, double N) {
  return ContourOf(section, CapacityModel::kFiber, N);
}

double ContourErrorPct(const CapacitySection& section, double N, const Contour& exact,
                       double give_up_above, int* worst) {
  if (!(exact.largest > 0)) return 0;
  const AxialRange range = AxialRangeOf(section, CapacityModel::kFiber);
  const bool holds = N >= range.Nt && N <= range.N0;
  // Mirror images differ from the exact contour's by mirror images.
  const int count =
      Symmetric(section, CapacityModel::kFiber) ? kQuadrantDirections : kBiaxialDirections;
  const int first = *worst >= 0 && *worst < count ? *worst : 0;
  *worst = first;
  double largest_difference = 0;
  for (int i = 0; i < count; ++i) {
    const int k = (first + i) % count;
    BiaxialMoment fiber;
    if (holds) {
      const Resultant3 r = StateAtN(ViewAlong(section, k), CapacityModel::kFiber, N, range);
      fiber = {r.Mx, r.My};
    }
    const double difference = Length(Difference(fiber, exact.M[k]));
    if (difference > largest_difference) {
      largest_difference = difference;
      *worst = k;
    }
    if (100 * largest_difference / exact.largest > give_up_above) break;
  }
  return 100 * largest_difference / exact.largest;
}

}  // namespace capacity_internal

using namespace capacity_internal;

BiaxialCapacity ComputeBiaxialCapacity(const CapacitySection& section, double axial_ratio) {
  BiaxialCapacity result;
  const double N = AxialLoadNewtons(section, axial_ratio);
  result.figures.N = N * kKiloNewtons;
  const Contour exact = ExactContour(section, N);
  if (!exact.holds) return result;
  result.figures.holds = true;
  const Contour fiber = FiberContour(section, N);
  result.fiber_holds = fiber.holds;

  const double lever = std::max(section.B, section.H);
  auto in_kilonewton_metres = [&](const BiaxialMoment& m) {
    return BiaxialMoment{KiloNewtonMetres(section, lever, m.Mx),
                         KiloNewtonMetres(section, lever, m.My)};
  };
  double largest_difference = 0;
  result.figures.M_min = std::numeric_limits<double>::infinity();
  for (int k = 0; k < kBiaxialDirections; ++k) {
    result.exact[k] = in_kilonewton_metres(exact.M[k]);
    result.fiber[k] = in_kilonewton_metres(fiber.M[k]);
    const double length = Length(result.exact[k]);
    result.figures.M_min = std::min(result.figures.M_min, length);
    result.figures.M_max = std::max(result.figures.M_max, length);
    largest_difference = std::max(largest_difference, Length(Difference(fiber.M[k], exact.M[k])));
  }
  result.figures.fiber_error_pct = exact.largest > 0 ? 100 * largest_difference / exact.largest : 0;
  return result;
}

std::vector<BiaxialFigures> ComputeBiaxialTable(const BrenmoorState& state,
                                                const CapacityOptions& options,
                                                Progress* progress) {
  const int count = state.imported_count;
  // Refuse before computing anything: the first refused record wins.
  for (int r = 1; r <= count; ++r) MakeCapacitySection(state, r, options);
  std::vector<BiaxialFigures> results(static_cast<std::size_t>(count));
  ForEachPiece(
      results.size(), {.piece = 16, .progress = progress, .step = "Computing biaxial bending"},
      [&](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) {
          results[i] =
              ComputeBiaxialCapacity(MakeCapacitySection(state, static_cast<int>(i) + 1, options),
                                     options.axial_ratio)
                  .figures;
        }
      });
  return results;
}

}  // namespace brenmoor

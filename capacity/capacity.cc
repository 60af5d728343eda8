#include "capacity/capacity.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "capacity/internal/strain_path.h"
#include "model/fiber_layout.h"
#include "model/parallel.h"

namespace brenmoor {

using namespace capacity_internal;

namespace {

constexpr double kFcDesign[11] = {14.3, 16.7, 19.1, 21.1, 23.1, 25.3, 27.5, 29.7, 31.8, 33.8, 35.9};
constexpr double kFcCharacteristic[11] = {20.1, 23.4, 26.8, 29.6, 32.4, 35.5,
                                          38.5, 41.5, 44.5, 47.4, 50.2};
// N in N and M in N·mm.
struct Resultant {
  double N = 0.0;
  double M = 0.0;
};

// A point or cell as one axis sees it: u its distance from the centre toward
// the compressed face.
struct Piece {
  double u = 0.0;
  double area = 0.0;
};

// One section seen in bending about one axis.
struct AxisView {
  const CapacitySection* section = nullptr;
  double D = 0.0;          // depth
  double w = 0.0;          // width
  double bar_depth = 0.0;  // of the tension-most bars, D − CC
  std::vector<Piece> bars;
  std::vector<Piece> cells;
  PathDepths depths() const { return {D, bar_depth}; }
};

// The pieces as one axis sees them. Pieces at the same distance from the
// axis (a row of cells, the bars of one face) take the same strain, so they
// are taken together, which spares most of the stress evaluations.
std::vector<Piece> PiecesAlong(const std::vector<CapacityBar>& points, bool along_y) {
  std::vector<Piece> pieces;
  pieces.reserve(points.size());
  for (const CapacityBar& p : points) pieces.push_back({along_y ? p.y : p.x, p.area});
  std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.u < b.u; });
  std::vector<Piece> merged;
  for (const Piece& p : pieces) {
    if (!merged.empty() && merged.back().u == p.u) {
      merged.back().area += p.area;
    } else {
      merged.push_back(p);
    }
  }
  return merged;
}

AxisView ViewOf(const CapacitySection& section, BendingAxis axis) {
  AxisView view;
  view.section = &section;
  const bool about_x = axis == BendingAxis::kX;
  view.D = about_x ? section.H : section.B;
  view.w = about_x ? section.B : section.H;
  view.bar_depth = view.D - section.CC;
  view.bars = PiecesAlong(section.bars, about_x);
  view.cells = PiecesAlong(section.cells, about_x);
  return view;
}

// ∫₀^ε σ dε′ and ∫₀^ε σ·ε′ dε′ of the concrete law, in closed form.
void ConcretePrimitives(const ConcreteLaw& law, double strain, double& p0, double& p1) {
  if (strain <= 0) {
    p0 = p1 = 0;
    return;
  }
  const double n = law.n, e0 = law.eps0, fc = law.fc;
  const double e = std::min(strain, e0);
  const double s = 1 - e / e0;
  const double s1 = n == 2.0 ? s * s * s : std::pow(s, n + 1);
  const double s2 = s1 * s;
  p0 = fc * (e - e0 * (1 - s1) / (n + 1));
  p1 = fc * (e * e / 2 + e0 * e0 * ((s1 - 1) / (n + 1) - (s2 - 1) / (n + 2)));
  if (strain > e0) {
    p0 += fc * (strain - e0);
    p1 += fc * (strain * strain - e0 * e0) / 2;
  }
}

// The concrete of the gross rectangle under a strain line: with ε running
// linearly from a (top) to b (bottom) over the depth D,
//   N = w·D·[P0(a) − P0(b)] / (a − b)
//   M = w·D²·[P1(a) − P1(b) − εc·(P0(a) − P0(b))] / (a − b)²,  εc = (a + b)/2,
// P0, P1 the primitives above. When a and b are nearly equal the differences
// cancel, so there the same integrals are taken by Gauss–Legendre over each
// smooth piece of the law, which is then exact to rounding.
Resultant ExactConcrete(const ConcreteLaw& law, double w, double D, const StrainLine& line) {
  const double a = line.top, b = line.bottom;
  const double centre = (a + b) / 2;
  const double delta = a - b;
  if (std::abs(delta) >= 1e-5) {
    double p0a, p1a, p0b, p1b;
    ConcretePrimitives(law, a, p0a, p1a);
    ConcretePrimitives(law, b, p0b, p1b);
    const double d0 = p0a - p0b;
    return {w * D * d0 / delta, w * D * D * ((p1a - p1b) - centre * d0) / (delta * delta)};
  }
  if (delta == 0) return {w * D * ConcreteStress(law, a), 0.0};
  static constexpr double kNodes[5] = {-0.9061798459386640, -0.5384693101056831, 0.0,
                                       0.5384693101056831, 0.9061798459386640};
  static constexpr double kWeights[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                         0.4786286704993665, 0.2369268850561891};
  const double lo = std::min(a, b), hi = std::max(a, b);
  double edges[4] = {lo, std::clamp(0.0, lo, hi), std::clamp(law.eps0, lo, hi), hi};
  double i0 = 0, i1 = 0;
  for (int k = 0; k < 3; ++k) {
    const double e1 = edges[k], e2 = edges[k + 1];
    if (e2 <= e1 || e2 <= 0) continue;
    const double half = (e2 - e1) / 2, mid = (e1 + e2) / 2;
    for (int g = 0; g < 5; ++g) {
      const double e = mid + half * kNodes[g];
      const double sigma = ConcreteStress(law, e) * kWeights[g] * half;
      i0 += sigma;
      i1 += sigma * (e - centre);
    }
  }
  // The integrals ran from lo to hi; the depth runs from a to b.
  const double sign = delta > 0 ? 1.0 : -1.0;
  return {w * D * sign * i0 / std::abs(delta), w * D * D * i1 / (delta * delta)};
}

Resultant PieceResultant(const std::vector<Piece>& pieces, double centre, double kappa,
                         const SteelLaw* steel, const ConcreteLaw& concrete) {
  Resultant r;
  for (const Piece& p : pieces) {
    const double strain = centre + kappa * p.u;
    const double sigma = steel ? SteelStress(*steel, strain) : ConcreteStress(concrete, strain);
    const double force = sigma * p.area;
    r.N += force;
    r.M += force * p.u;
  }
  return r;
}

// The bars take the steel law given: the section's own, or the one of the
// squash load N0.
Resultant ResultantOf(const AxisView& view, CapacityModel model, const StrainLine& line,
                      const SteelLaw& steel) {
  const CapacitySection& s = *view.section;
  const double centre = (line.top + line.bottom) / 2;
  const double kappa = (line.top - line.bottom) / view.D;
  Resultant r = PieceResultant(view.bars, centre, kappa, &steel, s.concrete);
  const Resultant c = model == CapacityModel::kExact
                          ? ExactConcrete(s.concrete, view.w, view.D, line)
                          : PieceResultant(view.cells, centre, kappa, nullptr, s.concrete);
  r.N += c.N;
  r.M += c.M;
  return r;
}

Resultant ResultantOf(const AxisView& view, CapacityModel model, const StrainLine& line) {
  return ResultantOf(view, model, line, view.section->steel);
}

struct PathPoint {
  double t = 0.0;
  Resultant r;
};

// The state on the path where the model's N equals target, searched in
// [lo.t, hi.t] whose N bracket it.
PathPoint PathPointAtN(const AxisView& view, CapacityModel model, double target,
                       const PathPoint& lo, const PathPoint& hi) {
  const double f_tol = 1e-10 * ForceScale(*view.section);
  Resultant last;
  double last_t = -1;
  auto f = [&](double t) {
    last = ResultantOf(view, model, PathState(view.section->concrete, view.depths(), t));
    last_t = t;
    return last.N - target;
  };
  const double t = FindRoot(f, lo.t, hi.t, lo.r.N - target, hi.r.N - target, f_tol, 1e-13);
  if (t == lo.t) return lo;
  if (t == hi.t) return hi;
  if (t != last_t) f(t);
  return {t, last};
}

PathPoint PathPointAt(const AxisView& view, CapacityModel model, double t) {
  return {t, ResultantOf(view, model, PathState(view.section->concrete, view.depths(), t))};
}

// Where a model's path begins and ends, and the most axial load it carries.
// The path ends at uniform ε0 with the bars at the law's stress; N0 takes
// them at the squash strength fy_axial instead (lower for HRB500), so the
// path may reach past N0 and N0 is the top of every curve and range.
struct PathEnds {
  PathPoint tension;  // t = 0, uniform −0.01: N is Nt
  PathPoint end;      // t = 3, uniform ε0
  PathPoint squash;   // uniform ε0 with the squash strength: N is N0
};

PathEnds EndsOf(const AxisView& view, CapacityModel model) {
  const CapacitySection& s = *view.section;
  PathEnds ends;
  ends.tension = PathPointAt(view, model, 0);
  ends.end = PathPointAt(view, model, 3);
  if (s.steel.fy_axial == s.steel.fy_comp) {
    ends.squash = ends.end;
  } else {
    SteelLaw squash_law = s.steel;
    squash_law.fy_comp = s.steel.fy_axial;
    const StrainLine uniform{s.concrete.eps0, s.concrete.eps0};
    ends.squash = {3, ResultantOf(view, model, uniform, squash_law)};
  }
  return ends;
}

// The state where the model's N equals target, or nothing when the model
// does not carry it (below Nt or above N0).
std::optional<PathPoint> PathPointCarrying(const AxisView& view, CapacityModel model, double target,
                                           const PathPoint& from, const PathEnds& ends) {
  if (target < from.r.N || target > ends.squash.r.N) return std::nullopt;
  return PathPointAtN(view, model, target, from, ends.end);
}

double KiloNewtonMetres(const AxisView& view, double m) {
  return capacity_internal::KiloNewtonMetres(*view.section, view.D, m);
}

}  // namespace

namespace capacity_internal {

StrainLine PathState(const ConcreteLaw& law, const PathDepths& depths, double t) {
  const double D = depths.D, db = depths.bar_depth;
  // The line through the tension-most bar at −0.01 and the top at `top`.
  auto through_bar = [&](double top) {
    return StrainLine{top, top + (kSteelTensionLimit - top) * D / db};
  };
  if (t <= 1) return through_bar(kSteelTensionLimit + t * (law.epscu - kSteelTensionLimit));
  if (t <= 2) {
    const double start = through_bar(law.epscu).bottom;
    return {law.epscu, start + (t - 1) * (0 - start)};
  }
  const double bottom = (t - 2) * law.eps0;
  // Turning about depth (1 − ε0/εcu)·D at ε0.
  return {bottom + (law.eps0 - bottom) * law.epscu / law.eps0, bottom};
}

double BalancedT(const CapacitySection& section, const PathDepths& depths) {
  const double yield = -section.steel.fy / section.steel.Es;
  const double epscu = section.concrete.epscu;
  const double bottom = epscu + (yield - epscu) * depths.D / depths.bar_depth;
  const double start = PathState(section.concrete, depths, 1).bottom;
  return 1 + (bottom - start) / (0 - start);
}

double ForceScale(const CapacitySection& section) {
  double steel = 0;
  for (const CapacityBar& bar : section.bars) steel += std::abs(bar.area);
  return section.concrete.fc * section.B * section.H +
         std::max(section.steel.fy, section.steel.fy_comp) * steel;
}

double AxialLoadNewtons(const CapacitySection& section, double axial_ratio) {
  return axial_ratio * section.concrete.fc_design * section.B * section.H;
}

double KiloNewtonMetres(const CapacitySection& section, double D, double m) {
  const double rounding = 1e-12 * section.concrete.fc * section.B * section.H * D;
  return std::abs(m) < rounding ? 0.0 : m * 1e-6;
}

AxialRange AxialRangeOf(const CapacitySection& section, CapacityModel model) {
  const PathEnds ends = EndsOf(ViewOf(section, BendingAxis::kX), model);
  return {ends.tension.r.N, ends.end.r.N, ends.squash.r.N};
}

ErrorLevels ExactErrorLevels(const CapacitySection& section, BendingAxis axis) {
  const AxisView view = ViewOf(section, axis);
  const PathEnds ends = EndsOf(view, CapacityModel::kExact);
  ErrorLevels levels;
  // N rises along the path, so each level's root is searched above the last.
  PathPoint from = ends.tension;
  for (int k = 1; k <= kErrorLevels; ++k) {
    const double target =
        ends.tension.r.N + k * (ends.squash.r.N - ends.tension.r.N) / (kErrorLevels + 1);
    const auto point = PathPointCarrying(view, CapacityModel::kExact, target, from, ends);
    if (point) from = *point;
    levels.N[k - 1] = target;
    levels.M[k - 1] = point ? point->r.M : 0;
    levels.largest = std::max(levels.largest, levels.M[k - 1]);
  }
  return levels;
}

double FiberErrorPct(const CapacitySection& section, BendingAxis axis, const ErrorLevels& levels,
                     double give_up_above) {
  if (!(levels.largest > 0)) return 0;
  const AxisView view = ViewOf(section, axis);
  const PathEnds ends = EndsOf(view, CapacityModel::kFiber);
  PathPoint from = ends.tension;
  double largest_difference = 0;
  for (int k = 0; k < kErrorLevels; ++k) {
    const auto point = PathPointCarrying(view, CapacityModel::kFiber, levels.N[k], from, ends);
    if (point) from = *point;
    largest_difference =
        std::max(largest_difference, std::abs((point ? point->r.M : 0) - levels.M[k]));
    if (100 * largest_difference / levels.largest > give_up_above) break;
  }
  return 100 * largest_difference / levels.largest;
}

}  // namespace capacity_internal

const char* SteelGradeName(SteelGrade grade) {
  switch (grade) {
    case SteelGrade::kHRB335:
      return "HRB335";
    case SteelGrade::kHRB400:
      return "HRB400";
    case SteelGrade::kHRB500:
      return "HRB500";
  }
  return "";
}

std::optional<SteelGrade> SteelGradeFromName(const std::string& name) {
  for (SteelGrade g : {SteelGrade::kHRB335, SteelGrade::kHRB400, SteelGrade::kHRB500}) {
    if (name == SteelGradeName(g)) return g;
  }
  return std::nullopt;
}

const char* StrengthsName(Strengths strengths) {
  return strengths == Strengths::kDesign ? "design" : "characteristic";
}

std::optional<Strengths> StrengthsFromName(const std::string& name) {
  if (name == "design") return Strengths::kDesign;
  if (name == "characteristic") return Strengths::kCharacteristic;
  return std::nullopt;
}

double ParseAxialRatio(std::string_view text) {
  auto refuse = [&]() -> double {
    throw Error("the axial ratio must be a number from -0.5 to 1.5, not \"" +
                ShortenedForMessage(text) + "\"");
  };
  auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  // The form strtod reads, checked here so that what from_chars would also
  // take (NaN, infinity) or stop short of (hexadecimal) is refused.
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  // The value is about 10^(leading + exponent − 1): that tells a value too
  // large for a double from one too small.
  long long leading = 0;
  bool significant = false;
  std::size_t whole_digits = 0, fraction_digits = 0;
  for (; digit(i); ++i, ++whole_digits) {
    if (!significant && text[i] != '0') significant = true;
    if (significant) ++leading;
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; digit(i); ++i, ++fraction_digits) {
      if (!significant) {
        if (text[i] != '0') {
          significant = true;
        } else {
          --leading;
        }
      }
    }
  }
  if (whole_digits + fraction_digits == 0) return refuse();
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative_exponent = text[i++] == '-';
    if (!digit(i)) return refuse();
    for (; digit(i); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000000LL);
    if (negative_exponent) exponent = -exponent;
  }
  if (i != text.size()) return refuse();

  // from_chars takes no '+' and reads in the C locale whatever the settings.
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  double value = 0;
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (leading + exponent > 0) return refuse();
    value = 0;  // below the smallest double: as good as 0
  } else if (error != std::errc() || end != text.data() + text.size()) {
    return refuse();
  }
  if (!(value >= kMinAxialRatio && value <= kMaxAxialRatio)) return refuse();
  return value + 0.0;  // never −0
}

double AxialLoad(const CapacitySection& section, double axial_ratio) {
  return AxialLoadNewtons(section, axial_ratio) * kKiloNewtons;
}

double ReinforcementRatio(const CapacitySection& section) {
  double steel = 0;
  for (const CapacityBar& bar : section.bars) steel += bar.area;
  return steel / (section.B * section.H);
}

double MinReinforcementRatio(SteelGrade steel, int fcuk) {
  constexpr double kMin[3] = {0.0060, 0.0055, 0.0050};  // HRB335, HRB400, HRB500
  return kMin[static_cast<int>(steel)] + (fcuk >= 60 ? 0.0010 : 0.0);
}

bool ReinforcementOutsideLimits(double ratio, SteelGrade steel, int fcuk) {
  constexpr double kRounding = 1e-6;
  return ratio < MinReinforcementRatio(steel, fcuk) * (1 - kRounding) ||
         ratio > kMaxReinforcementRatio * (1 + kRounding);
}

ConcreteLaw ConcreteLawOf(int fcuk, Strengths strengths) {
  const int index = std::clamp((fcuk - 30) / 5, 0, 10);
  ConcreteLaw law;
  law.fcuk = fcuk;
  law.fc = strengths == Strengths::kDesign ? kFcDesign[index] : kFcCharacteristic[index];
  law.fc_design = kFcDesign[index];
  const double over = fcuk - 50;
  law.n = std::min(2.0, 2.0 - over / 60);
  law.eps0 = std::max(0.002, 0.002 + 0.5e-5 * over);
  law.epscu = std::min(0.0033, 0.0033 - 1e-5 * over);
  return law;
}

double ConcreteStress(const ConcreteLaw& law, double strain) {
  if (strain <= 0) return 0;
  if (strain >= law.eps0) return law.fc;
  const double s = 1 - strain / law.eps0;
  return law.fc * (1 - (law.n == 2.0 ? s * s : std::pow(s, law.n)));
}

SteelLaw SteelLawOf(SteelGrade grade, Strengths strengths) {
  SteelLaw law;
  const int g = static_cast<int>(grade);
  if (strengths == Strengths::kDesign) {
    constexpr double kFy[3] = {300, 360, 435};
    constexpr double kFyAxial[3] = {300, 360, 400};
    law.fy = law.fy_comp = kFy[g];
    law.fy_axial = kFyAxial[g];
  } else {
    constexpr double kFyk[3] = {335, 400, 500};
    law.fy = law.fy_comp = law.fy_axial = kFyk[g];
  }
  return law;
}

double SteelStress(const SteelLaw& law, double strain) {
  return std::clamp(law.Es * strain, -law.fy, law.fy_comp);
}

CapacitySection MakeCapacitySection(const BrenmoorState& state, int record,
                                    const CapacityOptions& options) {
  const TSECTION& record_section = state.records[static_cast<std::size_t>(record)];
  auto name_of = [&](std::int32_t index) -> std::string_view {
    if (index < 0 || static_cast<std::size_t>(index) >= state.materials.size()) return {};
    return state.materials[static_cast<std::size_t>(index)].name;
  };
  const std::string_view concrete = name_of(record_section.concrete_material);
  int fcuk = 0;
  if (concrete.size() == 3 && concrete[0] == 'C' && concrete[1] >= '0' && concrete[1] <= '9' &&
      concrete[2] >= '0' && concrete[2] <= '9') {
    fcuk = (concrete[1] - '0') * 10 + (concrete[2] - '0');
  }
  if (fcuk < 30 || fcuk > 80 || fcuk % 5 != 0) {
    throw CapacityRefusal("capacity needs a concrete grade in CONC, not " + std::string(concrete),
                          record);
  }
  if (name_of(record_section.steel_material) != "STEEL") {
    throw CapacityRefusal("capacity needs STEEL in the STEEL column, not " +
                              std::string(name_of(record_section.steel_material)),
                          record);
  }
  const double H = record_section.H, B = record_section.B, CC = record_section.CC;
  if (!(H > 0 && B > 0 && CC >= 0 && 2 * CC < H && 2 * CC < B)) {
    throw CapacityRefusal("capacity needs H and B above 0 and CC from 0 to below half of each",
                          record);
  }

  CapacitySection section;
  section.B = B;
  section.H = H;
  section.CC = CC;
  section.concrete = ConcreteLawOf(fcuk, options.strengths);
  section.steel = SteelLawOf(options.steel, options.strengths);
  TSECTION laid;
  CopyLayoutInput(record_section, laid);
  try {
    LayoutFibers(laid);
  } catch (const Error& e) {
    // A size that overflows the file's floats: refused on the section's line.
    throw CapacityRefusal(e.what(), record);
  }
  const FiberSlot* fibers = laid.fibers.data();
  for (int k = 0; k < laid.fiber_count; ++k) {
    const FiberSlot& f = fibers[k];
    (f.type == kSteelFiber ? section.bars : section.cells).push_back({f.x, f.y, f.area});
  }
  return section;
}

AxisCapacity ComputeAxisCapacity(const CapacitySection& section, BendingAxis axis) {
  const AxisView view = ViewOf(section, axis);
  AxisCapacity figures;
  const PathEnds exact = EndsOf(view, CapacityModel::kExact);
  const PathPoint balanced =
      PathPointAt(view, CapacityModel::kExact, BalancedT(section, view.depths()));
  figures.N0 = exact.squash.r.N * kKiloNewtons;
  figures.Nt = exact.tension.r.N * kKiloNewtons;
  figures.Nb = balanced.r.N * kKiloNewtons;
  figures.Mb = KiloNewtonMetres(view, balanced.r.M);

  const PathEnds fiber = EndsOf(view, CapacityModel::kFiber);
  const auto m0 = PathPointCarrying(view, CapacityModel::kExact, 0, exact.tension, exact);
  figures.M0 = m0 ? KiloNewtonMetres(view, m0->r.M) : 0;
  const auto fiber_m0 = PathPointCarrying(view, CapacityModel::kFiber, 0, fiber.tension, fiber);
  figures.fiber_M0 = fiber_m0 ? KiloNewtonMetres(view, fiber_m0->r.M) : 0;
  figures.fiber_error_pct = FiberErrorPct(section, axis, ExactErrorLevels(section, axis));
  return figures;
}

SectionCapacity ComputeSectionCapacity(const CapacitySection& section) {
  return {ComputeAxisCapacity(section, BendingAxis::kX),
          ComputeAxisCapacity(section, BendingAxis::kY)};
}

std::vector<SectionCapacity> ComputeCapacityTable(const BrenmoorState& state,
                                                  const CapacityOptions& options,
                                                  Progress* progress) {
  const int count = state.imported_count;
  // Refuse before computing anything: the first refused record wins.
  for (int r = 1; r <= count; ++r) MakeCapacitySection(state, r, options);
  std::vector<SectionCapacity> results(static_cast<std::size_t>(count));
  ForEachPiece(results.size(), {.piece = 64, .progress = progress, .step = "Computing capacity"},
               [&](std::size_t first, std::size_t last) {
                 for (std::size_t i = first; i < last; ++i) {
                   results[i] = ComputeSectionCapacity(
                       MakeCapacitySection(state, static_cast<int>(i) + 1, options));
                 }
               });
  return results;
}

std::vector<InteractionPoint> InteractionCurve(const CapacitySection& section, BendingAxis axis,
                                               CapacityModel model) {
  const AxisView view = ViewOf(section, axis);
  const PathEnds ends = EndsOf(view, model);
  const PathPoint& start = ends.tension;
  struct Marked {
    PathPoint p;
    CurveMark mark;
  };
  std::vector<Marked> points;
  points.push_back({start, CurveMark::kTension});
  constexpr int kLevels = 40;
  PathPoint from = start;
  const double top = ends.squash.r.N;
  for (int j = 1; j < kLevels; ++j) {
    const double target = start.r.N + j * (top - start.r.N) / kLevels;
    from = PathPointAtN(view, model, target, from, ends.end);
    points.push_back({from, CurveMark::kNone});
  }
  points.push_back({ends.squash, CurveMark::kSquash});
  points.push_back(
      {PathPointAt(view, model, BalancedT(section, view.depths())), CurveMark::kBalanced});
  if (start.r.N < 0 && top > 0) {
    points.push_back({PathPointAtN(view, model, 0, start, ends.end), CurveMark::kPureBending});
  }
  std::stable_sort(points.begin(), points.end(),
                   [](const Marked& a, const Marked& b) { return a.p.t < b.p.t; });
  std::vector<InteractionPoint> curve;
  curve.reserve(points.size());
  for (const Marked& m : points)
    curve.push_back({m.p.r.N * kKiloNewtons, KiloNewtonMetres(view, m.p.r.M), m.mark});
  return curve;
}

MomentCurvature MomentCurvatureCurve(const CapacitySection& section, BendingAxis axis,
                                     CapacityModel model, double axial_ratio) {
  const AxisView view = ViewOf(section, axis);
  const ConcreteLaw& c = section.concrete;
  MomentCurvature result;
  const double target = AxialLoadNewtons(section, axial_ratio);
  result.N = target * kKiloNewtons;
  const double D = view.D;
  const double f_tol = 1e-12 * ForceScale(section);
  const double highest = std::max({c.epscu, c.eps0, section.steel.fy_comp / section.steel.Es});

  // The state of curvature kappa (1/mm) whose N is the target: the centre
  // strain found between a state wholly past the steel's tension limit and
  // one wholly past every law's compression plateau.
  auto state_at = [&](double kappa) {
    auto line = [&](double centre) {
      return StrainLine{centre + kappa * D / 2, centre - kappa * D / 2};
    };
    const double lo = kSteelTensionLimit - std::abs(kappa) * D;
    const double hi = highest + std::abs(kappa) * D;
    auto f = [&](double centre) { return ResultantOf(view, model, line(centre)).N - target; };
    const double centre = FindRoot(f, lo, hi, f(lo), f(hi), f_tol, 1e-15);
    return line(centre);
  };
  auto bar_strain = [&](const StrainLine& l) {
    return l.top + (l.bottom - l.top) * view.bar_depth / D;
  };
  // The strain at the depth the ultimate path turns about once the whole
  // section is compressed: where it reaches ε0 the section has reached its
  // N–M capacity although the top is still short of εcu.
  const double turning_depth = (1 - c.eps0 / c.epscu) * D;
  auto turning_strain = [&](const StrainLine& l) {
    return l.top + (l.bottom - l.top) * turning_depth / D;
  };
  // Below 0 before the end point, 0 at it: the end is the first state of
  // the curve on the ultimate path, so that the curve never ends beyond the
  // interaction curve at its N.
  auto past_end = [&](double kappa) {
    const StrainLine l = state_at(kappa);
    return std::max(
        {l.top - c.epscu, turning_strain(l) - c.eps0, kSteelTensionLimit - bar_strain(l)});
  };

  // The same axial range as the interaction curve and the biaxial contour:
  // above N0 (bars at the squash strength) the section does not hold N.
  const PathEnds ends = EndsOf(view, model);
  if (!(target > ends.tension.r.N && target < ends.squash.r.N)) return result;
  result.holds = true;

  const double kappa_most = (c.epscu - kSteelTensionLimit) / view.bar_depth;
  const double end_lo = past_end(0);
  const double kappa_end =
      FindRoot(past_end, 0, kappa_most, end_lo, past_end(kappa_most), 1e-12, 1e-15 * kappa_most);

  std::vector<double> kappas;
  constexpr int kSteps = 40;
  for (int j = 0; j <= kSteps; ++j) kappas.push_back(kappa_end * j / kSteps);
  const double yield = -section.steel.fy / section.steel.Es;
  auto past_yield = [&](double kappa) { return yield - bar_strain(state_at(kappa)); };
  const double yield_lo = past_yield(0), yield_hi = past_yield(kappa_end);
  std::optional<double> kappa_yield;
  if (yield_lo < 0 && yield_hi > 0) {
    kappa_yield = FindRoot(past_yield, 0, kappa_end, yield_lo, yield_hi, 1e-12, 1e-15 * kappa_end);
    kappas.push_back(*kappa_yield);
    std::sort(kappas.begin(), kappas.end());
  }
  for (std::size_t j = 0; j < kappas.size(); ++j) {
    const double kappa = kappas[j];
    const StrainLine l = state_at(kappa);
    result.points.push_back({kappa * 1e3, KiloNewtonMetres(view, ResultantOf(view, model, l).M)});
    if (kappa_yield && kappa == *kappa_yield && !result.first_yield) result.first_yield = j;
  }
  result.end = result.points.size() - 1;
  return result;
}

}  // namespace brenmoor

#include "capacity/analysis.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "capacity/internal/law_sums.h"
#include "capacity/internal/strain_path.h"

namespace brenmoor {

using capacity_internal::FindRoot;
using capacity_internal::LawSums;
using capacity_internal::LawTable;

// F and G (law_sums.h) of the unconfined law from 0 to any strain, and of
// the cover (the unconfined law, nothing past εcu). The tables reach 16
// times the peak strain in compression (the curves end by εcu, below 3
// times it) and 4096 times εt,r in tension (a bar breaks before the
// concrete's strain is 0.3).
struct UnconfinedSums {
  struct Law {
    AnalysisConcrete law;
    double operator()(double e) const { return UnconfinedStress(law, e); }
  };
  explicit UnconfinedSums(const AnalysisConcrete& c)
      : law(c),
        compression({c}, 0, 1, c.eps_c, 16, 32),
        tension({c}, -c.eps_t, -1, c.eps_t, 4096),
        at_crushing(compression.From0(c.eps_cu)) {}

  LawSums Of(double e) const { return e >= 0 ? compression.From0(e) : tension.From0(e); }
  LawSums OfCover(double e) const { return e >= law.eps_cu ? at_crushing : Of(e); }

  AnalysisConcrete law;
  LawTable<Law> compression, tension;
  LawSums at_crushing;
};

// The section's: the unconfined sums of its grade, and the core's
// (confined in compression to 16 times εcc, C.2.3 in tension).
struct ConcreteSums {
  struct Confined {
    ConfinedCore core;
    AnalysisConcrete law;
    double operator()(double e) const { return ConfinedStress(core, law, e); }
  };
  ConcreteSums(std::shared_ptr<const UnconfinedSums> of_grade,
               const std::optional<ConfinedCore>& core)
      : unconfined(std::move(of_grade)) {
    if (core) confined.emplace(Confined{*core, unconfined->law}, 0, 1, core->eps_cc, 16);
  }

  // The core's sums less the cover's: 0 in tension, where both are C.2.3.
  LawSums CoreOverCover(double e) const {
    if (e <= 0) return {};
    const LawSums core = confined->From0(e), cover = unconfined->OfCover(e);
    return {core.F - cover.F, core.G - cover.G};
  }

  std::shared_ptr<const UnconfinedSums> unconfined;
  std::optional<LawTable<Confined>> confined;
};

std::shared_ptr<const UnconfinedSums> ConcreteSumsByGrade::Of(const AnalysisConcrete& law) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& made : made_) {
    if (made->law.fcuk == law.fcuk && made->law.fc == law.fc && made->law.ft == law.ft) {
      return made;
    }
  }
  return made_.emplace_back(std::make_shared<const UnconfinedSums>(law));
}

namespace {

// The strains the nominal moment is taken at.
constexpr double kNominalConcrete = 0.004;
constexpr double kNominalBar = 0.015;
// The end by the moment falling: to this share of the largest so far.
constexpr double kDropShare = 0.8;
// How far the top of M between two samples may lie above the higher one,
// at the steps taken (a generous bound).
constexpr double kTopMargin = 1.1;
// A strain limit counts as reached within this (the limits are 0.001 and
// more, so this is within 10⁻⁷ of the curvature).
constexpr double kStrainTolerance = 1e-10;

// A bar or cell as one axis sees it: u its distance from the centre toward
// the compressed edge.
struct Piece {
  double u = 0.0;
  double area = 0.0;
};

// Pieces at the same u take the same strain, so they are taken together.
std::vector<Piece> PiecesAlong(const std::vector<CapacityBar>& points, bool along_y) {
  std::vector<Piece> pieces;
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

// Gauss–Legendre nodes and weights on [−1, 1], of 5 and of 3 points.
struct Rule5 {
  static constexpr int kPoints = 5;
  static constexpr double kNodes[5] = {-0.9061798459386640, -0.5384693101056831, 0.0,
                                       0.5384693101056831, 0.9061798459386640};
  static constexpr double kWeights[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                         0.4786286704993665, 0.2369268850561891};
};
struct Rule3 {
  static constexpr int kPoints = 3;
  static constexpr double kNodes[3] = {-0.7745966692414834, 0.0, 0.7745966692414834};
  static constexpr double kWeights[3] = {0.5555555555555556, 0.8888888888888889,
                                         0.5555555555555556};
};

// ∫ stress(ε0 + φ·u)·{1, u} du over [u1, u2], by Gauss–Legendre on each
// piece between the depths where the strain crosses one of breaks; stress
// gives the force per unit depth (the law times the width).
template <typename Rule = Rule5, std::size_t K, typename Stress>
void Integrate(double u1, double u2, double e0, double phi, const double (&breaks)[K],
               Stress&& stress, double& N, double& M) {
  if (!(u2 > u1)) return;
  double cuts[K + 2];
  std::size_t count = 0;
  cuts[count++] = u1;
  if (phi != 0) {
    for (double b : breaks) {
      const double u = (b - e0) / phi;
      if (u > u1 && u < u2) cuts[count++] = u;
    }
  }
  cuts[count++] = u2;
  // A few values: an insertion sort.
  for (std::size_t i = 2; i < count; ++i) {
    for (std::size_t j = i; j > 0 && cuts[j] < cuts[j - 1]; --j) std::swap(cuts[j], cuts[j - 1]);
  }
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const double half = (cuts[i + 1] - cuts[i]) / 2, mid = (cuts[i] + cuts[i + 1]) / 2;
    for (int g = 0; g < Rule::kPoints; ++g) {
      const double u = mid + half * Rule::kNodes[g];
      const double f = stress(e0 + phi * u) * Rule::kWeights[g] * half;
      N += f;
      M += f * u;
    }
  }
}

// Adds a strip of width w between the strains e1 < e2 (law_sums.h).
void AddStrip(double w, double e0, double phi, const LawSums& s1, const LawSums& s2, double& N,
              double& M) {
  const double dF = s2.F - s1.F, dG = s2.G - s1.G;
  N += w * dF / phi;
  M += w * (dG - e0 * dF) / (phi * phi);
}

struct State {
  double phi = 0.0;  // 1/mm
  double e0 = 0.0;   // strain at the centre
  double M = 0.0;    // N·mm
};

// One model of one section about one axis at one axial load.
class Walk {
 public:
  Walk(const AnalysisSection& section, BendingAxis axis, AnalysisModel model, double axial_ratio)
      : s_(section), model_(model), sums_(section.sums) {
    const CapacitySection& c = section.capacity;
    const bool about_x = axis == BendingAxis::kX;
    D_ = about_x ? c.H : c.B;
    w_ = about_x ? c.B : c.H;
    bars_ = PiecesAlong(c.bars, about_x);
    if (model == AnalysisModel::kFiber) cells_ = PiecesAlong(c.cells, about_x);
    if (model != AnalysisModel::kFiber && !sums_) {
      sums_ = std::make_shared<const ConcreteSums>(
          std::make_shared<const UnconfinedSums>(section.concrete), section.core);
    }
    if (model == AnalysisModel::kConfined) {
      half_core_ = (about_x ? section.core->dc : section.core->bc) / 2;
      core_width_ = about_x ? section.core->bc : section.core->dc;
    }
    for (const Piece& b : bars_) {
      if (b.area > 0 && (!tension_bar_ || b.u < *tension_bar_)) tension_bar_ = b.u;
    }
    target_ = capacity_internal::AxialLoadNewtons(c, axial_ratio);
    sign_ = target_ >= 0 ? 1.0 : -1.0;
    double steel = 0;
    for (const Piece& b : bars_) steel += std::abs(b.area);
    force_scale_ = section.concrete.fc * c.B * c.H + section.steel.fst * steel;
    crush_ = model == AnalysisModel::kConfined ? section.core->eps_cu : section.concrete.eps_cu;
    eps_y_ = section.steel.fy / section.steel.Es;
    // Cracked concrete's stress falls off slowly, about as |ε|^−0.7, over a
    // tension zone up to a thousand times εt,r deep: one piece would take it
    // poorly, so it is cut where the strain is 8, 32, 128 … times εt,r.
    for (int k = 0; k < 4; ++k) tension_tail_[k] = -section.concrete.eps_t * 8 * std::pow(4.0, k);
  }

  AnalysisCurve Run(bool with_points);

 private:
  struct Force {
    double N = 0.0, M = 0.0;
  };

  Force At(double e0, double phi) const {
    Force f;
    const AnalysisSteel& steel = s_.steel;
    for (const Piece& b : bars_) {
      // Most bars are elastic at most states: the law's first branch, inline.
      const double e = e0 + phi * b.u;
      const double stress = std::abs(e) <= eps_y_ ? steel.Es * e : AnalysisSteelStress(steel, e);
      const double force = stress * b.area;
      f.N += force;
      f.M += force * b.u;
    }
    if (model_ == AnalysisModel::kFiber) {
      const AnalysisConcrete& c = s_.concrete;
      for (const Piece& cell : cells_) {
        const double force = UnconfinedStress(c, e0 + phi * cell.u) * cell.area;
        f.N += force;
        f.M += force * cell.u;
      }
      return f;
    }
    ConcreteOfRectangle(e0, phi, f);
    return f;
  }

  // The concrete of B × H: from the sums of its laws at the strains of the
  // edges, the whole width by the unconfined law (exact) or the cover's,
  // and the core's width by what the core adds to the cover. A strain
  // plane nearly flat (at φ = 0, and where the initial stiffness is taken)
  // is summed over the depth instead.
  void ConcreteOfRectangle(double e0, double phi, Force& f) const {
    if (phi * D_ <= std::abs(e0) / 256) {
      ConcreteOverDepth(e0, phi, f);
      return;
    }
    const ConcreteSums& sums = *sums_;
    const UnconfinedSums& unconfined = *sums.unconfined;
    const double top = D_ / 2, bottom = e0 - phi * top, edge = e0 + phi * top;
    if (model_ == AnalysisModel::kExact) {
      AddStrip(w_, e0, phi, unconfined.Of(bottom), unconfined.Of(edge), f.N, f.M);
      return;
    }
    AddStrip(w_, e0, phi, unconfined.OfCover(bottom), unconfined.OfCover(edge), f.N, f.M);
    const double core_top = e0 + phi * half_core_;
    if (core_top > 0) {
      AddStrip(core_width_, e0, phi, sums.CoreOverCover(e0 - phi * half_core_),
               sums.CoreOverCover(core_top), f.N, f.M);
    }
  }

  // The same by Gauss–Legendre over the depth: in tension one law over the
  // whole width, core and cover alike, taken once below the neutral axis;
  // in compression the unconfined law (exact) or the cover's and the core's.
  void ConcreteOverDepth(double e0, double phi, Force& f) const {
    const AnalysisConcrete& c = s_.concrete;
    const double top = D_ / 2, w = w_;
    // Where the strain is 0 and where it is −2·εt,r (φ ≥ 0: compression on top).
    const double neutral = phi > 0 ? std::clamp(-e0 / phi, -top, top) : (e0 > 0 ? -top : top);
    const double far = -2 * c.eps_t;
    const double cracked =
        phi > 0 ? std::clamp((far - e0) / phi, -top, neutral) : (e0 < far ? top : -top);
    auto tension = [&](double e) { return w * ConcreteTensionStress(c, e); };
    const double near_breaks[1] = {-c.eps_t};
    Integrate(cracked, neutral, e0, phi, near_breaks, tension, f.N, f.M);
    // Far into the crack the stress is small and smooth: fewer points.
    Integrate<Rule3>(-top, cracked, e0, phi, tension_tail_, tension, f.N, f.M);
    if (model_ == AnalysisModel::kExact) {
      const double breaks[1] = {c.eps_c};
      Integrate(
          neutral, top, e0, phi, breaks, [&](double e) { return w * UnconfinedStress(c, e); }, f.N,
          f.M);
      return;
    }
    const ConfinedCore& core = *s_.core;
    const double wc = core_width_, hc = half_core_;
    const double breaks[2] = {c.eps_c, c.eps_cu};
    auto cover = [&](double e) { return e > c.eps_cu ? 0.0 : UnconfinedStress(c, e); };
    auto outer = [&](double e) { return w * cover(e); };
    Integrate(neutral, -hc, e0, phi, breaks, outer, f.N, f.M);
    Integrate(std::max(hc, neutral), top, e0, phi, breaks, outer, f.N, f.M);
    Integrate(
        std::max(-hc, neutral), hc, e0, phi, breaks,
        [&](double e) { return (w - wc) * cover(e) + wc * ConfinedStress(core, c, e); }, f.N, f.M);
  }

  // N past the target, counted in the direction of the target's sign, so
  // that it rises along the branch followed.
  double Excess(double e0, double phi) const {
    last_ = {e0, phi, At(e0, phi)};
    return sign_ * (last_.force.N - target_);
  }
  double ForceTolerance() const { return 1e-9 * force_scale_; }

  // The root finders end on a strain they have just tried, most of the time.
  State StateAt(double phi, double e0) const {
    if (last_.e0 == e0 && last_.phi == phi) return {phi, e0, last_.force.M};
    return {phi, e0, At(e0, phi).M};
  }

  // The root between a point below the target (g ≤ 0) and one above it.
  double RootBetween(double phi, double below, double above, double g_below, double g_above) const {
    if (above != below) slope_ = (g_above - g_below) / (above - below);
    return FindRoot([&](double e) { return Excess(e, phi); }, below, above, g_below, g_above,
                    ForceTolerance(), 1e-16);
  }

  std::optional<State> FirstState() const;
  std::optional<State> Solve(double phi, double guess, double hint, double behind) const;
  std::optional<State> Beyond(double phi, double from, double g_from, double step) const;
  std::optional<State> SolveBetween(const State& a, const State& b, double phi) const;
  template <typename Q>
  State Crossing(const State& a, const State& b, Q&& q, double q_tol) const;

  // A strain limit: the strain at u (from the centre) reaching value, from
  // below (dir 1) or from above (dir −1, a bar in tension).
  struct Limit {
    double u = 0.0, value = 0.0, dir = 1.0;
  };
  static double Past(const Limit& l, const State& s) {
    return l.dir * (s.e0 + s.phi * l.u - l.value);
  }
  std::optional<State> Reach(const State& a, const State& b, const Limit& l) const;
  std::optional<State> FirstReached(const State& a, const State& b,
                                    std::initializer_list<Limit> limits) const;
  State Peak(const State& a, const State& m, const State& b, double sense = 1.0) const;

  // N·mm to kN·m; what is left of a moment that is 0 by symmetry is
  // rounding, reported as 0.
  double KiloNewtonMetres(double m) const {
    return capacity_internal::KiloNewtonMetres(s_.capacity, D_, m);
  }

  double Edge(const State& s) const { return s.e0 + s.phi * D_ / 2; }
  double CrushEdge(const State& s) const {
    return s.e0 + s.phi * (model_ == AnalysisModel::kConfined ? half_core_ : D_ / 2);
  }
  // The tension strain of the tension-most bar, as a positive number; −∞
  // without bars.
  double BarTension(const State& s) const {
    return tension_bar_ ? -(s.e0 + s.phi * *tension_bar_)
                        : -std::numeric_limits<double>::infinity();
  }

  const AnalysisSection& s_;
  AnalysisModel model_;
  double D_ = 0, w_ = 0, half_core_ = 0, core_width_ = 0;
  std::shared_ptr<const ConcreteSums> sums_;
  std::vector<Piece> bars_, cells_;
  std::optional<double> tension_bar_;
  double target_ = 0, sign_ = 1, force_scale_ = 0, crush_ = 0, eps_y_ = 0;
  double tension_tail_[4] = {};
  // The last strain state tried, and dN/dε0 (counted as Excess counts N)
  // where the last root was found: the curve changes little from one
  // curvature to the next, so Newton's step from it is nearly right.
  struct Tried {
    double e0 = std::numeric_limits<double>::quiet_NaN(), phi = 0;
    Force force;
  };
  mutable Tried last_;
  mutable double slope_ = 0;
};

// The first uniform strain from 0 in the direction of N's sign that gives N,
// searched up to the concrete's crushing (compression) or the bars' Agt
// (tension).
std::optional<State> Walk::FirstState() const {
  const double limit = sign_ > 0 ? crush_ : s_.steel.agt;
  const double step = (sign_ > 0 ? s_.concrete.eps_c : eps_y_) / 16;
  double e = 0, g = Excess(0, 0);
  if (std::abs(g) <= ForceTolerance()) return StateAt(0, 0);
  if (g > 0) return std::nullopt;  // cannot happen: N(0) is 0
  while (std::abs(e) < limit) {
    // Steps that grow with the strain: the root is bracketed in a few, and
    // then found exactly.
    const double next = sign_ * std::min(std::abs(e) + std::max(step, 0.25 * std::abs(e)), limit);
    const double g_next = Excess(next, 0);
    if (g_next >= 0) return StateAt(0, RootBetween(0, e, next, g, g_next));
    e = next;
    g = g_next;
  }
  return std::nullopt;
}

// The root at curvature phi reached from guess; behind is the root at the
// curvature before, a point on the branch followed. Nothing where the branch
// no longer reaches N (it turned back).
std::optional<State> Walk::Solve(double phi, double guess, double hint, double behind) const {
  const double g0 = Excess(guess, phi);
  if (std::abs(g0) <= ForceTolerance()) return StateAt(phi, guess);
  // Secant steps from Newton's first, while N keeps rising along the
  // branch (a root where N falls is on the other side of a turn); the
  // bracketing search below where they do not settle.
  if (slope_ > 0) {
    double a = guess, g_a = g0;
    double b = guess - g0 / slope_;
    for (int i = 0; i < 8; ++i) {
      const double g_b = Excess(b, phi);
      const double slope = (g_b - g_a) / (b - a);
      if (!(slope > 0)) break;
      slope_ = slope;
      if (std::abs(g_b) <= ForceTolerance()) return StateAt(phi, b);
      a = b;
      g_a = g_b;
      b = b - g_b / slope;
    }
  }
  if (g0 > 0) {
    double above = guess, g_above = g0, h = hint;
    for (int i = 0; i < 80; ++i, h *= 2) {
      const double e = above - sign_ * h;
      const double g = Excess(e, phi);
      if (g <= 0) return StateAt(phi, RootBetween(phi, e, above, g, g_above));
      above = e;
      g_above = g;
    }
    return std::nullopt;
  }
  double below = guess, g_below = g0, h = hint;
  for (int i = 0; i < 80; ++i, h *= 2) {
    const double e = below + sign_ * h;
    const double g = Excess(e, phi);
    if (g >= 0) return StateAt(phi, RootBetween(phi, below, e, g_below, g));
    if (g <= g_below) {
      // N falls on: the largest N of the branch lies behind e. Find it and
      // see whether it reaches the target.
      double lo = sign_ * std::min(sign_ * behind, sign_ * (below - sign_ * h));
      double g_lo = Excess(lo, phi);
      if (g_lo >= 0) return std::nullopt;
      double hi = e;
      constexpr double kGolden = 0.6180339887498949;
      double x1 = hi - kGolden * (hi - lo), x2 = lo + kGolden * (hi - lo);
      double g1 = Excess(x1, phi), g2 = Excess(x2, phi);
      for (int k = 0; k < 60 && g1 < 0 && g2 < 0; ++k) {
        if (g1 > g2) {
          hi = x2;
          x2 = x1;
          g2 = g1;
          x1 = hi - kGolden * (hi - lo);
          g1 = Excess(x1, phi);
        } else {
          lo = x1;
          x1 = x2;
          g1 = g2;
          x2 = lo + kGolden * (hi - lo);
          g2 = Excess(x2, phi);
        }
        if (std::abs(hi - lo) <= 1e-15) break;
      }
      const double best = g1 >= g2 ? x1 : x2, g_best = std::max(g1, g2);
      if (g_best >= 0) return StateAt(phi, RootBetween(phi, lo, best, g_lo, g_best));
      return Beyond(phi, e, g, h);
    }
    below = e;
    g_below = g;
  }
  return std::nullopt;
}

// Where the branch followed turns back at curvature phi (from is past its
// top, N short of the target there). A section that cracks one row of
// cells at a time, or whose cover crushes, turns back a little and then
// carries more: it still holds N if a strain further on, within its limits
// (the crushing edge at most its crushing strain, the tension-most bar at
// most Agt), gives it. The first such strain, or nothing.
std::optional<State> Walk::Beyond(double phi, double from, double g_from, double step) const {
  const double limit =
      sign_ > 0 ? crush_ - phi * (model_ == AnalysisModel::kConfined ? half_core_ : D_ / 2)
                : -s_.steel.agt - phi * tension_bar_.value_or(0.0);
  double e = from, g = g_from, h = std::max(step, s_.concrete.eps_t);
  while (sign_ * (limit - e) > 0) {
    const double next = sign_ > 0 ? std::min(e + h, limit) : std::max(e - h, limit);
    const double g_next = Excess(next, phi);
    if (g_next >= 0) return StateAt(phi, RootBetween(phi, e, next, g, g_next));
    e = next;
    g = g_next;
    h *= 1.5;
  }
  return std::nullopt;
}

std::optional<State> Walk::SolveBetween(const State& a, const State& b, double phi) const {
  const double t = (phi - a.phi) / (b.phi - a.phi);
  const double guess = a.e0 + t * (b.e0 - a.e0);
  const double hint = std::max(0.05 * std::abs(b.e0 - a.e0), 1e-9 * s_.concrete.eps_c);
  return Solve(phi, guess, hint, a.e0);
}

// The state between a and b where q (below 0 at a, at or above 0 at b)
// reaches 0, to within q_tol or 5·10⁻⁷ of its curvature. q_tol is small
// enough that it is the nearer: q changes by about its own size as φ
// doubles.
template <typename Q>
State Walk::Crossing(const State& a, const State& b, Q&& q, double q_tol) const {
  State last = b;
  auto f = [&](double phi) {
    const std::optional<State> s = SolveBetween(a, b, phi);
    if (!s) return 1.0;  // past where the section holds N: treat as crossed
    last = *s;
    return q(*s);
  };
  const double phi = FindRoot(f, a.phi, b.phi, q(a), q(b), q_tol, 5e-7 * b.phi);
  if (phi == b.phi) return b;
  if (phi == a.phi) return a;
  if (last.phi != phi) {
    const std::optional<State> s = SolveBetween(a, b, phi);
    return s ? *s : b;
  }
  return last;
}

// The state between a and b where the strain at l.u reaches l.value (not
// yet at a, reached at b). On the line ε0 = value − φ·u only N remains to be
// met, one strain state a step; where N does not cross the target along it
// between a and b, or the branch followed does not reach its root, the
// curve's own states are searched instead.
std::optional<State> Walk::Reach(const State& a, const State& b, const Limit& l) const {
  if (!(Past(l, a) < 0 && Past(l, b) >= 0)) return std::nullopt;
  auto h = [&](double phi) { return Excess(l.value - phi * l.u, phi); };
  const double ha = h(a.phi), hb = h(b.phi);
  if ((ha <= 0) != (hb <= 0)) {
    const double phi = ha <= 0 ? FindRoot(h, a.phi, b.phi, ha, hb, ForceTolerance(), 5e-7 * b.phi)
                               : FindRoot(h, b.phi, a.phi, hb, ha, ForceTolerance(), 5e-7 * b.phi);
    // The root on the line is the curve's only if the branch followed
    // reaches it: a fiber section may carry N at two strains close together.
    const double e0 = l.value - phi * l.u;
    const std::optional<State> s = SolveBetween(a, b, phi);
    if (s && std::abs(s->e0 - e0) <= 1e-6 * s_.concrete.eps_c) return s;
  }
  return Crossing(
      a, b, [&](const State& s) { return Past(l, s); }, kStrainTolerance);
}

// The first of the limits reached between a and b, if any is.
std::optional<State> Walk::FirstReached(const State& a, const State& b,
                                        std::initializer_list<Limit> limits) const {
  std::optional<State> first;
  for (const Limit& l : limits) {
    const std::optional<State> s = Reach(a, b, l);
    if (s && (!first || s->phi < first->phi)) first = s;
  }
  return first;
}

// The largest M between a and b around m (M(m) at least M(a) and M(b)), to
// 6·10⁻⁵ of its curvature: M is flat there, so the moment is found far
// closer than that. Parabolas through the three best points where they
// behave, golden sections where they do not (the top may be a kink, where
// the cover crushes): Brent's search for a minimum, of −M. With sense −1,
// the smallest M between a and b around m instead.
State Walk::Peak(const State& a, const State& m, const State& b, double sense) const {
  constexpr double kGoldenStep = 0.3819660112501051;
  State best = m;
  // In the confined model the top is most often the kink where the cover's
  // edge reaches εcu and lets go of its stress, where the search below
  // would close in by golden sections only: M there, if it is above M a
  // little to either side, is the top.
  if (model_ == AnalysisModel::kConfined && sense > 0) {
    if (const std::optional<State> kink = Reach(a, b, {D_ / 2, s_.concrete.eps_cu, 1})) {
      const double side = 2e-5 * kink->phi;
      const std::optional<State> before = SolveBetween(a, b, kink->phi - side),
                                 after = SolveBetween(a, b, kink->phi + side);
      if (before && after && kink->M >= std::max({before->M, after->M, m.M})) return *kink;
    }
  }
  auto minus_m = [&](double phi) {
    const std::optional<State> s = SolveBetween(a, b, phi);
    if (s && sense * s->M > sense * best.M) best = *s;
    return s ? -sense * s->M : std::numeric_limits<double>::infinity();
  };
  double lo = a.phi, hi = b.phi;
  double x = m.phi, w = x, v = x;
  double fx = -sense * m.M, fw = fx, fv = fx;
  double d = 0, e = 0;
  for (int i = 0; i < 40; ++i) {
    const double mid = (lo + hi) / 2;
    const double tol1 = 3e-5 * x, tol2 = 2 * tol1;
    if (std::abs(x - mid) <= tol2 - (hi - lo) / 2) break;
    bool golden = true;
    if (std::abs(e) > tol1) {
      const double r = (x - w) * (fx - fv);
      double q = (x - v) * (fx - fw);
      double p = (x - v) * q - (x - w) * r;
      q = 2 * (q - r);
      if (q > 0) p = -p;
      q = std::abs(q);
      const double before = e;
      e = d;
      if (std::abs(p) < std::abs(0.5 * q * before) && p > q * (lo - x) && p < q * (hi - x)) {
        d = p / q;
        const double u = x + d;
        if (u - lo < tol2 || hi - u < tol2) d = std::copysign(tol1, mid - x);
        golden = false;
      }
    }
    if (golden) {
      e = x >= mid ? lo - x : hi - x;
      d = kGoldenStep * e;
    }
    const double u = std::abs(d) >= tol1 ? x + d : x + std::copysign(tol1, d);
    const double fu = minus_m(u);
    if (fu <= fx) {
      (u >= x ? lo : hi) = x;
      v = w;
      fv = fw;
      w = x;
      fw = fx;
      x = u;
      fx = fu;
    } else {
      (u < x ? lo : hi) = u;
      if (fu <= fw || w == x) {
        v = w;
        fv = fw;
        w = u;
        fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u;
        fv = fu;
      }
    }
  }
  return best;
}

AnalysisCurve Walk::Run(bool with_points) {
  AnalysisCurve curve;
  AnalysisFigures& fig = curve.figures;
  fig.N = target_ * capacity_internal::kKiloNewtons;
  const std::optional<State> first = FirstState();
  if (!first) return curve;
  fig.holds = true;
  const AnalysisConcrete& c = s_.concrete;
  const double agt = s_.steel.agt;
  const bool yield_possible = Edge(*first) < c.eps_c;

  // The strain limits, at the edge, the core's edge and the tension-most bar
  // (none without bars: never reached).
  const double edge = D_ / 2;
  const double crush_depth = model_ == AnalysisModel::kConfined ? half_core_ : edge;
  const double bar_u = tension_bar_.value_or(0.0);
  const double no_bar = tension_bar_ ? 1.0 : std::numeric_limits<double>::infinity();
  const Limit edge_yield{edge, c.eps_c, 1}, bar_yield{bar_u, -eps_y_ * no_bar, -1};
  const Limit edge_nominal{edge, kNominalConcrete, 1},
      bar_nominal{bar_u, -kNominalBar * no_bar, -1};
  const Limit crushing{crush_depth, crush_, 1}, breaking{bar_u, -agt * no_bar, -1};

  std::optional<State> yield, nominal;
  State peak = *first;
  State end;
  CurveEnd ends_by = CurveEnd::kConcrete;

  // The tops of M between samples, refined only when a drop may be near
  // and at the end: a top lies above its middle sample by a few percent at
  // most, so one whose sample is further below the largest M cannot matter.
  struct Top {
    State a, m, b;
  };
  std::vector<Top> tops;
  // Only up to `limit`: a top past the curve's end is not on it.
  auto settle = [&](const State& limit) {
    for (const Top& t : tops) {
      const State& b = t.b.phi > limit.phi ? limit : t.b;
      if (t.m.phi < b.phi && t.m.M * kTopMargin >= peak.M) {
        const State p = Peak(t.a, t.m, b);
        if (p.M > peak.M) peak = p;
      }
    }
    tops.clear();
  };

  const double phi_unit = c.eps_c / D_;
  State before = *first, now = *first;
  State earlier = now;
  bool have_before = false, have_earlier = false;
  for (int step = 0;; ++step) {
    const double dphi = std::max(phi_unit / 4, 0.15 * now.phi);
    const double phi = now.phi + dphi;
    const double slope = have_before ? (now.e0 - before.e0) / (now.phi - before.phi) : 0.0;
    double guess = now.e0 + slope * dphi;
    if (have_earlier) {
      // Through the last three states: ε0 bends smoothly with φ.
      const double older = (before.e0 - earlier.e0) / (before.phi - earlier.phi);
      guess += (slope - older) / (now.phi - earlier.phi) * dphi * (phi - before.phi);
    }
    const double hint = std::max(0.1 * std::abs(slope * dphi), 1e-6 * c.eps_c);
    std::optional<State> next = step < 2000 ? Solve(phi, guess, hint, now.e0) : std::nullopt;
    bool turned = false;
    if (!next) {
      // The branch turned back between now and phi: where, to 10⁻⁶. The
      // other limits may still come first, so the last state held is the
      // next one, and the end only if none of them does.
      double lo = now.phi, hi = phi;
      State held = now;
      while (hi - lo > 1e-7 * hi) {
        const double mid = (lo + hi) / 2;
        const std::optional<State> s = SolveBetween(now, {phi, guess, 0}, mid);
        if (s) {
          lo = mid;
          held = *s;
        } else {
          hi = mid;
        }
      }
      next = held;
      turned = true;
    }
    // A top of M between before and next, found only where it matters.
    if (have_before && next->M < now.M && now.M >= before.M) tops.push_back({before, now, *next});
    if (now.M > peak.M) peak = now;

    // The end: the earliest of its limits crossed in (now, next].
    std::optional<State> stop;
    auto consider = [&](auto&& q, CurveEnd why, double q_tol) {
      if (q(now) < 0 && q(*next) >= 0) {
        const State s = Crossing(now, *next, q, q_tol);
        if (!stop || s.phi < stop->phi) {
          stop = s;
          ends_by = why;
        }
      }
    };
    for (auto [limit, why] :
         {std::pair{crushing, CurveEnd::kConcrete}, {breaking, CurveEnd::kBar}}) {
      const std::optional<State> s = Reach(now, *next, limit);
      if (s && (!stop || s->phi < stop->phi)) {
        stop = s;
        ends_by = why;
      }
    }
    if (next->M <= kDropShare * kTopMargin * peak.M) settle(stop ? *stop : *next);
    const double drop_level = kDropShare * peak.M;
    auto below_drop = [&](const State& s) { return drop_level - s.M; };
    if (peak.M > 0) consider(below_drop, CurveEnd::kDrop, 1e-9 * drop_level);
    // M may dip below the drop level between samples that stay above it
    // (the cover crushing, then the core taking over): a low sample near
    // the level is looked into.
    if (have_before && peak.M > 0 && now.M < before.M && now.M <= next->M &&
        now.M < kDropShare * kTopMargin * peak.M) {
      const State low = Peak(before, now, *next, -1.0);
      if (low.M <= drop_level) {
        const State s = Crossing(before, low, below_drop, 1e-9 * drop_level);
        if (!stop || s.phi < stop->phi) {
          stop = s;
          ends_by = CurveEnd::kDrop;
        }
      }
    }
    const double until = stop ? stop->phi : next->phi;
    // Each reached for the first time: not yet at now on either limit.
    if (yield_possible && !yield && Past(edge_yield, now) < 0 && Past(bar_yield, now) < 0) {
      const std::optional<State> s = FirstReached(now, *next, {edge_yield, bar_yield});
      if (s && s->phi <= until) yield = s;
    }
    if (!nominal && Past(edge_nominal, now) < 0 && Past(bar_nominal, now) < 0) {
      const std::optional<State> s = FirstReached(now, *next, {edge_nominal, bar_nominal});
      if (s && s->phi <= until) nominal = s;
    }
    if (!stop && turned) {
      stop = *next;
      ends_by = CurveEnd::kAxial;
    }
    if (stop) {
      end = *stop;
      // A dip may end the curve before the last sample: nothing past it counts.
      if (yield && yield->phi > end.phi) yield.reset();
      if (nominal && nominal->phi > end.phi) nominal.reset();
      if (now.M > peak.M) peak = now;
      // M may rise past the end's and come back to it within the last
      // step, with no sample on the way down: one more state tells.
      if (end.phi > now.phi && now.M > 0) {
        const std::optional<State> mid = SolveBetween(now, end, (now.phi + end.phi) / 2);
        if (mid && mid->M > end.M && mid->M > now.M) tops.push_back({now, *mid, end});
      }
      settle(end);
      for (const std::optional<State>& s : {std::optional<State>(end), yield, nominal}) {
        if (s && s->M > peak.M) peak = *s;
      }
      break;
    }
    earlier = before;
    have_earlier = have_before;
    before = now;
    now = *next;
    have_before = true;
  }

  const double kNmm2 = 1e-9;  // N·mm² to kN·m²
  fig.phi_u = end.phi * 1e3;
  fig.M_u = KiloNewtonMetres(end.M);
  fig.M_peak = KiloNewtonMetres(peak.M);
  fig.ends_by = ends_by;
  fig.M_n = nominal ? KiloNewtonMetres(nominal->M) : fig.M_u;
  std::optional<State> tiny;
  if (yield && yield->phi > 0) {
    fig.phi_y1 = yield->phi * 1e3;
    fig.M_y1 = KiloNewtonMetres(yield->M);
    const double phi0 = yield->phi / 1000;
    tiny = SolveBetween(*first, *yield, phi0);
    if (tiny) fig.EI0 = tiny->M / tiny->phi * kNmm2;
    if (fig.M_n > *fig.M_y1) {
      fig.phi_y = *fig.phi_y1 * fig.M_n / *fig.M_y1;
      fig.EI_eff = fig.M_n / *fig.phi_y;
    } else {
      fig.phi_y = *fig.phi_y1;
      fig.EI_eff = *fig.M_y1 / *fig.phi_y1;
    }
    fig.mu_phi = fig.phi_u / *fig.phi_y;
  }

  if (with_points) {
    constexpr int kSteps = 40;
    std::vector<AnalysisPoint>& points = curve.points;
    State last_solved = *first;
    points.push_back({0, KiloNewtonMetres(first->M), AnalysisMark::kNone});
    for (int j = 1; j < kSteps; ++j) {
      const double phi = end.phi * j / kSteps;
      const std::optional<State> s = SolveBetween(last_solved, end, phi);
      if (!s) break;
      points.push_back({phi * 1e3, KiloNewtonMetres(s->M), AnalysisMark::kNone});
      last_solved = *s;
    }
    auto add = [&](const State& s, AnalysisMark mark) {
      points.push_back({s.phi * 1e3, KiloNewtonMetres(s.M), mark});
    };
    if (yield && fig.phi_y1) add(*yield, AnalysisMark::kFirstYield);
    if (nominal && nominal->phi < end.phi) add(*nominal, AnalysisMark::kNominal);
    add(peak, AnalysisMark::kPeak);
    add(end, AnalysisMark::kEnd);
    std::stable_sort(points.begin(), points.end(),
                     [](const AnalysisPoint& a, const AnalysisPoint& b) { return a.phi < b.phi; });
  }
  return curve;
}

}  // namespace

const char* AnalysisModelName(AnalysisModel model) {
  switch (model) {
    case AnalysisModel::kExact:
      return "exact";
    case AnalysisModel::kFiber:
      return "fiber";
    case AnalysisModel::kConfined:
      return "confined";
  }
  return "";
}

const char* CurveEndName(CurveEnd end) {
  switch (end) {
    case CurveEnd::kConcrete:
      return "concrete";
    case CurveEnd::kBar:
      return "bar";
    case CurveEnd::kDrop:
      return "drop";
    case CurveEnd::kAxial:
      return "axial";
  }
  return "";
}

AnalysisOptions AnalysisOptionsOf(const CapacityOptions& options) {
  return {.steel = options.steel,
          .strengths = options.strengths,
          .hoops = options.hoops,
          .axial_ratio = options.axial_ratio};
}

namespace {

AnalysisSection SectionWithoutSums(const BrenmoorState& state, int record,
                                   const AnalysisOptions& options,
                                   const std::optional<Stirrups>& stirrups) {
  AnalysisSection section;
  section.capacity = MakeCapacitySection(
      state, record,
      {.steel = options.steel, .strengths = options.strengths, .axial_ratio = options.axial_ratio});
  section.concrete = AnalysisConcreteOf(section.capacity.concrete.fcuk, options.strengths);
  section.steel = AnalysisSteelOf(RebarGradeOf(options.steel), options.strengths);
  if (stirrups) {
    const TSECTION& r = state.records[static_cast<std::size_t>(record)];
    try {
      section.core =
          ConfinedCoreOf({r.B, r.H, r.CC, r.NX, r.NY, r.ASX, r.ASY, r.ASCOR}, *stirrups,
                         section.concrete, AnalysisSteelOf(options.hoops, options.strengths));
    } catch (const Error& e) {
      throw CapacityRefusal(e.what(), record);
    }
  }
  return section;
}

}  // namespace

AnalysisSection MakeAnalysisSection(const BrenmoorState& state, int record,
                                    const AnalysisOptions& options,
                                    const std::optional<Stirrups>& stirrups,
                                    ConcreteSumsByGrade* by_grade) {
  AnalysisSection section = SectionWithoutSums(state, record, options, stirrups);
  section.sums = std::make_shared<const ConcreteSums>(
      by_grade ? by_grade->Of(section.concrete)
               : std::make_shared<const UnconfinedSums>(section.concrete),
      section.core);
  return section;
}

void CheckAnalysisSection(const BrenmoorState& state, int record, const AnalysisOptions& options,
                          const std::optional<Stirrups>& stirrups) {
  SectionWithoutSums(state, record, options, stirrups);
}

AnalysisFigures AnalysisFiguresOf(const AnalysisSection& section, BendingAxis axis,
                                  AnalysisModel model, double axial_ratio) {
  if (model == AnalysisModel::kConfined && !section.core) {
    throw Error("the confined model needs the section's stirrups");
  }
  return Walk(section, axis, model, axial_ratio).Run(false).figures;
}

AnalysisCurve AnalysisCurveOf(const AnalysisSection& section, BendingAxis axis, AnalysisModel model,
                              double axial_ratio) {
  if (model == AnalysisModel::kConfined && !section.core) {
    throw Error("the confined model needs the section's stirrups");
  }
  return Walk(section, axis, model, axial_ratio).Run(true);
}

}  // namespace brenmoor

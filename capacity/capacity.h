#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/errors.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// The strength of a section's concrete and bars under axial load and bending,
// by the material laws of GB 50010-2010 (2015 edition), in two models of the
// same section:
//   exact  the gross rectangle B × H (bars' area not taken out, as the fibers
//          do not take it out) with its concrete integrated in closed form,
//          plus the bars where LayoutFibers puts them;
//   fiber  the concrete cells and the same bars LayoutFibers writes into the
//          component file, each at the strain of its centroid times its area;
// so that the engineer sees how far the exported fibers are from the section
// they stand for. Both models take the same strain states; only the
// integration differs.
//
// Units: lengths mm, areas mm², stresses N/mm², strains plain (compression
// positive), forces reported in kN, moments in kN·m, curvature in 1/m.
// Moments are about the centre of the rectangle, positive when the compressed
// side is +y (bending about x) or +x (bending about y).
//
// Worked example, examples/sample.csv, KZ1: 500 × 500, C35 (fc = 16.7),
// HRB400 design (fy = fy′ = 360), As = 2·1000 + 2·1000 + 4·490 = 5960:
//   N0 = 16.7·250000 + 360·5960 N = 6320.6 kN     (ε0 = 0.002: Es·ε0 = 400 ≥ 360)
//   Nt = −360·5960 N = −2145.6 kN
//   either axis: Nb = 2172.1 kN, Mb = 592.4 kN·m, M0 = 441.8 kN·m,
//   fiber M0 = 441.1 kN·m (6 × 6 cells), fiber error 0.95 %.

// ---- Materials -------------------------------------------------------------

enum class SteelGrade { kHRB335, kHRB400, kHRB500 };
enum class Strengths { kDesign, kCharacteristic };

// The bar grades of the analysis laws (analysis_laws.h): longitudinal bars
// and hoops. Here because the options carry the hoops' grade.
enum class RebarGrade { kHPB300, kHRB335, kHRB400, kHRB500 };

struct CapacityOptions {
  SteelGrade steel = SteelGrade::kHRB400;
  Strengths strengths = Strengths::kDesign;
  // The stirrups' grade: it confines the core in the analysis curves of the
  // sections that have stirrups, and changes no other figure.
  RebarGrade hoops = RebarGrade::kHRB400;
  // r = N / (fc·B·H), fc the design strength whichever strengths the laws
  // use, from kMinAxialRatio to kMaxAxialRatio: the axial load of the
  // moment–curvature curves and of biaxial bending (see AxialLoad).
  double axial_ratio = 0.3;
};

// The axial ratios the command line and the window accept, both inclusive:
// from a tension of half the concrete's design strength to 1.5 times it.
inline constexpr double kMinAxialRatio = -0.5;
inline constexpr double kMaxAxialRatio = 1.5;

// An axial ratio as the engineer types it: a decimal number as std::strtod
// reads it in the C locale, with an optional sign ("+0.3", "-0.1"), digits
// before or after the point or both ("0.3", ".3", "3."), and an optional
// exponent ("3e-1", "3E-1"); nothing before or after it, not even a blank
// (a blank in an option's value is a slip of quoting, not a number). Not
// hexadecimal ("0x1p-2"), "nan", "inf" or "infinity", whose meaning as a
// ratio no engineer intends. The value must lie in [kMinAxialRatio,
// kMaxAxialRatio]; a magnitude too small for a double reads as 0.
// Examples: "+0.3" -> 0.3, "3e-1" -> 0.3, "1.5" -> 1.5.
// Throws Error, e.g. for "5": the axial ratio must be a number from -0.5 to
// 1.5, not "5"
double ParseAxialRatio(std::string_view text);

// "HRB335", "HRB400", "HRB500"; "design", "characteristic".
const char* SteelGradeName(SteelGrade grade);
std::optional<SteelGrade> SteelGradeFromName(const std::string& name);
const char* StrengthsName(Strengths strengths);
std::optional<Strengths> StrengthsFromName(const std::string& name);

// Concrete of grade C<fcuk>, fcuk = 30, 35, ... 80 N/mm²: parabola–rectangle,
// no tension:
//   σ = fc·[1 − (1 − ε/ε0)^n]  for 0 ≤ ε ≤ ε0
//   σ = fc                     for ε0 < ε (the states here stop at εcu)
//   σ = 0                      for ε ≤ 0
//   n = min(2, 2 − (fcuk − 50)/60), ε0 = max(0.002, 0.002 + 0.5·10⁻⁵·(fcuk − 50)),
//   εcu = min(0.0033, 0.0033 − 10⁻⁵·(fcuk − 50)).
// fc design (C30 … C80): 14.3 16.7 19.1 21.1 23.1 25.3 27.5 29.7 31.8 33.8 35.9;
// characteristic fck:    20.1 23.4 26.8 29.6 32.4 35.5 38.5 41.5 44.5 47.4 50.2.
// Example: C80 has n = 1.5, ε0 = 0.00215, εcu = 0.003.
struct ConcreteLaw {
  int fcuk = 0;            // cube strength of the grade, N/mm²
  double fc = 0.0;         // N/mm², of the strengths chosen
  double fc_design = 0.0;  // N/mm², the design fc of the grade, which the axial ratio is of
  double n = 2.0;
  double eps0 = 0.002;
  double epscu = 0.0033;
};
// fcuk must be one of 30, 35, ... 80.
ConcreteLaw ConcreteLawOf(int fcuk, Strengths strengths);
double ConcreteStress(const ConcreteLaw& law, double strain);

// Bars: elastic–perfectly plastic between −fy (tension) and +fy′
// (compression), Es = 2.0·10⁵ N/mm², tensile strain limit 0.01 (the strain
// states here never pass it). By GB 50010-2010 (2015 edition), Table 4.2.3-1
// and its note: design fy = fy′ = 300 / 360 / 435 N/mm² for HRB335 / HRB400 /
// HRB500, except that HRB500's bars count with 400 N/mm² in the axial
// compression strength N0 (fy_axial); characteristic fyk = 335 / 400 / 500,
// the same in tension, compression and N0.
struct SteelLaw {
  double fy = 0.0;        // tension, N/mm²
  double fy_comp = 0.0;   // compression, N/mm²
  double fy_axial = 0.0;  // compression in N0 (uniform ε0), N/mm²; at most fy_comp
  double Es = 2.0e5;      // N/mm²
  double strain_limit = 0.01;
};
SteelLaw SteelLawOf(SteelGrade grade, Strengths strengths);
double SteelStress(const SteelLaw& law, double strain);

// ---- One section -----------------------------------------------------------

// A section the models can take: its sizes, laws, bars and concrete cells.
struct CapacityBar {
  double x = 0.0, y = 0.0;  // mm from the centre
  double area = 0.0;        // mm²
};
struct CapacitySection {
  double B = 0.0, H = 0.0, CC = 0.0;  // mm
  ConcreteLaw concrete;
  SteelLaw steel;
  std::vector<CapacityBar> bars;   // the layout's bars
  std::vector<CapacityBar> cells;  // the layout's concrete cells
};

// Why a section has no capacity: its CONC is not a concrete grade, its STEEL
// column is not "STEEL", or its sizes leave no depth for the bars (H or B
// not above 0, or CC not below half of H and of B). record is the section's
// record number (line record + 1 of its table); what() is the reason alone,
// e.g. "capacity needs a concrete grade in CONC, not STEEL"; the command line puts the
// table, line and section name before it.
class CapacityRefusal : public Error {
 public:
  CapacityRefusal(const std::string& reason, int record) : Error(reason), record_(record) {}
  int record() const { return record_; }

 private:
  int record_;
};

// The axial load N = r·fc·B·H of an axial ratio r, in kN, fc the design
// strength of the section's concrete whatever strengths its laws use: the
// axial ratio is defined with the design fc. Every figure at "the chosen axial
// load" (moment–curvature, biaxial bending, the grid search) takes its N here.
// Example: KZ1 of examples/sample.csv (500 × 500, C35, fc = 16.7) at r = 0.3:
// 1252.5 kN, with design and with characteristic strengths alike.
double AxialLoad(const CapacitySection& section, double axial_ratio);

// The reinforcement ratio ρ = As / (B·H) of all the section's bars, as a
// fraction (0.0238 for KZ1's 5960 mm² in 500 × 500).
double ReinforcementRatio(const CapacitySection& section);

// The least ρ GB 50010 (Table 8.5.1) asks of all the longitudinal bars of a
// column, as a fraction: 0.0060 for HRB335, 0.0055 for HRB400, 0.0050 for
// HRB500, each 0.0010 more for concrete of C60 and above (fcuk ≥ 60).
// Example: HRB400 in C60 needs 0.0065.
double MinReinforcementRatio(SteelGrade steel, int fcuk);

// Whether ρ lies outside MinReinforcementRatio(steel, fcuk) to 5 % (both
// limits inside), for the marks of the summary. The ratio is taken from the
// layout's bar areas, which are rounded to floats, so a section drawn
// exactly at a limit (1375 mm² of HRB400 in 500 × 500) counts as inside: ρ
// within 10⁻⁶ of its own size beyond a limit is at it.
inline constexpr double kMaxReinforcementRatio = 0.05;
bool ReinforcementOutsideLimits(double ratio, SteelGrade steel, int fcuk);

// Record `record` (1 .. imported_count) of an imported table as the models
// take it: laid out by LayoutFibers (on a copy; the record is not touched),
// with the laws of its grade and the options. Throws CapacityRefusal, also
// with the layout's own error (a cell area that overflows a float) as its
// reason.
CapacitySection MakeCapacitySection(const BrenmoorState& state, int record,
                                    const CapacityOptions& options);

// Bending about x (axis 3: strain varies with y over the depth H, compression
// at +y) or about y (axis 2: strain varies with x over B, compression at +x).
enum class BendingAxis { kX, kY };
enum class CapacityModel { kExact, kFiber };

// ---- The ultimate strain states -------------------------------------------
// A path from pure tension to pure compression, D the depth (H about x, B
// about y), "top" the extreme compression fibre, the tension-most bars those
// of the far face at depth D − CC:
//   A. the tension-most bar at −0.01, the top from −0.01 up to εcu;
//   B. the top at εcu, the far face from where A ended up to 0;
//   C. the far face from 0 up to ε0, the strain line turning about the point
//      at depth (1 − ε0/εcu)·D, which is at ε0; it ends at uniform ε0.

// Figures of one section about one axis (exact model unless said):
//   N0  uniform ε0: fc·B·H + Σ bars · min(fy_axial, Es·ε0), kN; the most
//       axial load the model carries (for HRB500 the path may reach past it)
//   Nt  uniform −0.01: −fy·As, kN
//   Nb, Mb  top at εcu, tension-most bar at −fy/Es: kN, kN·m
//   M0  the moment where N = 0 on the path, kN·m
//   fiber_M0  the fiber model's moment where its N = 0, kN·m
//   fiber_error_pct  at N_k = Nt + k·(N0 − Nt)/20, k = 1 … 19: the largest
//     |M_fiber(N_k) − M_exact(N_k)| over the largest M_exact(N_k), in percent;
//     where the fiber model cannot carry N_k (below its own Nt or above its
//     own N0) its M counts as 0 (so a section without concrete cells shows
//     about 100 %).
// Every tolerance is a fraction of the section's own forces and moments, so
// a section s times as large (s² the bar areas) has forces s², moments s³
// and curvatures 1/s times as large and the same fiber error.
struct AxisCapacity {
  double N0 = 0.0;
  double Nt = 0.0;
  double Nb = 0.0;
  double Mb = 0.0;
  double M0 = 0.0;
  double fiber_M0 = 0.0;
  double fiber_error_pct = 0.0;
};

struct SectionCapacity {
  AxisCapacity x;  // bending about x
  AxisCapacity y;  // bending about y
  const AxisCapacity& about(BendingAxis axis) const { return axis == BendingAxis::kX ? x : y; }
};

AxisCapacity ComputeAxisCapacity(const CapacitySection& section, BendingAxis axis);
SectionCapacity ComputeSectionCapacity(const CapacitySection& section);

// Every imported section (records 1 .. imported_count, result [r − 1]) on
// every core. Every section is checked before any is computed, so a refused
// table throws the CapacityRefusal of its first refused record and computes
// nothing. With a progress, counts the sections computed ("Computing
// capacity") and stops with Cancelled when asked to.
std::vector<SectionCapacity> ComputeCapacityTable(const BrenmoorState& state,
                                                  const CapacityOptions& options,
                                                  Progress* progress = nullptr);

// ---- Interaction curve -----------------------------------------------------

// Which named point of a model a curve point is. For the fiber model they are
// its own: its N at the ends of the path, its balanced point and its N = 0.
enum class CurveMark { kNone, kTension, kBalanced, kPureBending, kSquash };

struct InteractionPoint {
  double N = 0.0;  // kN
  double M = 0.0;  // kN·m
  CurveMark mark = CurveMark::kNone;
};

// The N–M curve of one model along the whole path, in path order (from pure
// tension to pure compression): 41 points at N equally spaced between the
// model's own Nt and N0 (the first kTension at uniform −0.01, the last
// kSquash, uniform ε0 with the bars at fy_axial), its balanced
// point, and its N = 0 point where N changes sign along the path (not in a
// section without bars): 43 points, or 42. A point's N never falls below the
// one before it. Example: KZ1's exact curve about x starts (−2145.6, 0) and
// holds (2172.13, 592.435) kBalanced and (0, 441.797) kPureBending.
std::vector<InteractionPoint> InteractionCurve(const CapacitySection& section, BendingAxis axis,
                                               CapacityModel model);

// ---- Moment–curvature ------------------------------------------------------

struct CurvaturePoint {
  double curvature = 0.0;  // 1/m, the top's side compressed
  double M = 0.0;          // kN·m
};

// M against curvature at N = AxialLoad(section, r) (fc design), from 0 up
// to the end point: the first state on the path of ultimate strain states
// above, that is the first of the top at εcu, the tension-most bar at −0.01
// and, under a load that compresses the whole section, the strain at depth
// (1 − ε0/εcu)·D at ε0. So the curve ends on the model's interaction curve
// at its N, never beyond it. 41 points at equal steps of curvature, plus the
// first yield of a tension bar (the tension-most bar at −fy/Es) when it
// comes before the end. holds is false, and points empty, when the section
// cannot carry N even without curvature: N at or below the model's Nt, or at
// or above its N0 (for HRB500 with design strengths the bars count with 400
// N/mm² there, as in the interaction curve and the biaxial contour).
// Example: KZ1 at r = 1.2 (N = 5010 kN) ends at 238.9 kN·m with the top
// at 0.00315, short of εcu (the interaction curve's M at 5010 kN).
struct MomentCurvature {
  double N = 0.0;  // kN
  bool holds = false;
  std::vector<CurvaturePoint> points;
  std::optional<std::size_t> first_yield;  // index into points
  std::size_t end = 0;                     // index into points: the last one
};

MomentCurvature MomentCurvatureCurve(const CapacitySection& section, BendingAxis axis,
                                     CapacityModel model, double axial_ratio);

}  // namespace brenmoor

#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "capacity/analysis_laws.h"
#include "capacity/capacity.h"
#include "model/section.h"
#include "model/state.h"

namespace brenmoor {

// The moment–curvature of a section by the analysis laws (analysis_laws.h),
// about x and about y at N = r·fc·B·H (fc the design strength, as for every
// figure at the chosen axial load), in three models at the same strain
// states (plane sections):
//   exact     B × H integrated exactly (bars' area not taken out, as in the
//             design-law exact model), unconfined concrete everywhere;
//   fiber     the cells and bars the component file holds (float32, as
//             written), unconfined concrete in every cell;
//   confined  B × H exact with the core bc × dc of the stirrups confined;
//             the cover outside it carries nothing in compression while its
//             strain is above εcu (the loading is monotonic). Only for a
//             section with stirrups.
// The concrete of B × H is integrated exactly in strain: each law's ∫σ dε
// and ∫σ·ε dε are kept from 0 at close strains, so a strip's force and
// moment come from the strains at its edges (internal/law_sums.h); a strain
// plane nearly flat is summed over the depth by Gauss–Legendre instead.
// Against sums over the depth of 2,000 points to each smooth piece, 240
// random sections at five loads and both strengths agree to the 6 digits
// the CSV prints (a 5-point sum to each piece was up to 0.26 % off, where
// much of the section is cracked or its core holds a high load).
//
// At each curvature the axial strain ε0 of the centre that gives N is the
// root reached by continuation from the previous curvature; at φ = 0 the
// first root from ε0 = 0 in the direction of N's sign. A model cannot carry N
// when no uniform strain with the concrete at most εcu (the core at most
// εcu,c) and no bar in tension past Agt gives N.
//
// Strains are judged at the same points in every model: the concrete at the
// section's edge (depth 0), the bars at their positions; only the confined
// model's end is judged at the core's edge.
//   End (φu, Mu): the first of the edge at εcu (the core's edge at εcu,c in
//     the confined model), the tension-most bar at −Agt, M down to 0.8 of the
//     largest M so far, and the section no longer holding N (the branch of ε0
//     followed turns back, and no strain further on with the edge at most at
//     its crushing strain and the bars at most at Agt carries N: a row of
//     cells that cracks turns the branch back for a moment only); each to
//     10⁻⁶ of its curvature.
//   First yield (φy′, My′): the first of the tension-most bar at −fy,r/Es and
//     the edge at εc,r. Empty where N alone takes the edge past εc,r or (in
//     tension) the bars past fy,r/Es, or the curve ends first.
//   Nominal Mn: M at the first of the edge at 0.004 and the tension-most bar
//     at −0.015, or Mu if the curve ends first.
//   Bilinear: φy = φy′·Mn/My′, EIeff = Mn/φy where Mn > My′; otherwise
//     φy = φy′, EIeff = My′/φy′. μφ = φu/φy. EI0 = M/φ at φ = φy′/1000.
//   M_peak: the largest M up to φu. The curve is walked in steps of 15 % of
//     φ, and a top between them looked into where the samples show one;
//     where the curve is nearly flat at its top, a small rise between two
//     samples may be missed: there M_peak is within about 0.2 % of it.
// Loads beyond the unconfined section, carried by the confined core alone:
// the cover takes nothing past εcu, but takes stress again where its strain
// falls back below it (no history), so such a curve may start with M ≤ 0
// and end at once by the drop.
// Units: kN, kN·m, 1/m, kN·m². Every tolerance is a fraction of the section's
// own forces and curvatures, so a section s times as large has the same
// strains, curvatures 1/s and moments s³ times as large.
//
// Example: KZ1 of examples/sample.csv (500 × 500, C35, 5960 mm² of HRB400),
// characteristic, r = 0.3 (N = 1252.5 kN): ε0 = 139.3 ×10⁻⁶ at φ = 0, where
// the tangent stiffness is 30,580 N/mm², so EI0 ≈ 30,580·500⁴/12 +
// 2·10⁵·194.2·10⁶ N·mm² = 198,111 kN·m² (exact model: 198,118).

enum class AnalysisModel { kExact, kFiber, kConfined };
// "exact", "fiber", "confined".
const char* AnalysisModelName(AnalysisModel model);

struct AnalysisOptions {
  SteelGrade steel = SteelGrade::kHRB400;
  Strengths strengths = Strengths::kDesign;
  RebarGrade hoops = RebarGrade::kHRB400;  // the stirrups' grade
  double axial_ratio = 0.3;
};
// The analysis options of the capacity options the window and the reports
// carry: the same steel, strengths, hoops and axial ratio.
AnalysisOptions AnalysisOptionsOf(const CapacityOptions& options);

// The sums of the concrete's laws over strain that the exact and confined
// models integrate B × H by, made once for all of a section's curves: those
// of the grade's unconfined law, and those of its core.
struct UnconfinedSums;
struct ConcreteSums;

// The unconfined sums of each grade, made once for the sections of a table
// that share them; safe to use from several threads at once.
class ConcreteSumsByGrade {
 public:
  std::shared_ptr<const UnconfinedSums> Of(const AnalysisConcrete& law);

 private:
  std::mutex mutex_;
  std::vector<std::shared_ptr<const UnconfinedSums>> made_;
};

// A section as the analysis models take it: the design-law section (sizes,
// the file's bars and cells) with the analysis laws, and its confined core
// when it has stirrups.
struct AnalysisSection {
  CapacitySection capacity;
  AnalysisConcrete concrete;
  AnalysisSteel steel;
  std::optional<ConfinedCore> core;
  // Made by MakeAnalysisSection from concrete and core; where it is empty
  // each curve makes its own.
  std::shared_ptr<const ConcreteSums> sums;
};

// Record `record` of an imported table, with the stirrups the table gives it
// (or none); the grade's sums taken from by_grade where given. Throws
// CapacityRefusal as MakeCapacitySection does, and with the reason
// ConfinedCoreOf gives for stirrups that cannot be.
AnalysisSection MakeAnalysisSection(const BrenmoorState& state, int record,
                                    const AnalysisOptions& options,
                                    const std::optional<Stirrups>& stirrups,
                                    ConcreteSumsByGrade* by_grade = nullptr);
// The same refusals, without the time it takes to make the section: what a
// job checks of every section before it writes anything.
void CheckAnalysisSection(const BrenmoorState& state, int record, const AnalysisOptions& options,
                          const std::optional<Stirrups>& stirrups);

// What ended a curve.
enum class CurveEnd { kConcrete, kBar, kDrop, kAxial };
// "concrete", "bar", "drop", "axial".
const char* CurveEndName(CurveEnd end);

struct AnalysisFigures {
  double N = 0.0;      // kN
  bool holds = false;  // false: the model cannot carry N, no other figure
  // Empty where the yield is not reached (see above).
  std::optional<double> EI0, phi_y1, M_y1, phi_y, EI_eff, mu_phi;
  double M_n = 0.0;
  double phi_u = 0.0, M_u = 0.0, M_peak = 0.0;
  CurveEnd ends_by = CurveEnd::kConcrete;
};

enum class AnalysisMark { kNone, kFirstYield, kNominal, kPeak, kEnd };
struct AnalysisPoint {
  double phi = 0.0;  // 1/m
  double M = 0.0;    // kN·m
  AnalysisMark mark = AnalysisMark::kNone;
};

// The figures of one model about one axis. model kConfined needs
// section.core.
AnalysisFigures AnalysisFiguresOf(const AnalysisSection& section, BendingAxis axis,
                                  AnalysisModel model, double axial_ratio);

// The same with the curve: 41 points at equal steps of φ from 0 to φu, and
// the first yield, nominal, peak and end points each marked, in order of φ.
// Empty where the model cannot carry N.
struct AnalysisCurve {
  AnalysisFigures figures;
  std::vector<AnalysisPoint> points;
};
AnalysisCurve AnalysisCurveOf(const AnalysisSection& section, BendingAxis axis, AnalysisModel model,
                              double axial_ratio);

}  // namespace brenmoor

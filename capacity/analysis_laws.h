#pragma once

#include <optional>
#include <string>

#include "capacity/capacity.h"
#include "model/section.h"

namespace brenmoor {

// The material laws for analysis of GB 50010-2010 (2015 edition), Appendix
// C: how a section behaves (its stiffness, where it yields, how far it bends
// before it fails), where the laws of capacity.h are for strength. Strains
// plain, compression positive; stresses N/mm², compression positive.
//
// Representative strengths (Strengths): characteristic takes fc,r = fck,
// ft,r = ftk, fy,r = fyk, fst,r = fstk; design takes fc, ft, fy and
// fst,r = fy·fstk/fyk. Ec is that of Table 4.1.5 (C30 … C80: 3.00 3.15 3.25
// 3.35 3.45 3.55 3.60 3.65 3.70 3.75 3.80 ×10⁴ N/mm²), whatever modulus the
// component file's material table gives the grade.
//
// Worked example, C35 characteristic (fc,r = 23.4, ft,r = 2.20, Ec = 31,500):
//   εc,r = 1470 + (23.4 − 20)/5·(1560 − 1470) = 1531.2 ×10⁻⁶, αc = 0.9576,
//   εcu = (3.0 − 0.68·0.4)·εc,r = 4.177 ×10⁻³;
//   σ(0.001) = 21.52, σ(εc,r) = 23.40, σ(0.002) = 21.90, σ(0.0033) = 14.69;
//   tension εt,r = 2.2^0.54·65 ×10⁻⁶ = 99.5 ×10⁻⁶, αt = 1.510, ρt = 0.702.

// RebarGrade, the bar grades of these laws, is in capacity.h.
// "HPB300", "HRB335", "HRB400", "HRB500".
const char* RebarGradeName(RebarGrade grade);
std::optional<RebarGrade> RebarGradeFromName(const std::string& name);
// The longitudinal bars' grade of the design-law options.
RebarGrade RebarGradeOf(SteelGrade grade);

// Unconfined concrete, C.2.4 in compression and C.2.3 in tension.
// Compression, x = ε/εc,r, σ = (1 − dc)·Ec·ε:
//   ρc = fc,r/(Ec·εc,r), n = Ec·εc,r/(Ec·εc,r − fc,r)
//   dc = 1 − ρc·n/(n − 1 + xⁿ)          x ≤ 1
//   dc = 1 − ρc/(αc·(x − 1)² + x)       x > 1 (also beyond εcu)
// εc,r, αc and εcu/εc,r from Table C.2.4, linear in fc,r between its columns
// fc,r = 20, 25, … 80 and held at the end columns outside them (design C30
// and C35 have fc below 20):
//   εc,r ×10⁶  1470 1560 1640 1720 1790 1850 1920 1980 2030 2080 2130 2190 2240
//   αc         0.74 1.06 1.36 1.65 1.94 2.21 2.48 2.74 3.00 3.25 3.50 3.75 3.99
//   εcu/εc,r   3.0  2.6  2.3  2.1  2.0  1.9  1.9  1.8  1.8  1.7  1.7  1.7  1.6
// Tension (ε < 0), x = |ε|/εt,r, σ = (1 − dt)·Ec·ε:
//   εt,r = ft,r^0.54·65 ×10⁻⁶ (ft,r in N/mm²), αt = 0.312·ft,r², ρt = ft,r/(Ec·εt,r)
//   dt = 1 − ρt·(1.2 − 0.2·x⁵)            x ≤ 1
//   dt = 1 − ρt/(αt·(x − 1)^1.7 + x)      x > 1
// so the slope at zero strain is Ec in compression and 1.2·ρt·Ec in tension.
struct AnalysisConcrete {
  int fcuk = 0;        // N/mm², the grade
  double fc = 0.0;     // fc,r, N/mm²
  double ft = 0.0;     // ft,r, N/mm²
  double Ec = 0.0;     // N/mm²
  double eps_c = 0.0;  // εc,r, the strain at the peak
  double alpha_c = 0.0;
  double n = 0.0;
  double rho_c = 0.0;
  double eps_cu = 0.0;  // εcu, the crushing strain
  double eps_t = 0.0;   // εt,r (positive)
  double alpha_t = 0.0;
  double rho_t = 0.0;
};
// fcuk one of 30, 35, … 80.
AnalysisConcrete AnalysisConcreteOf(int fcuk, Strengths strengths);
double UnconfinedStress(const AnalysisConcrete& law, double strain);
// C.2.3 alone, for a strain below 0 (0 at and above it).
double ConcreteTensionStress(const AnalysisConcrete& law, double strain);

// Bars, longitudinal and hoops, without a yield plateau: σ = Es·ε up to
// fy,r, then a straight line to fst,r at Agt; the same in compression. Past
// Agt the stress stays fst,r (in tension the bar has broken there, which the
// moment–curvature takes as its end). fyk / design fy / fstk, N/mm², and Agt:
//   HPB300 300 / 270 / 420, 0.100;  HRB335 335 / 300 / 455, 0.075;
//   HRB400 400 / 360 / 540, 0.075;  HRB500 500 / 435 / 630, 0.075.
// Example: HRB400 characteristic, ε = 0.0375: εy = 0.002,
// σ = 400 + 140·(0.0375 − 0.002)/(0.075 − 0.002) = 468.1.
struct AnalysisSteel {
  RebarGrade grade = RebarGrade::kHRB400;
  double fy = 0.0;   // fy,r, N/mm²
  double fst = 0.0;  // fst,r, N/mm²
  double agt = 0.0;  // Agt, the strain at the greatest force
  double Es = 2.0e5;
};
AnalysisSteel AnalysisSteelOf(RebarGrade grade, Strengths strengths);
double AnalysisSteelStress(const AnalysisSteel& law, double strain);

// The core a section's stirrups confine (Mander, Priestley and Park, 1988),
// every figure kept for the report and for checking by hand. Lengths mm,
// areas mm², stresses N/mm².
//   d_cor = √(4·ASCOR/π); a = CC − d_cor/2 − d_s/2, the hoop's centreline from
//   each face; bc = B − 2a (along x), dc = H − 2a (along y).
//   The bars a leg or a hoop corner holds are taken as evenly spaced: on each
//   face at ±y the corners and LEGS_Y − 2 more, LEGS_Y − 1 clear gaps of
//     w′ = (B − 2·CC)/(LEGS_Y − 1) − (d_cor + d_x)/2,  d_x = √(4·(ASX/NX)/π);
//   on each face at ±x the corners and LEGS_X − 2 more, LEGS_X − 1 gaps of
//     w′ = (H − 2·CC)/(LEGS_X − 1) − (d_cor + d_y)/2,  d_y = √(4·(ASY/NY)/π);
//   d_x (d_y) is d_cor where the face has no bars; a negative gap counts as 0.
//   s′ = s − d_s; ρcc = (2·ASX + 2·ASY + 4·ASCOR)/(bc·dc), ASX only where
//   NX > 0 and ASY only where NY > 0;
//   ke = (1 − Σw′²/(6·bc·dc))·(1 − s′/(2·bc))·(1 − s′/(2·dc))/(1 − ρcc), each
//   factor taken as at least 0;
//   ρx = LEGS_X·(π·d_s²/4)/(s·dc), ρy = LEGS_Y·(π·d_s²/4)/(s·bc);
//   fl′ = ke·fyh·(ρx + ρy)/2: the two directions averaged;
//   fcc = fco·(−1.254 + 2.254·√(1 + 7.94·fl′/fco) − 2·fl′/fco), fco = fc,r;
//   εcc = εco·(1 + 5·(fcc/fco − 1)), εco = εc,r;
//   σ = fcc·x·r/(r − 1 + x^r), x = ε/εcc, r = Ec/(Ec − fcc/εcc);
//   εcu,c = 0.004 + 1.4·(ρx + ρy)·fyh·Agt,h/fcc (fyh = fy,r, Agt,h of the hoops).
// Without confinement (fl′ = 0) σ is C.2.4's rising branch (r = n). In
// tension the core follows C.2.3.
// Worked example in the tests: KZ1 (500 × 500, CC 40, NX = NY = 5,
// ASX = ASY = 1000, ASCOR = 490), Φ10@100 with 4 legs each way, HRB400,
// characteristic: a = 22.51, bc = dc = 454.98, ke = 0.7206, fl′ = 1.990,
// fcc = 34.95, εcc = 5.309 ×10⁻³, εcu,c = 0.0206.
struct ConfinedCore {
  double d_cor = 0.0, d_x = 0.0, d_y = 0.0;
  double a = 0.0, bc = 0.0, dc = 0.0;
  double sum_w2 = 0.0;   // Σw′², mm²
  double s_clear = 0.0;  // s′
  double rho_cc = 0.0, ke = 0.0, rho_x = 0.0, rho_y = 0.0;
  double fyh = 0.0, agt_h = 0.0;
  double fl = 0.0;  // fl′
  double fco = 0.0, eps_co = 0.0, Ec = 0.0;
  double fcc = 0.0, eps_cc = 0.0, r = 0.0, eps_cu = 0.0;  // eps_cu is εcu,c
};
// The section's own figures: B, H, CC (mm), NX, NY, ASX, ASY, ASCOR as the
// table gives them. Throws Error when the hoops cannot be: a diameter or
// spacing below or at 0, s ≤ d_s, fewer than 2 legs a way, a hoop that does
// not fit (a, bc or dc not above 0) or bars that fill the core (ρcc ≥ 1).
struct CoreInput {
  double B = 0.0, H = 0.0, CC = 0.0;
  int NX = 0, NY = 0;
  double ASX = 0.0, ASY = 0.0, ASCOR = 0.0;
};
ConfinedCore ConfinedCoreOf(const CoreInput& section, const Stirrups& stirrups,
                            const AnalysisConcrete& concrete, const AnalysisSteel& hoops);
double ConfinedStress(const ConfinedCore& core, const AnalysisConcrete& concrete, double strain);

}  // namespace brenmoor

#include "capacity/analysis_laws.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/errors.h"

namespace brenmoor {
namespace {

// C30 … C80.
constexpr double kEc[11] = {3.00e4, 3.15e4, 3.25e4, 3.35e4, 3.45e4, 3.55e4,
                            3.60e4, 3.65e4, 3.70e4, 3.75e4, 3.80e4};
constexpr double kFtk[11] = {2.01, 2.20, 2.39, 2.51, 2.64, 2.74, 2.85, 2.93, 2.99, 3.05, 3.11};
constexpr double kFt[11] = {1.43, 1.57, 1.71, 1.80, 1.89, 1.96, 2.04, 2.09, 2.14, 2.18, 2.22};

// The columns fc,r = 20, 25, … 80 of the peak-strain table.
constexpr double kEpsC[13] = {1470, 1560, 1640, 1720, 1790, 1850, 1920,
                              1980, 2030, 2080, 2130, 2190, 2240};
constexpr double kAlphaC[13] = {0.74, 1.06, 1.36, 1.65, 1.94, 2.21, 2.48,
                                2.74, 3.00, 3.25, 3.50, 3.75, 3.99};
constexpr double kCrushRatio[13] = {3.0, 2.6, 2.3, 2.1, 2.0, 1.9, 1.9,
                                    1.8, 1.8, 1.7, 1.7, 1.7, 1.6};

double InTable(const double (&column)[13], double fc) {
  const double at = std::clamp((fc - 20) / 5, 0.0, 12.0);
  const int i = std::min(static_cast<int>(at), 11);
  return column[i] + (at - i) * (column[i + 1] - column[i]);
}

struct SteelFigures {
  double fyk, fy, fstk, agt;
};
constexpr SteelFigures kSteel[4] = {
    {300, 270, 420, 0.100}, {335, 300, 455, 0.075}, {400, 360, 540, 0.075}, {500, 435, 630, 0.075}};

double BarDiameter(double area) { return std::sqrt(4 * area / std::numbers::pi); }

}  // namespace

const char* RebarGradeName(RebarGrade grade) {
  switch (grade) {
    case RebarGrade::kHPB300:
      return "HPB300";
    case RebarGrade::kHRB335:
      return "HRB335";
    case RebarGrade::kHRB400:
      return "HRB400";
    case RebarGrade::kHRB500:
      return "HRB500";
  }
  return "";
}

std::optional<RebarGrade> RebarGradeFromName(const std::string& name) {
  for (RebarGrade g :
       {RebarGrade::kHPB300, RebarGrade::kHRB335, RebarGrade::kHRB400, RebarGrade::kHRB500}) {
    if (name == RebarGradeName(g)) return g;
  }
  return std::nullopt;
}

RebarGrade RebarGradeOf(SteelGrade grade) {
  switch (grade) {
    case SteelGrade::kHRB335:
      return RebarGrade::kHRB335;
    case SteelGrade::kHRB400:
      return RebarGrade::kHRB400;
    case SteelGrade::kHRB500:
      return RebarGrade::kHRB500;
  }
  return RebarGrade::kHRB400;
}

AnalysisConcrete AnalysisConcreteOf(int fcuk, Strengths strengths) {
  const int index = std::clamp((fcuk - 30) / 5, 0, 10);
  AnalysisConcrete law;
  law.fcuk = fcuk;
  law.fc = ConcreteLawOf(fcuk, strengths).fc;
  law.ft = strengths == Strengths::kDesign ? kFt[index] : kFtk[index];
  law.Ec = kEc[index];
  law.eps_c = InTable(kEpsC, law.fc) * 1e-6;
  law.alpha_c = InTable(kAlphaC, law.fc);
  law.eps_cu = InTable(kCrushRatio, law.fc) * law.eps_c;
  law.rho_c = law.fc / (law.Ec * law.eps_c);
  law.n = law.Ec * law.eps_c / (law.Ec * law.eps_c - law.fc);
  law.eps_t = std::pow(law.ft, 0.54) * 65e-6;
  law.alpha_t = 0.312 * law.ft * law.ft;
  law.rho_t = law.ft / (law.Ec * law.eps_t);
  return law;
}

double ConcreteTensionStress(const AnalysisConcrete& law, double strain) {
  if (strain >= 0) return 0;
  const double x = -strain / law.eps_t;
  if (x <= 1) {
    const double x2 = x * x;
    return law.rho_t * (1.2 - 0.2 * x2 * x2 * x) * law.Ec * strain;
  }
  return law.rho_t / (law.alpha_t * std::pow(x - 1, 1.7) + x) * law.Ec * strain;
}

double UnconfinedStress(const AnalysisConcrete& law, double strain) {
  if (strain <= 0) return ConcreteTensionStress(law, strain);
  const double x = strain / law.eps_c;
  if (x <= 1) return law.fc * law.n * x / (law.n - 1 + std::pow(x, law.n));
  return law.fc * x / (law.alpha_c * (x - 1) * (x - 1) + x);
}

AnalysisSteel AnalysisSteelOf(RebarGrade grade, Strengths strengths) {
  const SteelFigures& f = kSteel[static_cast<int>(grade)];
  AnalysisSteel law;
  law.grade = grade;
  law.agt = f.agt;
  if (strengths == Strengths::kCharacteristic) {
    law.fy = f.fyk;
    law.fst = f.fstk;
  } else {
    law.fy = f.fy;
    law.fst = f.fy * f.fstk / f.fyk;
  }
  return law;
}

double AnalysisSteelStress(const AnalysisSteel& law, double strain) {
  const double size = std::abs(strain);
  const double eps_y = law.fy / law.Es;
  double sigma;
  if (size <= eps_y) {
    sigma = law.Es * size;
  } else if (size < law.agt) {
    sigma = law.fy + (law.fst - law.fy) * (size - eps_y) / (law.agt - eps_y);
  } else {
    sigma = law.fst;
  }
  return strain < 0 ? -sigma : sigma;
}

ConfinedCore ConfinedCoreOf(const CoreInput& in, const Stirrups& st,
                            const AnalysisConcrete& concrete, const AnalysisSteel& hoops) {
  if (!(st.d > 0 && st.s > 0)) throw Error("the stirrups need a diameter and a spacing above 0");
  if (!(st.s > st.d)) throw Error("the stirrups' spacing must be above their diameter");
  if (st.legs_x < 2 || st.legs_y < 2) throw Error("the stirrups need at least 2 legs each way");
  ConfinedCore c;
  c.d_cor = BarDiameter(in.ASCOR);
  c.d_x = in.NX > 0 ? BarDiameter(in.ASX / in.NX) : c.d_cor;
  c.d_y = in.NY > 0 ? BarDiameter(in.ASY / in.NY) : c.d_cor;
  c.a = in.CC - c.d_cor / 2 - st.d / 2;
  c.bc = in.B - 2 * c.a;
  c.dc = in.H - 2 * c.a;
  if (!(c.a > 0 && c.bc > 0 && c.dc > 0)) throw Error("the stirrups do not fit in the section");
  const double area_core = c.bc * c.dc;
  c.rho_cc =
      ((in.NX > 0 ? 2 * in.ASX : 0.0) + (in.NY > 0 ? 2 * in.ASY : 0.0) + 4 * in.ASCOR) / area_core;
  if (!(c.rho_cc < 1)) throw Error("the bars fill the stirrups' core");

  const double gap_y = std::max(0.0, (in.B - 2 * in.CC) / (st.legs_y - 1) - (c.d_cor + c.d_x) / 2);
  const double gap_x = std::max(0.0, (in.H - 2 * in.CC) / (st.legs_x - 1) - (c.d_cor + c.d_y) / 2);
  c.sum_w2 = 2.0 * (st.legs_y - 1) * gap_y * gap_y + 2.0 * (st.legs_x - 1) * gap_x * gap_x;
  c.s_clear = st.s - st.d;
  const double plan = std::max(0.0, 1 - c.sum_w2 / (6 * area_core));
  const double along_b = std::max(0.0, 1 - c.s_clear / (2 * c.bc));
  const double along_d = std::max(0.0, 1 - c.s_clear / (2 * c.dc));
  c.ke = plan * along_b * along_d / (1 - c.rho_cc);

  const double hoop_area = std::numbers::pi * st.d * st.d / 4;
  c.rho_x = st.legs_x * hoop_area / (st.s * c.dc);
  c.rho_y = st.legs_y * hoop_area / (st.s * c.bc);
  c.fyh = hoops.fy;
  c.agt_h = hoops.agt;
  c.fl = c.ke * c.fyh * (c.rho_x + c.rho_y) / 2;

  c.fco = concrete.fc;
  c.eps_co = concrete.eps_c;
  c.Ec = concrete.Ec;
  const double ratio = c.fl / c.fco;
  c.fcc = c.fco * (-1.254 + 2.254 * std::sqrt(1 + 7.94 * ratio) - 2 * ratio);
  c.eps_cc = c.eps_co * (1 + 5 * (c.fcc / c.fco - 1));
  c.r = c.Ec / (c.Ec - c.fcc / c.eps_cc);
  c.eps_cu = 0.004 + 1.4 * (c.rho_x + c.rho_y) * c.fyh * c.agt_h / c.fcc;
  return c;
}

double ConfinedStress(const ConfinedCore& core, const AnalysisConcrete& concrete, double strain) {
  if (strain <= 0) return ConcreteTensionStress(concrete, strain);
  const double x = strain / core.eps_cc;
  return core.fcc * x * core.r / (core.r - 1 + std::pow(x, core.r));
}

}  // namespace brenmoor

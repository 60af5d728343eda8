#include "capacity/internal/law_sums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "capacity/analysis_laws.h"

namespace brenmoor {
namespace {

using capacity_internal::LawSums;
using capacity_internal::LawTable;

using Law = std::function<double(double)>;

// ∫σ dε and ∫σ·ε dε from 0 by Simpson's rule over 20,000 steps on each of
// the law's pieces (breaks: where its formula changes), the steps crowded
// toward both ends of a piece, where a power of the strain is not smooth.
LawSums Dense(const Law& law, double to, std::initializer_list<double> breaks) {
  std::vector<double> ends = {0.0};
  for (double b : breaks) {
    if (std::abs(b) < std::abs(to) && b * to > 0) ends.push_back(b);
  }
  ends.push_back(to);
  LawSums s;
  constexpr int kSteps = 20000;
  for (std::size_t p = 0; p + 1 < ends.size(); ++p) {
    auto at = [&](int i) {
      const double t = static_cast<double>(i) / kSteps;
      return ends[p] + (ends[p + 1] - ends[p]) * t * t * (3 - 2 * t);
    };
    for (int i = 0; i < kSteps; ++i) {
      const double a = at(i), b = at(i + 1), m = (a + b) / 2, h = (b - a) / 6;
      s.F += h * (law(a) + 4 * law(m) + law(b));
      s.G += h * (law(a) * a + 4 * law(m) * m + law(b) * b);
    }
  }
  return s;
}

// The tables against dense sums, at strains across every kind of step
// (the first piece, coarse and fine octaves, on both sides of a kept
// strain, past the table's reach), for the unconfined law of the lowest
// and highest grades by both strengths, its tension side (and the smooth
// part before the table's origin), and a confined core: a wrong step
// index, side or sign shows at once, a step too coarse for a law as a
// difference above 10⁻¹⁰ of the sums up to the law's own strain.
TEST(LawTable, AgreesWithDenseSums) {
  for (int fcuk : {30, 80}) {
    for (Strengths strengths : {Strengths::kDesign, Strengths::kCharacteristic}) {
      const AnalysisConcrete c = AnalysisConcreteOf(fcuk, strengths);
      const Law unconfined = [&](double e) { return UnconfinedStress(c, e); };
      const ConfinedCore core =
          ConfinedCoreOf({500, 500, 40, 5, 5, 1000, 1000, 490}, {10, 100, 4, 4}, c,
                         AnalysisSteelOf(RebarGrade::kHRB400, strengths));
      const Law confined = [&](double e) { return ConfinedStress(core, c, e); };
      const LawTable<Law> compression(unconfined, 0, 1, c.eps_c, 16, 32);
      const LawTable<Law> tension(unconfined, -c.eps_t, -1, c.eps_t, 4096);
      const LawTable<Law> cored(confined, 0, 1, core.eps_cc, 16);
      const struct {
        const char* name;
        const LawTable<Law>& table;
        const Law& law;
        double scale;
        std::initializer_list<double> breaks;
      } tables[] = {
          {"compression", compression, unconfined, c.eps_c, {c.eps_c}},
          {"tension", tension, unconfined, -c.eps_t, {-c.eps_t}},
          {"confined", cored, confined, core.eps_cc, {}},
      };
      for (const auto& t : tables) {
        // Near 0 the sums are tiny: what counts is their error against the
        // sums up to the law's own strain.
        const LawSums unit = Dense(t.law, t.scale, t.breaks);
        for (double x : {1e-5, 3e-4, 0.01, 0.3, 0.5, 0.99, 1.0, 1.0009, 1.02, 1.7, 2.99, 7.97, 15.9,
                         23.0, 2000.0, 5000.0}) {
          if (t.scale > 0 && x > 30) continue;
          const double strain = x * t.scale;
          SCOPED_TRACE("C" + std::to_string(fcuk) + " " + t.name + " " + std::to_string(x));
          const LawSums got = t.table.From0(strain), want = Dense(t.law, strain, t.breaks);
          EXPECT_NEAR(got.F, want.F, 1e-10 * std::max(std::abs(want.F), std::abs(unit.F)));
          EXPECT_NEAR(got.G, want.G, 1e-10 * std::max(std::abs(want.G), std::abs(unit.G)));
        }
      }
    }
  }
}

}  // namespace
}  // namespace brenmoor

#include "capacity/analysis_csv.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <set>

#include "capacity/capacity_csv.h"
#include "model/parallel.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr BendingAxis kAxes[] = {BendingAxis::kX, BendingAxis::kY};

std::string RowStart(const BrenmoorState& state, int record, BendingAxis axis) {
  return std::to_string(record) + ',' +
         CsvName(state.records[static_cast<std::size_t>(record)].NAME) + ',' +
         (axis == BendingAxis::kX ? "x," : "y,");
}

const std::optional<Stirrups>& StirrupsOf(const std::vector<std::optional<Stirrups>>& stirrups,
                                          int record) {
  static const std::optional<Stirrups> kNone;
  const auto i = static_cast<std::size_t>(record - 1);
  return i < stirrups.size() ? stirrups[i] : kNone;
}

std::vector<AnalysisModel> ModelsOf(const AnalysisSection& section) {
  if (section.core) return {AnalysisModel::kExact, AnalysisModel::kFiber, AnalysisModel::kConfined};
  return {AnalysisModel::kExact, AnalysisModel::kFiber};
}

void AppendField(std::string& csv, const std::optional<double>& value) {
  csv += ',';
  if (value) csv += CapacityCsvNumber(*value);
}

// The figures of a row in the header's order.
std::vector<std::optional<double>> FieldsOf(const AnalysisFigures& f) {
  if (!f.holds) return std::vector<std::optional<double>>(10);
  return {f.EI0, f.phi_y1, f.M_y1, f.M_n, f.phi_y, f.EI_eff, f.phi_u, f.M_u, f.M_peak, f.mu_phi};
}

const char* MarkName(AnalysisMark mark) {
  switch (mark) {
    case AnalysisMark::kNone:
      return "";
    case AnalysisMark::kFirstYield:
      return "first_yield";
    case AnalysisMark::kNominal:
      return "nominal";
    case AnalysisMark::kPeak:
      return "peak";
    case AnalysisMark::kEnd:
      return "end";
  }
  return "";
}

// Strains from `from` to `to` in `steps` equal steps, with the strains a law
// is read at (its peak, its limits) put in their places.
std::vector<double> LawStrains(double from, double to, int steps,
                               std::initializer_list<double> marks) {
  std::vector<double> strains;
  for (int j = 0; j <= steps; ++j) strains.push_back(from + (to - from) * j / steps);
  for (double m : marks) strains.push_back(m);
  std::sort(strains.begin(), strains.end());
  strains.erase(std::unique(strains.begin(), strains.end(),
                            [&](double a, double b) {
                              return std::abs(a - b) <= 1e-9 * std::abs(to - from);
                            }),
                strains.end());
  if (to < from) std::reverse(strains.begin(), strains.end());
  return strains;
}

template <typename Law>
void AppendLaw(std::string& csv, const std::string& material, const char* law,
               const std::vector<double>& strains, Law&& stress) {
  const std::string start = CsvName(material) + ',' + law + ',';
  for (double e : strains) {
    csv += start;
    csv += CapacityCsvNumber(e);
    csv += ',';
    csv += CapacityCsvNumber(stress(e));
    csv += "\r\n";
  }
}

constexpr int kLawSteps = 48;

}  // namespace

std::string AnalysisCsvHeader() {
  return std::string(kByteOrderMark) +
         "No,NAME,axis,model,N,EI0,phi_y1,M_y1,M_n,phi_y,EI_eff,phi_u,M_u,M_peak,mu_phi,"
         "ends_by\r\n";
}

void AppendAnalysisCsvRows(std::string& csv, const BrenmoorState& state, int record,
                           const AnalysisSection& section, double axial_ratio) {
  for (BendingAxis axis : kAxes) {
    const std::string start = RowStart(state, record, axis);
    std::vector<std::optional<double>> exact, fiber;
    double N = 0;
    for (AnalysisModel model : ModelsOf(section)) {
      const AnalysisFigures f = AnalysisFiguresOf(section, axis, model, axial_ratio);
      N = f.N;
      const std::vector<std::optional<double>> fields = FieldsOf(f);
      if (model == AnalysisModel::kExact) exact = fields;
      if (model == AnalysisModel::kFiber) fiber = fields;
      csv += start;
      csv += AnalysisModelName(model);
      csv += ',';
      csv += CapacityCsvNumber(f.N);
      for (const auto& v : fields) AppendField(csv, v);
      csv += ',';
      if (f.holds) csv += CurveEndName(f.ends_by);
      csv += "\r\n";
    }
    csv += start;
    csv += "fiber_error_pct,";
    csv += CapacityCsvNumber(N);
    for (std::size_t k = 0; k < exact.size(); ++k) {
      std::optional<double> error;
      if (exact[k] && fiber[k] && *exact[k] != 0) {
        error = std::abs(*fiber[k] - *exact[k]) / std::abs(*exact[k]) * 100;
      }
      AppendField(csv, error);
    }
    csv += ",\r\n";
  }
}

std::string AnalysisCurvesCsvHeader() {
  return std::string(kByteOrderMark) + "No,NAME,axis,model,N,phi,M,point\r\n";
}

void AppendAnalysisCurvesCsvRows(std::string& csv, const BrenmoorState& state, int record,
                                 const AnalysisSection& section, double axial_ratio) {
  for (BendingAxis axis : kAxes) {
    const std::string start = RowStart(state, record, axis);
    for (AnalysisModel model : ModelsOf(section)) {
      const AnalysisCurve curve = AnalysisCurveOf(section, axis, model, axial_ratio);
      const std::string prefix =
          start + AnalysisModelName(model) + ',' + CapacityCsvNumber(curve.figures.N) + ',';
      if (!curve.figures.holds) {
        csv += prefix + ",,\r\n";
        continue;
      }
      for (const AnalysisPoint& p : curve.points) {
        csv += prefix;
        csv += CapacityCsvNumber(p.phi);
        csv += ',';
        csv += CapacityCsvNumber(p.M);
        csv += ',';
        csv += MarkName(p.mark);
        csv += "\r\n";
      }
    }
  }
}

void WriteAnalysisCsv(const BrenmoorState& state, const AnalysisOptions& options,
                      const std::vector<std::optional<Stirrups>>& stirrups, bool curves,
                      const std::function<void(std::string_view)>& write, Progress* progress) {
  const int count = state.imported_count;
  // Every section checked before anything is written, on every core: the
  // first refused is the error, as in a pass in order.
  ForEachPiece(static_cast<std::size_t>(std::max(count, 0)), {.piece = 256},
               [&](std::size_t first, std::size_t last) {
                 for (std::size_t i = first; i < last; ++i) {
                   const int r = static_cast<int>(i) + 1;
                   CheckAnalysisSection(state, r, options, StirrupsOf(stirrups, r));
                 }
               });
  write(curves ? AnalysisCurvesCsvHeader() : AnalysisCsvHeader());
  ConcreteSumsByGrade by_grade;
  ForEachPieceInOrder<std::string>(
      static_cast<std::size_t>(std::max(count, 0)),
      {.piece = 16, .progress = progress, .step = "Computing analysis curves"},
      [&](std::size_t first, std::size_t last) {
        std::string rows;
        for (std::size_t i = first; i < last; ++i) {
          const int r = static_cast<int>(i) + 1;
          const AnalysisSection section =
              MakeAnalysisSection(state, r, options, StirrupsOf(stirrups, r), &by_grade);
          if (curves) {
            AppendAnalysisCurvesCsvRows(rows, state, r, section, options.axial_ratio);
          } else {
            AppendAnalysisCsvRows(rows, state, r, section, options.axial_ratio);
          }
        }
        return rows;
      },
      [&](std::size_t, std::size_t, std::string&& rows) { write(rows); });
}

std::string MaterialsCsv(const BrenmoorState& state, const AnalysisOptions& options,
                         const std::vector<std::optional<Stirrups>>& stirrups) {
  std::set<int> grades;
  std::vector<std::pair<int, AnalysisSection>> cores;
  for (int r = 1; r <= state.imported_count; ++r) {
    AnalysisSection s = MakeAnalysisSection(state, r, options, StirrupsOf(stirrups, r));
    grades.insert(s.concrete.fcuk);
    if (s.core) cores.emplace_back(r, std::move(s));
  }
  std::string csv = std::string(kByteOrderMark) + "material,law,strain,stress\r\n";
  for (int fcuk : grades) {
    const AnalysisConcrete c = AnalysisConcreteOf(fcuk, options.strengths);
    std::string name = "C";
    name += std::to_string(fcuk);
    AppendLaw(csv, name, "compression",
              LawStrains(0, 1.5 * c.eps_cu, kLawSteps, {c.eps_c, c.eps_cu}),
              [&](double e) { return UnconfinedStress(c, e); });
    AppendLaw(csv, name, "tension", LawStrains(0, -10 * c.eps_t, kLawSteps, {-c.eps_t}),
              [&](double e) { return UnconfinedStress(c, e); });
  }
  auto steel = [&](const std::string& name, RebarGrade grade) {
    const AnalysisSteel law = AnalysisSteelOf(grade, options.strengths);
    const double ey = law.fy / law.Es;
    AppendLaw(csv, name + ' ' + RebarGradeName(grade), "steel",
              LawStrains(-law.agt, law.agt, 2 * kLawSteps, {-ey, ey}),
              [&](double e) { return AnalysisSteelStress(law, e); });
  };
  steel("bars", RebarGradeOf(options.steel));
  if (!cores.empty()) steel("hoops", options.hoops);
  for (const auto& [r, s] : cores) {
    const ConfinedCore& core = *s.core;
    AppendLaw(csv, state.records[static_cast<std::size_t>(r)].NAME + " core", "confined",
              LawStrains(0, 1.5 * core.eps_cu, kLawSteps, {core.eps_cc, core.eps_cu}),
              [&](double e) { return ConfinedStress(core, s.concrete, e); });
  }
  return csv;
}

}  // namespace brenmoor

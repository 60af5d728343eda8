#include "capacity/capacity_csv.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "model/parallel.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// "<No>,"<NAME>"," of record r, the name as CsvName quotes it.
std::string RowStart(const BrenmoorState& state, int record) {
  return std::to_string(record) + ',' +
         CsvName(state.records[static_cast<std::size_t>(record)].NAME) + ',';
}

}  // namespace

std::string CapacityCsvNumber(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value + 0.0, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::string CapacityCsv(const BrenmoorState& state, const std::vector<SectionCapacity>& figures) {
  std::string csv = kByteOrderMark;
  csv += "No,NAME,axis,N0,Nt,Nb,Mb,M0,fiber_M0,fiber_error_pct\r\n";
  for (int r = 1; r <= state.imported_count && r <= static_cast<int>(figures.size()); ++r) {
    const std::string start = RowStart(state, r);
    for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
      const AxisCapacity& f = figures[static_cast<std::size_t>(r - 1)].about(axis);
      csv += start;
      csv += axis == BendingAxis::kX ? 'x' : 'y';
      for (double v : {f.N0, f.Nt, f.Nb, f.Mb, f.M0, f.fiber_M0, f.fiber_error_pct}) {
        csv += ',';
        csv += CapacityCsvNumber(v);
      }
      csv += "\r\n";
    }
  }
  return csv;
}

std::string CapacityCurveRows(const BrenmoorState& state, int record,
                              const CapacityOptions& options) {
  const CapacitySection section = MakeCapacitySection(state, record, options);
  const std::string row_start = RowStart(state, record);
  std::string text;
  for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
    for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
      const std::string prefix = row_start + (axis == BendingAxis::kX ? "x," : "y,") +
                                 (model == CapacityModel::kExact ? "exact," : "fiber,");
      for (const InteractionPoint& p : InteractionCurve(section, axis, model)) {
        text += prefix;
        text += CapacityCsvNumber(p.N);
        text += ',';
        text += CapacityCsvNumber(p.M);
        text += "\r\n";
      }
    }
  }
  return text;
}

void WriteCapacityCurvesCsv(const BrenmoorState& state, const CapacityOptions& options,
                            const std::function<void(std::string_view)>& write,
                            Progress* progress) {
  const int count = state.imported_count;
  for (int r = 1; r <= count; ++r) MakeCapacitySection(state, r, options);
  write(kByteOrderMark);
  write("No,NAME,axis,model,N,M\r\n");
  ForEachPieceInOrder<std::string>(
      static_cast<std::size_t>(std::max(count, 0)),
      {.piece = 16, .progress = progress, .step = "Computing interaction curves"},
      [&](std::size_t first, std::size_t last) {
        std::string rows;
        for (std::size_t i = first; i < last; ++i) {
          rows += CapacityCurveRows(state, static_cast<int>(i) + 1, options);
        }
        return rows;
      },
      [&](std::size_t, std::size_t, std::string&& rows) { write(rows); });
}

namespace {

void AppendNumbers(std::string& csv, std::initializer_list<double> values) {
  for (double v : values) {
    csv += ',';
    csv += CapacityCsvNumber(v);
  }
}

}  // namespace

std::string MomentCurvatureCsvHeader() {
  return std::string(kByteOrderMark) + "No,NAME,axis,model,N,phi,M,point\r\n";
}

void AppendMomentCurvatureCsvRows(std::string& csv, const BrenmoorState& state, int record,
                                  const CapacitySection& section, double axial_ratio) {
  const std::string row_start = RowStart(state, record);
  for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
    for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
      const MomentCurvature curve = MomentCurvatureCurve(section, axis, model, axial_ratio);
      const std::string prefix = row_start + (axis == BendingAxis::kX ? "x," : "y,") +
                                 (model == CapacityModel::kExact ? "exact," : "fiber,") +
                                 CapacityCsvNumber(curve.N);
      if (!curve.holds) {
        csv += prefix + ",,,\r\n";
        continue;
      }
      for (std::size_t j = 0; j < curve.points.size(); ++j) {
        csv += prefix;
        AppendNumbers(csv, {curve.points[j].curvature, curve.points[j].M});
        csv += ',';
        if (j == curve.end) {
          csv += "ultimate";
        } else if (curve.first_yield && j == *curve.first_yield) {
          csv += "yield";
        }
        csv += "\r\n";
      }
    }
  }
}

std::string BiaxialCsvHeader() {
  return std::string(kByteOrderMark) +
         "No,NAME,N,biaxial_M_min,biaxial_M_max,biaxial_fiber_error_pct\r\n";
}

void AppendBiaxialCsvRow(std::string& csv, const BrenmoorState& state, int record,
                         const BiaxialFigures& figures) {
  csv += RowStart(state, record);
  csv += CapacityCsvNumber(figures.N);
  if (figures.holds) {
    AppendNumbers(csv, {figures.M_min, figures.M_max, figures.fiber_error_pct});
  } else {
    csv += ",,,";
  }
  csv += "\r\n";
}

std::string BiaxialCsv(const BrenmoorState& state, const std::vector<BiaxialFigures>& figures) {
  std::string csv = BiaxialCsvHeader();
  for (int r = 1; r <= state.imported_count && r <= static_cast<int>(figures.size()); ++r) {
    AppendBiaxialCsvRow(csv, state, r, figures[static_cast<std::size_t>(r - 1)]);
  }
  return csv;
}

std::string BiaxialCurvesCsvHeader() {
  return std::string(kByteOrderMark) + "No,NAME,theta_deg,Mx,My,fiber_Mx,fiber_My\r\n";
}

void AppendBiaxialCurvesCsvRows(std::string& csv, const BrenmoorState& state, int record,
                                const BiaxialCapacity& capacity) {
  const std::string row_start = RowStart(state, record);
  for (int k = 0; k < kBiaxialDirections; ++k) {
    csv += row_start;
    csv += std::to_string(k * kBiaxialStepDegrees);
    if (capacity.figures.holds) {
      AppendNumbers(csv, {capacity.exact[k].Mx, capacity.exact[k].My});
    } else {
      csv += ",,";
    }
    if (capacity.figures.holds && capacity.fiber_holds) {
      AppendNumbers(csv, {capacity.fiber[k].Mx, capacity.fiber[k].My});
    } else {
      csv += ",,";
    }
    csv += "\r\n";
  }
}

std::string GridCsvHeader() {
  return std::string(kByteOrderMark) +
         "No,NAME,FX,FY,fiber_error_pct,best_FX,best_FY,best_fiber_error_pct,error_basis\r\n";
}

void AppendGridCsvRow(std::string& csv, const BrenmoorState& state, int record,
                      const GridChoice& choice) {
  csv += RowStart(state, record);
  csv += std::to_string(choice.FX) + ',' + std::to_string(choice.FY) + ',';
  csv += CapacityCsvNumber(choice.error_pct);
  csv += ',' + std::to_string(choice.best_FX) + ',' + std::to_string(choice.best_FY) + ',';
  csv += CapacityCsvNumber(choice.best_error_pct);
  csv += choice.biaxial ? ",biaxial" : ",uniaxial";
  csv += "\r\n";
}

}  // namespace brenmoor

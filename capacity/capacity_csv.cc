#include "capacity/capacity_csv.h"

#include <algorithm>
#include <charconv>

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

}  // namespace brenmoor

#include "ui/grid_cells.h"

#include "import/number_text.h"
#include "import/stirrup_columns.h"
#include "model/materials.h"

namespace brenmoor {

int GridColumnCount(const BrenmoorState& state) {
  return kGridColumns + (TableHasStirrups(state) ? static_cast<int>(kStirrupGridTitles.size()) : 0);
}

namespace {

std::string StirrupCellText(const TSECTION& section, std::size_t k, char decimal_separator) {
  if (!section.stirrups) return {};
  const Stirrups& s = *section.stirrups;
  switch (k) {
    case 0:
      return FormatGridNumber(s.d, decimal_separator);
    case 1:
      return FormatGridNumber(s.s, decimal_separator);
    case 2:
      return std::to_string(s.legs_x);
    default:
      return std::to_string(s.legs_y);
  }
}

}  // namespace

std::string GridCellText(const BrenmoorState& state, int column, int row, char decimal_separator) {
  if (column < 0 || column >= GridColumnCount(state)) return {};
  const bool stirrup_column = column >= kGridColumns;
  const auto stirrup = static_cast<std::size_t>(column - kGridColumns);
  if (row == 0) {
    return stirrup_column ? kStirrupGridTitles[stirrup]
                          : kGridTitles[static_cast<std::size_t>(column)];
  }
  if (row < 0 || row > state.imported_count ||
      static_cast<std::size_t>(row) >= state.records.size()) {
    return {};
  }
  const TSECTION& section = state.records[static_cast<std::size_t>(row)];
  if (stirrup_column) return StirrupCellText(section, stirrup, decimal_separator);
  switch (column) {
    case 0:
      return std::to_string(row);
    case 1:
      return section.NAME;
    case 2:
      return MaterialName(state, section.concrete_material);
    case 3:
      return MaterialName(state, section.steel_material);
    case 4:
      return FormatGridNumber(section.H, decimal_separator);
    case 5:
      return FormatGridNumber(section.B, decimal_separator);
    case 6:
      return std::to_string(section.FX);
    case 7:
      return std::to_string(section.FY);
    case 8:
      return std::to_string(section.NX);
    case 9:
      return std::to_string(section.NY);
    case 10:
      return FormatGridNumber(section.ASX, decimal_separator);
    case 11:
      return FormatGridNumber(section.ASY, decimal_separator);
    case 12:
      return FormatGridNumber(section.ASCOR, decimal_separator);
    default:
      return FormatGridNumber(section.CC, decimal_separator);
  }
}

}  // namespace brenmoor

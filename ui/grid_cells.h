#pragma once

#include <array>
#include <string>

#include "model/state.h"

namespace brenmoor {

// The section grid's columns: the row number, then the table's columns.
inline constexpr int kGridColumns = 14;

// The titles of the grid's row 0.
inline constexpr std::array<const char*, kGridColumns> kGridTitles = {
    "NUM", "NAME", "CONC", "STEEL", "H", "B", "FX", "FY", "NX", "NY", "ASX", "ASY", "ASCOR", "CC"};

// After them, for a table with stirrup columns, the four stirrup values.
inline constexpr std::array<const char*, 4> kStirrupGridTitles = {"STIRRUP_D", "STIRRUP_S",
                                                                  "LEGS_X", "LEGS_Y"};

// The grid's columns for the imported table: kGridColumns, and the four
// stirrup columns more when its header names them.
int GridColumnCount(const BrenmoorState& state);

// The text of one cell of the section grid after an import: row 0 holds the
// titles, row r (1 .. count) shows record r (its number, NAME, the material
// names, the numbers as FormatGridNumber or decimal integers, its stirrups
// when it has usable ones, else those four cells empty). Rows outside
// 0 .. count and columns outside 0 .. GridColumnCount - 1 give "".
std::string GridCellText(const BrenmoorState& state, int column, int row, char decimal_separator);

}  // namespace brenmoor

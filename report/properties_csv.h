#pragma once

#include <string>

#include "model/state.h"

namespace brenmoor {

// The properties table of prepared sections (see PreparedCopy) as a CSV file
// for a spreadsheet: UTF-8 with a byte order mark, a header line, one line per
// section, fields separated by commas, '.' as the decimal separator whatever
// the regional settings, lines ending in CR LF. Names are shown as the window
// shows them (DisplayText) and always quoted. Every float32 value has 9 significant digits, which
// read back as float32 give the very same value; ρ (percent) is formed from
// them in double precision and has 9 digits as well.
// Columns: number, name, B, H, CC, concrete, steel, fibers, bars, cells, As,
// rho, G, shear area 1 and 2, J, then the fiber sums: concrete area, steel
// area, concrete ΣA·y², steel ΣA·y², concrete ΣA·x², steel ΣA·x².
std::string PropertiesCsv(const BrenmoorState& prepared);

// The text of a number in the CSV: 9 significant digits, exponent form only
// where %g would choose it. Example: 208333.33f -> "208333.328".
std::string CsvNumber(double value);

}  // namespace brenmoor

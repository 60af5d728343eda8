#pragma once

#include <string>

#include "model/section.h"
#include "model/state.h"

namespace brenmoor {

// What the report and the properties table say about one prepared section
// (LayoutFibers and ComputeSectionProperties done), taken from the float32
// values the component file carries.
struct SectionFigures {
  int bars = 0;   // steel fibers
  int cells = 0;  // concrete fibers
  // As / (B·H) in percent, from the float32 steel area sum and the float32
  // sides; not a number when B·H is 0.
  double rho_percent = 0.0;
};

SectionFigures FiguresOf(const TSECTION& prepared);

// The properties table of prepared sections (see PreparedCopy) as a CSV file
// for a spreadsheet: UTF-8 with a byte order mark, a header line, one line per
// section, fields separated by commas, '.' as the decimal separator whatever
// the regional settings, lines ending in CR LF. Names are shown as the window
// shows them (DisplayText) and always quoted. Needs no window toolkit. Every float32 value has 9
// significant digits, which read back as float32 give the very same value; ρ (percent) is formed
// from them in double precision and has 9 digits as well. Columns: number, name, B, H, CC,
// concrete, steel, fibers, bars, cells, As, rho, G, shear area 1 and 2, J, then the fiber sums:
// concrete area, steel area, concrete ΣA·y², steel ΣA·y², concrete ΣA·x², steel ΣA·x².
std::string PropertiesCsv(const BrenmoorState& prepared);

// The text of a number in the CSV: 9 significant digits, exponent form only
// where %g would choose it. Example: 208333.33f -> "208333.328".
std::string CsvNumber(double value);

}  // namespace brenmoor

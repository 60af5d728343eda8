#pragma once

#include <QString>
#include <string_view>
#include <vector>

#include "model/progress.h"
#include "model/section.h"
#include "model/state.h"
#include "output/properties_csv.h"

namespace brenmoor {

// A figure as the report prints it: four significant digits, but never fewer
// than its whole digits below ten million; trailing zeros dropped; from ten
// million up and below 0.001 as mantissa and power of ten ("8.802e9").
// Examples: 208333.33f -> "208333", 380.1f -> "380.1", 38.5f -> "38.5",
// 13125 -> "13125", 8802083840 -> "8.802e9", 0 -> "0".
QString Figure(double value);

// A figure of the capacity (a force in kN, a moment in kN·m, a fiber error
// in percent) as the capacity report, its charts and the window's capacity
// figures print it, in at most seven characters besides the sign: `decimals`
// decimals, fewer where the whole digits need the room, then four
// significant digits as mantissa and power of ten; so too a value that is
// not 0 but would show as 0. The minus sign is U+2212; 0 and −0 show as 0.
// Examples (decimals 1): 6320.64 -> "6320.6", -2145.6 -> "−2145.6",
// 123456.7 -> "123457", 999999.5 -> "1000000", 12345678 -> "1.235e7",
// 1.67e34 -> "1.67e34", 2.5e-8 -> "2.5e−8", -0.0 -> "0.0"; (decimals 0)
// 2087.5 -> "2088". Not a number: "–".
QString CapacityFigure(double value, int decimals);

// An axial force in kN as every table, chart title and line of the capacity
// report and the capacity dialog prints it, so that a chart's N reads as the
// table's: CapacityFigure with one decimal, but below 1 kN (and not 0) to
// four significant digits as far as seven characters hold them, trailing
// zeros dropped, so that a small section's load keeps its digits.
// Examples: 1252.5 -> "1252.5", 6320.64 -> "6320.6", 0.25 -> "0.25",
// -0.2468 -> "−0.2468", 0.0012345 -> "0.00123", 2.5e-8 -> "2.5e−8".
QString AxialForceFigure(double kilonewtons);

// Table text (a section name) as the engineer reads it: see DisplayText; the
// bytes themselves are what the component file keeps.
QString Shown(std::string_view bytes);

// ρ with two decimals ("1.61"), as mantissa and power of ten with four
// significant digits from 10000 up and for a value two decimals would show
// as 0 ("4e62", "1.235e-5"), or "–" when it is not a number.
QString Percent(double value);

}  // namespace brenmoor

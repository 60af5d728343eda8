#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/split_line.h"
#include "model/section.h"
#include "model/state.h"

namespace brenmoor {

// A table may give each section its hoops in four optional columns after the
// thirteen it always has, found by their names in the header line (split as
// every line is, names compared without regard to case):
//   STIRRUP_D  hoop bar diameter d_s, mm
//   STIRRUP_S  spacing along the column s, mm, centre to centre
//   LEGS_X     legs running parallel to x (along B), the hoop's own two sides
//              counted
//   LEGS_Y     legs running parallel to y (along H), likewise
// A header that names none of them is read exactly as before. A line whose
// four fields are all empty has no stirrups. The stirrups never reach the
// component file; the analysis laws confine the core by them. What cannot be
// used is not an import error: the import records it (StirrupProblem), the
// analysis refuses the table for it (RefuseBadStirrups) and convert only
// warns of it (StirrupWarnings).
inline constexpr std::array<std::string_view, 4> kStirrupColumnNames = {"STIRRUP_D", "STIRRUP_S",
                                                                        "LEGS_X", "LEGS_Y"};

// What the header says of the four columns.
struct StirrupColumns {
  // Whether it names any of them.
  bool named = false;
  // The field index of each name of kStirrupColumnNames (as SplitFields
  // numbers the fields, the row number column left out), when it names all
  // four, each once; the lines' stirrups are read only then.
  std::optional<std::array<int, 4>> fields;
};

// Finds the stirrup columns among the header's fields after the thirteen
// every table has. A header naming some but not all four, or one of them
// twice, gets a problem on line 1 in problems, and then no line's stirrups
// are read.
StirrupColumns FindStirrupColumns(const LineFields& header, std::vector<StirrupProblem>& problems);

// The stirrups of one data line (line, counting the header as line 1) of the
// section whose other fields are already read into section, or nothing: when
// its four fields are empty, and when something is wrong, which is then
// added to problems, every column that is wrong named once:
// some but not all four given; a value that is not a number or is negative;
// a leg count that is not a whole number or is below 2; LEGS_X above NY + 2
// or LEGS_Y above NX + 2 (more legs than bars to hold); STIRRUP_S not above
// STIRRUP_D; a hoop that does not fit: its centre line at
// a = CC − d_cor/2 − d_s/2 from each face (d_cor = √(4·ASCOR/π)) with a ≤ 0,
// or a core bc = B − 2a, dc = H − 2a of no width; bars that fill the core:
// ρcc = (2·ASX + 2·ASY + 4·ASCOR)/(bc·dc) ≥ 1, ASX counted only where
// NX > 0 and ASY only where NY > 0. The values are read with decimal_separator
// as the table's other numbers, as the nearest double.
// Example: with KZ1 (500 × 500, CC 40, NX = NY = 5) the fields "10", "100",
// "4", "4" give {10, 100, 4, 4}; "10", "8", "4", "4" a problem in STIRRUP_S.
std::optional<Stirrups> ReadStirrups(const LineFields& fields, const StirrupColumns& columns,
                                     const SectionInput& section, int line, char decimal_separator,
                                     std::vector<StirrupProblem>& problems);

// Whether the imported table's header names any stirrup column: the analysis
// then confines the cores of the sections that have stirrups, once
// RefuseBadStirrups has passed.
bool TableHasStirrups(const BrenmoorState& state);

// For the commands that use the stirrups: throws one ImportError naming every
// line, section and column that cannot be used, when there is any; the
// caller has then written nothing. One problem is named by its line
// ("TABLE:LINE: Section "KZ2", STIRRUP_S: ..."), several after "The
// analysis cannot use the table's stirrups; correct these N:" as a list of
// "line N, section "NAME", COLUMN: ..." lines.
void RefuseBadStirrups(const BrenmoorState& state);

// The same problems as warnings, for convert, which writes the component
// file all the same (the file never carries stirrups): one per problem, on
// its line, its column named. None when the table has no stirrup columns.
std::vector<TableWarning> StirrupWarnings(const BrenmoorState& state);

}  // namespace brenmoor

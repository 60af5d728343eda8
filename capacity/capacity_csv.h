#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "capacity/best_grid.h"
#include "capacity/biaxial.h"
#include "capacity/capacity.h"
#include "model/state.h"

namespace brenmoor {

// The capacity figures of an imported table as CSV for a spreadsheet, in the
// form of the properties CSV: UTF-8 with a byte order mark, fields separated
// by commas, '.' as the decimal separator whatever the regional settings,
// names as the window shows them and always quoted, lines ending in CR LF.
// Numbers have 6 significant digits (kN, kN·m, percent). The header is
//   No,NAME,axis,N0,Nt,Nb,Mb,M0,fiber_M0,fiber_error_pct
// then one line per section and axis, x before y. figures[r − 1] belongs to
// record r. Example: 1,"KZ1",x,6320.6,-2145.6,2172.13,592.438,441.8,441.089,0.953...
std::string CapacityCsv(const BrenmoorState& state, const std::vector<SectionCapacity>& figures);

// Every point of both models' interaction curves instead, on every core,
// written through write as it is made (a few pieces of sections held at a
// time, whatever the table's size):
//   No,NAME,axis,model,N,M
// per section the curves about x and then y, each exact then fiber, each in
// path order (see InteractionCurve). Throws CapacityRefusal as
// ComputeCapacityTable does, before anything is computed or written. With a
// progress, counts the sections done ("Computing interaction curves") and
// stops with Cancelled when asked to; whatever write throws stops it too.
void WriteCapacityCurvesCsv(const BrenmoorState& state, const CapacityOptions& options,
                            const std::function<void(std::string_view)>& write,
                            Progress* progress = nullptr);

// The lines of record `record` in that CSV.
std::string CapacityCurveRows(const BrenmoorState& state, int record,
                              const CapacityOptions& options);

// A figure as the CSV writes it: 6 significant digits, exponent form only
// where %g would choose it, never "-0". Example: -2145.6 -> "-2145.6".
std::string CapacityCsvNumber(double value);

// ---- CSVs made one section at a time ---------------------------------------
// Each has a header (with the byte order mark) and a function that appends
// the rows of ONE section to csv, in the same form as the CSVs above, so
// that a table of 32,767 sections can be written as its sections are
// computed, without holding it whole. record is the section's record (1 ..
// imported_count), which gives No and NAME.

// The moment–curvature points of every section, axis and model at the chosen
// axial load, each model's own points as MomentCurvatureCurve gives them:
//   No,NAME,axis,model,N,phi,M,point
// axis x then y, model exact then fiber; N in kN (the same on every row of
// a section), phi in 1/m, M in kN·m; point is empty, "yield" (the first
// yield of a tension bar) or "ultimate" (the end), each model marking its
// own. A model that cannot carry N gives one row with N and the rest empty.
// Example: 1,"KZ1",x,exact,1252.5,0,0,
std::string MomentCurvatureCsvHeader();
void AppendMomentCurvatureCsvRows(std::string& csv, const BrenmoorState& state, int record,
                                  const CapacitySection& section, double axial_ratio);

// Biaxial bending at the chosen axial load, one row a section:
//   No,NAME,N,biaxial_M_min,biaxial_M_max,biaxial_fiber_error_pct
// (kN, kN·m, percent); the three figures empty for a section that cannot
// carry N. Example: 1,"KZ1",1252.5,493.558,579.303,0.761146
std::string BiaxialCsvHeader();
void AppendBiaxialCsvRow(std::string& csv, const BrenmoorState& state, int record,
                         const BiaxialFigures& figures);
// The same for a whole table; figures[r − 1] belongs to record r.
std::string BiaxialCsv(const BrenmoorState& state, const std::vector<BiaxialFigures>& figures);

// The contours instead, 72 rows a section:
//   No,NAME,theta_deg,Mx,My,fiber_Mx,fiber_My
// θ = 0, 5, … 355 (degrees), moments in kN·m; the exact moments empty where
// the section cannot carry N, the fiber moments where the fiber model cannot.
// Example: 1,"KZ1",90,579.303,0,576.217,0
std::string BiaxialCurvesCsvHeader();
void AppendBiaxialCurvesCsvRows(std::string& csv, const BrenmoorState& state, int record,
                                const BiaxialCapacity& capacity);

// The grid of every section and the best one, one row a section:
//   No,NAME,FX,FY,fiber_error_pct,best_FX,best_FY,best_fiber_error_pct,error_basis
// error_basis says which errors the grids were compared on: "biaxial" (the
// worst of about x, about y and biaxial at N) or, for a section that cannot
// carry N, "uniaxial" (about x and y alone). A section without room for a
// cell has its own grid and error twice.
// Example: 2,"KZ2",4,6,2.85061,7,6,1.07622,biaxial
std::string GridCsvHeader();
void AppendGridCsvRow(std::string& csv, const BrenmoorState& state, int record,
                      const GridChoice& choice);

}  // namespace brenmoor

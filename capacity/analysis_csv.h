#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capacity/analysis.h"
#include "model/progress.h"
#include "model/section.h"
#include "model/state.h"

namespace brenmoor {

// The analysis figures and laws as CSV, in the form of the capacity CSVs
// (capacity_csv.h): UTF-8 with a byte order mark, names quoted, '.' as the
// decimal separator, 6 significant digits, lines ending in CR LF. Each CSV
// has a header and a function that appends the rows of ONE section, so that
// a table of 32,767 sections is written as its sections are computed.
// record is the section's record (1 .. imported_count), which gives No and
// NAME. The stirrups of record r are stirrups[r − 1] (none where the vector
// is shorter).

// The figures, per axis (x, then y) a row for each model (exact, fiber, and
// confined for a section with stirrups), then a fiber_error_pct row:
//   No,NAME,axis,model,N,EI0,phi_y1,M_y1,M_n,phi_y,EI_eff,phi_u,M_u,M_peak,mu_phi,ends_by
// in kN, kN·m², 1/m, kN·m; ends_by concrete, bar, drop or axial. A model
// that cannot carry N has N and the rest empty; the yield figures are empty
// where the load alone takes the edge past εc,r. The fiber_error_pct row
// holds |fiber − exact|/|exact|·100 of each figure (N the section's N, empty
// where either model has no figure or the exact one is 0, ends_by empty).
// Example: 1,"KZ1",x,exact,1252.5,198118,0.00738649,579.117,641.027,...,concrete
std::string AnalysisCsvHeader();
void AppendAnalysisCsvRows(std::string& csv, const BrenmoorState& state, int record,
                           const AnalysisSection& section, double axial_ratio);

// The curves, per axis and model as above:
//   No,NAME,axis,model,N,phi,M,point
// 41 points from 0 to φu and the marked ones, point first_yield, nominal,
// peak or end (empty for the others). A model that cannot carry N gives one
// row with N and the rest empty.
std::string AnalysisCurvesCsvHeader();
void AppendAnalysisCurvesCsvRows(std::string& csv, const BrenmoorState& state, int record,
                                 const AnalysisSection& section, double axial_ratio);

// Either CSV of a whole table (curves picks which), on every core, written
// through write as it is made. Every section is checked first, so a refused
// table throws the CapacityRefusal of its first refused record and writes
// nothing. With a progress, counts the sections done ("Computing analysis
// curves") and stops with Cancelled when asked to.
void WriteAnalysisCsv(const BrenmoorState& state, const AnalysisOptions& options,
                      const std::vector<std::optional<Stirrups>>& stirrups, bool curves,
                      const std::function<void(std::string_view)>& write,
                      Progress* progress = nullptr);

// Every law the table uses, as points an engineer can type into the
// analysis program's material definitions:
//   material,law,strain,stress
// (strain compression positive, stress N/mm²): each concrete grade of the
// table in order of strength ("C35": compression from 0 to 1.5·εcu,
// tension from 0 to −10·εt,r), the bars ("bars HRB400": steel from −Agt to
// Agt), the hoops ("hoops HRB400", where some section has stirrups) and the
// core of each section with stirrups ("KZ1 core": confined, 0 to 1.5·εcu,c).
// At least 40 points a law, its peak and εcu (εcu,c), ±fy,r/Es and ±Agt among
// them. Throws CapacityRefusal as WriteAnalysisCsv does.
std::string MaterialsCsv(const BrenmoorState& state, const AnalysisOptions& options,
                         const std::vector<std::optional<Stirrups>>& stirrups);

}  // namespace brenmoor

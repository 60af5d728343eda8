#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "capacity/capacity.h"
#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

struct CapacityRequest {
  std::string table;   // UTF-8 path of the section table
  std::string output;  // UTF-8 path, "-" for standard output (CSV only), empty for the default
  bool csv = false;
  bool curves = false;  // with csv: every point of the interaction curves
  CapacityOptions options;
  Language language = Language::kEnglish;  // of the PDF's texts; the CSVs have one
};

// The output a capacity request writes to: output when given, otherwise
// beside the table, "<table without extension>.capacity.pdf" or
// "<table without extension>.capacity.csv".
std::string CapacityOutputPath(const CapacityRequest& request);

// `brenmoor capacity`: imports the table as the window's import button does
// (a table that holds no section is refused), computes every section's
// capacity (ComputeCapacityTable) and writes the figures CSV (CapacityCsv),
// the curves CSV (CapacityCurvesCsv) or the capacity report (A4 PDF). The
// file is written beside its place and renamed over it only after everything
// was computed, so a refused table leaves an earlier file as it was. An
// output that is the table itself is refused. A section the capacity has no
// law for is refused as every error met while computing a section is
// (SectionError): "TABLE:LINE: Section "NAME": reason" on the command line.
// On success prints one line naming what was written (nothing when the CSV
// goes to out itself; a failed write to out is an error). With a progress,
// shows the lines read, the sections computed and the pages drawn; a cancel
// throws Cancelled and leaves an earlier file as it was.
void CapacityCommand(BrenmoorState& state, const CapacityRequest& request, std::ostream& out,
                     Progress* progress = nullptr);

// The capacity report of an imported table whose figures were computed, as
// an A4 PDF into out, page after page; table_name is the table's file name
// for the pages' headings, its texts in language. Drawn by the report
// library, in a build that has it (BRENMOOR_WITH_CAPACITY_REPORT); the
// command refuses the PDF otherwise.
void CapacityReportPdf(ByteSink& out, const BrenmoorState& state,
                       const std::vector<SectionCapacity>& figures, const CapacityOptions& options,
                       const std::string& table_name, Language language, Progress* progress);

}  // namespace brenmoor

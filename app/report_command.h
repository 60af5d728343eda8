#pragma once

#include <ostream>
#include <string>

#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

struct ReportRequest {
  std::string table;   // UTF-8 path of the section table
  std::string output;  // UTF-8 path, "-" for standard output (CSV only), empty for the default
  bool csv = false;
  Language language = Language::kEnglish;  // of the PDF's texts; the CSV has one
};

// The output a report request writes to: output when given, otherwise beside
// the table: "<table without extension>.pdf" for the report and
// "<table without extension>.properties.csv" for the properties table (never
// the table's own name, so sections.csv is not written over).
std::string ReportOutputPath(const ReportRequest& request);

// `brenmoor report`: imports the table as the window's import button does,
// prepares the sections as the generate command does and writes the section
// report (A4 PDF) or, with csv, the properties table. The file is written
// beside its place and renamed over it, and only after the table was
// imported and every section computed, so a refused table leaves an earlier
// report as it was. An output that is the table itself is refused. The PDF
// is drawn by the Qt module (app/qt_module.h), loaded for it alone; the CSV
// needs no Qt. On success prints one line naming what was written (nothing
// when the CSV goes to out itself). Errors are thrown as by the import and
// the generate command. progress, when given, is shown the work.
void ReportCommand(BrenmoorState& state, const ReportRequest& request, std::ostream& out,
                   Progress* progress = nullptr);

}  // namespace brenmoor

#pragma once

#include <functional>
#include <string>

#include "jobs/job.h"
#include "model/language.h"

namespace brenmoor {

struct ReportRequest {
  JobTable table;
  // UTF-8 path; "-" for standard output (the CSV only); empty for the
  // default (ReportOutputPath).
  std::string output;
  bool csv = false;                        // the properties table instead of the report
  Language language = Language::kEnglish;  // of the PDF's texts; the CSV has one

  // Refuses the PDF on standard output ("-"): only the CSV can go there
  // (WrongRequest).
  void Validate() const;
};

// The output a report request writes to: output when given, otherwise beside
// the table: "<table without extension>.pdf" for the report and
// "<table without extension>.properties.csv" for the properties table (never
// the table's own name, so sections.csv is not written over).
std::string ReportOutputPath(const ReportRequest& request);

// Draws the section report of prepared (PreparedCopy) as an A4 PDF into pdf,
// page after page, its texts in language, table_name (the table's file name)
// on its cover; returns its page count. The command line hands the Qt
// module's drawing, the window its own.
using ReportRenderer =
    std::function<int(ByteSink& pdf, const BrenmoorState& prepared, const std::string& table_name,
                      Language language, Progress* progress)>;

// `brenmoor report --csv`: the properties table (PropertiesCsv) of every
// section, computed as the generate command computes them.
JobResult PropertiesCsvJob(const ReportRequest& request, JobContext& context);

// `brenmoor report` and the window's export: the section report of every
// section, drawn by render into the file (never standard output), which
// replaces an older report only once the last page is written.
JobResult ReportPdfJob(const ReportRequest& request, JobContext& context,
                       const ReportRenderer& render);

}  // namespace brenmoor

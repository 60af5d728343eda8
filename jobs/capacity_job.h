#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capacity/capacity.h"
#include "jobs/job.h"
#include "model/language.h"

namespace brenmoor {

struct CapacityRequest {
  JobTable table;
  // UTF-8 path; "-" for standard output (the CSVs only); empty for the
  // default (CapacityOutputPath).
  std::string output;
  bool csv = false;     // the figures as CSV instead of the report
  bool curves = false;  // with csv: every point of the interaction curves
  CapacityOptions options;
  Language language = Language::kEnglish;  // of the PDF's texts; the CSVs have one
};

// The output a capacity request writes to: output when given, otherwise
// beside the table, "<table without extension>.capacity.pdf" or
// "<table without extension>.capacity.csv".
std::string CapacityOutputPath(const CapacityRequest& request);

// Draws the capacity report of state (imported) whose figures[r − 1]
// ComputeCapacityTable gave for record r with options, as an A4 PDF into pdf
// page after page, its texts in language, table_name (the table's file name)
// in its headings. The command line hands the Qt module's drawing, the window
// its own.
using CapacityRenderer =
    std::function<void(ByteSink& pdf, const BrenmoorState& state,
                       const std::vector<SectionCapacity>& figures, const CapacityOptions& options,
                       const std::string& table_name, Language language, Progress* progress)>;

// `brenmoor capacity --csv [--curves]`: the capacity figures (CapacityCsv) or
// every point of the interaction curves (WriteCapacityCurvesCsv, written as
// it is made) of every section. A section the capacity has no law for is
// refused before anything is written, as every error met while computing a
// section is (SectionError): "TABLE:LINE: Section "NAME": reason".
JobResult CapacityCsvJob(const CapacityRequest& request, JobContext& context);

// `brenmoor capacity`: the capacity report, drawn by render into the file
// (never standard output) once every section's figures are computed.
JobResult CapacityPdfJob(const CapacityRequest& request, JobContext& context,
                         const CapacityRenderer& render);

}  // namespace brenmoor

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capacity/best_grid.h"
#include "capacity/biaxial.h"
#include "capacity/capacity.h"
#include "jobs/job.h"
#include "model/language.h"

namespace brenmoor {

// Which CSV a capacity request writes.
enum class CapacityCsv {
  kFigures,          // No,NAME,axis,N0,Nt,Nb,Mb,M0,fiber_M0,fiber_error_pct
  kCurves,           // every point of both interaction curves
  kMomentCurvature,  // every moment–curvature point at the axial ratio
  kBiaxial,          // the biaxial figures at the axial ratio
  kBiaxialCurves,    // the Mx–My contours at the axial ratio
  kAnalysis,         // the analysis moment–curvature figures and the fiber's error
  kAnalysisCurves,   // every point of the analysis moment–curvature curves
};

struct CapacityRequest {
  JobTable table;
  // UTF-8 path; "-" for standard output (the CSVs only); empty for the
  // default (CapacityOutputPath).
  std::string output;
  bool csv = false;  // a CSV (csv_kind) instead of the report
  CapacityCsv csv_kind = CapacityCsv::kFigures;
  CapacityOptions options;
  Language language = Language::kEnglish;  // of the PDF's texts; the CSVs have one

  // Refuses the report on standard output ("-"), which only the CSVs can go
  // to, and an axial ratio outside kMinAxialRatio to kMaxAxialRatio
  // (WrongRequest).
  void Validate() const;
};

// The output a capacity request writes to: output when given, otherwise
// beside the table, "<table without extension>.capacity.pdf" or
// "<table without extension>.capacity.csv".
std::string CapacityOutputPath(const CapacityRequest& request);

// What the capacity report shows of every section besides its curves, which
// the drawing computes page by page: figures[r − 1] and biaxial[r − 1]
// belong to record r, computed with options.
struct CapacityReportFigures {
  std::vector<SectionCapacity> figures;
  std::vector<BiaxialFigures> biaxial;
  CapacityOptions options;
};

// Draws the capacity report of state (imported) as an A4 PDF into pdf page
// after page, its texts in language, table_name (the table's file name) in
// its headings. The command line hands the Qt module's drawing, the window
// its own.
using CapacityRenderer = std::function<void(
    ByteSink& pdf, const BrenmoorState& state, const CapacityReportFigures& figures,
    const std::string& table_name, Language language, Progress* progress)>;

// `brenmoor capacity --csv [--curves | --mphi | --biaxial [--curves]]`: the
// CSV of request.csv_kind for every section, written as it is made (a few
// pieces of sections held at a time). A section the capacity has no law for
// is refused before anything is written, as every error met while computing
// a section is (SectionError): "TABLE:LINE: Section "NAME": reason".
JobResult CapacityCsvJob(const CapacityRequest& request, JobContext& context);

// `brenmoor capacity`: the capacity report, drawn by render into the file
// (never standard output) once every section's figures are computed.
JobResult CapacityPdfJob(const CapacityRequest& request, JobContext& context,
                         const CapacityRenderer& render);

// `brenmoor materials`: every analysis law the table's sections use, as
// points (MaterialsCsv), for the analysis program's material definitions.
struct MaterialsRequest {
  JobTable table;
  // UTF-8 path; "-" for standard output; empty for the default,
  // "<table without extension>.materials.csv" beside the table.
  std::string output;
  // The laws' strengths, the bars' and the hoops' grades; the axial ratio
  // plays no part.
  CapacityOptions options;

  void Validate() const {}
};

std::string MaterialsOutputPath(const MaterialsRequest& request);

// Writes the laws of every concrete grade, the bars, the hoops and each
// confined core the table uses. A table whose stirrup columns hold what the
// analysis cannot use is refused first, naming every line, section and
// column, and nothing is written.
JobResult MaterialsJob(const MaterialsRequest& request, JobContext& context);

struct RefineRequest {
  JobTable table;
  // The refined table (UTF-8 path), or with csv the CSV ("-" for standard
  // output); empty for the default: "<table without extension>.refined.csv"
  // beside the table, or standard output for the CSV.
  std::string output;
  bool csv = false;
  CapacityOptions options;  // the biaxial error depends on them

  // Refuses an axial ratio outside kMinAxialRatio to kMaxAxialRatio
  // (WrongRequest).
  void Validate() const;
};

struct RefineResult {
  JobResult job;  // sections: those whose grid was changed
  // choices[r − 1] for record r: its grid, its error and the best.
  std::vector<GridChoice> choices;
};

// The output a refine request writes to (see RefineRequest::output).
std::string RefineOutputPath(const RefineRequest& request);

// `brenmoor refine` and the window's "save with the suggested grids": finds
// every section's best grid (ChooseBestGrids) and writes the table with the
// FX and FY fields of the improved sections changed and every other byte
// kept (RewriteGrids), or with csv the grid CSV of every section. The table
// is read once and its bytes rewritten; where the window imported it
// earlier, it is read again and must still be the one the sections came
// from. Output onto the table itself is refused, and so is a table that is
// not a file in a folder (a pipe, /dev/stdin) without an output named.
// chosen, when given, is told the grids before anything is written (the
// command line prints them there).
RefineResult RefineJob(const RefineRequest& request, JobContext& context,
                       const std::function<void(const RefineResult&)>& chosen = {});

}  // namespace brenmoor

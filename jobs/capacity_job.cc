#include "jobs/capacity_job.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "capacity/analysis_csv.h"
#include "capacity/capacity_csv.h"
#include "import/grid_rewrite.h"
#include "import/section_import.h"
#include "import/stirrup_columns.h"
#include "model/parallel.h"
#include "model/section_properties.h"
#include "platform/files.h"
#include "platform/locale.h"

namespace brenmoor {
namespace {

// Whether path names a file in a folder (not a pipe, a device, a folder or
// standard input).
bool IsFileInFolder(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromUtf8(path), ignored) &&
         !NamesOpenDescriptor(PathFromUtf8(path));
}

// Runs compute with a refusal of the capacity named as every error met while
// computing a section: "TABLE:LINE: Section "NAME": reason".
template <typename Compute>
auto NamingRefusals(const BrenmoorState& state, Compute&& compute) {
  try {
    return compute();
  } catch (const CapacityRefusal& refusal) {
    throw SectionError(state, static_cast<std::size_t>(refusal.record()), refusal);
  }
}

// Every section is checked before the first byte, so a refused table writes
// nothing, not even to standard output.
void RefuseSectionsWithoutCapacity(const BrenmoorState& state, const CapacityOptions& options) {
  NamingRefusals(state, [&] {
    for (int r = 1; r <= state.imported_count; ++r) MakeCapacitySection(state, r, options);
    return 0;
  });
}

// A CSV of header and the rows of every section, made on every core and
// written in order as it comes.
void WriteRowsCsv(ByteSink& sink, const BrenmoorState& state, const std::string& header,
                  std::string_view step, Progress* progress,
                  const std::function<void(std::string& csv, int record)>& rows) {
  sink.Write(header.data(), header.size());
  ForEachPieceInOrder<std::string>(
      static_cast<std::size_t>(state.imported_count),
      {.piece = 16, .progress = progress, .step = step},
      [&](std::size_t first, std::size_t last) {
        std::string csv;
        for (std::size_t i = first; i < last; ++i) rows(csv, static_cast<int>(i) + 1);
        return csv;
      },
      [&](std::size_t, std::size_t, std::string&& csv) { sink.Write(csv.data(), csv.size()); });
}

// The stirrups of every record, [r − 1] for record r, once the analysis has
// accepted them (RefuseBadStirrups): a table without stirrup columns has
// none, and every section is then unconfined.
std::vector<std::optional<Stirrups>> UsableStirrups(const BrenmoorState& state) {
  RefuseBadStirrups(state);
  std::vector<std::optional<Stirrups>> stirrups(static_cast<std::size_t>(state.imported_count));
  if (!TableHasStirrups(state)) return stirrups;
  for (int r = 1; r <= state.imported_count; ++r) {
    stirrups[static_cast<std::size_t>(r - 1)] = state.records[static_cast<std::size_t>(r)].stirrups;
  }
  return stirrups;
}

void WriteCapacityCsv(ByteSink& sink, const CapacityRequest& request, JobContext& context) {
  const BrenmoorState& state = context.state();
  const CapacityOptions& options = request.options;
  auto section = [&](int record) { return MakeCapacitySection(state, record, options); };
  switch (request.csv_kind) {
    case CapacityCsv::kFigures: {
      const std::string csv =
          CapacityCsv(state, ComputeCapacityTable(state, options, context.progress()));
      sink.Write(csv.data(), csv.size());
      return;
    }
    case CapacityCsv::kCurves:
      WriteCapacityCurvesCsv(
          state, options, [&](std::string_view text) { sink.Write(text.data(), text.size()); },
          context.progress());
      return;
    case CapacityCsv::kMomentCurvature:
      WriteRowsCsv(sink, state, MomentCurvatureCsvHeader(), "Computing moment-curvature",
                   context.progress(), [&](std::string& csv, int record) {
                     AppendMomentCurvatureCsvRows(csv, state, record, section(record),
                                                  options.axial_ratio);
                   });
      return;
    case CapacityCsv::kBiaxial:
      WriteRowsCsv(sink, state, BiaxialCsvHeader(), "Computing biaxial bending", context.progress(),
                   [&](std::string& csv, int record) {
                     AppendBiaxialCsvRow(
                         csv, state, record,
                         ComputeBiaxialCapacity(section(record), options.axial_ratio).figures);
                   });
      return;
    case CapacityCsv::kAnalysis:
    case CapacityCsv::kAnalysisCurves:
      WriteAnalysisCsv(
          state, AnalysisOptionsOf(options), UsableStirrups(state),
          request.csv_kind == CapacityCsv::kAnalysisCurves,
          [&](std::string_view text) { sink.Write(text.data(), text.size()); }, context.progress());
      return;
    case CapacityCsv::kBiaxialCurves:
      WriteRowsCsv(sink, state, BiaxialCurvesCsvHeader(), "Computing biaxial bending",
                   context.progress(), [&](std::string& csv, int record) {
                     AppendBiaxialCurvesCsvRows(
                         csv, state, record,
                         ComputeBiaxialCapacity(section(record), options.axial_ratio));
                   });
      return;
  }
}

// Imports the refined table and checks that it holds the sections it was
// made from with only their grids changed: the table read again may have
// been changed since it was imported (in the window, say), and a grid put
// on another section's line would be worse than no refined table. what_to_do
// is the advice the refusal ends with, in the words of the front end.
void CheckRefinedTable(const std::string& refined, const BrenmoorState& state,
                       const std::vector<GridChange>& changes, const std::string& what_to_do) {
  BrenmoorState check;
  bool same = true;
  try {
    ImportSectionTable(check, refined, RegionalDecimalSeparator(), state.table);
  } catch (const Error&) {
    same = false;
  }
  same = same && check.imported_count == state.imported_count;
  std::size_t next_change = 0;
  for (int r = 1; same && r <= state.imported_count; ++r) {
    const TSECTION& a = state.records[static_cast<std::size_t>(r)];
    SectionInput b = check.records[static_cast<std::size_t>(r)];
    if (next_change < changes.size() && changes[next_change].record == r) {
      b.FX = a.FX;
      b.FY = a.FY;
      ++next_change;
    }
    same = static_cast<const SectionInput&>(a) == b;
  }
  if (!same) {
    throw Error(FileErrorMessage("Cannot refine", PathFromUtf8(state.table),
                                 "It has changed since it was imported; " + what_to_do));
  }
}

void ValidateOptions(const CapacityOptions& options) {
  // Written so that NaN fails too.
  if (!(options.axial_ratio >= kMinAxialRatio && options.axial_ratio <= kMaxAxialRatio)) {
    char value[32];
    std::snprintf(value, sizeof value, "%g", options.axial_ratio);
    throw WrongRequest(std::string("the axial ratio must be from -0.5 to 1.5, not ") + value);
  }
}

}  // namespace

void CapacityRequest::Validate() const {
  if (output == "-" && !csv) {
    throw WrongRequest("the capacity report goes to a file; only --csv writes to standard output");
  }
  ValidateOptions(options);
}

void RefineRequest::Validate() const { ValidateOptions(options); }

std::string CapacityOutputPath(const CapacityRequest& request) {
  if (!request.output.empty()) return request.output;
  return BesideTable(request.table.path, request.csv ? ".capacity.csv" : ".capacity.pdf");
}

JobResult CapacityCsvJob(const CapacityRequest& request, JobContext& context) {
  request.Validate();
  const std::string output = CapacityOutputPath(request);
  StartJob(request.table, output, context);
  const BrenmoorState& state = context.state();
  RefuseSectionsWithoutCapacity(state, request.options);
  if (request.csv_kind == CapacityCsv::kAnalysis ||
      request.csv_kind == CapacityCsv::kAnalysisCurves) {
    RefuseBadStirrups(state);
  }
  JobResult result;
  result.sections = state.imported_count;
  WriteJobOutput(output, context, result, [&](ByteSink& sink) {
    NamingRefusals(state, [&] {
      WriteCapacityCsv(sink, request, context);
      return 0;
    });
  });
  return result;
}

JobResult CapacityPdfJob(const CapacityRequest& request, JobContext& context,
                         const CapacityRenderer& render) {
  request.Validate();
  const std::string output = CapacityOutputPath(request);
  JobContext to_file = context.WithoutStandardOutput();
  StartJob(request.table, output, to_file);
  const BrenmoorState& state = context.state();
  CapacityReportFigures figures;
  figures.options = request.options;
  NamingRefusals(state, [&] {
    figures.figures = ComputeCapacityTable(state, request.options, context.progress());
    figures.biaxial = ComputeBiaxialTable(state, request.options, context.progress());
    return 0;
  });
  JobResult result;
  result.sections = state.imported_count;
  const std::string table_name = PathToUtf8(PathFromUtf8(request.table.path).filename());
  WriteJobOutput(output, to_file, result, [&](ByteSink& pdf) {
    NamingRefusals(state, [&] {
      render(pdf, state, figures, table_name, request.language, context.progress());
      return 0;
    });
  });
  return result;
}

std::string MaterialsOutputPath(const MaterialsRequest& request) {
  if (!request.output.empty()) return request.output;
  return BesideTable(request.table.path, ".materials.csv");
}

JobResult MaterialsJob(const MaterialsRequest& request, JobContext& context) {
  request.Validate();
  const std::string output = MaterialsOutputPath(request);
  StartJob(request.table, output, context);
  const BrenmoorState& state = context.state();
  RefuseSectionsWithoutCapacity(state, request.options);
  const std::string csv = NamingRefusals(state, [&] {
    return MaterialsCsv(state, AnalysisOptionsOf(request.options), UsableStirrups(state));
  });
  JobResult result;
  result.sections = state.imported_count;
  WriteJobOutput(output, context, result,
                 [&](ByteSink& sink) { sink.Write(csv.data(), csv.size()); });
  return result;
}

std::string RefineOutputPath(const RefineRequest& request) {
  if (!request.output.empty()) return request.output;
  return request.csv ? "-" : BesideTable(request.table.path, ".refined.csv");
}

RefineResult RefineJob(const RefineRequest& request, JobContext& context,
                       const std::function<void(const RefineResult&)>& chosen) {
  request.Validate();
  // A table on standard input is refused in the words every command uses.
  if (request.output.empty() && !request.csv && request.table.path != "-" &&
      !IsFileInFolder(request.table.path)) {
    throw WrongRequest(FileErrorMessage(
        "Cannot refine", PathFromUtf8(request.table.path),
        "It is not a file saved in a folder, so there is nowhere beside it for the refined table; "
        "name the refined table with -o"));
  }
  const std::string output = RefineOutputPath(request);
  // Read once: a pipe gives its bytes only once, and the table rewritten is
  // then exactly the one the grids were chosen for.
  std::string table;
  StartJob(request.table, output, context, &table);
  const BrenmoorState& state = context.state();
  RefineResult result;
  result.choices = NamingRefusals(
      state, [&] { return ChooseBestGrids(state, request.options, context.progress()); });
  if (request.csv) {
    std::string csv = GridCsvHeader();
    for (int r = 1; r <= state.imported_count; ++r) {
      AppendGridCsvRow(csv, state, r, result.choices[static_cast<std::size_t>(r - 1)]);
    }
    result.job.sections = state.imported_count;
    if (chosen) chosen(result);
    WriteJobOutput(output, context, result.job,
                   [&](ByteSink& sink) { sink.Write(csv.data(), csv.size()); });
    return result;
  }
  std::vector<GridChange> changes;
  for (int r = 1; r <= state.imported_count; ++r) {
    const GridChoice& choice = result.choices[static_cast<std::size_t>(r - 1)];
    if (choice.Improves()) changes.push_back({r, choice.best_FX, choice.best_FY});
  }
  if (request.table.imported) {
    // The window imported the sections earlier: the file is read again.
    table = ReadWholeFile(PathFromUtf8(request.table.path), ReadLimits{.stop_at_zero = true});
  }
  const std::string refined = RewriteGrids(table, changes);
  // Only the window keeps sections imported earlier; the command line has
  // nothing to import again.
  CheckRefinedTable(refined, state, changes,
                    request.table.imported ? "import it again" : "run refine again");
  result.job.sections = static_cast<int>(changes.size());
  if (chosen) chosen(result);
  WriteJobOutput(output, context, result.job,
                 [&](ByteSink& sink) { sink.Write(refined.data(), refined.size()); });
  return result;
}

}  // namespace brenmoor

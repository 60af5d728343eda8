#include "jobs/capacity_job.h"

#include "capacity/capacity_csv.h"
#include "model/section_properties.h"
#include "platform/files.h"

namespace brenmoor {
namespace {

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

}  // namespace

std::string CapacityOutputPath(const CapacityRequest& request) {
  if (!request.output.empty()) return request.output;
  return BesideTable(request.table.path, request.csv ? ".capacity.csv" : ".capacity.pdf");
}

JobResult CapacityCsvJob(const CapacityRequest& request, JobContext& context) {
  const std::string output = CapacityOutputPath(request);
  StartJob(request.table, output, context);
  const BrenmoorState& state = context.state;
  JobResult result;
  result.sections = state.imported_count;
  if (request.curves) {
    // Every section is checked before the first byte, so a refused table
    // writes nothing, not even to standard output.
    NamingRefusals(state, [&] {
      for (int r = 1; r <= state.imported_count; ++r)
        MakeCapacitySection(state, r, request.options);
      return 0;
    });
    result.written = WriteJobOutput(output, context, [&](ByteSink& sink) {
      NamingRefusals(state, [&] {
        WriteCapacityCurvesCsv(
            state, request.options,
            [&](std::string_view text) { sink.Write(text.data(), text.size()); }, context.progress);
        return 0;
      });
    });
    return result;
  }
  const std::string csv = NamingRefusals(state, [&] {
    return CapacityCsv(state, ComputeCapacityTable(state, request.options, context.progress));
  });
  result.written =
      WriteJobOutput(output, context, [&](ByteSink& sink) { sink.Write(csv.data(), csv.size()); });
  return result;
}

JobResult CapacityPdfJob(const CapacityRequest& request, JobContext& context,
                         const CapacityRenderer& render) {
  const std::string output = CapacityOutputPath(request);
  JobContext to_file{context.state, context.progress, nullptr};
  StartJob(request.table, output, to_file);
  const BrenmoorState& state = context.state;
  const std::vector<SectionCapacity> figures = NamingRefusals(
      state, [&] { return ComputeCapacityTable(state, request.options, context.progress); });
  JobResult result;
  result.sections = state.imported_count;
  const std::string table_name = PathToUtf8(PathFromUtf8(request.table.path).filename());
  result.written = WriteJobOutput(output, to_file, [&](ByteSink& pdf) {
    NamingRefusals(state, [&] {
      render(pdf, state, figures, request.options, table_name, request.language, context.progress);
      return 0;
    });
  });
  return result;
}

}  // namespace brenmoor

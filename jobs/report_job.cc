#include "jobs/report_job.h"

#include "model/section_properties.h"
#include "output/properties_csv.h"
#include "platform/files.h"

namespace brenmoor {

std::string ReportOutputPath(const ReportRequest& request) {
  if (!request.output.empty()) return request.output;
  return BesideTable(request.table.path, request.csv ? ".properties.csv" : ".pdf");
}

JobResult PropertiesCsvJob(const ReportRequest& request, JobContext& context) {
  const std::string output = ReportOutputPath(request);
  StartJob(request.table, output, context);
  PrepareSections(context.state, context.progress);
  const BrenmoorState& prepared = context.state;
  JobResult result;
  result.sections = prepared.imported_count;
  const std::string csv = PropertiesCsv(prepared);
  result.written =
      WriteJobOutput(output, context, [&](ByteSink& sink) { sink.Write(csv.data(), csv.size()); });
  return result;
}

JobResult ReportPdfJob(const ReportRequest& request, JobContext& context,
                       const ReportRenderer& render) {
  const std::string output = ReportOutputPath(request);
  JobContext to_file{context.state, context.progress, nullptr};
  StartJob(request.table, output, to_file);
  PrepareSections(context.state, context.progress);
  const BrenmoorState& prepared = context.state;
  JobResult result;
  result.sections = prepared.imported_count;
  const std::string table_name = PathToUtf8(PathFromUtf8(request.table.path).filename());
  result.written = WriteJobOutput(output, to_file, [&](ByteSink& pdf) {
    result.pages = render(pdf, prepared, table_name, request.language, context.progress);
  });
  return result;
}

}  // namespace brenmoor

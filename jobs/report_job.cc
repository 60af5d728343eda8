#include "jobs/report_job.h"

#include "model/section_properties.h"
#include "output/properties_csv.h"
#include "platform/files.h"

namespace brenmoor {

std::string ReportOutputPath(const ReportRequest& request) {
  if (!request.output.empty()) return request.output;
  return BesideTable(request.table.path, request.csv ? ".properties.csv" : ".pdf");
}

void ReportRequest::Validate() const {
  if (output == "-" && !csv) {
    throw WrongRequest("the report goes to a file; only --csv writes to standard output");
  }
}

JobResult PropertiesCsvJob(const ReportRequest& request, JobContext& context) {
  request.Validate();
  const std::string output = ReportOutputPath(request);
  StartJob(request.table, output, context);
  PrepareSections(context.state(), context.progress());
  const BrenmoorState& prepared = context.state();
  JobResult result;
  result.sections = prepared.imported_count;
  const std::string csv = PropertiesCsv(prepared);
  WriteJobOutput(output, context, result,
                 [&](ByteSink& sink) { sink.Write(csv.data(), csv.size()); });
  return result;
}

JobResult ReportPdfJob(const ReportRequest& request, JobContext& context,
                       const ReportRenderer& render) {
  request.Validate();
  const std::string output = ReportOutputPath(request);
  JobContext to_file = context.WithoutStandardOutput();
  StartJob(request.table, output, to_file);
  PrepareSections(context.state(), context.progress());
  const BrenmoorState& prepared = context.state();
  JobResult result;
  result.sections = prepared.imported_count;
  const std::string table_name = PathToUtf8(PathFromUtf8(request.table.path).filename());
  WriteJobOutput(output, to_file, result, [&](ByteSink& pdf) {
    result.pages = render(pdf, prepared, table_name, request.language, context.progress());
  });
  return result;
}

}  // namespace brenmoor

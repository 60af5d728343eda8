#include "jobs/convert_job.h"

#include "model/section_properties.h"
#include "output/component_writer.h"
#include "platform/files.h"

namespace brenmoor {

void ConvertRequest::Validate() const {
  if (output.empty()) throw WrongRequest("-o needs a file name");
}

JobResult ConvertJob(const ConvertRequest& request, JobContext& context) {
  request.Validate();
  StartJob(request.table, request.output, context);
  JobResult result;
  result.sections = context.state().imported_count;
  if (GoesToStandardOutput(request.output, context)) {
    // Bytes sent down a pipe cannot be taken back: every section is
    // computed before the first, so a section that fails sends nothing.
    ComputeSections(context.state(), context.progress());
  }
  if (IsStandardOutput(request.output, context)) {
    StreamComponentFile(context.state(), *context.standard_output(),
                        {.progress = context.progress()});
    return result;
  }
  result.written =
      GenerateComponentFile(context.state(), PathFromUtf8(request.output), context.progress());
  if (NamesStandardOutput(PathFromUtf8(request.output))) result.written.clear();
  return result;
}

}  // namespace brenmoor

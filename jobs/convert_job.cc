#include "jobs/convert_job.h"

#include "import/stirrup_columns.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "platform/files.h"

namespace brenmoor {

JobResult ConvertJob(const ConvertRequest& request, JobContext& context) {
  StartJob(request.table, request.output, context);
  // The component file carries no stirrups, so what is wrong with them does
  // not stop it; the engineer still learns of it before the analysis
  // refuses the table.
  if (!request.table.imported && context.warn) {
    for (const TableWarning& warning : StirrupWarnings(context.state)) context.warn(warning);
  }
  JobResult result;
  result.sections = context.state.imported_count;
  if (GoesToStandardOutput(request.output, context)) {
    // Bytes sent down a pipe cannot be taken back: every section is
    // computed before the first, so a section that fails sends nothing.
    ComputeSections(context.state, context.progress);
  }
  if (IsStandardOutput(request.output, context)) {
    StreamComponentFile(context.state, *context.standard_output, {.progress = context.progress});
    return result;
  }
  result.written =
      GenerateComponentFile(context.state, PathFromUtf8(request.output), context.progress);
  if (NamesStandardOutput(PathFromUtf8(request.output))) result.written.clear();
  return result;
}

}  // namespace brenmoor

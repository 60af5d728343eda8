#include "jobs/convert_job.h"

#include "import/stirrup_columns.h"
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
  // The component file carries no stirrups, so what is wrong with them does
  // not stop it; the engineer still learns of it before the analysis
  // refuses the table.
  if (!request.table.imported) context.TellWarnings(StirrupWarnings(context.state()));
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
    context.Say(result);
    return result;
  }
  GenerateComponentFile(context.state(), PathFromUtf8(request.output), context.progress(),
                        [&](const std::filesystem::path& written) {
                          // A cancel while the last blocks were written
                          // still keeps the older file.
                          if (context.progress() != nullptr && context.progress()->cancelled()) {
                            throw Cancelled();
                          }
                          result.written =
                              NamesStandardOutput(written) ? std::filesystem::path() : written;
                          context.Say(result);
                        });
  return result;
}

}  // namespace brenmoor

#include "jobs/export_job.h"

#include "model/fiber_layout.h"
#include "platform/files.h"

namespace brenmoor {

JobResult ExportJob(const ExportRequest& request, const std::function<void(ByteSink&)>& draw) {
  const std::filesystem::path output = PathFromUtf8(request.output);
  if (!request.table.empty()) RefuseOutputOverInput(output, PathFromUtf8(request.table));
  JobResult result;
  result.written = ReplaceFileWith(output, draw);
  return result;
}

JobResult SectionPictureJob(const ExportRequest& request, const BrenmoorState& state, int record,
                            const std::function<void(ByteSink&, const TSECTION&)>& draw) {
  TSECTION section = state.records.at(static_cast<std::size_t>(record));
  LayoutFibers(section);
  JobResult result = ExportJob(request, [&](ByteSink& sink) { draw(sink, section); });
  result.sections = 1;
  return result;
}

}  // namespace brenmoor

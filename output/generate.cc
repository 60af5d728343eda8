#include "output/generate.h"

#include "output/byte_sink.h"
#include "output/component_writer.h"
#include "platform/files.h"

namespace brenmoor {

std::filesystem::path GenerateComponentFile(
    BrenmoorState& state, const std::filesystem::path& path, Progress* progress,
    const std::function<void(const std::filesystem::path&)>& before_replacing) {
  // Before the old file is touched: where every block goes, and so whether
  // the file has room for every section.
  const ComponentPlan plan(state);
  ReplacingFile file(path);
  const ComponentWriting writing{.progress = progress};
  if (file.positional()) {
    file.Reserve(plan.size());
    FilePositionalSink out(file);
    WriteComponentPieces(state, plan, out, writing);
  } else {
    // A device or a pipe takes its bytes in order.
    FileSink sink(file);
    StreamComponentFile(state, sink, writing);
  }
  // A section that cannot be computed has thrown by now, so the temporary
  // file goes and the old file stays as it was.
  if (before_replacing) before_replacing(file.target());
  file.Commit();
  return file.target();
}

}  // namespace brenmoor

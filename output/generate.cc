#include "output/generate.h"

#include "model/section_properties.h"
#include "output/byte_sink.h"
#include "output/component_writer.h"
#include "platform/files.h"

namespace brenmoor {

std::filesystem::path GenerateComponentFile(BrenmoorState& state, const std::filesystem::path& path,
                                            Progress* progress) {
  // Every section is computed before anything is created, so a section that
  // cannot be computed leaves an existing file as it was.
  ComputeSections(state, progress);
  ReplacingFile file(path);
  FileSink sink(file);
  StreamComponentFile(state, sink, StartThread, progress);
  file.Commit();
  return file.target();
}

}  // namespace brenmoor

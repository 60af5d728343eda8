#include "output/generate.h"

#include "output/byte_sink.h"
#include "output/component_writer.h"

namespace brenmoor {

std::filesystem::path GenerateComponentFile(BrenmoorState& state, const std::filesystem::path& path,
                                            Progress* progress) {
  // A section that cannot be computed throws before the file replaces the
  // old one, so the temporary file goes and the old file stays as it was.
  return ReplaceFileWith(
      path, [&](ByteSink& sink) { StreamComponentFile(state, sink, StartThread, progress); });
}

}  // namespace brenmoor

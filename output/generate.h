#pragma once

#include <filesystem>

#include "model/state.h"

namespace brenmoor {

// The fixed name the analysis program imports, in the current folder.
inline constexpr char kComponentFileName[] = "KAVOSEC.PF3CMP";

// The generate command: prepares every imported section (PrepareSections) and
// writes the component file to path, replacing any file there in one step.
// The bytes go to a temporary file beside it, every write and the close are
// checked, and only then is it renamed over path; on any failure the old file
// is left as it was and the temporary file removed. Errors:
//   Cannot create file "<full path>". <reason>
//   Cannot write file "<full path>". <reason>
// and the computing errors of PrepareSections, thrown before anything is
// created. Returns the full path written.
std::filesystem::path GenerateComponentFile(BrenmoorState& state,
                                            const std::filesystem::path& path = kComponentFileName);

}  // namespace brenmoor

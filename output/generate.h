#pragma once

#include <filesystem>
#include <functional>

#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// The fixed name the analysis program imports, in the current folder.
inline constexpr char kComponentFileName[] = "KAVOSEC.PF3CMP";

// The generate command: writes the component file of every imported section
// to path, replacing any file there in one step. One pass: where every block
// goes is worked out first (ComponentPlan), the space for the new file
// reserved, and then the file is made in pieces on every core, each piece's
// sections laid out and computed just before it is written at its offset
// (WriteComponentPieces); a device or a pipe takes the same bytes in order
// (StreamComponentFile). The bytes are those PrepareSections and the
// plain writer, one section after another, would give. The records keep
// their fiber counts and properties, not their fibers, so the memory it
// takes beyond the records is a few MB whatever the table's size.
// The bytes go to a temporary file beside it, every write and the flush are
// checked, and only then is it renamed over path; on any failure, a section
// that cannot be computed included, the old file is left as it was and the
// temporary file removed. Errors:
//   Cannot create file "<full path>". <reason>
//   Cannot write file "<full path>". <reason>
// and the computing errors of PrepareSections (SectionError), met once the
// temporary file exists: a file that cannot be created at all is reported
// before them. Returns the full path written. With a progress, shows the sections written; a cancel
// throws Cancelled and leaves the old file as it was, with no temporary file behind.
// before_replacing, when given, is called with the full path once every
// byte is written and before the file replaces the old one: what it throws
// leaves the old file as it was.
std::filesystem::path GenerateComponentFile(
    BrenmoorState& state, const std::filesystem::path& path = kComponentFileName,
    Progress* progress = nullptr,
    const std::function<void(const std::filesystem::path&)>& before_replacing = {});

}  // namespace brenmoor

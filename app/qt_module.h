#pragma once

#include <filesystem>
#include <string>

#include "capacity/capacity.h"
#include "model/language.h"
#include "model/progress.h"
#include "model/state.h"
#include "output/byte_sink.h"

namespace brenmoor {

// The Qt module (qtmodule/request.h) as the programs find it: beside the
// program (a build, the Windows folder), else in the installed library
// folder (the Debian package: /usr/lib/<arch>/brenmoor beside /usr/bin).
// The first of them that exists; the first when none does.
std::filesystem::path QtModulePath();

// Runs the window from the module over state, with table imported first when
// it is not empty, until it is closed; returns its exit status. A module that
// cannot be loaded throws Error naming it.
int RunWindowFromModule(int argc, char** argv, BrenmoorState& state, const std::string& table);

// The section report of prepared (see PreparedCopy) as an A4 PDF, drawn by
// the module into out page after page; returns its page count. table_name is
// the table's file name for the cover. Throws what the drawing throws (a
// failure of out included), Cancelled when progress was cancelled, and Error
// when the module cannot be loaded.
int ReportPdfFromModule(ByteSink& out, const BrenmoorState& prepared, const std::string& table_name,
                        Language language, Progress* progress);

// The capacity report of state (imported, its capacity figures computed) as
// an A4 PDF, drawn by the module into out. Throws as ReportPdfFromModule.
void CapacityPdfFromModule(ByteSink& out, const BrenmoorState& state,
                           const std::vector<SectionCapacity>& figures,
                           const CapacityOptions& options, const std::string& table_name,
                           Language language, Progress* progress);

}  // namespace brenmoor

#pragma once

#include <filesystem>
#include <string>

#include "capacity/capacity.h"
#include "model/progress.h"
#include "model/state.h"
#include "report/language.h"

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

// The section report of prepared (see PreparedCopy) as the bytes of an A4
// PDF, drawn by the module; pages gets its page count. table_name is the
// table's file name for the cover. Throws what the drawing throws, Cancelled
// when progress was cancelled, and Error when the module cannot be loaded.
std::string ReportPdfFromModule(const BrenmoorState& prepared, const std::string& table_name,
                                Language language, Progress* progress, int& pages);

// The capacity report of state (imported, its capacity figures computed) as
// the bytes of an A4 PDF, drawn by the module. Throws as ReportPdfFromModule.
std::string CapacityPdfFromModule(const BrenmoorState& state,
                                  const std::vector<SectionCapacity>& figures,
                                  const CapacityOptions& options, const std::string& table_name,
                                  Language language);

}  // namespace brenmoor

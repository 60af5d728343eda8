#pragma once

#include <CLI/CLI.hpp>

#include "app/command.h"

namespace brenmoor {

// `brenmoor report TABLE [-o REPORT.pdf] [--lang en|zh]`: ReportPdfJob, the
// report drawn by the Qt module, loaded for it alone; with --csv,
// PropertiesCsvJob, which needs no Qt. On success prints one line naming
// what was written (nothing when the CSV goes to standard output).
extern const Command kReportCommand;

}  // namespace brenmoor

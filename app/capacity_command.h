#pragma once

#include <CLI/CLI.hpp>

#include "app/command.h"

namespace brenmoor {

// `brenmoor capacity TABLE [--steel ...] [--strength ...] [--axial-ratio R]
// [-o CAPACITY.pdf] [--lang en|zh]`: CapacityPdfJob, the report drawn by the
// Qt module; with --csv [--curves], CapacityCsvJob. Option values are
// checked before anything is read. On success prints one line naming what
// was written (nothing when the CSV goes to standard output).
extern const Command kCapacityCommand;

// `brenmoor refine TABLE [--steel ...] [--strength ...] [--axial-ratio R]
// [-o NEW.csv | --csv [-o FILE]]`: RefineJob; prints what it changed.
extern const Command kMaterialsCommand;
extern const Command kRefineCommand;

}  // namespace brenmoor

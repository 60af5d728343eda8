#pragma once

#include "app/command.h"

namespace brenmoor {

// `brenmoor diff A B [--csv]`: DiffJob, printed a line a section that
// differs and a summary line, or with --csv as DiffCsv.
extern const Command kDiffCommand;

}  // namespace brenmoor

#pragma once

#include <CLI/CLI.hpp>

#include "app/command.h"

namespace brenmoor {

// `brenmoor convert TABLE [-o OUTPUT]`: ConvertJob. On success with a file
// prints "Wrote N sections to <full path>".
extern const Command kConvertCommand;

}  // namespace brenmoor

#pragma once

#include "app/qt_module.h"

namespace brenmoor {

// The Qt module this build made, exactly as it is shipped: made when the
// module is linked (cmake/module_digest.cmake); size 0 in a build without
// the module.
ModuleIdentity BuiltQtModule();

}  // namespace brenmoor

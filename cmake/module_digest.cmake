# cmake -DMODULE=<the Qt module> -DOUTPUT=<a .cc file> -P module_digest.cmake
# Writes OUTPUT, the size and SHA-256 of the module file as it is shipped,
# which the program checks before it loads the module. Without MODULE, a
# build that has no module: size 0. OUTPUT is rewritten only when it changes.
if(MODULE)
  file(SIZE ${MODULE} size)
  file(SHA256 ${MODULE} digest)
else()
  set(size 0)
  set(digest "")
endif()
set(content "// Made by cmake/module_digest.cmake when the Qt module was linked.
#include \"app/qt_module_digest.h\"

namespace brenmoor {

ModuleIdentity BuiltQtModule() { return {${size}u, \"${digest}\"}; }

}  // namespace brenmoor
")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${content}")

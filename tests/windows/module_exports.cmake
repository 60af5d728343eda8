# The Windows Qt module shows the programs its one function, BrenmoorQtMain,
# and nothing else of its copy of the core.
#   cmake -DOBJDUMP=... -DMODULE=brenmoor-qt.dll -P module_exports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed: ${status}")
endif()
# The export table lists "[Ordinal/Name Pointer] Table" and then one line
# per name: "\t[   0] BrenmoorQtMain".
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" names "${dump}")
if(NOT names STREQUAL "\t[   0] BrenmoorQtMain")
  message(FATAL_ERROR "the module exports ${names}, not BrenmoorQtMain alone")
endif()

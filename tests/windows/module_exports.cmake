# The Windows Qt module shows the programs its one function, BrenmoorQtMain,
# and nothing else of its copy of the core.
#   cmake -DOBJDUMP=... -DMODULE=brenmoor-qt.dll -P module_exports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed: ${status}")
endif()
# The export table counts its addresses ("Export Address Table 00000001")
# and lists the names after "[Ordinal/Name Pointer] Table", one a line:
# "\t[   0] BrenmoorQtMain".
string(REGEX MATCH "Export Address Table[ \t]+([0-9a-fA-F]+)" counted "${dump}")
set(count "${CMAKE_MATCH_1}")
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at LESS 0)
  message(FATAL_ERROR "${MODULE} has no table of exported names")
endif()
string(SUBSTRING "${dump}" ${at} -1 table)
string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" names "${table}")
if(NOT count STREQUAL "00000001" OR NOT names STREQUAL "\n\t[   0] BrenmoorQtMain")
  message(FATAL_ERROR "the module exports ${counted}: ${names}, not BrenmoorQtMain alone")
endif()

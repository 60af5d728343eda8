# A Windows build made on Linux runs its programs under Wine: the tests
# through CTest (the emulator below), the same-bytes test, the screenshot.
# wine-run.sh in the build folder runs one program in the build's own Wine
# prefix with the MinGW runtime and Qt's DLLs on its path.
find_program(BRENMOOR_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(BRENMOOR_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine REQUIRED)

# Wine sees the Linux file system as drive Z:.
function(brenmoor_wine_path out path)
  string(REPLACE "/" "\\" windows_path "${path}")
  set(${out} "Z:${windows_path}" PARENT_SCOPE)
endfunction()

set(dll_folders)
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(dll_folder "${dll_path}" DIRECTORY)
  get_filename_component(dll_folder "${dll_folder}" REALPATH)
  brenmoor_wine_path(dll_folder "${dll_folder}")
  list(APPEND dll_folders "${dll_folder}")
endforeach()
if(TARGET Qt6::Core)
  get_filename_component(qt_bin "${Qt6_DIR}/../../../bin" REALPATH)
  brenmoor_wine_path(qt_bin "${qt_bin}")
  list(APPEND dll_folders "${qt_bin}")
endif()
list(JOIN dll_folders ";" BRENMOOR_WINEPATH)
set(BRENMOOR_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh
  @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)

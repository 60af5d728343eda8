# brenmoor_add_translations(TARGET file.ts ...)
# Compiles each Qt translation file (.ts) into a .qm with lrelease and puts
# the .qm files into TARGET's resources under :/i18n/. lrelease runs on the
# build machine for either target system; Debian ships it in qt6-l10n-tools,
# outside Qt's CMake packages (whose translation functions would pull in the
# whole of Qt's tools with LLVM).
find_program(BRENMOOR_LRELEASE lrelease HINTS /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH)
if(NOT BRENMOOR_LRELEASE)
  message(FATAL_ERROR "lrelease not found: install qt6-l10n-tools (scripts/install-deps.sh)")
endif()

function(brenmoor_add_translations target)
  set(qm_files)
  foreach(ts IN LISTS ARGN)
    get_filename_component(name ${ts} NAME_WE)
    set(qm ${CMAKE_CURRENT_BINARY_DIR}/i18n/${name}.qm)
    add_custom_command(OUTPUT ${qm}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/i18n
      COMMAND ${BRENMOOR_LRELEASE} -silent ${PROJECT_SOURCE_DIR}/${ts} -qm ${qm}
      DEPENDS ${PROJECT_SOURCE_DIR}/${ts}
      COMMENT "lrelease ${ts}"
      VERBATIM)
    list(APPEND qm_files ${qm})
  endforeach()
  qt_add_resources(${target} brenmoor_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}/i18n
                   FILES ${qm_files})
endfunction()

# What the Debian package carries besides the program: installs the build
# into a scratch folder and reads the package's settings.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -P debian_package.cmake
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(copyright ${WORK_DIR}/share/doc/brenmoor/copyright)
if(NOT EXISTS ${copyright})
  message(FATAL_ERROR "no ${copyright}")
endif()
file(READ ${copyright} text)
foreach(expected "Files: *\nCopyright: 2026 The Brenmoor project\nLicense: Expat" "CLI11" "License: BSD-3-clause")
  string(FIND "${text}" "${expected}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the copyright file lacks '${expected}'")
  endif()
endforeach()
# The installed module is the very file the program was built to trust: the
# install must not rewrite it (no run path changed, nothing stripped).
if(MODULE)
  file(GLOB_RECURSE installed ${WORK_DIR}/lib*/brenmoor/libbrenmoor-qt.so)
  if(NOT installed)
    message(FATAL_ERROR "no libbrenmoor-qt.so installed under ${WORK_DIR}")
  endif()
  file(SHA256 ${MODULE} built)
  file(SHA256 ${installed} shipped)
  if(NOT built STREQUAL shipped)
    message(FATAL_ERROR "the installed module ${installed} is not the one built")
  endif()
endif()
# The window's Qt texts in Chinese come from a package no library pulls in.
include(${BUILD_DIR}/CPackConfig.cmake)
if(NOT CPACK_DEBIAN_PACKAGE_DEPENDS MATCHES "(^|, )qt6-translations-l10n(,|$)")
  message(FATAL_ERROR "the package does not depend on qt6-translations-l10n: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})

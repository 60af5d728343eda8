# `cmake --install` and `make package`: the program, its menu entry and icon,
# and a Debian package that pulls in what the window needs at run time.
include(GNUInstallDirs)

if(TARGET brenmoor)
  install(TARGETS brenmoor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The manual page and the bash completion, made from the commands'
# declarations (tools/command_docs.cc).
if(TARGET command_docs_files)
  install(FILES ${PROJECT_BINARY_DIR}/brenmoor.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/brenmoor.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME brenmoor)
endif()
# The window and the PDF report, which the program loads from there when it
# is not beside it.
if(TARGET brenmoor-qt)
  install(TARGETS brenmoor-qt LIBRARY DESTINATION ${BRENMOOR_QT_MODULE_INSTALL_DIR})
endif()
if(BRENMOOR_BUILD_UI)
  install(FILES ui/brenmoor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # Drawn once as SVG; the PNGs are rendered from it and committed, the small
  # ones from a simpler drawing that stays sharp at 16 to 24 pixels.
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ui/icons/brenmoor-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME brenmoor.png)
  endforeach()
  install(FILES ui/icons/brenmoor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES examples/sample.csv examples/sample-stirrups.csv DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
endif()
# The user's guides and the pictures they show, side by side as in docs/, so
# their links hold where they are installed. The pictures are the ones the
# guides name, so a picture added to a guide is shipped with it.
set(BRENMOOR_GUIDES docs/guide.zh.md docs/guide.en.md)
set(BRENMOOR_GUIDE_PICTURES)
foreach(guide ${BRENMOOR_GUIDES})
  file(READ ${PROJECT_SOURCE_DIR}/${guide} text)
  string(REGEX MATCHALL "\\]\\([A-Za-z0-9._-]+\\.png\\)" links "${text}")
  # The brackets go before the matches are taken as a list, which a "]"
  # would not split.
  string(REGEX REPLACE "\\]\\(([^)]+)\\)" "docs/\\1" pictures "${links}")
  list(APPEND BRENMOOR_GUIDE_PICTURES ${pictures})
endforeach()
list(REMOVE_DUPLICATES BRENMOOR_GUIDE_PICTURES)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRENMOOR_GUIDES} CHANGELOG.md)
install(FILES ${BRENMOOR_GUIDES} ${BRENMOOR_GUIDE_PICTURES} DESTINATION ${CMAKE_INSTALL_DOCDIR})
# What changed, where Debian looks for it: compressed without a name or time
# inside, so that the same CHANGELOG.md gives the same bytes.
find_program(BRENMOOR_GZIP gzip)
if(BRENMOOR_GZIP)
  execute_process(COMMAND ${BRENMOOR_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz RESULT_VARIABLE gzip_status)
  if(NOT gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress CHANGELOG.md: ${gzip_status}")
  endif()
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  install(FILES CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME changelog)
endif()
# Brenmoor's licence, and CLI11's, which is compiled in; the libraries it
# loads are Debian packages with copyright files of their own.
install(FILES packaging/debian-copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_PACKAGE_NAME brenmoor)
set(CPACK_PACKAGE_VENDOR "Brenmoor project")
set(CPACK_PACKAGE_CONTACT "Brenmoor project <maintainers@brenmoor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Column sections from a CSV table to a fiber section component file")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Brenmoor is a desktop tool and command line for structural engineers who
model reinforced-concrete frames in a nonlinear analysis program. It reads a
CSV table of rectangular column sections (size, bars, cover, concrete grade,
how finely to cut the concrete), shows and draws them, lays every section out
as fibers (bars and concrete cells) and writes the component file
KAVOSEC.PF3CMP that the analysis program imports as fiber cross sections.
.
It also writes a section report (A4 PDF, in Chinese or English), the sections'
properties as CSV, their capacity by GB 50010-2010 (N-M interaction,
moment-curvature, biaxial bending, and how far the fibers are from the exact
section) and each section's best fiber grid. The window speaks Chinese or
English; the command line needs no display.
.
The user's guides, in Chinese and English, are in /usr/share/doc/brenmoor/.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The window's platform plugin, fonts and Qt's own Chinese texts are not
# linked, so no tool finds them: they are named. The linked libraries come from dpkg-shlibdeps, with
# their versions, where it is installed.
set(BRENMOOR_RUNTIME_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-microhei, fonts-liberation")
find_program(BRENMOOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(BRENMOOR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${BRENMOOR_RUNTIME_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6printsupport6, libqt6gui6, libqt6core6, libjpeg62-turbo, ${BRENMOOR_RUNTIME_DEPENDS}")
endif()
include(CPack)

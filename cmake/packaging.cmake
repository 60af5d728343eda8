# `cmake --install` and `make package`: the program, its menu entry and icon,
# and a Debian package that pulls in what the window needs at run time.
include(GNUInstallDirs)

if(TARGET brenmoor)
  install(TARGETS brenmoor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The window and the PDF report, which the program loads from there when it
# is not beside it.
if(TARGET brenmoor-qt)
  install(TARGETS brenmoor-qt LIBRARY DESTINATION ${BRENMOOR_QT_MODULE_INSTALL_DIR})
endif()
if(BRENMOOR_BUILD_UI)
  install(FILES ui/brenmoor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ui/brenmoor.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
  install(FILES examples/sample.csv examples/sample-stirrups.csv DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
endif()
# Brenmoor's licence, and CLI11's, which is compiled in; the libraries it
# loads are Debian packages with copyright files of their own.
install(FILES packaging/debian-copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_PACKAGE_NAME brenmoor)
set(CPACK_PACKAGE_VENDOR "Brenmoor project")
set(CPACK_PACKAGE_CONTACT "Brenmoor project <maintainers@brenmoor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Column sections from a CSV table to a fiber section component file")
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

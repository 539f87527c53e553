# What `cmake --install` puts where, and the Debian package `make package`
# builds from it.
include(GNUInstallDirs)

install(TARGETS tamsel-cli tamsel-sample-driver RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TAMSEL_GUI)
  install(TARGETS tamsel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/tamsel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/tamsel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES packaging/tamsel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME tamsel.xml)
endif()

install(FILES docs/tamsel.1 docs/tamsel-cli.1 docs/tamsel-sample-driver.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/tamsel-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tamsel-cli)

# The sample configurations and databases, and the help pages.
install(DIRECTORY data/sample/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tamsel/sample)
if(EXISTS ${CMAKE_SOURCE_DIR}/data/help)
  install(DIRECTORY data/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tamsel/help)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VENDOR Vandrel)
set(CPACK_PACKAGE_CONTACT "Tamsel developers <tamsel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client for searching remote text databases")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# dpkg-shlibdeps turns the linked libraries into their Debian runtime packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is loaded at run time, so the shared-library scan can't see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, qt6-qpa-plugins, xdg-utils")
include(CPack)

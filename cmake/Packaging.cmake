# Installing the programs and their data in the Debian layout, and the .deb package
# (scripts/package). The programs find their data beside themselves in the build tree and under
# <prefix>/share/molarix when installed (app::ProgramDataFolder).
include(GNUInstallDirs)

install(TARGETS molarix molarix-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The chart pictures, drawn by the build beside the programs.
install(DIRECTORY ${PROJECT_BINARY_DIR}/bin/images/ DESTINATION ${CMAKE_INSTALL_DATADIR}/molarix/images OPTIONAL)
# The report layouts are built into the programs; the copies let a clinic adapt one and name it by path.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/reports/ DESTINATION ${CMAKE_INSTALL_DATADIR}/molarix/reports
  FILES_MATCHING PATTERN "*.xml")
install(FILES ${PROJECT_SOURCE_DIR}/data/molarix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The manual page, compressed as Debian wants it.
set(MOLARIX_MAN_PAGE ${PROJECT_BINARY_DIR}/share/man/man1/molarix-admin.1.gz)
add_custom_command(OUTPUT ${MOLARIX_MAN_PAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share/man/man1
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/molarix-admin.1 > ${MOLARIX_MAN_PAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/molarix-admin.1)
add_custom_target(molarix_man_page ALL DEPENDS ${MOLARIX_MAN_PAGE})
install(FILES ${MOLARIX_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME molarix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Molarix")
set(CPACK_PACKAGE_CONTACT "Molarix <molarix@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "zobārstniecības klīnikas darba vieta")
set(CPACK_PACKAGE_DESCRIPTION "Pacientu reģistrs, kalendārs, konsultācijas ar zobu karti, plāni un ārstēšana, rēķini ar PVN, apmaksas, atgādinājumi un datu bāzes arhīvs vienai klīnikai ar vairākām darba vietām (Firebird datu bāze).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # molarix_<version>_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# What the shared-library scan cannot see: the embedded engine and its character sets, the backup
# tool, Qt's own Latvian texts and the fonts the reports are laid out with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libfbclient2, firebird3.0-server-core, firebird3.0-utils, qt6-translations-l10n, fonts-dejavu-core, qt6-qpa-plugins")
include(CPack)

# Installation layout and the Debian package (cpack -G DEB in the build folder; the package is made from the
# Release build).
include(GNUInstallDirs)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tessarine.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tessarine.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.tessarine.Tessarine.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tessarine.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tessarine)

# The manual page and the changelog are installed compressed, as Debian keeps them: gzip -9 without a name
# or time stamp, so the same text gives the same bytes.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^tessarine \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog must begin with the entry of version ${PROJECT_VERSION}")
endif()
find_program(TESSARINE_GZIP gzip REQUIRED)
set(packaging_out ${PROJECT_BINARY_DIR}/packaging)
foreach(name tessarine.1 changelog)
  add_custom_command(OUTPUT ${packaging_out}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${name} ${packaging_out}/${name}
    COMMAND ${TESSARINE_GZIP} -9nf ${packaging_out}/${name}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${name} VERBATIM)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${packaging_out}/tessarine.1.gz ${packaging_out}/changelog.gz)
install(FILES ${packaging_out}/tessarine.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessarine)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tessarine")
set(CPACK_PACKAGE_VENDOR "Tessarine")
# The project's own address (its domain is the one of its home page).
set(CPACK_PACKAGE_CONTACT "Tessarine developers <tessarine@tessarine.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "printable vertex-puzzle arithmetic worksheets")
# The extended description, wrapped for the package's control file.
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/packaging/description.txt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_TESSARINE_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStrip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessarine.invalid/")
# Library dependencies are worked out from the binary, the toolkit's platform, print and image plugins it
# loads among them (they come with the libraries it links). What it loads besides is named here: the fonts
# the worksheets and windows are drawn with, and the toolkit's Japanese translations (its print and other
# system dialogs), which the program loads at start-up whatever the locale.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcups is loaded at run time rather than linked, so the package names it (no shared-library
# dependency is found for it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcups2, fonts-ipafont-gothic, fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, printer-driver-cups-pdf")
include(CPack)

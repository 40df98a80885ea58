# What "cmake --install" puts in place (GNUInstallDirs), and the Debian
# package that "cpack -G DEB" makes of it. The demo product folder beside the
# program in the build tree is not installed: "ledgerlift demo DIR" lays one
# out anywhere.

set(linux ${PROJECT_SOURCE_DIR}/resources/linux)
set(pictures ${PROJECT_SOURCE_DIR}/resources/pictures)

install(TARGETS ledgerlift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${linux}/${LEDGERLIFT_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux}/${LEDGERLIFT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${pictures}/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${LEDGERLIFT_APP_ID}.svg)
# The PNGs are rendered from icon.svg: rsvg-convert -w N -h N icon.svg -o icon-N.png
foreach(size 48 256)
    install(FILES ${pictures}/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${LEDGERLIFT_APP_ID}.png)
endforeach()
install(FILES ${linux}/ledgerlift.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME ledgerlift)

# The licence and its notices, where Debian looks for them (GNUInstallDirs'
# DOCDIR would be named after the project, with a capital letter).
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/ledgerlift)
install(FILES ${linux}/copyright DESTINATION ${docdir})
# The package's changelog, compressed as Debian keeps it (reproducibly: -n).
# Its newest entry names the package's version (tests/InstallCheck.cmake).
set(changelog ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9nc ${linux}/changelog > ${changelog}
    DEPENDS ${linux}/changelog
    COMMENT "Compressing the package's changelog")
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${docdir})
# What lintian may leave unsaid about this package, each with its reason.
install(FILES ${linux}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ledgerlift)

# The man page, compressed as Debian keeps man pages (reproducibly: -n).
set(manpage ${CMAKE_BINARY_DIR}/ledgerlift.1.gz)
add_custom_command(OUTPUT ${manpage}
    COMMAND gzip -9nc ${linux}/ledgerlift.1 > ${manpage}
    DEPENDS ${linux}/ledgerlift.1
    COMMENT "Compressing the man page")
add_custom_target(manpage ALL DEPENDS ${manpage})
install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package; dpkg-shlibdeps finds the libraries it depends on.
set(LEDGERLIFT_MAINTAINER "Ledgerlift developers <ledgerlift@example.org>"
    CACHE STRING "The Debian package's maintainer")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ledgerlift)
set(CPACK_PACKAGE_VENDOR "Ledgerlift developers")
set(CPACK_PACKAGE_CONTACT ${LEDGERLIFT_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "moves a company's items and ledgers from a workbook into Tallvane")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Ledgerlift moves a company's master data from a spreadsheet workbook into the\n"
    "company database of the Tallvane accounting product: items with their opening\n"
    "stock, and customer and supplier ledgers with their opening balances. A desktop\n"
    "window, and a command line that lists companies, previews workbooks and\n"
    "migrates them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# A Debian revision after the program's version (1.0-1): the package is not a
# native one, so its changelog is changelog.Debian.gz, the name Debian's tools
# look for beside an upstream version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(LEDGERLIFT_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's SVG icon engine is a plugin, which no library link names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
include(CPack)

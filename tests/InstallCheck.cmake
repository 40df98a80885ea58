# Installs the build into a scratch prefix and checks that every file is in
# its place, that the demo product folder is not installed, and that the
# installed program runs from there.
#
# cmake -DBUILD_DIR=build -DPREFIX=dir -DAPP_ID=id -DDEB_VERSION=v -P InstallCheck.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(expected
    bin/ledgerlift
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/icons/hicolor/48x48/apps/${APP_ID}.png
    share/icons/hicolor/256x256/apps/${APP_ID}.png
    share/man/man1/ledgerlift.1.gz
    share/bash-completion/completions/ledgerlift
    share/doc/ledgerlift/copyright
    share/doc/ledgerlift/changelog.Debian.gz
    share/lintian/overrides/ledgerlift)
file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed: ${installed}\nexpected:  ${expected}")
endif()

# The changelog's newest entry is the package's version, so that a new version
# is not shipped with the last one's changelog.
execute_process(COMMAND gzip -dc "${PREFIX}/share/doc/ledgerlift/changelog.Debian.gz"
                OUTPUT_VARIABLE changelog RESULT_VARIABLE failed)
string(REPLACE "." "\\." version_pattern "${DEB_VERSION}")
if(failed OR NOT changelog MATCHES "^ledgerlift \\(${version_pattern}\\) [a-z]+; urgency=")
    string(REGEX REPLACE "\n.*" "" first "${changelog}")
    message(FATAL_ERROR "the changelog begins with \"${first}\", not version ${DEB_VERSION}")
endif()

# The installed program, away from the build tree: it finds no product folder
# beside itself, and lays out and lists a demo one.
execute_process(COMMAND "${PREFIX}/bin/ledgerlift" --version
                OUTPUT_VARIABLE version RESULT_VARIABLE failed)
if(failed OR NOT version MATCHES "^ledgerlift [0-9.]+\nLicence GPL-3.0-or-later: [^\n]+\n$")
    message(FATAL_ERROR "ledgerlift --version gave ${failed}: ${version}")
endif()
execute_process(COMMAND "${PREFIX}/bin/ledgerlift" demo --quiet "${PREFIX}/demo"
                RESULT_VARIABLE failed)
execute_process(COMMAND "${PREFIX}/bin/ledgerlift" companies --product-folder "${PREFIX}/demo"
                OUTPUT_VARIABLE companies RESULT_VARIABLE failed)
if(failed OR NOT companies STREQUAL "DEMO\nSHOP\n")
    message(FATAL_ERROR "ledgerlift companies gave ${failed}: ${companies}")
endif()
file(REMOVE_RECURSE "${PREFIX}")

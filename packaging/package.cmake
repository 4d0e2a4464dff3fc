# The Debian package: `cpack -G DEB` in the build folder, or `make package`.
# Its dependencies are computed by dpkg-shlibdeps from the libraries the
# program links (Qt, the C++ runtime); only what no library names is written
# here. The package's version is the upstream version and the Debian revision
# of the newest entry of debian/changelog.in, which the package carries as
# changelog.Debian.gz, with lintian's overrides (debian/lintian-overrides,
# each with its reason); its other documentation (copyright, the manual page)
# is installed by packaging/CMakeLists.txt. The package has no maintainer
# scripts: removing or purging it leaves each user's ~/.config/zandreth as it
# is.

file(STRINGS "${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in" newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^zandreth \\(([^-)]+)-([^)]+)\\)")
  message(FATAL_ERROR "packaging/debian/changelog.in does not begin with an entry \"zandreth (VERSION-REVISION)\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/debian/changelog.in's newest entry is for ${CMAKE_MATCH_1}, "
                      "the program is ${PROJECT_VERSION}: add an entry for it")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE "${CMAKE_MATCH_2}")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zandreth")
set(CPACK_PACKAGE_VENDOR "Zandreth")
set(CPACK_PACKAGE_CONTACT "${ZANDRETH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "world-clock screen saver")
set(CPACK_PACKAGE_DESCRIPTION
    "Covers the screen in black and shows a world map at a random place,\n"
    "with up to ten chosen cities marked by their names and running local\n"
    "times, and the date and time of UTC and of a home city under the map.\n"
    "Runs as an xscreensaver program or on its own (zandreth /S). The\n"
    "settings dialog (zandreth /C) chooses the cities and the intervals.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "x11")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The settings dialog is in Japanese: a font with Japanese glyphs; and the
# screen-saver host it plugs into.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/debian/install_debian_files.cmake")
set(CPACK_ZANDRETH_CHANGELOG "${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz")
set(CPACK_ZANDRETH_LINTIAN_OVERRIDES "${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides")
# cpack packs what the build made (`make package` builds first) and builds
# nothing itself, so packaging never relinks programs that tests are running.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)

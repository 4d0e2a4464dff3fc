# The Debian package: `cpack -G DEB` in the build folder, or `make package`.
# Its dependencies are computed by dpkg-shlibdeps from the libraries the
# program links (Qt, the C++ runtime); only what no library names is written
# here.

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zandreth")
set(CPACK_PACKAGE_VENDOR "Zandreth")
set(CPACK_PACKAGE_CONTACT "Zandreth maintainers <zandreth@example.org>")
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
# cpack packs what the build made (`make package` builds first) and builds
# nothing itself, so packaging never relinks programs that tests are running.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)

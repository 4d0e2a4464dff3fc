# Running the Windows build's programs under Wine: CTest starts every test
# program through CMAKE_CROSSCOMPILING_EMULATOR, in a Wine prefix of the
# build's own (never the user's ~/.wine), without Wine's debugging chatter
# and without a display, so tests run headless.
include_guard(GLOBAL)

find_program(ZANDRETH_WINE NAMES wine64 wine HINTS /usr/lib/wine
             DOC "Wine's loader of 64-bit programs (Debian packages wine and wine64)")
find_program(ZANDRETH_WINESERVER NAMES wineserver64 wineserver HINTS /usr/lib/wine)
if(NOT ZANDRETH_WINE OR NOT ZANDRETH_WINESERVER)
  message(FATAL_ERROR "Wine is needed to run the Windows tests: install the packages wine and wine64")
endif()

set(ZANDRETH_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
# The environment of every program run under Wine. Mono and Gecko are not
# needed and their installers would ask for a display.
set(ZANDRETH_WINE_ENVIRONMENT
    ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
    WINEPREFIX=${ZANDRETH_WINE_PREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANDRETH_WINE_ENVIRONMENT} ${ZANDRETH_WINE})

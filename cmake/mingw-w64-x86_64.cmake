# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX
# threads variant, which std::thread and std::mutex need). Programs are
# linked statically, so a built .exe or .scr needs no DLL beside it, and
# tests run under Wine (see tests/windows/wine.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZANDRETH_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZANDRETH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANDRETH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZANDRETH_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZANDRETH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

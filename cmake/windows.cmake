# The Windows build, included by the top CMakeLists.txt when the target
# system is Windows (the toolchain file cmake/mingw-w64-x86_64.cmake): the
# platform with its Win32 forms backend, the program's data, the dialogs,
# the screen saver zandreth.scr with its Windows resources, and the tests,
# run under Wine.
include_guard(GLOBAL)
enable_language(RC)

# No Qt for Windows: the platform's Win32 system services stand in for the
# POSIX ones, and the forms runtime runs on its Win32 backend.
set(ZANDRETH_WITH_QT OFF CACHE BOOL "Build the forms runtime on Qt Widgets" FORCE)
# The wide (UTF-16) Win32 API throughout, Windows 7 and later, and no min and
# max macros to trip the standard library.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)

add_subdirectory(platform)
add_subdirectory(data)
add_subdirectory(windows)
add_subdirectory(about)
add_subdirectory(settings)
add_subdirectory(app)

# The screen saver: app/'s program as a Windows GUI program named
# zandreth.scr in the build folder, with its resources, linked statically
# (the toolchain file) so that the file and its zandreth.ini are a whole
# installation. app/ copies the shipped zandreth.ini beside it when none is
# there.
set_target_properties(zandreth PROPERTIES WIN32_EXECUTABLE ON SUFFIX ".scr")
target_link_libraries(zandreth PRIVATE zandreth_windows_resources user32 gdi32 comctl32 imm32)
target_link_options(zandreth PRIVATE -s)

# zandreth-windows.zip, the download (`make windows`).
add_subdirectory(packaging/windows)

if(ZANDRETH_BUILD_TESTS)
  enable_testing()
  # GoogleTest from its Debian source package, built with the cross compiler.
  set(ZANDRETH_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian package googletest)")
  if(NOT EXISTS "${ZANDRETH_GOOGLETEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest's sources are not in ${ZANDRETH_GOOGLETEST_SOURCE}: install the package googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # It names its libraries GTest::gtest and GTest::gtest_main itself.
  add_subdirectory("${ZANDRETH_GOOGLETEST_SOURCE}" googletest EXCLUDE_FROM_ALL SYSTEM)
  include(cmake/wine.cmake)
  add_subdirectory(tests)
endif()

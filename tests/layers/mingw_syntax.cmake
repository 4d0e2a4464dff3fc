# Checks that each of SOURCES (joined with "|") compiles for Windows with the
# mingw-w64 COMPILER, with ROOT as the include folder: the code above the
# operating system's services and the toolkit backend uses neither.
# cmake -DCOMPILER=... -DROOT=... -DSOURCES=... -P mingw_syntax.cmake
if(NOT COMPILER)
  message("mingw-w64 compiler not found (Debian package g++-mingw-w64-x86-64-posix): check skipped")
  return()
endif()
string(REPLACE "|" ";" sources "${SOURCES}")
set(failed "")
foreach(source IN LISTS sources)
  execute_process(COMMAND "${COMPILER}" -std=c++20 -fsyntax-only "-I${ROOT}" "${source}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    string(APPEND failed "${source}:\n${output}\n")
  endif()
endforeach()
list(LENGTH sources count)
if(failed)
  message(FATAL_ERROR "these sources do not compile for Windows:\n${failed}")
endif()
message("${count} sources compile for Windows")

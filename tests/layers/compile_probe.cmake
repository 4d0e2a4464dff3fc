# Compiles PROBE with a target's include folders (INCLUDES) and definitions
# (DEFINITIONS), each list joined with "|", and checks the outcome EXPECT:
#   no-qt     the compilation fails because Qt's <QObject> is not found
#   no-forms  the compilation fails because "platform/forms/form.h" is not found
#   compiles  the compilation succeeds
# cmake -DCOMPILER=... -DPROBE=... -DINCLUDES=... -DDEFINITIONS=... -DEXPECT=... -P compile_probe.cmake
string(REPLACE "|" ";" includes "${INCLUDES}")
string(REPLACE "|" ";" definitions "${DEFINITIONS}")
set(flags -std=c++20 -fsyntax-only -fPIC)
foreach(folder IN LISTS includes)
  list(APPEND flags "-I${folder}")
endforeach()
foreach(definition IN LISTS definitions)
  list(APPEND flags "-D${definition}")
endforeach()
execute_process(COMMAND "${COMPILER}" ${flags} "${PROBE}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(EXPECT STREQUAL "no-qt")
  if(status EQUAL 0)
    message(FATAL_ERROR "Qt's headers are reachable with these flags: ${flags}")
  endif()
  if(NOT output MATCHES "QObject: No such file")
    message(FATAL_ERROR "the probe failed for another reason than a missing <QObject>:\n${output}")
  endif()
elseif(EXPECT STREQUAL "no-forms")
  if(status EQUAL 0)
    message(FATAL_ERROR "the forms API is reachable with these flags: ${flags}")
  endif()
  if(NOT output MATCHES "platform/forms/form.h: No such file")
    message(FATAL_ERROR "the probe failed for another reason than a missing platform/forms/form.h:\n${output}")
  endif()
elseif(EXPECT STREQUAL "compiles")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the probe does not compile with these flags: ${flags}\n${output}")
  endif()
else()
  message(FATAL_ERROR "EXPECT must be no-qt, no-forms or compiles, not '${EXPECT}'")
endif()

# Checks the Windows download: the archive ZIP holds exactly zandreth.scr,
# zandreth.ini, README.txt, LICENSE.txt and LICENSE-Unicode.txt at its top
# level, byte for byte the built program SCR, the shipped catalogue INI, the
# install note NOTE, the program's licence LICENSE and the licence of the
# catalogue's names UNICODE_LICENSE. WORK is a folder of the test's own to
# unpack into.
#   cmake -D ZIP=... -D SCR=... -D INI=... -D NOTE=... -D LICENSE=...
#         -D UNICODE_LICENSE=... -D WORK=... -P package_test.cmake
foreach(variable ZIP SCR INI NOTE LICENSE UNICODE_LICENSE WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
  get_filename_component(${variable} "${${variable}}" ABSOLUTE)
endforeach()
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "${ZIP} is missing")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${ZIP}"
    OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ZIP} cannot be read: ${result}")
endif()
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
set(expected "LICENSE-Unicode.txt;LICENSE.txt;README.txt;zandreth.ini;zandreth.scr")
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "${ZIP} holds [${entries}], not [${expected}]")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ZIP}"
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ZIP} cannot be unpacked: ${result}")
endif()
foreach(pair "zandreth.scr=${SCR}" "zandreth.ini=${INI}" "README.txt=${NOTE}" "LICENSE.txt=${LICENSE}"
             "LICENSE-Unicode.txt=${UNICODE_LICENSE}")
  string(FIND "${pair}" "=" at)
  string(SUBSTRING "${pair}" 0 ${at} entry)
  math(EXPR at "${at} + 1")
  string(SUBSTRING "${pair}" ${at} -1 original)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${entry}" "${original}"
      RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${entry} in ${ZIP} differs from ${original}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
message(STATUS "${ZIP}: ${entries}, each the same as its original")

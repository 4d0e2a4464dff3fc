# Looks for what tests do through the window system (the backend's pressKey,
# typeKeys and grabPixels, the platform's pressKeyForTesting, typeForTesting
# and pixelsForTesting) among the symbols that FILE, a program or a library,
# defines, and checks the outcome EXPECT:
#   absent   none of them is there (the program and its libraries)
#   present  every one is there (the tests' drivers), so that the check
#            cannot pass for names that match nothing
# cmake -DNM=... -DFILE=... -DEXPECT=... -P drivers_probe.cmake
set(drivers
    "platform::backend::pressKey("
    "platform::backend::typeKeys("
    "platform::backend::grabPixels("
    "platform::pressKeyForTesting("
    "platform::typeForTesting("
    "platform::pixelsForTesting(")
execute_process(COMMAND "${NM}" -C --defined-only "${FILE}"
                RESULT_VARIABLE status OUTPUT_VARIABLE symbols ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${FILE}:\n${errors}")
endif()
foreach(driver IN LISTS drivers)
  string(FIND "${symbols}" "${driver}" at)
  if(EXPECT STREQUAL "absent" AND NOT at EQUAL -1)
    message(FATAL_ERROR "${FILE} holds ${driver}), which only tests may use")
  elseif(EXPECT STREQUAL "present" AND at EQUAL -1)
    message(FATAL_ERROR "${FILE} does not hold ${driver})")
  endif()
endforeach()

# Builds the .deb with the build's CPack configuration CONFIG into WORK, and
# checks it as a Debian reviewer would: lintian reports no error and no
# warning (its report is printed either way), the package carries its
# copyright, changelog, manual page and AppStream entry, and it has no
# maintainer scripts, so removing or purging it leaves each user's
# ~/.config/zandreth alone.
#   cmake -D CPACK=... -D CONFIG=... -D WORK=... -P lintian_test.cmake
foreach(variable CPACK CONFIG WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
find_program(LINTIAN lintian)
find_program(DPKG_DEB dpkg-deb)
if(NOT LINTIAN OR NOT DPKG_DEB)
  message(FATAL_ERROR "lintian and dpkg-deb are needed: run scripts/install-deps.sh")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${CONFIG}" -B "${WORK}"
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
file(GLOB package "${WORK}/*.deb")
if(failed OR NOT package)
  message(FATAL_ERROR "cpack made no package:\n${log}")
endif()

# Every tag is shown, the overridden ones (O:, each after its reason) too;
# an error (E:) or a warning (W:) fails the test.
execute_process(COMMAND "${LINTIAN}" --fail-on none --display-info --show-overrides --tag-display-limit 0 "${package}"
    RESULT_VARIABLE failed OUTPUT_VARIABLE report ERROR_VARIABLE report)
message(STATUS "lintian ${package}:\n${report}")
if(failed)
  message(FATAL_ERROR "lintian could not check ${package}")
endif()
if(report MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian finds errors or warnings in ${package}")
endif()

execute_process(COMMAND "${DPKG_DEB}" --contents "${package}" OUTPUT_VARIABLE contents RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dpkg-deb cannot list ${package}")
endif()
foreach(file ./usr/share/doc/zandreth/copyright ./usr/share/doc/zandreth/changelog.Debian.gz
             ./usr/share/man/man1/zandreth.1.gz ./usr/share/metainfo/org.zandreth.Zandreth.metainfo.xml)
  string(FIND "${contents}" " ${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${package} has no ${file}:\n${contents}")
  endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" --ctrl-tarfile "${package}" OUTPUT_FILE "${WORK}/control.tar")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${WORK}/control.tar" OUTPUT_VARIABLE control)
string(REGEX MATCHALL "(preinst|postinst|prerm|postrm)" scripts "${control}")
if(scripts)
  message(FATAL_ERROR "${package} has maintainer scripts (${scripts}): removing it must leave the users' settings alone")
endif()
file(REMOVE_RECURSE "${WORK}")

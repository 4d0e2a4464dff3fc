# The layers of the program are a fact of the build, not a convention: each
# library shows its users only the headers of its own folder, through a folder
# of links in the build tree, so a source can include "data/x.h" only when its
# target links the library that owns data/.
include_guard(GLOBAL)

# zandreth_folder_headers(<target> <PUBLIC|PRIVATE> <folder> [HEADERS <name>...])
# Makes the headers directly in <folder> (a folder of the source tree, such
# as data or platform/forms/qt) includable as "<folder>/name.h" by <target> alone
# (PRIVATE) or by <target> and every target that links it (PUBLIC). With
# HEADERS, only the headers of those names are shown, so a library can offer
# part of a folder (the settings-file services of platform/, say) and keep
# the rest to itself.
function(zandreth_folder_headers target scope folder)
  cmake_parse_arguments(ARG "" "" "HEADERS" ${ARGN})
  get_filename_component(root "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
  set(links "${CMAKE_BINARY_DIR}/include/${target}-${scope}")
  # The first call for a target in a configure run starts its folder of
  # links afresh, so that a folder it no longer shows is gone from it.
  get_property(started GLOBAL PROPERTY zandreth_folder_links)
  if(NOT links IN_LIST started)
    file(REMOVE_RECURSE "${links}")
    set_property(GLOBAL APPEND PROPERTY zandreth_folder_links "${links}")
  endif()
  file(REMOVE_RECURSE "${links}/${folder}")
  file(MAKE_DIRECTORY "${links}/${folder}")
  if(ARG_HEADERS)
    set(headers "")
    foreach(name IN LISTS ARG_HEADERS)
      if(NOT EXISTS "${root}/${folder}/${name}")
        message(FATAL_ERROR "${target} offers ${folder}/${name}, which does not exist")
      endif()
      list(APPEND headers "${root}/${folder}/${name}")
    endforeach()
  else()
    file(GLOB headers CONFIGURE_DEPENDS "${root}/${folder}/*.h")
  endif()
  foreach(header IN LISTS headers)
    get_filename_component(name "${header}" NAME)
    file(CREATE_LINK "${header}" "${links}/${folder}/${name}" SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} "${links}")
endfunction()

# What each library lets its users include. quillet_headers(<target> PUBLIC <header>...) makes the
# listed headers of the current folder includable as "<folder>/<header>" (the folder's path in the
# tree, as "platform/ui_qt_x11") by everything that links
# <target>, and nothing else of the folder: a user that includes a header without linking its
# library, or reaches for a library's detail/ headers, does not compile. The target's own sources
# see their whole folder, detail/ included. Tests, benchmarks and tools of the tree's own
# internals add the source root themselves.
function(quillet_headers target)
  cmake_parse_arguments(ARG "" "" "PUBLIC" ${ARGN})
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  set(public_root "${PROJECT_BINARY_DIR}/include/${target}")
  # Made afresh at every configure, so that a header taken off the list is gone.
  file(REMOVE_RECURSE "${public_root}")
  file(MAKE_DIRECTORY "${public_root}/${folder}")
  foreach(header IN LISTS ARG_PUBLIC)
    if(NOT EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${header}")
      message(FATAL_ERROR "${target}: no header ${folder}/${header}")
    endif()
    set_property(GLOBAL APPEND PROPERTY QUILLET_PUBLIC_HEADERS "${folder}/${header}")
    get_filename_component(header_dir "${public_root}/${folder}/${header}" DIRECTORY)
    file(MAKE_DIRECTORY "${header_dir}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}/${header}" "${public_root}/${folder}/${header}" SYMBOLIC)
  endforeach()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${public_root}")
  else()
    target_include_directories(${target} PUBLIC "${public_root}")
    quillet_own_folder(${target})
  endif()
endfunction()

# quillet_own_folder(<target>): the target's sources see the whole current folder, as
# "<folder>/...". Libraries get it from quillet_headers; executables of a folder call it.
function(quillet_own_folder target)
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(REPLACE "/" "_" key "${folder}")
  set(own_root "${PROJECT_BINARY_DIR}/include/folders/${key}")
  if(NOT EXISTS "${own_root}/${folder}")
    get_filename_component(parent "${own_root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${own_root}/${folder}" SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE "${own_root}")
endfunction()

# quillet_check_headers(<folder>...): every header of the folders is either exported by one of
# their libraries or kept in detail/, so that a header's place says who may include it.
function(quillet_check_headers)
  get_property(exported GLOBAL PROPERTY QUILLET_PUBLIC_HEADERS)
  foreach(folder IN LISTS ARGN)
    file(GLOB headers RELATIVE "${PROJECT_SOURCE_DIR}" CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    foreach(header IN LISTS headers)
      if(NOT header IN_LIST exported)
        message(FATAL_ERROR "${header} is neither exported by a library of ${folder}/ nor in ${folder}/detail/")
      endif()
    endforeach()
  endforeach()
endfunction()

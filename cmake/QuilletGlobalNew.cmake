# The Windows programs' own operator new (platform/os_win32/global_new.cpp), whose small blocks
# are far cheaper than the system heap's.
#
# quillet_link_global_new(<folder>): links it into every executable defined in <folder> and the
# folders below, except those whose property QUILLET_OWN_ALLOCATOR is true: tests that replace
# operator new themselves to count allocations (a program has one).
function(quillet_link_global_new folder)
  get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(own_allocator ${target} QUILLET_OWN_ALLOCATOR)
    if(type STREQUAL "EXECUTABLE" AND NOT own_allocator)
      target_link_libraries(${target} PRIVATE quillet_small_blocks)
    endif()
  endforeach()
  get_property(subfolders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    quillet_link_global_new("${subfolder}")
  endforeach()
endfunction()

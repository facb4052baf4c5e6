# The house's layers, checked when the build is configured.
#
# Folders from the bottom up; a file may include project headers only from its own layer and the
# layers below. Platform service interfaces (the headers at the top of platform/) sit just above
# the engine so that the settings and the shell can name them; their implementations and the two
# user-interface backends sit above the shell they serve.
set(QUILLET_LAYERS
  "raster"
  "platform"
  "platform/os_posix platform/os_win32"
  "config"
  "demo"
  "shell"
  "platform/ui_qt_x11 platform/ui_win32"
)

# Folders whose code must build without a toolkit or an operating system's own headers: the engine,
# the demo, the settings and dialog behaviour, the shell's logic and the service interfaces.
set(QUILLET_TOOLKIT_FREE raster demo config shell platform)
# Headers that belong to a toolkit or to one operating system.
set(QUILLET_SYSTEM_HEADERS
  "<Q[A-Za-z]*>" "<Qt[A-Za-z]*/" "<X11/" "<xcb/" "<windows\\.h>" "<winuser\\.h>" "<unistd\\.h>"
  "<sys/" "<fcntl\\.h>" "<pthread\\.h>" "<signal\\.h>" "<dirent\\.h>" "<poll\\.h>" "<pwd\\.h>" "<dlfcn\\.h>"
  "<spawn\\.h>" "<termios\\.h>")

# The layer index of a project path such as "platform/os_posix/instance_lock.cpp" (detail/ folders
# belong to the folder that holds them); -1 outside the layered folders (tests, tools, benchmarks
# and fuzzers may include anything).
function(quillet_layer_of path out)
  get_filename_component(folder "${path}" DIRECTORY)
  string(REGEX REPLACE "/detail(/.*)?$" "" folder "${folder}")
  set(index 0)
  foreach(layer IN LISTS QUILLET_LAYERS)
    string(REPLACE " " ";" folders "${layer}")
    if(folder IN_LIST folders)
      set(${out} ${index} PARENT_SCOPE)
      return()
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  set(${out} -1 PARENT_SCOPE)
endfunction()

# quillet_check_layers(<root>): fails with the list of every include that breaks a rule above.
function(quillet_check_layers root)
  set(problems "")
  set(globs "")
  foreach(top raster demo config shell platform)
    list(APPEND globs "${root}/${top}/*.h" "${root}/${top}/*.cpp")
  endforeach()
  file(GLOB_RECURSE sources RELATIVE "${root}" ${globs})
  foreach(source IN LISTS sources)
    quillet_layer_of("${source}" own)
    if(own EQUAL -1)
      continue()
    endif()
    get_filename_component(folder "${source}" DIRECTORY)
    string(REGEX REPLACE "/detail(/.*)?$" "" folder "${folder}")
    set(toolkit_free FALSE)
    if(folder IN_LIST QUILLET_TOOLKIT_FREE)
      set(toolkit_free TRUE)
    endif()
    file(STRINGS "${root}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "[<\"][^>\"]+[>\"]" header "${line}")
      if(header MATCHES "^\"")
        string(REGEX REPLACE "^\"|\"$" "" included "${header}")
        quillet_layer_of("${included}" theirs)
        if(theirs GREATER own)
          list(APPEND problems "${source} includes ${included} from a layer above its own")
        endif()
      elseif(toolkit_free)
        foreach(pattern IN LISTS QUILLET_SYSTEM_HEADERS)
          if(header MATCHES "^${pattern}")
            list(APPEND problems "${source} includes ${header}, but its folder builds without a toolkit or system headers")
          endif()
        endforeach()
      endif()
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Layering:\n  ${text}")
  endif()
endfunction()

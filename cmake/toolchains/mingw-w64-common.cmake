# Shared part of the MinGW-w64 cross toolchains. The including file sets QUILLET_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR first.
#
# The posix-threads flavour of GCC, because std::thread and std::mutex need it; the C and C++
# runtimes (and winpthread) are linked statically, so every program is one file. Test programs run
# through Wine, in one 64-bit prefix that both targets share: QUILLET_WINEPREFIX (default: a
# "wine-prefix" folder beside the build folder).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 10)

set(CMAKE_C_COMPILER ${QUILLET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Windows 7 and later: the wide file calls and ReplaceFileW are all there.
# M_PI and friends, which glibc always declares.
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -D_USE_MATH_DEFINES")

if(NOT DEFINED QUILLET_WINEPREFIX)
  get_filename_component(QUILLET_WINEPREFIX "${CMAKE_BINARY_DIR}/../wine-prefix" ABSOLUTE)
endif()
set(QUILLET_WINEPREFIX "${QUILLET_WINEPREFIX}" CACHE PATH "The Wine prefix that runs the test programs")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../../tools/wine-run.sh;${QUILLET_WINEPREFIX}")

# Cross build for 32-bit Windows (i686) with MinGW-w64 GCC. See mingw-w64-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILLET_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Cross build for 64-bit Windows (x86-64) with MinGW-w64 GCC. See mingw-w64-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLET_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

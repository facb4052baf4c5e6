# 32-bit x86 Linux on a 64-bit Debian host (g++-multilib, zlib1g-dev:i386, libpng-dev:i386). Only
# a yardstick: its quillet_rates tells what the 32-bit instruction set costs apart from Windows
# (tools/compare-rates.sh compares the 32-bit Windows build with it).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# Warnings and floating-point discipline for every target.
#
# Pixels depend on exact floating-point rounding: the compiler must never fuse a multiply and an
# add, nor reorder operations, whatever SIMD flags a file is built with.
add_compile_options(
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
  -ffp-contract=off -fno-fast-math -fno-associative-math -fno-reciprocal-math
)

if(QUILLET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(QUILLET_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUILLET_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  # Coverage feedback for the fuzzer in every library, and the sanitizers that turn a quiet fault
  # into a report; the fuzz targets link the fuzzer's own main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

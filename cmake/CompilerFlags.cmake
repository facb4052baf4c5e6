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

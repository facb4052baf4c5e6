// Entry of the test programs that draw: the raster engine starts as in the program, honouring
// QUILLET_SIMD, and then the tests run.
#include <gtest/gtest.h>

#include "raster/engine_init.h"

int main(int argc, char** argv) {
  quillet::InitRasterEngine();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

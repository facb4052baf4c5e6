// Entry of the window tests: an application object on the offscreen platform unless the
// environment chooses another.
#include <QApplication>

#include <cstdlib>

#include <gtest/gtest.h>

#include "raster/engine_init.h"

int main(int argc, char** argv) {
  quillet::InitRasterEngine();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication App(argc, argv);
  return RUN_ALL_TESTS();
}

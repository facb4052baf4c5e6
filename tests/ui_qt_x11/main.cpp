// Test entry: the widget tests need an application object, on the offscreen platform unless
// the environment chooses another. The embedding test starts this program again as its child.
#include <QApplication>

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "raster/engine_init.h"
#include "x11_embedding_child.h"

int main(int argc, char** argv) {
  quillet::InitRasterEngine();
  for (int I = 1; I < argc; ++I)
    if (std::strcmp(argv[I], quillet::EmbeddingChildFlag) == 0)
      return quillet::RunEmbeddingChild(argc, argv, I);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication App(argc, argv);
  return RUN_ALL_TESTS();
}

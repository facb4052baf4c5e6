// Keeps a surface's batch open for a scope, closing it on every way out.
#pragma once

#include "raster/bitmap32.h"

namespace quillet {

class TBatchScope {
 public:
  explicit TBatchScope(TBitmap32& Bitmap) : FBitmap(Bitmap) { FBitmap.BeginBatch(); }
  ~TBatchScope() { FBitmap.EndBatch(); }
  TBatchScope(const TBatchScope&) = delete;
  TBatchScope& operator=(const TBatchScope&) = delete;

 private:
  TBitmap32& FBitmap;
};

}  // namespace quillet

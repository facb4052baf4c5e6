// Change notification, the re-entrant lock, and the resize protocol of a sized map.
#include "raster/notifiable.h"

#include <algorithm>

namespace quillet {

void TNotifiablePersistent::NotifyChanged() {
  if (UpdateCount == 0 && OnChange) OnChange(this);
}

void TThreadPersistent::AcquireLock() {
  ++LockCount;
  Lock.lock();
}

void TThreadPersistent::ReleaseLock() {
  Lock.unlock();
  --LockCount;
}

bool TCustomMap::SetDimensions(int32_t NewW, int32_t NewH) {
  NewW = std::max(NewW, 0);
  NewH = std::max(NewH, 0);
  if (NewW == FWidth && NewH == FHeight) return false;
  ResizeStorage(FWidth, FHeight, NewW, NewH);
  NotifyChanged();
  NotifyResized();
  return true;
}

void TCustomMap::NotifyResized() {
  if (OnResize) OnResize(this);
}

void TCustomMap::ResizeStorage(int32_t& W, int32_t& H, int32_t NewW, int32_t NewH) {
  W = NewW;
  H = NewH;
}

}  // namespace quillet

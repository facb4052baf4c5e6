// Base classes of the surface and the polygon: change notification with batches, a re-entrant
// lock, and a sized map with its resize protocol. Each class adds one concern.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

namespace quillet {

class TNotifiablePersistent;
using TNotifyEvent = std::function<void(TNotifiablePersistent* Sender)>;

class TNotifiablePersistent {
 public:
  virtual ~TNotifiablePersistent() = default;

  // Fires OnChange when no batch is open.
  virtual void NotifyChanged();
  virtual void BeginBatch() { ++UpdateCount; }
  // Closing a batch fires nothing by itself.
  virtual void EndBatch() { --UpdateCount; }

  int32_t GetUpdateCount() const { return UpdateCount; }

  TNotifyEvent OnChange;

 protected:
  int32_t UpdateCount = 0;
};

class TThreadPersistent : public TNotifiablePersistent {
 public:
  void AcquireLock();
  void ReleaseLock();
  int32_t GetLockCount() const { return LockCount.load(); }

 private:
  std::recursive_mutex Lock;
  std::atomic<int32_t> LockCount{0};
};

class TCustomMap : public TThreadPersistent {
 public:
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

  // Negative sizes count as 0. Returns false, doing nothing, when the size is unchanged;
  // otherwise resizes the storage, then fires NotifyChanged and NotifyResized.
  virtual bool SetDimensions(int32_t NewW, int32_t NewH);
  virtual void ReleaseStorage() { SetDimensions(0, 0); }
  virtual bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }
  virtual void NotifyResized();

  TNotifyEvent OnResize;

 protected:
  // Replaces the storage; sets W and H to the new size.
  virtual void ResizeStorage(int32_t& W, int32_t& H, int32_t NewW, int32_t NewH);

  int32_t FHeight = 0;
  int32_t FWidth = 0;
};

}  // namespace quillet

// The instance mutex over the platform's named lock.
#include "shell/instance_mutex.h"

#include "platform/instance_lock.h"

namespace quillet {

namespace {

InstanceLock& InstanceMutex() {
  static InstanceLock Lock;
  return Lock;
}

}  // namespace

bool CreateInstanceMutex(std::string_view Name) {
  return InstanceMutex().Acquire(Name) == InstanceLock::Result::AlreadyHeld;
}

void CloseInstanceMutex() { InstanceMutex().Release(); }

}  // namespace quillet

// Entry of the Windows platform tests. With "--instance-lock-taken NAME" it is instead the second
// process of the instance lock tests: exit code 1 when NAME is held elsewhere, 0 when it could
// take it, 2 when the lock failed. With "--sleep MS" it is a process that runs for MS ms.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/instance_lock.h"
#include "platform/program_arguments.h"
#include "raster/engine_init.h"

int main(int argc, char** argv) {
  const std::vector<std::string> Arguments = quillet::ProgramArguments(argc, argv);
  if (Arguments.size() == 2 && Arguments[0] == "--instance-lock-taken") {
    quillet::InstanceLock Lock;
    switch (Lock.Acquire(Arguments[1])) {
      case quillet::InstanceLock::Result::AlreadyHeld: return 1;
      case quillet::InstanceLock::Result::Acquired: return 0;
      case quillet::InstanceLock::Result::Failed: return 2;
    }
  }
  if (Arguments.size() == 2 && Arguments[0] == "--sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(Arguments[1])));
    return 0;
  }
  quillet::InitRasterEngine();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

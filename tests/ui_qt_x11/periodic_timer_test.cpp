// The screen window's periodic timer: it ticks while started, never after a stop, and a restart
// begins a new period rather than firing one left over from before.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/ui_qt_x11/periodic_timer.h"

namespace quillet {
namespace {

// Runs the event loop until Done or the time is up.
template <typename Predicate>
void RunEvents(int Milliseconds, Predicate Done) {
  QElapsedTimer Clock;
  Clock.start();
  while (!Done() && Clock.elapsed() < Milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(PeriodicTimer, TicksOnlyWhileStarted) {
  int Ticks = 0;
  TPeriodicTimer Timer([&] { ++Ticks; });
  Timer.SetInterval(1);
  EXPECT_FALSE(Timer.IsActive());

  Timer.Start();
  EXPECT_TRUE(Timer.IsActive());
  RunEvents(5000, [&] { return Ticks >= 20; });
  EXPECT_GE(Ticks, 20);

  // Periods that expired before the stop were never handled: they must not tick now.
  QElapsedTimer Busy;
  Busy.start();
  while (Busy.elapsed() < 5) {
  }
  Timer.Stop();
  EXPECT_FALSE(Timer.IsActive());
  const int Stopped = Ticks;
  RunEvents(30, [] { return false; });
  EXPECT_EQ(Ticks, Stopped);

  Timer.Start();
  RunEvents(5000, [&] { return Ticks > Stopped; });
  EXPECT_GT(Ticks, Stopped);
}

TEST(PeriodicTimer, StopFromItsOwnTickEndsIt) {
  int Ticks = 0;
  TPeriodicTimer* Self = nullptr;
  TPeriodicTimer Timer([&] {
    ++Ticks;
    Self->Stop();
  });
  Self = &Timer;
  Timer.Start();
  RunEvents(5000, [&] { return Ticks > 0; });
  RunEvents(30, [] { return false; });
  EXPECT_EQ(Ticks, 1);
  EXPECT_FALSE(Timer.IsActive());
}

}  // namespace
}  // namespace quillet

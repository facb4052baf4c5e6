// The shell's event loop on Win32: the thread's message loop, which also waits on the timers. A
// periodic timer is a high-resolution waitable timer (1 ms periods on a fixed grid; a plain one
// at the raised system timer resolution where the system has none) that the loop waits on with
// the messages, so its ticks run on this thread between messages and never inside a handler. The
// message timer (SetTimer) cannot go below 10 ms and follows the 15.6 ms system tick.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui_win32/win32_handles.h"
#include "shell/event_loop.h"

namespace quillet {

class TWin32EventLoop : public IEventLoop {
 public:
  // Sees every message taken from the queue before it is dispatched; true when it has handled
  // the message itself (a dialog's keys), which is then not dispatched.
  using TMessageHook = std::function<bool(win32::Message& Msg)>;

  TWin32EventLoop();
  ~TWin32EventLoop() override;
  TWin32EventLoop(const TWin32EventLoop&) = delete;
  TWin32EventLoop& operator=(const TWin32EventLoop&) = delete;

  int64_t NowNanoseconds() const override;
  std::unique_ptr<ITimer> CreatePeriodicTimer(std::function<void()> OnTick) override;
  std::unique_ptr<ITimer> CreateOneShotTimer(std::function<void()> OnFire) override;

  void SetMessageHook(TMessageHook Hook) { FHook = std::move(Hook); }

  // Runs messages and timers until Quit; returns at once when Quit came first. Returns Quit's code.
  int Run();
  // Ends Run, and a message box's or a dialog's own loop that runs inside it.
  void Quit(int ExitCode);
  bool Running() const { return FRunning; }
  // Runs what is due and the queued messages, waiting at most MaxWaitMs for the first of them.
  void RunOnce(uint32_t MaxWaitMs);

  // Periodic timers that could have the high resolution (all of them where the system has it).
  int HighResolutionTimers() const { return FHighResolution; }

 private:
  class TPeriodic;
  class TOneShot;

  void FireDueOneShots();
  uint32_t MillisecondsToNextOneShot() const;
  // False once WM_QUIT came.
  bool PumpMessages();

  int64_t FFrequency = 1;
  std::vector<TPeriodic*> FPeriodic;
  std::vector<TOneShot*> FOneShots;
  int FHighResolution = 0;
  TMessageHook FHook;
  bool FRunning = false;
  bool FQuit = false;
  bool FPostedQuit = false;
  int FExitCode = 0;
};

}  // namespace quillet

// The message loop and its timers: periodic ones are waitable timers the loop waits on beside the
// message queue, one-shot ones are deadlines that bound the wait.
#include "platform/ui_win32/win32_event_loop.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace quillet {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

constexpr int64_t NanosecondsPerMillisecond = 1000000;

}  // namespace

class TWin32EventLoop::TPeriodic : public ITimer {
 public:
  TPeriodic(TWin32EventLoop& Loop, std::function<void()> OnTick) : FLoop(Loop), FOnTick(std::move(OnTick)) {
    // Windows 10 1803 and later; before, a plain timer follows the raised system timer resolution.
    FHandle = ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (FHandle)
      ++FLoop.FHighResolution;
    else
      FHandle = ::CreateWaitableTimerW(nullptr, FALSE, nullptr);
    FLoop.FPeriodic.push_back(this);
  }
  ~TPeriodic() override {
    std::erase(FLoop.FPeriodic, this);
    if (FHandle) ::CloseHandle(FHandle);
  }
  TPeriodic(const TPeriodic&) = delete;
  TPeriodic& operator=(const TPeriodic&) = delete;

  void Start(int32_t Milliseconds) override {
    if (!FHandle) return;
    Milliseconds = std::max<int32_t>(Milliseconds, 1);
    ::CancelWaitableTimer(FHandle);
    // A period that expired before is not one of this start's.
    ::WaitForSingleObject(FHandle, 0);
    LARGE_INTEGER Due;
    Due.QuadPart = -int64_t{Milliseconds} * 10000;  // relative, in 100 ns
    FActive = ::SetWaitableTimer(FHandle, &Due, Milliseconds, nullptr, nullptr, FALSE) != 0;
  }
  void Stop() override {
    if (FActive) ::CancelWaitableTimer(FHandle);
    FActive = false;
  }
  bool IsActive() const override { return FActive; }

  HANDLE Handle() const { return FHandle; }
  // The wait has taken the timer's signal: every period missed since is dropped with it.
  void Fire() {
    if (FActive) FOnTick();
  }

 private:
  TWin32EventLoop& FLoop;
  std::function<void()> FOnTick;
  HANDLE FHandle = nullptr;
  bool FActive = false;
};

class TWin32EventLoop::TOneShot : public ITimer {
 public:
  TOneShot(TWin32EventLoop& Loop, std::function<void()> OnFire) : FLoop(Loop), FOnFire(std::move(OnFire)) {
    static uint64_t LastSerial = 0;
    FSerial = ++LastSerial;
    FLoop.FOneShots.push_back(this);
  }
  ~TOneShot() override { std::erase(FLoop.FOneShots, this); }
  TOneShot(const TOneShot&) = delete;
  TOneShot& operator=(const TOneShot&) = delete;

  void Start(int32_t Milliseconds) override {
    FDue = FLoop.NowNanoseconds() + std::max<int64_t>(Milliseconds, 0) * NanosecondsPerMillisecond;
    FActive = true;
  }
  void Stop() override { FActive = false; }
  bool IsActive() const override { return FActive; }

  uint64_t Serial() const { return FSerial; }
  int64_t Due() const { return FDue; }
  void Fire() {
    FActive = false;
    FOnFire();
  }

 private:
  TWin32EventLoop& FLoop;
  std::function<void()> FOnFire;
  uint64_t FSerial = 0;
  int64_t FDue = 0;
  bool FActive = false;
};

TWin32EventLoop::TWin32EventLoop() {
  LARGE_INTEGER Frequency;
  if (::QueryPerformanceFrequency(&Frequency) && Frequency.QuadPart > 0) FFrequency = Frequency.QuadPart;
}

TWin32EventLoop::~TWin32EventLoop() = default;

int64_t TWin32EventLoop::NowNanoseconds() const {
  LARGE_INTEGER Count;
  ::QueryPerformanceCounter(&Count);
  const int64_t C = Count.QuadPart;
  return C / FFrequency * 1000000000 + C % FFrequency * 1000000000 / FFrequency;
}

std::unique_ptr<ITimer> TWin32EventLoop::CreatePeriodicTimer(std::function<void()> OnTick) {
  return std::make_unique<TPeriodic>(*this, std::move(OnTick));
}

std::unique_ptr<ITimer> TWin32EventLoop::CreateOneShotTimer(std::function<void()> OnFire) {
  return std::make_unique<TOneShot>(*this, std::move(OnFire));
}

uint32_t TWin32EventLoop::MillisecondsToNextOneShot() const {
  int64_t Next = std::numeric_limits<int64_t>::max();
  for (const TOneShot* T : FOneShots)
    if (T->IsActive()) Next = std::min(Next, T->Due());
  if (Next == std::numeric_limits<int64_t>::max()) return INFINITE;
  const int64_t Left = Next - NowNanoseconds();
  if (Left <= 0) return 0;
  return static_cast<uint32_t>(std::min<int64_t>((Left + NanosecondsPerMillisecond - 1) / NanosecondsPerMillisecond,
                                                 0x7FFFFFFF));
}

void TWin32EventLoop::FireDueOneShots() {
  const int64_t Now = NowNanoseconds();
  // A handler may start, stop, make or destroy timers: each due one is looked up again by its
  // serial before it fires, and one started anew from a handler waits for the next round.
  std::vector<uint64_t> Due;
  for (const TOneShot* T : FOneShots)
    if (T->IsActive() && T->Due() <= Now) Due.push_back(T->Serial());
  for (const uint64_t Serial : Due) {
    const auto It = std::find_if(FOneShots.begin(), FOneShots.end(), [Serial](const TOneShot* T) { return T->Serial() == Serial; });
    if (It != FOneShots.end() && (*It)->IsActive() && (*It)->Due() <= Now) (*It)->Fire();
  }
}

bool TWin32EventLoop::PumpMessages() {
  MSG Msg;
  while (!FQuit && ::PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    if (Msg.message == WM_QUIT) {
      FQuit = true;
      FExitCode = static_cast<int>(Msg.wParam);
      return false;
    }
    if (FHook && FHook(Msg)) continue;
    ::TranslateMessage(&Msg);
    ::DispatchMessageW(&Msg);
  }
  return !FQuit;
}

void TWin32EventLoop::RunOnce(uint32_t MaxWaitMs) {
  HANDLE Handles[MAXIMUM_WAIT_OBJECTS - 1];
  TPeriodic* Owners[MAXIMUM_WAIT_OBJECTS - 1];
  DWORD Count = 0;
  for (TPeriodic* T : FPeriodic)
    if (T->IsActive() && Count < MAXIMUM_WAIT_OBJECTS - 1) {
      Handles[Count] = T->Handle();
      Owners[Count++] = T;
    }
  const DWORD Wait = std::min<DWORD>(MaxWaitMs, MillisecondsToNextOneShot());
  const DWORD Result = ::MsgWaitForMultipleObjectsEx(Count, Handles, Wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  // The lowest signalled timer fires; the others stay signalled for the next round. Messages are
  // taken after every tick, so a slow tick never starves input.
  if (Result < WAIT_OBJECT_0 + Count)
    Owners[Result - WAIT_OBJECT_0]->Fire();
  else if (Result == WAIT_FAILED)
    ::Sleep(1);
  FireDueOneShots();
  PumpMessages();
}

int TWin32EventLoop::Run() {
  FRunning = true;
  while (!FQuit) RunOnce(INFINITE);
  FRunning = false;
  // The quit message posted for a nested loop must not end whatever runs on this thread later
  // (a message box, another loop) at once.
  if (FPostedQuit) {
    MSG Msg;
    ::PeekMessageW(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    FPostedQuit = false;
  }
  return FExitCode;
}

void TWin32EventLoop::Quit(int ExitCode) {
  if (FQuit) return;
  FQuit = true;
  FExitCode = ExitCode;
  // A message box or a menu that runs its own loop inside ours ends with it.
  if (FRunning) {
    ::PostQuitMessage(ExitCode);
    FPostedQuit = true;
  }
}

}  // namespace quillet

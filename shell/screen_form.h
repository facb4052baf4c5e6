// tScreenForm: the behaviour of the window the demo draws in, without a toolkit. Full screen as the
// saver, embedded in a host window as a preview, or a sizeable test window. Its 1 ms timer runs
// the frame tick while the window is visible; keys, clicks and pointer movement close it as a
// screen saver is expected to. A toolkit's window (IScreenWindow) shows it and reports its events
// here. A surface that cannot be had leaves the surface empty and goes to OnSurfaceError.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "config/screen_control.h"
#include "demo/frame_tick.h"
#include "demo/rate_overlay.h"
#include "raster/color.h"
#include "shell/event_loop.h"
#include "shell/frame_damage.h"
#include "shell/frame_presenter.h"
#include "shell/input_rules.h"
#include "shell/screen_window.h"

namespace quillet {

class DemoSettings;

// The platform's cursor display counter: +1 for true, -1 for false; returns the new count.
using TShowCursor = std::function<int32_t(bool Show)>;

// Keep the platform's cursor display counter at most one step away from where it started.
void ShowMouseCursor();
void HideMouseCursor();
// The last value the platform's counter returned.
int32_t CursorCounter();
// The counter ShowMouseCursor and HideMouseCursor move; set once by the toolkit's backend.
void SetCursorCounter(TShowCursor Counter);

class tScreenForm : public IScreenControl {
 public:
  static const char DesignedCaption[];
  static constexpr TRect DesignedBounds{242, 371, 242 + 603, 371 + 387};
  static constexpr int32_t DesignedSurfaceSide = 48;
  // The elapsed time after a wipe is yellow (text colours are 0x00BBGGRR).
  static constexpr int32_t ElapsedTimeTextColor = 0x0000FFFF;

  explicit tScreenForm(IEventLoop& Loop);
  ~tScreenForm() override;
  tScreenForm(const tScreenForm&) = delete;
  tScreenForm& operator=(const tScreenForm&) = delete;

  // The toolkit's window, made for this form; FormCreate runs here.
  void AttachWindow(IScreenWindow& Window);
  IScreenWindow& Window() { return *FWindow; }

  // The live settings every tick reads; without them the timer does nothing.
  void SetSettings(const DemoSettings* Settings) { FSettings = Settings; }

  // IScreenControl.
  bool Paused() const override { return FFrame.Paused; }
  void TogglePaused() override;
  void Restart(bool Windowed) override;
  void Clear() override;
  void Show() override;

  // A host owns the window: it places, sizes and ends it, and keeps input and the cursor to
  // itself. Call before the window is first shown.
  void SetHosted();
  bool Hosted() const { return FHosted; }
  // Ticks and frames per second over the bottom-left corner, or not.
  void ShowRates(bool Show);
  const TRateOverlay* Rates() const { return FRates.get(); }

  // Embeds the window in Parent and sizes it to Parent's outer rectangle; 0 does nothing.
  void SetParentWindow(uint32_t Parent);
  void ShowText(int32_t X, int32_t Y, TColor32 Color, std::string_view Text);

  TBitmap32& DrawSurface() { return FWindow->Surface(); }
  TFrameState& Frame() { return FFrame; }
  uint32_t PreviousParent() const { return FPreviousParent; }
  bool WindowedTest() const { return FWindowedTest; }
  TScreenPoint StartCursorPos() const { return FStartCursorPos; }
  bool TimerActive() const { return FTimer->IsActive(); }
  // Ticks that drew since creation.
  uint64_t TicksDrawn() const { return FTicksDrawn; }
  const TFramePresenter& Presenter() const { return *FPresenter; }
  const TFrameDamage& Damage() const { return FDamage; }

  // Runs one timer event.
  void timer1Timer();

  // What the window reports.
  void FormShow();
  void FormHide();
  void FormResize();
  void FormKeyDown(uint32_t VirtualKey);
  void FormKeyPress(char32_t Character);
  void HandleAppMessage(TAppMessage Message);
  // The window has closed (by Close, the toolkit, or its host going away).
  void FormClosed();

  // Called after the window has closed.
  std::function<void()> OnClosed;
  // A right click on any window of the program while this one is visible.
  std::function<void()> OnShowConfig;
  // The surface could not take the window's size (the error's text); it is empty until the next
  // size is asked for. Reported once for each size in a row that fails.
  std::function<void(std::string_view What)> OnSurfaceError;

 private:
  void FormCreate();
  void Act(const TInputActions& Actions);
  void SizeSurface(TPixelSize Size);

  IEventLoop& FLoop;
  IScreenWindow* FWindow = nullptr;
  std::unique_ptr<ITimer> FTimer;
  TFrameState FFrame;
  TFrameDamage FDamage;  // the surface's damage sink, which the presenter shows
  std::unique_ptr<TFramePresenter> FPresenter;
  std::unique_ptr<TRateOverlay> FRates;
  TPixelSize FFailedSize;  // the last size whose surface could not be had
  const DemoSettings* FSettings = nullptr;
  uint32_t FPreviousParent = 0;
  bool FWindowedTest = false;
  bool FHosted = false;
  bool FFiltering = false;
  TScreenPoint FStartCursorPos;
  uint64_t FTicksDrawn = 0;
};

}  // namespace quillet

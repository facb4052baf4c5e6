// tScreenForm: the window the demo draws in. Full screen as the saver, embedded in a host window
// as a preview, or a sizeable test window. Its 1 ms timer runs the frame tick while it is
// visible; keys, clicks and mouse movement close it as a screen saver is expected to. A surface
// that cannot be had leaves the surface empty and goes to OnSurfaceError.
#pragma once

#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "config/screen_control.h"
#include "demo/frame_tick.h"
#include "demo/rate_overlay.h"
#include "platform/periodic_timer.h"
#include "raster/color.h"
#include "shell/frame_presenter.h"
#include "shell/tick_repaint.h"

namespace quillet {

class DemoSettings;
class TImage32;

// Keep the platform's cursor display counter at most one step away from where it started.
void ShowMouseCursor();
void HideMouseCursor();
// The last value the platform's counter returned.
int32_t CursorCounter();

class tScreenForm : public QWidget, public IScreenControl {
 public:
  explicit tScreenForm(QWidget* Parent = nullptr);
  ~tScreenForm() override;

  static const char DesignedCaption[];
  static constexpr int DistanceTolerated = 10;

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

  TBitmap32& DrawSurface();
  TFrameState& Frame() { return FFrame; }
  uint32_t PreviousParent() const { return FPreviousParent; }
  bool WindowedTest() const { return FWindowedTest; }
  QPoint StartCursorPos() const { return FStartCursorPos; }
  bool TimerActive() const { return FTimer.IsActive(); }
  // Ticks that drew since creation.
  uint64_t TicksDrawn() const { return FTicksDrawn; }
  const TFramePresenter& Presenter() const { return *FPresenter; }

  // Runs one timer event.
  void timer1Timer();

  // Called after the window has closed.
  std::function<void()> OnClosed;
  // A right click on any window of the program while this one is visible.
  std::function<void()> OnShowConfig;
  // The failed-embedding notice; the default is a message box.
  std::function<void(std::string_view Text, std::string_view Caption)> ShowInfo;
  // The surface could not take the window's size (the error's text); it is empty until the next
  // size is asked for. Reported once for each size in a row that fails.
  std::function<void(std::string_view What)> OnSurfaceError;

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormHide();
  void FormResize();
  void FormKeyDown(int Key);
  void FormKeyPress(const QString& Text);
  void HandleAppMessage(QObject* Receiver, QEvent* Event);
  // The surface size for a widget size, in device pixels.
  QSize DeviceSize(QSize Logical) const;
  void SizeSurface(QSize Device);

  TImage32* FImage32 = nullptr;
  TPeriodicTimer FTimer{[this] { timer1Timer(); }};
  TFrameState FFrame;
  std::unique_ptr<TFramePresenter> FPresenter;
  std::unique_ptr<TRateOverlay> FRates;
  QSize FFailedSize;  // the last size whose surface could not be had
  TTickRepaintFilter FRepaint;
  const DemoSettings* FSettings = nullptr;
  uint32_t FPreviousParent = 0;
  bool FWindowedTest = false;
  bool FHosted = false;
  bool FFilterInstalled = false;
  QPoint FStartCursorPos;
  uint64_t FTicksDrawn = 0;
};

}  // namespace quillet

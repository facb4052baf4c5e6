// The screen window on Win32: one window of its own class that shows the surface from a DIB
// section and turns the system's messages into the screen window's plain events. Full screen it
// is a WS_POPUP over the virtual screen (every monitor); the windowed test is a sizeable
// overlapped window; a preview is a WS_CHILD of its host's window that follows the host's size
// and ends when the host goes away. It is owned by the program's hidden window, so it has no
// taskbar button of its own. Keys reach it as WM_KEYDOWN (the Pause key) and WM_CHAR; the
// application-wide filter (FilterMessage) is called by the message loop before dispatching.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ui_win32/dib_section_store.h"
#include "platform/ui_win32/surface_dump.h"
#include "platform/ui_win32/win32_event_loop.h"
#include "platform/ui_win32/win32_handles.h"
#include "shell/input_rules.h"
#include "shell/screen_form.h"
#include "shell/screen_window.h"

namespace quillet {

// The message the application-wide filter acts on (WM_RBUTTONDOWN, WM_LBUTTONDOWN,
// WM_MBUTTONDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_MOUSEMOVE); Other for every other message.
TAppMessage AppMessageOf(uint32_t Message);

class TWin32ScreenWindow : public IScreenWindow, private IFrameView {
 public:
  static constexpr int32_t HostCheckMs = 100;

  // Owner: the program's hidden window, or none. The loop gives the host checks their timer.
  TWin32ScreenWindow(tScreenForm& Form, win32::WindowHandle Owner, IEventLoop& Loop);
  ~TWin32ScreenWindow() override;
  TWin32ScreenWindow(const TWin32ScreenWindow&) = delete;
  TWin32ScreenWindow& operator=(const TWin32ScreenWindow&) = delete;

  // IScreenWindow.
  TBitmap32& Surface() override { return FSurface; }
  IFrameView& FrameView() override { return *this; }
  void SetCaption(std::string_view Caption) override;
  bool IsVisible() const override;
  void ShowAndActivate() override;
  void Close() override;
  void SetLook(TWindowLook Look) override;
  TPixelSize ClientSize() const override;
  TPixelSize OuterSize() const override;
  bool HasFocus() const override;
  TScreenPoint CursorPos() const override;
  void FilterAppMessages(bool On) override { FFiltering = On; }
  void LeaveInputToHost() override;
  std::optional<TRect> HostRect(uint32_t Host) override;
  uint32_t ReparentInto(uint32_t Host) override;
  void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) override;
  void FollowHostSize(uint32_t Host) override;
  void ShowInfo(std::string_view Text, std::string_view Caption) override;
  void SetOverlay(const TBitmap32* Overlay) override;
  void OverlayChanged() override;
  void DetachForm() override { FForm = nullptr; }

  // Called from the destructor: whoever keeps a pointer to the window lets go of it.
  std::function<void()> OnGone;

  // The application-wide filter: the message loop hands it every message before dispatching.
  void FilterMessage(const win32::Message& Msg);

  // The window; null once it has been destroyed (its host went away).
  win32::WindowHandle Handle() const { return FHwnd; }
  const TDibSectionStore& Store() const { return *FStore; }

  // The window procedure's work; Handled false leaves the message to the system's default.
  intptr_t Receive(uint32_t Message, uintptr_t WParam, intptr_t LParam, bool& Handled);

 private:
  // IFrameView.
  void PresentAreas(const std::vector<TRect>& Copy, const std::vector<TRect>& Black) override;
  double RefreshRate() const override;

  TRect OverlayArea() const;
  void PutOverlay(win32::DeviceContext Dc);
  void Paint();
  void CheckHost();
  void Destroyed();
  bool Embedded() const;

  tScreenForm* FForm;
  IEventLoop& FLoop;
  std::shared_ptr<TDibSectionStore> FStore;
  TBitmap32 FSurface;
  std::unique_ptr<TSurfaceDump> FDump;
  win32::WindowHandle FHwnd = nullptr;
  win32::WindowHandle FHost = nullptr;
  std::unique_ptr<ITimer> FHostCheck;
  const TBitmap32* FOverlay = nullptr;
  bool FCreating = true;
  bool FFiltering = false;
  bool FWindowed = false;
  bool FFollowHost = false;
  bool FShown = false;  // FormShow reported, FormHide not yet
  bool FDestroying = false;
  char16_t FHighSurrogate = 0;
};

// A screen window with its own event loop, for tools and tests that run one outside the program.
// The form goes before the window it reports to.
class TWin32StandaloneScreen {
 public:
  TWin32StandaloneScreen()
      : FForm(std::make_unique<tScreenForm>(FLoop)),
        FWindow(std::make_unique<TWin32ScreenWindow>(*FForm, nullptr, FLoop)) {
    FForm->AttachWindow(*FWindow);
  }
  ~TWin32StandaloneScreen() {
    FWindow->DetachForm();
    FForm.reset();
  }
  tScreenForm& Form() { return *FForm; }
  TWin32ScreenWindow& Window() { return *FWindow; }
  TWin32EventLoop& Loop() { return FLoop; }

 private:
  TWin32EventLoop FLoop;
  std::unique_ptr<tScreenForm> FForm;
  std::unique_ptr<TWin32ScreenWindow> FWindow;
};

}  // namespace quillet

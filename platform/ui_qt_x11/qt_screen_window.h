// The screen window on Qt and X11: a frameless top-level widget filled by the image view, which
// turns Qt's events into the screen window's plain events and carries out its requests: looks,
// embedding into a host window, the hosted placements, the overlay.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

#include "platform/ui_qt_x11/qt_event_loop.h"
#include "shell/screen_form.h"
#include "shell/screen_window.h"

namespace quillet {

class TImage32;
struct THostSize;

class TQtScreenWindow : public QWidget, public IScreenWindow, private IFrameView {
 public:
  explicit TQtScreenWindow(tScreenForm& Form);
  ~TQtScreenWindow() override;

  // IScreenWindow.
  TBitmap32& Surface() override;
  IFrameView& FrameView() override { return *this; }
  void SetCaption(std::string_view Caption) override;
  bool IsVisible() const override { return isVisible(); }
  void ShowAndActivate() override;
  void Close() override { close(); }
  void SetLook(TWindowLook Look) override;
  TPixelSize ClientSize() const override;
  TPixelSize OuterSize() const override;
  bool HasFocus() const override;
  TScreenPoint CursorPos() const override;
  void FilterAppMessages(bool On) override;
  void LeaveInputToHost() override;
  std::optional<TRect> HostRect(uint32_t Host) override;
  uint32_t ReparentInto(uint32_t Host) override;
  void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) override;
  void FollowHostSize(uint32_t Host) override;
  void ShowInfo(std::string_view Text, std::string_view Caption) override;
  void SetOverlay(const TBitmap32* Overlay) override;
  void OverlayChanged() override;
  void DetachForm() override { FForm = nullptr; }

  // Hosted: a child of Host at its inside size, or, when Host is the root itself, a window of our
  // own over the whole root below every other one. False with Error set when Host is no window.
  bool PlaceInHost(uint32_t Host, bool IsRoot, std::string& Error);
  void ShowHosted();

  TImage32& View() { return *FImage32; }

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  // IFrameView.
  void PresentAreas(const std::vector<TRect>& Copy, const std::vector<TRect>& Black) override;
  double RefreshRate() const override;

  // Device pixels to the widget's logical size.
  int Logical(int32_t DevicePixels) const;
  TPixelSize DeviceSize(QSize Logical) const;
  void KeepAtHostSize(uint32_t Host, bool OuterSize);
  void ResizeToHost(const THostSize& Size, bool OuterSize);

  tScreenForm* FForm;
  TImage32* FImage32 = nullptr;
  bool FWindowed = false;
  bool FOverRoot = false;
};

// A screen window with its own event loop, for tools and tests that run one outside the program.
// The form goes before the window it reports to.
class TStandaloneScreen {
 public:
  TStandaloneScreen()
      : FForm(std::make_unique<tScreenForm>(FLoop)), FWindow(std::make_unique<TQtScreenWindow>(*FForm)) {
    FForm->AttachWindow(*FWindow);
  }
  ~TStandaloneScreen() {
    FWindow->DetachForm();
    FForm.reset();
  }
  tScreenForm& Form() { return *FForm; }
  TQtScreenWindow& Window() { return *FWindow; }

 private:
  TQtEventLoop FLoop;
  std::unique_ptr<tScreenForm> FForm;
  std::unique_ptr<TQtScreenWindow> FWindow;
};

}  // namespace quillet

// What the screen window's behaviour (tScreenForm) asks of a toolkit's window: the surface its
// image view shows, its looks and size, the pointer and focus, embedding into a host window, and
// an overlay over the page. Sizes and positions are in device pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/ui_events.h"
#include "raster/bitmap32.h"
#include "shell/frame_presenter.h"

namespace quillet {

enum class TWindowLook : uint8_t {
  FullScreen,  // borderless, covering every monitor, above the desktop's panels
  Windowed,    // sizeable with a frame, normal state, at the designed bounds when it was full screen
};

struct TPixelSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TPixelSize&) const = default;
};

class IScreenWindow {
 public:
  virtual ~IScreenWindow() = default;

  // The image view's surface, owned by the view, and where its frames go.
  virtual TBitmap32& Surface() = 0;
  virtual IFrameView& FrameView() = 0;

  virtual void SetCaption(std::string_view Caption) = 0;
  virtual bool IsVisible() const = 0;
  // Shows the window, brings it to the front and gives it the focus.
  virtual void ShowAndActivate() = 0;
  // Closes the window; the toolkit then reports FormHide and the close to the form.
  virtual void Close() = 0;
  virtual void SetLook(TWindowLook Look) = 0;
  virtual TPixelSize ClientSize() const = 0;
  // The outer size, frame included; the client size for a window inside another.
  virtual TPixelSize OuterSize() const = 0;

  virtual bool HasFocus() const = 0;
  // Where the pointer is, in screen coordinates.
  virtual TScreenPoint CursorPos() const = 0;
  // From now on (or no longer) every message of the program goes to the form's HandleAppMessage.
  virtual void FilterAppMessages(bool On) = 0;
  // Input and the cursor are the host's: the window takes no focus and no input.
  virtual void LeaveInputToHost() = 0;

  // The outer rectangle of window Host in screen coordinates; none when there is no such window.
  virtual std::optional<TRect> HostRect(uint32_t Host) = 0;
  // Makes the window a child of Host at Host's origin. Returns the previous parent, 0 when that
  // failed. A host that goes away takes the window with it: the form then hears of the close.
  virtual uint32_t ReparentInto(uint32_t Host) = 0;
  // Position within the parent (or the screen) and size.
  virtual void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) = 0;
  // Keeps the window at Host's outer size as Host changes.
  virtual void FollowHostSize(uint32_t Host) = 0;
  // A message box owned by the window: Text, Caption and a single OK button.
  virtual void ShowInfo(std::string_view Text, std::string_view Caption) = 0;

  // A small image shown over the page's bottom-left corner (never drawn into the surface), or
  // none. The caller keeps it alive and calls OverlayChanged after drawing into it.
  virtual void SetOverlay(const TBitmap32* Overlay) = 0;
  virtual void OverlayChanged() = 0;

  // The form is about to go: from now on the window reports nothing to it.
  virtual void DetachForm() = 0;
};

}  // namespace quillet

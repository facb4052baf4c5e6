// What the configuration dialog drives of the screen window: its tests, wipe and pause.
#pragma once

namespace quillet {

class IScreenControl {
 public:
  virtual ~IScreenControl() = default;
  virtual bool Paused() const = 0;
  virtual void TogglePaused() = 0;
  // Windowed: a sizeable window that the mouse does not close; else full screen.
  virtual void Restart(bool Windowed) = 0;
  virtual void Clear() = 0;
  // Shows the window, bringing it to the front.
  virtual void Show() = 0;
};

}  // namespace quillet

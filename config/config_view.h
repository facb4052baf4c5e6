// What the configuration dialog's behaviour asks of a toolkit's dialog window: show its controls'
// values, captions and place, hide, and report a failure; and what the program asks of it besides.
// Nothing set from here raises the control's own change events; the behaviour raises its handlers
// itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

// The push buttons, in the dialog's tab order.
enum class TDialogButton : uint8_t { WinTest, Test, Clear, Pause, Cancel, OK };
inline constexpr std::size_t DialogButtonCount = 6;

class IConfigView {
 public:
  virtual ~IConfigView() = default;
  // Row and Index follow the settings tables: NumberSettings and SwitchSettings.
  virtual void ShowGaugePosition(std::size_t Row, int32_t Position) = 0;
  virtual void ShowValueLabel(std::size_t Row, std::string_view Text) = 0;
  virtual void ShowChecked(std::size_t Index, bool Checked) = 0;
  virtual void ShowButtonCaption(TDialogButton Button, std::string_view Caption) = 0;
  virtual void ShowEngineVersion(std::string_view Text) = 0;
  virtual void ShowCaption(std::string_view Caption) = 0;
  // Moves the dialog's top edge to Top pixels below the top of the screen; the left edge stays.
  virtual void MoveTopTo(int32_t Top) = 0;
  virtual void Hide() = 0;
  // A modal message box over the dialog, with the stop icon and an OK button.
  virtual void ShowError(std::string_view Message) = 0;
};

// The dialog window as the program drives it.
class IConfigWindow : public IConfigView {
 public:
  // Shows the dialog, brings it to the front and gives it the focus.
  virtual void ShowAndActivate() = 0;
  virtual bool IsVisible() const = 0;
  // The window's handle, for a preview drawn inside the dialog.
  virtual uint32_t NativeHandle() = 0;
  // The dialog belongs to window Owner (a system's settings window that opened it), above it and
  // gone with it. A platform whose machinery names no owner ignores it.
  virtual void SetOwner(uint32_t Owner) { (void)Owner; }
  // The dialog's behaviour is about to go: from now on the window reports nothing to it.
  virtual void DetachForm() = 0;
};

}  // namespace quillet

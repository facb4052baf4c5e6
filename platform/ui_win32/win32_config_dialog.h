// The configuration dialog on Win32: a modeless native dialog whose controls stand where
// config/dialog_layout.h puts them, made from the settings tables. Check boxes are
// BS_AUTOCHECKBOX buttons, the gauges comctl32 track bars, the value labels SS_NOTIFY statics
// that report left, right and middle presses. The message loop hands the dialog's messages to
// IsDialogMessage (DialogMessage): Tab, the '&' accelerators (with Alt, or alone while the focus
// is on a control that takes no characters), Enter for OK and Escape for Cancel. Nothing set from
// the behaviour raises a control event: TBM_SETPOS and BM_SETCHECK send no notification.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "config/config_form.h"
#include "config/config_view.h"
#include "config/demo_settings.h"
#include "platform/ui_win32/win32_handles.h"

namespace quillet {

class TWin32ConfigDialog : public IConfigWindow {
 public:
  // Owner: the program's hidden window (no taskbar button), or none.
  TWin32ConfigDialog(tConfigForm& Form, win32::WindowHandle Owner);
  ~TWin32ConfigDialog() override;
  TWin32ConfigDialog(const TWin32ConfigDialog&) = delete;
  TWin32ConfigDialog& operator=(const TWin32ConfigDialog&) = delete;

  // IConfigView.
  void ShowGaugePosition(std::size_t Row, int32_t Position) override;
  void ShowValueLabel(std::size_t Row, std::string_view Text) override;
  void ShowChecked(std::size_t Index, bool Checked) override;
  void ShowButtonCaption(TDialogButton Button, std::string_view Caption) override;
  void ShowEngineVersion(std::string_view Text) override;
  void ShowCaption(std::string_view Caption) override;
  void MoveTopTo(int32_t Top) override;
  void Hide() override;
  void ShowError(std::string_view Message) override;
  // IConfigWindow.
  void ShowAndActivate() override;
  bool IsVisible() const override;
  uint32_t NativeHandle() override;
  void DetachForm() override { FForm = nullptr; }
  void SetOwner(uint32_t Owner) override;

  // Called from the destructor: whoever keeps a pointer to the dialog lets go of it.
  std::function<void()> OnGone;

  // The dialog's keyboard handling for Msg; true when it took the message.
  bool DialogMessage(win32::Message& Msg);

  // The window and its controls, for tests.
  win32::WindowHandle Handle() const { return FDialog; }
  win32::WindowHandle CheckBox(std::size_t Index) const { return FChecks[Index]; }
  win32::WindowHandle Gauge(std::size_t Row) const { return FGauges[Row]; }
  win32::WindowHandle ValueLabel(std::size_t Row) const { return FValueLabels[Row]; }
  win32::WindowHandle Button(TDialogButton Which) const { return FButtons[static_cast<std::size_t>(Which)]; }
  win32::WindowHandle EngineVersionLabel() const { return FEngineVersion; }

  // The dialog procedure's work; Handled false leaves the message to the dialog's default.
  intptr_t Receive(uint32_t Message, uintptr_t WParam, intptr_t LParam, bool& Handled);
  // A press on the value label of Row.
  void ValueLabelPressed(std::size_t Row, TMouseButton Button);

 private:
  void BuildControls();
  win32::WindowHandle AddControl(const wchar_t* Class, std::string_view Text, uint32_t Style, int X, int Y, int W, int H,
                                 int Id, bool HintFont = false);
  int Scaled(int Pixels) const;

  tConfigForm* FForm;
  win32::WindowHandle FDialog = nullptr;
  void* FFont = nullptr;      // the system's message font
  void* FHintFont = nullptr;  // the hint's
  int FDpi = 96;
  bool FPlaced = false;
  win32::WindowHandle FHint = nullptr;
  win32::WindowHandle FVersion = nullptr;
  win32::WindowHandle FEngineVersion = nullptr;
  std::array<win32::WindowHandle, SwitchSettings.size()> FChecks{};
  std::array<win32::WindowHandle, NumberSettings.size()> FGauges{};
  std::array<win32::WindowHandle, NumberSettings.size()> FValueLabels{};
  std::array<win32::WindowHandle, DialogButtonCount> FButtons{};
};

}  // namespace quillet

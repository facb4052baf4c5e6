// tConfigForm: the configuration dialog's behaviour, without a toolkit. It edits the program's live
// DemoSettings, which every frame reads; loads them from the settings file when created and saves
// them on OK; its value labels set presets and maxima; its buttons test, wipe and pause the screen
// window. A toolkit's dialog (IConfigView) shows the controls and reports the user's actions here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/config_view.h"
#include "config/demo_settings.h"
#include "platform/ui_events.h"

namespace quillet {

class IScreenControl;

class tConfigForm {
 public:
  static const char DesignedCaption[];
  static const char DesignedEngineVersion[];
  static const char EngineVersion[];
  static const char HintText[];
  static const char VersionText[];
  static const std::array<const char*, DialogButtonCount> DesignedButtonCaptions;
  static constexpr int32_t ActivatedTop = 40;

  // Live is the program's record; it is set to the designed controls' values until FormCreate
  // loads the settings file. OK saves it to SettingsPath (already placed); it is read from
  // ReadPath when one is given (where a system kept the file elsewhere before), else from there.
  tConfigForm(DemoSettings& Live, std::filesystem::path SettingsPath, std::filesystem::path ReadPath = {});
  tConfigForm(const tConfigForm&) = delete;
  tConfigForm& operator=(const tConfigForm&) = delete;

  // The toolkit's dialog, built with the designed values; null detaches it.
  void SetView(IConfigView* View) { FView = View; }
  void SetScreen(IScreenControl* Screen) { FScreen = Screen; }
  // Called after the dialog has closed (OK, Cancel, Escape, the close box); the main window's
  // close ends the program.
  std::function<void()> OnClosed;

  const DemoSettings& Settings() const { return FLive; }
  int32_t GaugePosition(std::size_t Row) const;
  const std::string& ButtonCaption(TDialogButton Button) const;
  const std::string& Caption() const { return FCaption; }
  // Appends the command line's mode text to the caption.
  void AppendToCaption(std::string_view Text);

  // Creation: loads the settings and shows the engine's version.
  void FormCreate();
  void LoadSettings();
  // Throws ProfileWriteError when the file cannot be written.
  void SaveSettings();

  // Sets a gauge the way the control does: clamped, and only a change raises the change handler.
  void SetGaugePosition(std::size_t Row, int32_t Position);

  // What the user does. GaugeMoved and CheckToggled report a control's new state.
  void GaugeMoved(std::size_t Row, int32_t Position) { SetGaugePosition(Row, Position); }
  void CheckToggled(std::size_t Index, bool Checked);
  void iMouseDown(int Tag, TMouseButton Button);
  void FormActivate();
  // A character typed to the dialog itself, while no control has the keyboard focus.
  void FormKeyPress(char32_t Character);
  // A letter typed alone while a check box or a button has the focus: presses the button whose
  // accelerator it is. False when none has it.
  bool AcceleratorTyped(char32_t Letter);
  std::optional<TDialogButton> ButtonForAccelerator(char32_t Letter) const;
  void ButtonClick(TDialogButton Button);

  void OKButtonClick();
  void CancelButtonClick();
  void TestButtonClick();
  void WinTestButtonClick();
  void ClearButtonClick();
  void PauseButtonClick();

  // The gauges' change handlers: each shows its position in its value label.
  void gObjectsChange() { GaugeChange(0); }
  void gSizeChange() { GaugeChange(1); }
  void gAlphaChange() { GaugeChange(2); }
  void gThicknessChange() { GaugeChange(3); }
  void gStepsChange() { GaugeChange(4); }

 private:
  void GaugeChange(std::size_t Row);
  void SetButtonCaption(TDialogButton Button, std::string Caption);
  void UpdatePauseCaption();
  void CloseDialog();

  DemoSettings& FLive;
  std::filesystem::path FSettingsPath;
  std::filesystem::path FReadPath;
  IConfigView* FView = nullptr;
  IScreenControl* FScreen = nullptr;
  std::string FCaption;
  std::array<std::string, DialogButtonCount> FButtonCaptions;
};

// The letter after a single '&' in a caption, in lower case; 0 when there is none.
char32_t AcceleratorOf(std::string_view Caption);

}  // namespace quillet

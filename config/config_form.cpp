// The configuration dialog's behaviour: loading and saving through the settings tables, presets
// and maxima on the value labels, the Pause/Run caption, accelerators, and the buttons that drive
// the screen window.
#include "config/config_form.h"

#include <exception>
#include <utility>

#include "config/screen_control.h"
#include "config/settings_file.h"

namespace quillet {

const char tConfigForm::DesignedCaption[] = " Quillet: Screen Saver Configuration  ";
const char tConfigForm::DesignedEngineVersion[] = "engine 1.7";
const char tConfigForm::EngineVersion[] = "engine v1.8.1";
const char tConfigForm::HintText[] = "hint:  right mouse button click opens this dialog on fullscreen mode ";
const char tConfigForm::VersionText[] = "v2.4   10/2006  ";
const std::array<const char*, DialogButtonCount> tConfigForm::DesignedButtonCaptions{
    "&WinTest", "&Test...", "C&lear", "&Pause", "&Cancel", "O&K"};

namespace {

constexpr char PauseCaption[] = "&Pause";
constexpr char RunCaption[] = "&Run";

char32_t LowerAscii(char32_t C) { return C >= U'A' && C <= U'Z' ? C - U'A' + U'a' : C; }

}  // namespace

char32_t AcceleratorOf(std::string_view Caption) {
  for (std::size_t I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] != '&') return LowerAscii(static_cast<unsigned char>(Caption[I + 1]));
    ++I;  // "&&" shows one ampersand
  }
  return 0;
}

tConfigForm::tConfigForm(DemoSettings& Live, std::filesystem::path SettingsPath, std::filesystem::path ReadPath)
    : FLive(Live), FSettingsPath(std::move(SettingsPath)), FReadPath(std::move(ReadPath)), FCaption(DesignedCaption) {
  FLive = DesignedSettings();
  for (std::size_t B = 0; B < DialogButtonCount; ++B) FButtonCaptions[B] = DesignedButtonCaptions[B];
}

int32_t tConfigForm::GaugePosition(std::size_t Row) const { return (FLive.*NumberSettings[Row].Get)(); }

const std::string& tConfigForm::ButtonCaption(TDialogButton Button) const {
  return FButtonCaptions[static_cast<std::size_t>(Button)];
}

void tConfigForm::AppendToCaption(std::string_view Text) {
  FCaption += Text;
  if (FView) FView->ShowCaption(FCaption);
}

void tConfigForm::FormCreate() {
  LoadSettings();
  if (FView) FView->ShowEngineVersion(EngineVersion);
}

void tConfigForm::LoadSettings() {
  DemoSettings Stored;
  quillet::LoadSettings(Stored, FReadPath.empty() ? FSettingsPath : FReadPath);
  for (std::size_t R = 0; R < NumberSettings.size(); ++R) SetGaugePosition(R, (Stored.*NumberSettings[R].Get)());
  // Every label, whether or not its gauge moved.
  if (FView)
    for (std::size_t R = 0; R < NumberSettings.size(); ++R) FView->ShowValueLabel(R, std::to_string(GaugePosition(R)));
  for (std::size_t I = 0; I < SwitchSettings.size(); ++I) {
    const bool Checked = Stored.*SwitchSettings[I].Field;
    FLive.*SwitchSettings[I].Field = Checked;
    if (FView) FView->ShowChecked(I, Checked);
  }
}

void tConfigForm::SaveSettings() { quillet::SaveSettings(FLive, FSettingsPath); }

void tConfigForm::SetGaugePosition(std::size_t Row, int32_t Position) {
  if (Row >= NumberSettings.size()) return;
  if (!(FLive.*NumberSettings[Row].Set)(Position)) return;
  if (FView) FView->ShowGaugePosition(Row, GaugePosition(Row));
  GaugeChange(Row);
}

void tConfigForm::GaugeChange(std::size_t Row) {
  if (FView) FView->ShowValueLabel(Row, std::to_string(GaugePosition(Row)));
}

void tConfigForm::CheckToggled(std::size_t Index, bool Checked) {
  if (Index < SwitchSettings.size()) FLive.*SwitchSettings[Index].Field = Checked;
}

void tConfigForm::iMouseDown(int Tag, TMouseButton Button) {
  if (Tag < 1 || Tag > static_cast<int>(NumberSettings.size())) return;
  const std::size_t Row = static_cast<std::size_t>(Tag - 1);
  if (Button == TMouseButton::Left)
    SetGaugePosition(Row, NumberSettings[Row].Preset);
  else if (Button == TMouseButton::Right)
    SetGaugePosition(Row, NumberSettings[Row].Range.Max);
}

void tConfigForm::SetButtonCaption(TDialogButton Button, std::string Caption) {
  std::string& Current = FButtonCaptions[static_cast<std::size_t>(Button)];
  if (Current == Caption) return;
  Current = std::move(Caption);
  if (FView) FView->ShowButtonCaption(Button, Current);
}

void tConfigForm::UpdatePauseCaption() {
  const bool Paused = FScreen && FScreen->Paused();
  SetButtonCaption(TDialogButton::Pause, Paused ? RunCaption : PauseCaption);
}

void tConfigForm::FormActivate() {
  if (FView) FView->MoveTopTo(ActivatedTop);
  UpdatePauseCaption();
}

void tConfigForm::FormKeyPress(char32_t Character) {
  if (Character == U'p' && FScreen) FScreen->TogglePaused();
}

std::optional<TDialogButton> tConfigForm::ButtonForAccelerator(char32_t Letter) const {
  const char32_t Wanted = LowerAscii(Letter);
  if (Wanted == 0) return std::nullopt;
  for (std::size_t B = 0; B < DialogButtonCount; ++B)
    if (AcceleratorOf(FButtonCaptions[B]) == Wanted) return static_cast<TDialogButton>(B);
  return std::nullopt;
}

bool tConfigForm::AcceleratorTyped(char32_t Letter) {
  const std::optional<TDialogButton> Button = ButtonForAccelerator(Letter);
  if (!Button) return false;
  ButtonClick(*Button);
  return true;
}

void tConfigForm::ButtonClick(TDialogButton Button) {
  switch (Button) {
    case TDialogButton::WinTest: WinTestButtonClick(); break;
    case TDialogButton::Test: TestButtonClick(); break;
    case TDialogButton::Clear: ClearButtonClick(); break;
    case TDialogButton::Pause: PauseButtonClick(); break;
    case TDialogButton::Cancel: CancelButtonClick(); break;
    case TDialogButton::OK: OKButtonClick(); break;
  }
}

void tConfigForm::OKButtonClick() {
  try {
    SaveSettings();
  } catch (const std::exception& Error) {
    if (FView) FView->ShowError(Error.what());
    return;
  }
  CloseDialog();
}

void tConfigForm::CancelButtonClick() { CloseDialog(); }

void tConfigForm::TestButtonClick() {
  if (!FScreen) return;
  FScreen->Show();
  FScreen->Restart(false);
  FScreen->Show();
}

void tConfigForm::WinTestButtonClick() {
  if (!FScreen) return;
  FScreen->Restart(true);
  FScreen->Show();
}

void tConfigForm::ClearButtonClick() {
  if (FScreen) FScreen->Clear();
}

void tConfigForm::PauseButtonClick() {
  if (FScreen) FScreen->TogglePaused();
  UpdatePauseCaption();
}

void tConfigForm::CloseDialog() {
  if (FView) FView->Hide();
  if (OnClosed) OnClosed();
}

}  // namespace quillet

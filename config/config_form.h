// tConfigForm: the configuration dialog. Its controls hold the live DemoSettings that every frame
// reads; it loads them from the settings file when created and saves them on OK. Its buttons
// test, wipe and pause the screen window.
#pragma once

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "config/demo_settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace quillet {

class IScreenControl;
class TGaugeBar;

class tConfigForm : public QDialog {
 public:
  // SettingsPath is the placed settings file; loading happens here (FormCreate).
  explicit tConfigForm(std::filesystem::path SettingsPath, QWidget* Parent = nullptr);
  ~tConfigForm() override;

  static const char DesignedCaption[];

  // The live settings: every change in the dialog is in here at once.
  const DemoSettings& Settings() const { return FSettings; }

  void SetScreen(IScreenControl* Screen) { FScreen = Screen; }
  // Called after the dialog has closed (OK, Cancel, Escape, the close box); the main window's
  // close ends the program.
  std::function<void()> OnClosed;
  // Shows a message from a failed save; the default is a message box.
  std::function<void(const std::string& Message)> OnError;

  void LoadSettings();
  void SaveSettings();

  // Event handlers.
  void FormActivate();
  void OKButtonClick();
  void CancelButtonClick();
  void TestButtonClick();
  void WinTestButtonClick();
  void ClearButtonClick();
  void PauseButtonClick();
  void iMouseDown(int Tag, Qt::MouseButton Button);

  // The controls, for the screen window and for tests.
  struct TGaugeRow {
    QLabel* NameLabel;
    QLabel* ValueLabel;  // reports mouse presses to iMouseDown
    TGaugeBar* Gauge;
  };
  const std::array<TGaugeRow, 5>& Rows() const { return FRows; }
  TGaugeBar* gObjects() const { return FRows[0].Gauge; }
  TGaugeBar* gSize() const { return FRows[1].Gauge; }
  TGaugeBar* gAlpha() const { return FRows[2].Gauge; }
  TGaugeBar* gThick() const { return FRows[3].Gauge; }
  TGaugeBar* gSteps() const { return FRows[4].Gauge; }
  // The eighteen check boxes in file order: AntiAliasing, Blend, Gouraud, BlendGouraud.
  const std::array<QCheckBox*, 18>& CheckBoxes() const { return FChecks; }
  QPushButton* WinTestButton() const { return FWinTestButton; }
  QPushButton* TestButton() const { return FTestButton; }
  QPushButton* ClearButton() const { return FClearButton; }
  QPushButton* PauseButton() const { return FPauseButton; }
  QPushButton* CancelButton() const { return FCancelButton; }
  QPushButton* OKButton() const { return FOKButton; }
  QLabel* LabelEngineVersion() const { return FLabelEngineVersion; }

 protected:
  bool event(QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void reject() override;

 private:
  void BuildControls();
  void FormCreate();
  void FormKeyPress(const QString& Text);
  void GaugeChanged(int Row);
  void CheckChanged(int Index, bool Checked);
  void UpdatePauseCaption();
  void CloseDialog();
  // The button whose accelerator is Letter, or null.
  QPushButton* ButtonForAccelerator(QChar Letter) const;

  std::filesystem::path FSettingsPath;
  DemoSettings FSettings;
  IScreenControl* FScreen = nullptr;
  bool FPlaced = false;

  std::array<TGaugeRow, 5> FRows{};
  std::array<QCheckBox*, 18> FChecks{};
  QPushButton* FWinTestButton = nullptr;
  QPushButton* FTestButton = nullptr;
  QPushButton* FClearButton = nullptr;
  QPushButton* FPauseButton = nullptr;
  QPushButton* FCancelButton = nullptr;
  QPushButton* FOKButton = nullptr;
  QLabel* FLabelEngineVersion = nullptr;
};

}  // namespace quillet

// The configuration dialog on Qt: controls at their designed places, built from the settings
// tables, that show what the dialog's behaviour (tConfigForm) sets and report the user's actions
// to it: gauges, check boxes, presses on the value labels, buttons, Enter and Escape, letters on a
// check box or a button, and characters typed to the dialog itself.
#pragma once

#include <QDialog>

#include <array>

#include "config/config_form.h"
#include "config/config_view.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace quillet {

class TGaugeBar;

class TQtConfigDialog : public QDialog, public IConfigWindow {
 public:
  explicit TQtConfigDialog(tConfigForm& Form, QWidget* Parent = nullptr);
  ~TQtConfigDialog() override;

  // IConfigView.
  void ShowGaugePosition(std::size_t Row, int32_t Position) override;
  void ShowValueLabel(std::size_t Row, std::string_view Text) override;
  void ShowChecked(std::size_t Index, bool Checked) override;
  void ShowButtonCaption(TDialogButton Button, std::string_view Caption) override;
  void ShowEngineVersion(std::string_view Text) override;
  void ShowCaption(std::string_view Caption) override;
  void MoveTopTo(int32_t Top) override;
  void Hide() override { hide(); }
  void ShowError(std::string_view Message) override;
  // IConfigWindow.
  void ShowAndActivate() override;
  bool IsVisible() const override { return isVisible(); }
  uint32_t NativeHandle() override { return static_cast<uint32_t>(winId()); }
  void DetachForm() override { FForm = nullptr; }

  // The controls, for tests.
  struct TGaugeRow {
    QLabel* NameLabel;
    QLabel* ValueLabel;  // reports mouse presses to iMouseDown
    TGaugeBar* Gauge;
  };
  const std::array<TGaugeRow, 5>& Rows() const { return FRows; }
  // The eighteen check boxes in file order: AntiAliasing, Blend, Gouraud, BlendGouraud.
  const std::array<QCheckBox*, 18>& CheckBoxes() const { return FChecks; }
  QPushButton* Button(TDialogButton Which) const { return FButtons[static_cast<std::size_t>(Which)]; }
  QLabel* LabelEngineVersion() const { return FLabelEngineVersion; }

 protected:
  bool event(QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void reject() override;

 private:
  void BuildControls();

  tConfigForm* FForm;
  bool FPlaced = false;
  bool FShowing = false;  // showing what the form set: the controls' own reports are not news
  std::array<TGaugeRow, 5> FRows{};
  std::array<QCheckBox*, 18> FChecks{};
  std::array<QPushButton*, DialogButtonCount> FButtons{};
  QLabel* FLabelEngineVersion = nullptr;
};

}  // namespace quillet

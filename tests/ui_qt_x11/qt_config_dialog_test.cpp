// The configuration dialog's widgets on the offscreen platform: they show what the dialog's
// behaviour sets, and the user's gauges, check boxes, label clicks, buttons, Enter, Escape, the
// close box, letters and Alt mnemonics reach it.
#include "platform/ui_qt_x11/qt_config_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/screen_control.h"
#include "platform/ui_qt_x11/gauge_bar.h"
#include "tests/config/temp_dir.h"

namespace quillet {
namespace {

// Records what the dialog asks of the screen window.
class FakeScreen : public IScreenControl {
 public:
  bool Paused() const override { return FPaused; }
  void TogglePaused() override {
    FPaused = !FPaused;
    Calls.push_back("toggle");
  }
  void Restart(bool Windowed) override {
    FPaused = false;
    Calls.push_back(Windowed ? "restart windowed" : "restart full");
  }
  void Clear() override { Calls.push_back("clear"); }
  void Show() override { Calls.push_back("show"); }

  bool FPaused = false;
  std::vector<std::string> Calls;
};

class QtConfigDialogTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Ini = Dir / "QUILLET.INI";
  }
  void TearDown() override {
    Close();
    TempDirTest::TearDown();
  }
  void Close() {
    if (Dialog) Dialog->DetachForm();
    Dialog.reset();
    Form.reset();
  }
  void OpenShown() {
    Close();
    Form = std::make_unique<tConfigForm>(Live, Ini);
    Dialog = std::make_unique<TQtConfigDialog>(*Form);
    Form->SetView(Dialog.get());
    Form->SetScreen(&Screen);
    Form->OnClosed = [this] { ++Closed; };
    Form->FormCreate();
    Dialog->ShowAndActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
  }
  QPushButton* Button(TDialogButton B) const { return Dialog->Button(B); }
  TGaugeBar* Gauge(int Row) const { return Dialog->Rows()[static_cast<size_t>(Row)].Gauge; }
  QString ValueText(int Row) const { return Dialog->Rows()[static_cast<size_t>(Row)].ValueLabel->text(); }

  std::filesystem::path Ini;
  DemoSettings Live;
  FakeScreen Screen;
  std::unique_ptr<tConfigForm> Form;
  std::unique_ptr<TQtConfigDialog> Dialog;
  int Closed = 0;
};

TEST_F(QtConfigDialogTest, ControlsShowTheLoadedSettingsAndTheDesignedTexts) {
  WriteFile(Ini, "[Config]\nSize=1000\nAlpha=0x40\n[Blend]\nLines=2\n");
  OpenShown();
  EXPECT_EQ(Gauge(1)->Position(), 100);
  EXPECT_EQ(ValueText(1), "100");
  EXPECT_EQ(Gauge(2)->Position(), 64);
  EXPECT_TRUE(Dialog->CheckBoxes()[7]->isChecked());
  EXPECT_EQ(Dialog->CheckBoxes()[7]->objectName(), "bLines");
  EXPECT_EQ(Dialog->CheckBoxes()[13]->text(), "Ellipse Disk");
  EXPECT_EQ(Dialog->LabelEngineVersion()->text(), "engine v1.8.1");
  EXPECT_EQ(Dialog->windowTitle(), " Quillet: Screen Saver Configuration  ");
  Form->AppendToCaption("/C");
  EXPECT_EQ(Dialog->windowTitle(), " Quillet: Screen Saver Configuration  /C");
}

TEST_F(QtConfigDialogTest, TheUsersGaugesBoxesAndLabelClicksEditTheLiveSettings) {
  OpenShown();
  QTest::mouseClick(Dialog->Rows()[3].ValueLabel, Qt::LeftButton);
  EXPECT_EQ(Live.Thickness(), 5);
  EXPECT_EQ(Gauge(3)->Position(), 5);
  EXPECT_EQ(ValueText(3), "5");
  QTest::mouseClick(Dialog->Rows()[0].ValueLabel, Qt::RightButton);
  EXPECT_EQ(Live.Objects(), 1000);
  Gauge(2)->setFocus();
  QTest::keyClick(Gauge(2), Qt::Key_End);
  EXPECT_EQ(Live.Alpha(), 255);
  EXPECT_EQ(ValueText(2), "255");
  Dialog->CheckBoxes()[0]->click();
  EXPECT_FALSE(Live.iLines);
  EXPECT_FALSE(std::filesystem::exists(Ini));
}

TEST_F(QtConfigDialogTest, OkEnterCancelEscapeAndTheCloseBox) {
  OpenShown();
  QCheckBox* Box = Dialog->CheckBoxes()[4];
  Box->setFocus();
  QTest::keyClick(Box, Qt::Key_Return);
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_TRUE(std::filesystem::exists(Ini));
  EXPECT_FALSE(Box->isChecked());

  std::filesystem::remove(Ini);
  Dialog->show();
  Dialog->CheckBoxes()[2]->setFocus();
  QTest::keyClick(Dialog->CheckBoxes()[2], Qt::Key_Escape);
  EXPECT_EQ(Closed, 2);
  Dialog->show();
  Dialog->close();
  EXPECT_EQ(Closed, 3);
  Dialog->show();
  Button(TDialogButton::Cancel)->click();
  EXPECT_EQ(Closed, 4);
  EXPECT_FALSE(std::filesystem::exists(Ini));
  Dialog->show();
  Button(TDialogButton::OK)->click();
  EXPECT_EQ(Closed, 5);
  EXPECT_TRUE(std::filesystem::exists(Ini));
  EXPECT_TRUE(Screen.Calls.empty());
}

TEST_F(QtConfigDialogTest, LettersOnACheckBoxOrButtonPressTheirButtonsAndActivationPlacesTheDialog) {
  OpenShown();
  QCheckBox* Box = Dialog->CheckBoxes()[0];
  Box->setFocus();
  QTest::keyClick(Box, 'p');
  EXPECT_EQ(Button(TDialogButton::Pause)->text(), "&Run");
  QTest::keyClick(Box, 'r');
  QTest::keyClick(Box, 'w');
  QTest::keyClick(Button(TDialogButton::Clear), 't');
  QTest::keyClick(Box, 'l');
  EXPECT_EQ(Screen.Calls, (std::vector<std::string>{"toggle", "toggle", "restart windowed", "show", "show",
                                                    "restart full", "show", "clear"}));
  EXPECT_TRUE(Box->isChecked());  // letters do not toggle the box

  Screen.FPaused = true;
  Dialog->move(Dialog->x(), 300);
  Form->FormActivate();
  EXPECT_EQ(Button(TDialogButton::Pause)->text(), "&Run");
  EXPECT_EQ(Dialog->y(), 40);
}

TEST_F(QtConfigDialogTest, AltLettersPressButtonsFromAnyControlButPlainLettersOnAGaugeDoNot) {
  OpenShown();
  Gauge(1)->setFocus();
  QTest::keyClick(Gauge(1), 'p');
  EXPECT_TRUE(Screen.Calls.empty());
  // Through the window, as the platform delivers keys, so that mnemonics are seen.
  QTest::keyClick(Dialog->windowHandle(), Qt::Key_P, Qt::AltModifier);
  // A mnemonic presses its button with a short animation.
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Screen.Calls.empty(); }, 2000));
  EXPECT_EQ(Screen.Calls, (std::vector<std::string>{"toggle"}));
  EXPECT_EQ(Button(TDialogButton::Pause)->text(), "&Run");
}

TEST_F(QtConfigDialogTest, APTypedToTheDialogItselfTogglesThePause) {
  OpenShown();
  if (QWidget* Focus = Dialog->focusWidget()) Focus->clearFocus();
  ASSERT_EQ(Dialog->focusWidget(), nullptr);
  QTest::keyClick(Dialog.get(), 'p');
  EXPECT_TRUE(Screen.FPaused);
  EXPECT_EQ(Button(TDialogButton::Pause)->text(), "&Pause");
}

}  // namespace
}  // namespace quillet

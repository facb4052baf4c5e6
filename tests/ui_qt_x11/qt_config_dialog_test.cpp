// The configuration dialog's behaviour on the offscreen platform: loading, presets and maxima,
// change events, OK and Cancel, Enter and Escape, the Pause/Run caption and the accelerators.
#include "config/config_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/profile_file.h"
#include "config/screen_control.h"
#include "platform/gauge_bar.h"
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

class ConfigFormTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Ini = Dir / "QUILLET.INI";
  }
  void TearDown() override {
    Form.reset();
    TempDirTest::TearDown();
  }

  tConfigForm& Open() {
    Form = std::make_unique<tConfigForm>(Ini);
    Form->SetScreen(&Screen);
    Form->OnClosed = [this] { ++Closed; };
    Form->OnError = [this](const std::string& Message) { Errors.push_back(Message); };
    return *Form;
  }
  tConfigForm& OpenShown() {
    Open();
    Form->show();
    Form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    return *Form;
  }

  std::vector<int32_t> Positions() const {
    std::vector<int32_t> P;
    for (const auto& Row : Form->Rows()) P.push_back(Row.Gauge->Position());
    return P;
  }
  std::vector<std::string> LabelTexts() const {
    std::vector<std::string> T;
    for (const auto& Row : Form->Rows()) T.push_back(Row.ValueLabel->text().toStdString());
    return T;
  }
  std::vector<bool> Checks() const {
    std::vector<bool> C;
    for (QCheckBox* Box : Form->CheckBoxes()) C.push_back(Box->isChecked());
    return C;
  }
  // Counts the change events of every gauge, keeping the dialog's own handlers.
  std::vector<int>& CountChanges() {
    Changes.assign(5, 0);
    for (size_t R = 0; R < 5; ++R) {
      TGaugeBar* Gauge = Form->Rows()[R].Gauge;
      auto Inner = Gauge->OnChange;
      Gauge->OnChange = [this, R, Inner](TGaugeBar* Sender) {
        ++Changes[R];
        Inner(Sender);
      };
    }
    return Changes;
  }
  void ClickValue(int Row, Qt::MouseButton Button) {
    QTest::mouseClick(Form->Rows()[static_cast<size_t>(Row)].ValueLabel, Button);
  }

  std::filesystem::path Ini;
  std::unique_ptr<tConfigForm> Form;
  FakeScreen Screen;
  int Closed = 0;
  std::vector<std::string> Errors;
  std::vector<int> Changes;
};

const std::vector<bool> DefaultChecks = {true,  false, false, false, false, false, false,
                                         false, true,  false, false, false, false, false,
                                         false, false, false, false};

TEST_F(ConfigFormTest, CreationLoadsTheFileOrItsDefaultsIntoControlsAndLabels) {
  Open();
  EXPECT_EQ(Positions(), (std::vector<int32_t>{50, 80, 127, 1, 10}));
  EXPECT_EQ(LabelTexts(), (std::vector<std::string>{"50", "80", "127", "1", "10"}));
  EXPECT_EQ(Checks(), DefaultChecks);
  EXPECT_EQ(Form->LabelEngineVersion()->text(), "engine v1.8.1");
  EXPECT_EQ(Form->windowTitle(), " Quillet: Screen Saver Configuration  ");
  EXPECT_EQ(Form->Settings().Objects(), 50);
  EXPECT_TRUE(Form->Settings().bBars);
  EXPECT_FALSE(Form->Settings().bLines);

  // The designed Objects position is 500, so a stored 500 raises no change but still shows.
  WriteFile(Ini, "[Config]\nObjects=500\nSize=1000\nAlpha=0x40\nThickness=0\nSteps=-3\n"
                 "[Blend]\nLines=2\nBars=0\n[BlendGouraud]\nTriangles=yes\n");
  Open();
  EXPECT_EQ(Positions(), (std::vector<int32_t>{500, 100, 64, 1, 1}));
  EXPECT_EQ(LabelTexts(), (std::vector<std::string>{"500", "100", "64", "1", "1"}));
  std::vector<bool> Expected = DefaultChecks;
  Expected[7] = true;
  Expected[8] = false;
  EXPECT_EQ(Checks(), Expected);
  EXPECT_EQ(Form->Settings().Size(), 100);
  EXPECT_TRUE(Form->Settings().bLines);
}

TEST_F(ConfigFormTest, ValueLabelsSetPresetsOnLeftAndMaximaOnRightClick) {
  Open();
  std::vector<int>& Changed = CountChanges();
  ClickValue(3, Qt::LeftButton);
  EXPECT_EQ(Form->gThick()->Position(), 5);
  EXPECT_EQ(Form->Rows()[3].ValueLabel->text(), "5");
  EXPECT_EQ(Form->Settings().Thickness(), 5);
  ClickValue(3, Qt::RightButton);
  EXPECT_EQ(Form->gThick()->Position(), 9);
  ClickValue(0, Qt::RightButton);
  EXPECT_EQ(Form->gObjects()->Position(), 1000);
  EXPECT_EQ(Form->Settings().Objects(), 1000);
  ClickValue(0, Qt::MiddleButton);
  EXPECT_EQ(Form->gObjects()->Position(), 1000);
  for (int Row = 0; Row < 5; ++Row) ClickValue(Row, Qt::LeftButton);
  EXPECT_EQ(Positions(), (std::vector<int32_t>{500, 55, 127, 5, 8}));
  for (int Row = 0; Row < 5; ++Row) ClickValue(Row, Qt::RightButton);
  EXPECT_EQ(Positions(), (std::vector<int32_t>{1000, 100, 255, 9, 16}));
  EXPECT_EQ(LabelTexts(), (std::vector<std::string>{"1000", "100", "255", "9", "16"}));

  // Alpha was already 127: its preset click changed nothing and raised nothing.
  EXPECT_EQ(Changed, (std::vector<int>{3, 2, 1, 4, 2}));
  ClickValue(4, Qt::RightButton);
  EXPECT_EQ(Changed[4], 2);
  Form->iMouseDown(0, Qt::LeftButton);
  Form->iMouseDown(6, Qt::RightButton);
  EXPECT_EQ(Positions(), (std::vector<int32_t>{1000, 100, 255, 9, 16}));
}

TEST_F(ConfigFormTest, EditsAreLiveAndClampedBeforeAnySave) {
  Open();
  Form->gAlpha()->SetPosition(300);
  EXPECT_EQ(Form->Settings().Alpha(), 255);
  EXPECT_EQ(Form->Rows()[2].ValueLabel->text(), "255");
  Form->gSize()->SetPosition(-4);
  EXPECT_EQ(Form->Settings().Size(), 10);
  Form->CheckBoxes()[16]->setChecked(true);
  EXPECT_TRUE(Form->Settings().bgBars);
  Form->CheckBoxes()[0]->click();
  EXPECT_FALSE(Form->Settings().iLines);
  EXPECT_FALSE(std::filesystem::exists(Ini));
}

TEST_F(ConfigFormTest, OkWritesAll23KeysThenCloses) {
  WriteFile(Ini, "; kept\n[Other]\nA=1\n[Blend]\nLines=yes\n");
  OpenShown();
  Form->gObjects()->SetPosition(999);
  Form->CheckBoxes()[17]->setChecked(true);
  Form->CheckBoxes()[7]->setChecked(true);
  Form->OKButton()->click();
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(Form->isVisible());
  EXPECT_TRUE(Errors.empty());

  const ProfileDocument Saved = ProfileDocument::Parse(ReadFile(Ini));
  EXPECT_EQ(Saved.Get("Other", "A", ""), "1");
  const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> Keys = {
      {"Config", {{"Objects", "999"}, {"Size", "80"}, {"Alpha", "127"}, {"Thickness", "1"}, {"Steps", "10"}}},
      {"AntiAliasing", {{"Lines", "1"}, {"Bars", "0"}, {"Triangles", "0"}, {"FillTria", "0"},
                        {"SplineCurve", "0"}, {"SplineArea", "0"}, {"Ellipse", "0"}}},
      {"Blend", {{"Lines", "1"}, {"Bars", "1"}, {"Triangles", "0"}, {"FillTria", "0"},
                 {"SplineCurve", "0"}, {"SplineArea", "0"}, {"EllipseDisk", "0"}}},
      {"Gouraud", {{"Bars", "0"}, {"Triangles", "0"}}},
      {"BlendGouraud", {{"Bars", "0"}, {"Triangles", "1"}}},
  };
  int Count = 0;
  for (const auto& [Section, Pairs] : Keys)
    for (const auto& [Key, Value] : Pairs) {
      EXPECT_EQ(Saved.Get(Section, Key, "missing"), Value) << Section << "." << Key;
      ++Count;
    }
  EXPECT_EQ(Count, 23);
}

TEST_F(ConfigFormTest, AWriteErrorIsShownAndTheDialogStaysOpen) {
  WriteFile(Dir / "file", "x");
  Ini = Dir / "file" / "QUILLET.INI";  // its directory is a file: nothing can be written
  OpenShown();
  Form->OKButton()->click();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "In QUILLET.INI kann nicht geschrieben werden");
  EXPECT_EQ(Closed, 0);
  EXPECT_TRUE(Form->isVisible());
}

TEST_F(ConfigFormTest, CancelEscapeAndTheCloseBoxSaveNothingAndKeepEdits) {
  OpenShown();
  Form->gSteps()->SetPosition(3);
  Form->CancelButton()->click();
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(Form->Settings().Steps(), 3);

  Form->show();
  Form->CheckBoxes()[2]->setFocus();
  QTest::keyClick(Form->CheckBoxes()[2], Qt::Key_Escape);
  EXPECT_EQ(Closed, 2);

  Form->show();
  Form->close();
  EXPECT_EQ(Closed, 3);
  EXPECT_FALSE(Form->isVisible());
  EXPECT_FALSE(std::filesystem::exists(Ini));
  EXPECT_EQ(Form->Settings().Steps(), 3);
  EXPECT_TRUE(Screen.Calls.empty());
}

TEST_F(ConfigFormTest, EnterOnACheckBoxPressesOk) {
  OpenShown();
  QCheckBox* Box = Form->CheckBoxes()[4];
  Box->setFocus();
  QTest::keyClick(Box, Qt::Key_Return);
  EXPECT_EQ(Closed, 1);
  EXPECT_TRUE(std::filesystem::exists(Ini));
  EXPECT_FALSE(Box->isChecked());
}

TEST_F(ConfigFormTest, PauseButtonCaptionFollowsThePause) {
  OpenShown();
  EXPECT_EQ(Form->PauseButton()->text(), "&Pause");
  Form->PauseButton()->click();
  EXPECT_TRUE(Screen.FPaused);
  EXPECT_EQ(Form->PauseButton()->text(), "&Run");
  Form->PauseButton()->click();
  EXPECT_FALSE(Screen.FPaused);
  EXPECT_EQ(Form->PauseButton()->text(), "&Pause");

  // Paused elsewhere: the caption catches up on the next activation, which also sets the top.
  Screen.FPaused = true;
  Form->move(Form->x(), 300);
  Form->FormActivate();
  EXPECT_EQ(Form->PauseButton()->text(), "&Run");
  EXPECT_EQ(Form->y(), 40);
}

TEST_F(ConfigFormTest, LettersOnACheckBoxOrButtonPressTheirButtons) {
  OpenShown();
  QCheckBox* Box = Form->CheckBoxes()[0];
  Box->setFocus();
  QTest::keyClick(Box, 'p');
  EXPECT_EQ(Form->PauseButton()->text(), "&Run");
  QTest::keyClick(Box, 'r');
  EXPECT_EQ(Form->PauseButton()->text(), "&Pause");
  QTest::keyClick(Box, 'w');
  QTest::keyClick(Form->ClearButton(), 't');
  QTest::keyClick(Box, 'l');
  EXPECT_EQ(Screen.Calls, (std::vector<std::string>{"toggle", "toggle", "restart windowed", "show",
                                                    "show", "restart full", "show", "clear"}));
  EXPECT_TRUE(Box->isChecked());  // letters do not toggle the box
  QTest::keyClick(Box, 'x');
  EXPECT_EQ(Screen.Calls.size(), 8u);

  QTest::keyClick(Box, 'c');
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(std::filesystem::exists(Ini));
  OpenShown();
  Form->CheckBoxes()[1]->setFocus();
  QTest::keyClick(Form->CheckBoxes()[1], 'k');
  EXPECT_EQ(Closed, 2);
  EXPECT_TRUE(std::filesystem::exists(Ini));
}

TEST_F(ConfigFormTest, AltLettersPressButtonsFromAnyControlButPlainLettersOnAGaugeDoNot) {
  OpenShown();
  Form->gSize()->setFocus();
  QTest::keyClick(Form->gSize(), 'p');
  EXPECT_TRUE(Screen.Calls.empty());
  // Through the window, as the platform delivers keys, so that mnemonics are seen.
  QTest::keyClick(Form->windowHandle(), Qt::Key_P, Qt::AltModifier);
  // A mnemonic presses its button with a short animation.
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Screen.Calls.empty(); }, 2000));
  EXPECT_EQ(Screen.Calls, (std::vector<std::string>{"toggle"}));
  EXPECT_EQ(Form->PauseButton()->text(), "&Run");
  QTest::keyClick(Form->windowHandle(), Qt::Key_L, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Screen.Calls.size() == 2; }, 2000));
  EXPECT_EQ(Screen.Calls.back(), "clear");
}

TEST_F(ConfigFormTest, APTypedToTheDialogItselfTogglesThePauseWithoutTheCaption) {
  OpenShown();
  if (QWidget* Focus = Form->focusWidget()) Focus->clearFocus();
  ASSERT_EQ(Form->focusWidget(), nullptr);
  QTest::keyClick(Form.get(), 'p');
  EXPECT_TRUE(Screen.FPaused);
  EXPECT_EQ(Form->PauseButton()->text(), "&Pause");
  QTest::keyClick(Form.get(), 'P');
  EXPECT_TRUE(Screen.FPaused);
}

}  // namespace
}  // namespace quillet

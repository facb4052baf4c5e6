// The configuration dialog's behaviour with a recording view, no toolkit: loading, presets and
// maxima, change handlers, OK and Cancel, the Pause/Run caption and the accelerators.
#include "config/config_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/profile_file.h"
#include "config/screen_control.h"
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

// Holds what a dialog would show.
class FakeView : public IConfigView {
 public:
  FakeView() {
    for (std::size_t R = 0; R < NumberSettings.size(); ++R) Gauges.push_back(NumberSettings[R].Designed);
    Labels.assign(NumberSettings.size(), "");
    for (const TSwitchSetting& S : SwitchSettings) Checks.push_back(S.Designed);
    for (const char* Designed : tConfigForm::DesignedButtonCaptions) Buttons.emplace_back(Designed);
  }
  void ShowGaugePosition(std::size_t Row, int32_t Position) override {
    Gauges[Row] = Position;
    ++GaugeMoves;
  }
  void ShowValueLabel(std::size_t Row, std::string_view Text) override {
    Labels[Row] = Text;
    ++LabelUpdates[Row];
  }
  void ShowChecked(std::size_t Index, bool Checked) override { Checks[Index] = Checked; }
  void ShowButtonCaption(TDialogButton Button, std::string_view Text) override {
    Buttons[static_cast<std::size_t>(Button)] = Text;
  }
  void ShowEngineVersion(std::string_view Text) override { EngineVersion = Text; }
  void ShowCaption(std::string_view Text) override { Caption = Text; }
  void MoveTopTo(int32_t NewTop) override { Top = NewTop; }
  void Hide() override { Visible = false; }
  void ShowError(std::string_view Message) override { Errors.emplace_back(Message); }

  std::vector<int32_t> Gauges;
  std::vector<std::string> Labels;
  std::vector<int> LabelUpdates = std::vector<int>(NumberSettings.size(), 0);
  int GaugeMoves = 0;
  std::vector<bool> Checks;
  std::vector<std::string> Buttons;
  std::string EngineVersion = tConfigForm::DesignedEngineVersion;
  std::string Caption;
  int32_t Top = 300;
  bool Visible = true;
  std::vector<std::string> Errors;
};

class ConfigFormTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Ini = Dir / "QUILLET.INI";
  }

  tConfigForm& Open() {
    View = FakeView();
    Form = std::make_unique<tConfigForm>(Live, Ini);
    Form->SetView(&View);
    Form->SetScreen(&Screen);
    Form->OnClosed = [this] { ++Closed; };
    Form->FormCreate();
    return *Form;
  }
  const std::string& PauseCaption() const { return View.Buttons[static_cast<std::size_t>(TDialogButton::Pause)]; }

  std::filesystem::path Ini;
  DemoSettings Live;
  FakeView View;
  FakeScreen Screen;
  std::unique_ptr<tConfigForm> Form;
  int Closed = 0;
};

const std::vector<bool> DefaultChecks = {true,  false, false, false, false, false, false,
                                         false, true,  false, false, false, false, false,
                                         false, false, false, false};

TEST_F(ConfigFormTest, CreationLoadsTheFileOrItsDefaultsIntoTheLiveSettingsAndTheControls) {
  Open();
  EXPECT_EQ(View.Gauges, (std::vector<int32_t>{50, 80, 127, 1, 10}));
  EXPECT_EQ(View.Labels, (std::vector<std::string>{"50", "80", "127", "1", "10"}));
  EXPECT_EQ(View.Checks, DefaultChecks);
  EXPECT_EQ(View.EngineVersion, "engine v1.8.1");
  EXPECT_EQ(Live, DemoSettings());

  // The designed Objects position is 500, so a stored 500 raises no change but still shows.
  WriteFile(Ini, "[Config]\nObjects=500\nSize=1000\nAlpha=0x40\nThickness=0\nSteps=-3\n"
                 "[Blend]\nLines=2\nBars=0\n[BlendGouraud]\nTriangles=yes\n");
  Open();
  EXPECT_EQ(View.Gauges, (std::vector<int32_t>{500, 100, 64, 1, 1}));
  EXPECT_EQ(View.Labels, (std::vector<std::string>{"500", "100", "64", "1", "1"}));
  EXPECT_EQ(View.LabelUpdates, (std::vector<int>{1, 2, 2, 1, 2}));
  std::vector<bool> Expected = DefaultChecks;
  Expected[7] = true;
  Expected[8] = false;
  EXPECT_EQ(View.Checks, Expected);
  EXPECT_EQ(Live.Size(), 100);
  EXPECT_TRUE(Live.bLines);
  EXPECT_FALSE(Live.bgTriangles);
}

TEST_F(ConfigFormTest, ValueLabelsSetPresetsOnLeftAndMaximaOnRightClickChangesOnlyRaiseHandlers) {
  Open();
  View.LabelUpdates.assign(5, 0);
  Form->iMouseDown(4, TMouseButton::Left);
  EXPECT_EQ(View.Gauges[3], 5);
  EXPECT_EQ(View.Labels[3], "5");
  EXPECT_EQ(Live.Thickness(), 5);
  Form->iMouseDown(4, TMouseButton::Right);
  EXPECT_EQ(Live.Thickness(), 9);
  Form->iMouseDown(1, TMouseButton::Right);
  EXPECT_EQ(Live.Objects(), 1000);
  Form->iMouseDown(1, TMouseButton::Middle);
  Form->iMouseDown(0, TMouseButton::Left);
  Form->iMouseDown(6, TMouseButton::Right);
  EXPECT_EQ(Live.Objects(), 1000);
  for (int Tag = 1; Tag <= 5; ++Tag) Form->iMouseDown(Tag, TMouseButton::Left);
  EXPECT_EQ(View.Gauges, (std::vector<int32_t>{500, 55, 127, 5, 8}));
  for (int Tag = 1; Tag <= 5; ++Tag) Form->iMouseDown(Tag, TMouseButton::Right);
  EXPECT_EQ(View.Gauges, (std::vector<int32_t>{1000, 100, 255, 9, 16}));
  EXPECT_EQ(View.Labels, (std::vector<std::string>{"1000", "100", "255", "9", "16"}));
  // Alpha was already 127: its preset click changed nothing and raised nothing.
  EXPECT_EQ(View.LabelUpdates, (std::vector<int>{3, 2, 1, 4, 2}));
}

TEST_F(ConfigFormTest, EditsAreLiveAndClampedBeforeAnySave) {
  Open();
  Form->GaugeMoved(2, 300);
  EXPECT_EQ(Live.Alpha(), 255);
  EXPECT_EQ(View.Gauges[2], 255);
  EXPECT_EQ(View.Labels[2], "255");
  Form->GaugeMoved(1, -4);
  EXPECT_EQ(Live.Size(), 10);
  Form->CheckToggled(16, true);
  EXPECT_TRUE(Live.bgBars);
  Form->CheckToggled(0, false);
  EXPECT_FALSE(Live.iLines);
  Form->CheckToggled(18, true);  // no such box
  EXPECT_FALSE(std::filesystem::exists(Ini));
}

TEST_F(ConfigFormTest, OkWritesAll23KeysThenCloses) {
  WriteFile(Ini, "; kept\n[Other]\nA=1\n[Blend]\nLines=yes\n");
  Open();
  Form->GaugeMoved(0, 999);
  Form->CheckToggled(17, true);
  Form->CheckToggled(7, true);
  Form->OKButtonClick();
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(View.Visible);
  EXPECT_TRUE(View.Errors.empty());

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
  Open();
  Form->OKButtonClick();
  ASSERT_EQ(View.Errors.size(), 1u);
  EXPECT_EQ(View.Errors[0], "In QUILLET.INI kann nicht geschrieben werden");
  EXPECT_EQ(Closed, 0);
  EXPECT_TRUE(View.Visible);
}

TEST_F(ConfigFormTest, CancelSavesNothingAndKeepsEdits) {
  Open();
  Form->GaugeMoved(4, 3);
  Form->CancelButtonClick();
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(View.Visible);
  EXPECT_EQ(Live.Steps(), 3);
  EXPECT_FALSE(std::filesystem::exists(Ini));
  EXPECT_TRUE(Screen.Calls.empty());
}

TEST_F(ConfigFormTest, PauseCaptionFollowsThePauseAndActivationPlacesTheDialog) {
  Open();
  EXPECT_EQ(PauseCaption(), "&Pause");
  Form->PauseButtonClick();
  EXPECT_TRUE(Screen.FPaused);
  EXPECT_EQ(PauseCaption(), "&Run");
  Form->PauseButtonClick();
  EXPECT_EQ(PauseCaption(), "&Pause");

  // Paused elsewhere: the caption catches up on the next activation, which also sets the top.
  Screen.FPaused = true;
  Form->FormActivate();
  EXPECT_EQ(PauseCaption(), "&Run");
  EXPECT_EQ(View.Top, 40);

  // A p typed to the dialog itself pauses without touching the caption; other letters do nothing.
  Form->FormKeyPress(U'p');
  EXPECT_FALSE(Screen.FPaused);
  EXPECT_EQ(PauseCaption(), "&Run");
  Form->FormKeyPress(U'P');
  EXPECT_FALSE(Screen.FPaused);
}

TEST_F(ConfigFormTest, AcceleratorLettersPressTheirButtonsInEitherCase) {
  Open();
  EXPECT_TRUE(Form->AcceleratorTyped(U'p'));
  EXPECT_EQ(PauseCaption(), "&Run");
  EXPECT_FALSE(Form->ButtonForAccelerator(U'p'));
  EXPECT_TRUE(Form->AcceleratorTyped(U'R'));
  EXPECT_EQ(PauseCaption(), "&Pause");
  EXPECT_TRUE(Form->AcceleratorTyped(U'w'));
  EXPECT_TRUE(Form->AcceleratorTyped(U't'));
  EXPECT_TRUE(Form->AcceleratorTyped(U'l'));
  EXPECT_FALSE(Form->AcceleratorTyped(U'x'));
  EXPECT_EQ(Screen.Calls, (std::vector<std::string>{"toggle", "toggle", "restart windowed", "show", "show",
                                                    "restart full", "show", "clear"}));
  EXPECT_TRUE(Form->AcceleratorTyped(U'c'));
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(std::filesystem::exists(Ini));
  EXPECT_TRUE(Form->AcceleratorTyped(U'k'));
  EXPECT_EQ(Closed, 2);
  EXPECT_TRUE(std::filesystem::exists(Ini));

  EXPECT_EQ(AcceleratorOf("a&&b &Cd"), U'c');
  EXPECT_EQ(AcceleratorOf("none&"), 0u);
}

}  // namespace
}  // namespace quillet

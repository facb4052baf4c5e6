// The screen window's behaviour with a recording window and a hand-moved clock: showing and
// hiding, keys and the input rules, pause, restart and clear, the pace of frames, a surface that
// cannot be had, embedding and the rates overlay.
#include "shell/screen_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/demo_settings.h"
#include "raster/bitmap32.h"
#include "tests/shell/fake_screen_window.h"

namespace quillet {
namespace {

using testing::FakeEventLoop;
using testing::FakeScreenWindow;

class ScreenFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCursorCounter([this](bool Show) { return Count += Show ? 1 : -1; });
    Form = std::make_unique<tScreenForm>(Loop);
    Window = std::make_unique<FakeScreenWindow>(*Form);
    Form->AttachWindow(*Window);
    Form->SetSettings(&Settings);
    Form->OnClosed = [this] { ++Closed; };
    Form->OnShowConfig = [this] { ++ConfigShown; };
  }
  void TearDown() override {
    Window->DetachForm();
    Form.reset();
    ShowMouseCursor();
    SetCursorCounter(nullptr);
  }
  void ShowActive() {
    Window->Cursor = {100, 100};
    Form->Show();
  }
  void MoveTo(int32_t X, int32_t Y) {
    Window->Cursor = {X, Y};
    Form->HandleAppMessage(TAppMessage::MouseMove);
  }

  FakeEventLoop Loop;
  DemoSettings Settings;
  std::unique_ptr<tScreenForm> Form;
  std::unique_ptr<FakeScreenWindow> Window;
  int32_t Count = 0;
  int Closed = 0;
  int ConfigShown = 0;
};

TEST_F(ScreenFormTest, ShowingRunsTheTimerHidesTheCursorOnceAndSizesTheSurface) {
  EXPECT_EQ(Window->Caption, "Quillet  (p...pause)");
  EXPECT_FALSE(Form->TimerActive());
  EXPECT_EQ(Form->DrawSurface().Width(), 48);
  ShowActive();
  EXPECT_TRUE(Form->TimerActive());
  EXPECT_TRUE(Window->Filtering);
  EXPECT_EQ(Form->StartCursorPos(), (TScreenPoint{100, 100}));
  EXPECT_EQ(Form->DrawSurface().Width(), 320);
  EXPECT_EQ(Form->DrawSurface().Height(), 200);
  EXPECT_EQ(Count, -1);
  Window->Close();
  Form->Show();
  EXPECT_EQ(Count, -1);
  Window->Close();
  EXPECT_FALSE(Form->TimerActive());
  EXPECT_FALSE(Window->Filtering);
  EXPECT_EQ(Count, 0);
  Form->FormHide();
  EXPECT_EQ(Count, 0);

  // The timer draws with the live settings, every millisecond.
  ShowActive();
  Loop.Advance(20);
  EXPECT_EQ(Form->TicksDrawn(), 20u);
}

TEST_F(ScreenFormTest, KeysAndTheInputRulesPauseCloseOrBringUpTheDialog) {
  ShowActive();
  Form->FormKeyPress(U'p');
  EXPECT_TRUE(Form->Paused());
  EXPECT_EQ(Window->Caption, "Quillet (paused)");
  Form->FormKeyDown(VK_PAUSE_KEY);
  EXPECT_FALSE(Form->Paused());
  EXPECT_EQ(Window->Caption, "Quillet");
  Form->FormKeyPress(U'P');
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(Window->Visible);

  ShowActive();
  MoveTo(110, 90);
  EXPECT_EQ(Closed, 1);
  MoveTo(111, 100);
  EXPECT_EQ(Closed, 2);

  ShowActive();
  Form->HandleAppMessage(TAppMessage::RightButtonDown);
  EXPECT_EQ(ConfigShown, 1);
  EXPECT_EQ(Count, 0);  // the cursor shows for the dialog
  EXPECT_EQ(Closed, 2);
  // Another window has the focus now: the pointer and clicks leave the saver alone.
  Window->Focused = false;
  MoveTo(500, 500);
  Form->HandleAppMessage(TAppMessage::LeftButtonDown);
  EXPECT_EQ(Closed, 2);
  Window->Focused = true;
  Form->HandleAppMessage(TAppMessage::SystemKeyDown);
  EXPECT_EQ(Closed, 3);
}

TEST_F(ScreenFormTest, TheWindowedTestShowsTheCursorAndClosesOnlyOnTypedCharacters) {
  Form->Restart(true);
  EXPECT_EQ(Window->Look, TWindowLook::Windowed);
  ShowActive();
  EXPECT_TRUE(Form->WindowedTest());
  EXPECT_EQ(Count, 0);
  MoveTo(400, 400);
  Form->HandleAppMessage(TAppMessage::LeftButtonDown);
  EXPECT_EQ(Closed, 0);
  Form->FormKeyPress(U'a');
  EXPECT_EQ(Closed, 1);
  Form->Restart(false);
  EXPECT_FALSE(Form->WindowedTest());
  EXPECT_EQ(Window->Look, TWindowLook::FullScreen);
}

// Ticks run every millisecond, frames at most once per refresh; paused, after the last frame has
// gone out, none.
TEST_F(ScreenFormTest, FramesFollowTheRefreshAndStopWhilePaused) {
  Window->Refresh = 50;  // a frame every 20 ms
  ShowActive();
  Loop.Advance(1000);
  EXPECT_GE(Window->Frames, 45);
  EXPECT_LE(Window->Frames, 51);

  Form->TogglePaused();
  Loop.Advance(25);
  const int Paused = Window->Frames;
  EXPECT_TRUE(Form->Presenter().Pending().Empty());
  Loop.Advance(200);
  EXPECT_EQ(Window->Frames, Paused);
  // Clearing while paused is still shown, within a refresh.
  Form->Clear();
  Loop.Advance(21);
  EXPECT_EQ(Window->Frames, Paused + 1);
}

TEST_F(ScreenFormTest, RestartWipesAndResetsClearOnlyWipesAnEmbeddedPreviewKeepsItsLook) {
  ShowActive();
  Form->TogglePaused();
  TBitmap32& Surface = Form->DrawSurface();
  Surface.Fill(0xFF123456);
  Form->Frame().ObjectCount = 7;
  Form->Clear();
  EXPECT_EQ(*Surface.PixelAddress(3, 3), 0xFF000000u);
  EXPECT_EQ(Form->Frame().ObjectCount, 7);
  EXPECT_TRUE(Form->Paused());

  Surface.Fill(0xFF123456);
  Form->Restart(false);
  EXPECT_EQ(*Surface.PixelAddress(3, 3), 0xFF000000u);
  EXPECT_EQ(Form->Frame().ObjectCount, 0);
  EXPECT_FALSE(Form->Paused());
  EXPECT_EQ(Window->Caption, "Quillet (paused)");  // the caption stays as it was

  // Paused, ticks draw nothing.
  Form->TogglePaused();
  const uint64_t Ticks = Form->TicksDrawn();
  Form->timer1Timer();
  EXPECT_EQ(Form->TicksDrawn(), Ticks);

  Form->SetParentWindow(Window->KnownHost);
  Window->Calls.clear();
  Form->Restart(true);
  EXPECT_TRUE(Window->Calls.empty());
}

TEST_F(ScreenFormTest, ShowTextDrawsInTheGivenColourAndKeepsIt) {
  ShowActive();
  Form->ShowText(5, 5, 0x80FF0000, "Wq");
  EXPECT_EQ(Form->DrawSurface().TextFont().Color(), 0x000000FF);
}

// A size whose surface cannot be had is reported, never thrown through the event loop; the surface
// stays empty until a size that fits comes.
TEST_F(ScreenFormTest, ASurfaceThatCannotBeHadIsReportedOnceAndLeavesItEmpty) {
  std::vector<std::string> Errors;
  Form->OnSurfaceError = [&Errors](std::string_view What) { Errors.emplace_back(What); };
  Window->Client = {23171, 23171};  // a little more than the 2 GiB a surface may hold
  ShowActive();
  Form->FormResize();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "Can't allocate the DIB handle");
  EXPECT_TRUE(Form->DrawSurface().IsEmpty());
  Loop.Advance(5);  // draws nowhere
  Window->Client = {64, 48};
  Form->FormResize();
  EXPECT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Form->DrawSurface().Width(), 64);
  EXPECT_EQ(Form->DrawSurface().Height(), 48);
}

TEST_F(ScreenFormTest, EmbeddingSizesToTheHostAndReportsAFailure) {
  Form->SetParentWindow(0);
  EXPECT_TRUE(Window->Infos.empty());
  EXPECT_EQ(Form->PreviousParent(), 0u);
  Form->SetParentWindow(12345);  // no such window: reported, the bounds stay
  EXPECT_EQ(Window->Infos, (std::vector<std::string>{"info: SetParentWindow failed"}));
  EXPECT_EQ(Window->Bounds, TRect{});
  Form->SetParentWindow(Window->KnownHost);
  EXPECT_EQ(Form->PreviousParent(), 1u);
  EXPECT_EQ(Window->Bounds, (TRect{0, 0, 300, 200}));
  // Embedded, the pointer never closes the preview; a click still does.
  ShowActive();
  MoveTo(900, 900);
  EXPECT_EQ(Closed, 0);
  Form->HandleAppMessage(TAppMessage::MiddleButtonDown);
  EXPECT_EQ(Closed, 1);
}

TEST_F(ScreenFormTest, HostedTheInputIsTheHostsAndTheRatesShowOverThePage) {
  Form->SetHosted();
  Form->ShowRates(true);
  EXPECT_TRUE(Window->InputToHost);
  ASSERT_NE(Window->Overlay, nullptr);
  Form->Show();
  EXPECT_FALSE(Window->Filtering);
  EXPECT_EQ(Count, 0);
  Loop.Advance(2100);
  EXPECT_GE(Window->OverlayChanges, 1);
  Form->ShowRates(false);
  EXPECT_EQ(Window->Overlay, nullptr);
}

}  // namespace
}  // namespace quillet

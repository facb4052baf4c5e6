// The screen window's widget on the offscreen platform: Qt's keys, clicks and pointer movement
// reach the input rules as they should, showing and hiding run the timer and the filter, the looks
// set the window's flags and state, and frames follow the refresh with the toolkit's timers.
#include "platform/ui_qt_x11/qt_screen_window.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/demo_settings.h"
#include "platform/ui_qt_x11/cursor_counter.h"
#include "platform/ui_qt_x11/qt_event_loop.h"
#include "platform/ui_qt_x11/qt_text_engine.h"
#include "raster/bitmap32.h"
#include "shell/frame_pacer.h"
#include "shell/screen_form.h"

namespace quillet {
namespace {

class QtScreenWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool Installed = false;
    if (!Installed) InstallQtTextOutput();
    Installed = true;
  }
  void SetUp() override {
    SetCursorCounter([](bool Show) { return ShowCursor(Show); });
    Form = std::make_unique<tScreenForm>(Loop);
    Window = std::make_unique<TQtScreenWindow>(*Form);
    Form->AttachWindow(*Window);
    Form->SetSettings(&Settings);
    Form->OnClosed = [this] { ++Closed; };
    Form->OnShowConfig = [this] { ++ConfigShown; };
  }
  void TearDown() override {
    Window->DetachForm();
    Form.reset();
    Window.reset();
    Other.reset();
    SetCursorCounter(nullptr);
  }

  void ShowActive() {
    QCursor::setPos(100, 100);
    Form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  }
  void Key(int Code, const QString& Text, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QKeyEvent Press(QEvent::KeyPress, Code, Mods, Text);
    QApplication::sendEvent(Window.get(), &Press);
  }
  void MoveTo(int X, int Y) {
    QCursor::setPos(X, Y);
    const QPoint Local = Window->mapFromGlobal(QPoint(X, Y));
    QMouseEvent Move(QEvent::MouseMove, Local, QPoint(X, Y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Window.get(), &Move);
  }
  void Press(Qt::MouseButton Button, QWidget* Target = nullptr) {
    QWidget* W = Target ? Target : Window.get();
    QMouseEvent E(QEvent::MouseButtonPress, QPointF(5, 5), W->mapToGlobal(QPointF(5, 5)), Button,
                  Button, Qt::NoModifier);
    QApplication::sendEvent(W, &E);
  }

  TQtEventLoop Loop;
  DemoSettings Settings;
  std::unique_ptr<tScreenForm> Form;
  std::unique_ptr<TQtScreenWindow> Window;
  std::unique_ptr<QWidget> Other;
  int Closed = 0;
  int ConfigShown = 0;
};

TEST_F(QtScreenWindowTest, ShowingRunsTheTimerHidesTheCursorOnceAndSizesTheSurface) {
  EXPECT_FALSE(Form->TimerActive());
  EXPECT_EQ(Form->DrawSurface().Width(), 48);
  const int32_t Before = CursorDisplayCount();
  ShowActive();
  EXPECT_TRUE(Form->TimerActive());
  EXPECT_EQ(Form->StartCursorPos(), (TScreenPoint{100, 100}));
  EXPECT_EQ(Form->DrawSurface().Width(), Window->width());
  EXPECT_EQ(Form->DrawSurface().Height(), Window->height());
  EXPECT_EQ(CursorDisplayCount(), Before - 1);
  Window->hide();
  Form->Show();
  EXPECT_EQ(CursorDisplayCount(), Before - 1);
  Window->hide();
  EXPECT_FALSE(Form->TimerActive());
  EXPECT_EQ(CursorDisplayCount(), Before);
  Window->hide();
  EXPECT_EQ(CursorDisplayCount(), Before);

  // The timer draws with the live settings.
  ShowActive();
  EXPECT_TRUE(QTest::qWaitFor([this] { return Form->TicksDrawn() > 3; }, 3000));
}

TEST_F(QtScreenWindowTest, KeysPauseOrClose) {
  ShowActive();
  Key(Qt::Key_P, "p");
  EXPECT_TRUE(Form->Paused());
  EXPECT_EQ(Window->windowTitle(), "Quillet (paused)");
  Key(Qt::Key_Pause, "");
  EXPECT_FALSE(Form->Paused());
  EXPECT_EQ(Window->windowTitle(), "Quillet");
  for (const int Silent : {Qt::Key_Left, Qt::Key_Shift, Qt::Key_F5}) Key(Silent, "");
  Key(Qt::Key_Delete, QString(QChar(0x7F)));
  EXPECT_EQ(Closed, 0);
  // Alt+p is a system key: the filter closes the window, nothing is typed.
  Key(Qt::Key_P, "p", Qt::AltModifier);
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(Form->Paused());

  for (const auto& [Code, Text] : std::vector<std::pair<int, QString>>{
           {Qt::Key_P, "P"}, {Qt::Key_Return, "\r"}, {Qt::Key_Escape, "\x1b"}, {Qt::Key_Space, " "},
           {Qt::Key_Backspace, "\b"}, {Qt::Key_X, "x"}}) {
    ShowActive();
    const int Before = Closed;
    Key(Code, Text);
    EXPECT_EQ(Closed, Before + 1) << Text.toStdString();
    EXPECT_FALSE(Window->isVisible());
  }
}

TEST_F(QtScreenWindowTest, MouseMovementBeyondTenPixelsCloses) {
  ShowActive();
  MoveTo(110, 90);
  MoveTo(90, 110);
  EXPECT_EQ(Closed, 0);
  MoveTo(111, 100);
  EXPECT_EQ(Closed, 1);

  ShowActive();
  MoveTo(100, 89);
  EXPECT_EQ(Closed, 2);
}

TEST_F(QtScreenWindowTest, ClicksAndAltCloseButRightClickShowsTheDialog) {
  ShowActive();
  Press(Qt::RightButton);
  EXPECT_EQ(ConfigShown, 1);
  EXPECT_EQ(Closed, 0);
  EXPECT_GE(CursorCounter(), 0);
  Press(Qt::LeftButton);
  EXPECT_EQ(Closed, 1);
  ShowActive();
  Press(Qt::MiddleButton);
  EXPECT_EQ(Closed, 2);
  ShowActive();
  QKeyEvent Alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  QApplication::sendEvent(Window.get(), &Alt);
  EXPECT_EQ(Closed, 3);

  // Hidden, the window's filter is gone: a right click anywhere does nothing special.
  Other = std::make_unique<QWidget>();
  Other->show();
  Press(Qt::RightButton, Other.get());
  EXPECT_EQ(ConfigShown, 1);
}

TEST_F(QtScreenWindowTest, NothingClosesByMouseWhileAnotherWindowHasTheFocus) {
  ShowActive();
  Other = std::make_unique<QWidget>();
  Other->show();
  Other->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Other.get()));
  MoveTo(300, 300);
  Press(Qt::LeftButton);
  EXPECT_EQ(Closed, 0);
  Press(Qt::RightButton, Other.get());
  EXPECT_EQ(ConfigShown, 1);
}

TEST_F(QtScreenWindowTest, TheWindowedTestClosesOnlyOnTypedCharacters) {
  Form->Restart(true);
  ShowActive();
  EXPECT_TRUE(Form->WindowedTest());
  EXPECT_FALSE(Window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_GE(CursorCounter(), 0);
  MoveTo(400, 400);
  Press(Qt::LeftButton);
  EXPECT_EQ(Closed, 0);
  Key(Qt::Key_A, "a");
  EXPECT_EQ(Closed, 1);

  Form->Restart(false);
  EXPECT_FALSE(Form->WindowedTest());
  EXPECT_TRUE(Window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(Window->windowState() & Qt::WindowFullScreen);
}

// Ticks run every millisecond, frames at most once per refresh; paused, after the last frame has
// gone out, none.
TEST_F(QtScreenWindowTest, FramesFollowTheRefreshAndStopWhilePaused) {
  ShowActive();
  TFramePacer Pace;
  Pace.SetRefreshRate(Window->screen()->refreshRate());
  const double PeriodMs = static_cast<double>(Pace.Period()) / 1e6;
  QElapsedTimer Clock;
  Clock.start();
  const uint64_t Frames = Form->Presenter().FramesShown();
  QTest::qWait(300);
  const uint64_t Shown = Form->Presenter().FramesShown() - Frames;
  EXPECT_GE(Shown, 1u);
  EXPECT_LE(static_cast<double>(Shown), static_cast<double>(Clock.elapsed()) / PeriodMs + 2);

  Form->TogglePaused();
  QTest::qWait(static_cast<int>(PeriodMs) + 30);
  const uint64_t Paused = Form->Presenter().FramesShown();
  EXPECT_TRUE(Form->Presenter().Pending().Empty());
  QTest::qWait(200);
  EXPECT_EQ(Form->Presenter().FramesShown(), Paused);
  // Clearing while paused is still shown.
  Form->Clear();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Form->Presenter().FramesShown() > Paused; }, 1000));
}

TEST_F(QtScreenWindowTest, ShowTextDrawsInTheGivenColourAndKeepsIt) {
  ShowActive();
  Form->DrawSurface().Erase();
  Form->ShowText(5, 5, 0x80FF0000, "Wq");
  EXPECT_EQ(Form->DrawSurface().TextFont().Color(), 0x000000FF);
  bool Red = false;
  for (int32_t Y = 0; Y < 40 && !Red; ++Y)
    for (int32_t X = 0; X < 60 && !Red; ++X) Red = *Form->DrawSurface().PixelAddress(X, Y) == 0xFFFF0000u;
  EXPECT_TRUE(Red);
}

// A size whose surface cannot be had is reported, never thrown through the event loop; the surface
// stays empty until a size that fits comes.
TEST_F(QtScreenWindowTest, ASurfaceThatCannotBeHadIsReportedAndLeavesItEmpty) {
  std::vector<std::string> Errors;
  Form->OnSurfaceError = [&Errors](std::string_view What) { Errors.emplace_back(What); };
  const auto ResizeTo = [this](int W, int H) {
    const QSize Before = Window->size();
    Window->resize(W, H);  // hidden: the event is sent here rather than left pending
    QResizeEvent Resized(Window->size(), Before);
    QApplication::sendEvent(Window.get(), &Resized);
  };
  ResizeTo(23171, 23171);  // a little more than the 2 GiB a surface may hold
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "Can't allocate the DIB handle");
  EXPECT_TRUE(Form->DrawSurface().IsEmpty());
  Form->timer1Timer();  // draws nowhere
  ResizeTo(23171, 23171);  // asked again for the same size: not reported again
  EXPECT_EQ(Errors.size(), 1u);
  ResizeTo(64, 48);
  EXPECT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Form->DrawSurface().Width(), 64);
  EXPECT_EQ(Form->DrawSurface().Height(), 48);
}

}  // namespace
}  // namespace quillet

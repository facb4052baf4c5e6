// The screen window on the offscreen platform: showing and hiding, keys, the input filter's
// close rules, pause, restart and clear, the pace of frames, and the cover of every changed pixel
// by the areas a tick passes on.
#include "shell/screen_form.h"

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
#include "platform/changed_areas.h"
#include "platform/cursor_counter.h"
#include "platform/frame_pacer.h"
#include "platform/qt_text_engine.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

class ScreenFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool Installed = false;
    if (!Installed) InstallQtTextOutput();
    Installed = true;
  }
  void SetUp() override {
    Form = std::make_unique<tScreenForm>();
    Form->SetSettings(&Settings);
    Form->OnClosed = [this] { ++Closed; };
    Form->OnShowConfig = [this] { ++ConfigShown; };
  }
  void TearDown() override {
    Form.reset();
    Other.reset();
  }

  void ShowActive() {
    QCursor::setPos(100, 100);
    Form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  }
  void Key(int Code, const QString& Text, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QKeyEvent Press(QEvent::KeyPress, Code, Mods, Text);
    QApplication::sendEvent(Form.get(), &Press);
  }
  void MoveTo(int X, int Y) {
    QCursor::setPos(X, Y);
    const QPoint Local = Form->mapFromGlobal(QPoint(X, Y));
    QMouseEvent Move(QEvent::MouseMove, Local, QPoint(X, Y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &Move);
  }
  void Press(Qt::MouseButton Button, QWidget* Target = nullptr) {
    QWidget* W = Target ? Target : Form.get();
    QMouseEvent E(QEvent::MouseButtonPress, QPointF(5, 5), W->mapToGlobal(QPointF(5, 5)), Button,
                  Button, Qt::NoModifier);
    QApplication::sendEvent(W, &E);
  }

  DemoSettings Settings;
  std::unique_ptr<tScreenForm> Form;
  std::unique_ptr<QWidget> Other;
  int Closed = 0;
  int ConfigShown = 0;
};

TEST_F(ScreenFormTest, ShowingRunsTheTimerHidesTheCursorOnceAndSizesTheSurface) {
  EXPECT_FALSE(Form->TimerActive());
  EXPECT_EQ(Form->DrawSurface().Width(), 48);
  const int32_t Before = CursorDisplayCount();
  ShowActive();
  EXPECT_TRUE(Form->TimerActive());
  EXPECT_EQ(Form->StartCursorPos(), QPoint(100, 100));
  EXPECT_EQ(Form->DrawSurface().Width(), Form->width());
  EXPECT_EQ(Form->DrawSurface().Height(), Form->height());
  EXPECT_EQ(CursorDisplayCount(), Before - 1);
  Form->hide();
  Form->Show();
  EXPECT_EQ(CursorDisplayCount(), Before - 1);
  Form->hide();
  EXPECT_FALSE(Form->TimerActive());
  EXPECT_EQ(CursorDisplayCount(), Before);
  Form->hide();
  EXPECT_EQ(CursorDisplayCount(), Before);

  // The timer draws with the live settings.
  ShowActive();
  EXPECT_TRUE(QTest::qWaitFor([this] { return Form->TicksDrawn() > 3; }, 3000));
}

TEST_F(ScreenFormTest, KeysPauseOrClose) {
  ShowActive();
  Key(Qt::Key_P, "p");
  EXPECT_TRUE(Form->Paused());
  EXPECT_EQ(Form->windowTitle(), "Quillet (paused)");
  Key(Qt::Key_Pause, "");
  EXPECT_FALSE(Form->Paused());
  EXPECT_EQ(Form->windowTitle(), "Quillet");
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
    EXPECT_FALSE(Form->isVisible());
  }
}

TEST_F(ScreenFormTest, MouseMovementBeyondTenPixelsCloses) {
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

TEST_F(ScreenFormTest, ClicksAndAltCloseButRightClickShowsTheDialog) {
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
  QApplication::sendEvent(Form.get(), &Alt);
  EXPECT_EQ(Closed, 3);

  // Hidden, the window's filter is gone: a right click anywhere does nothing special.
  Other = std::make_unique<QWidget>();
  Other->show();
  Press(Qt::RightButton, Other.get());
  EXPECT_EQ(ConfigShown, 1);
}

TEST_F(ScreenFormTest, NothingClosesByMouseWhileAnotherWindowHasTheFocus) {
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

TEST_F(ScreenFormTest, TheWindowedTestClosesOnlyOnTypedCharacters) {
  Form->Restart(true);
  ShowActive();
  EXPECT_TRUE(Form->WindowedTest());
  EXPECT_FALSE(Form->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_GE(CursorCounter(), 0);
  MoveTo(400, 400);
  Press(Qt::LeftButton);
  EXPECT_EQ(Closed, 0);
  Key(Qt::Key_A, "a");
  EXPECT_EQ(Closed, 1);

  Form->Restart(false);
  EXPECT_FALSE(Form->WindowedTest());
  EXPECT_TRUE(Form->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(Form->windowState() & Qt::WindowFullScreen);
}

// Ticks run every millisecond, frames at most once per refresh; paused, after the last frame has
// gone out, none.
TEST_F(ScreenFormTest, FramesFollowTheRefreshAndStopWhilePaused) {
  ShowActive();
  TFramePacer Pace;
  Pace.SetRefreshRate(Form->screen()->refreshRate());
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

TEST_F(ScreenFormTest, RestartWipesAndResetsClearOnlyWipes) {
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
  EXPECT_TRUE(Form->isVisible());

  // Paused, ticks draw nothing.
  Form->TogglePaused();
  const uint64_t Ticks = Form->TicksDrawn();
  Form->timer1Timer();
  EXPECT_EQ(Form->TicksDrawn(), Ticks);
}

TEST_F(ScreenFormTest, ShowTextDrawsInTheGivenColourAndKeepsIt) {
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
TEST_F(ScreenFormTest, ASurfaceThatCannotBeHadIsReportedAndLeavesItEmpty) {
  std::vector<std::string> Errors;
  Form->OnSurfaceError = [&Errors](std::string_view What) { Errors.emplace_back(What); };
  const auto ResizeTo = [this](int W, int H) {
    const QSize Before = Form->size();
    Form->resize(W, H);  // hidden: the event is sent here rather than left pending
    QResizeEvent Resized(Form->size(), Before);
    QApplication::sendEvent(Form.get(), &Resized);
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

TEST_F(ScreenFormTest, SetParentWindowWithZeroDoesNothing) {
  int Notices = 0;
  Form->ShowInfo = [&Notices](std::string_view, std::string_view) { ++Notices; };
  Form->SetParentWindow(0);
  EXPECT_EQ(Notices, 0);
  EXPECT_EQ(Form->PreviousParent(), 0u);
  // Off X11 nothing can be embedded: the failure is reported and the window stays as it was.
  const QRect Before = Form->geometry();
  Form->SetParentWindow(12345);
  EXPECT_EQ(Notices, 1);
  EXPECT_EQ(Form->geometry(), Before);
}

// What the window gathers from a tick through the repaint filter, which follows the tick's wipes
// and shapes, as the frame presenter gathers it.
struct GatheredTick {
  explicit GatheredTick(int32_t W, int32_t H) {
    Surface.SetDimensions(W, H);
    Surface.Erase();
    Surface.OnAreaChanged = [this](TBitmap32*, const TRect& Area, uint32_t Info) {
      ++Reports;
      if ((Info & AREAINFO_RECT) && Area == Surface.BoundsRect()) ++WholeReports;
      Areas.SetBounds(Surface.Width(), Surface.Height());
      Areas.AddReport(Area, Info);
    };
    Filter.OnErased = [this] {
      Areas.Clear();
      Erased = true;
    };
    Filter.Attach(Surface);
    State.SetDrawSurface(&Surface);
    Filter.Follow(State);
    Areas.SetBounds(W, H);
  }
  TTickOutcome Tick(const DemoSettings& Settings) {
    Areas.Clear();
    Erased = false;
    Reports = WholeReports = 0;
    Filter.BeginTick();
    const TTickOutcome Outcome =
        timer1Timer(State, Settings, Surface.Width(), Surface.Height(), TTickClock{});
    Filter.EndTick(Outcome == TTickOutcome::Wiped);
    return Outcome;
  }
  bool Covered(int32_t X, int32_t Y) const {
    for (const TRect& R : Areas.Rects())
      if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return true;
    return false;
  }

  TBitmap32 Surface;
  TTickRepaintFilter Filter;
  TFrameState State;
  TChangedAreas Areas;
  bool Erased = false;
  int Reports = 0;
  int WholeReports = 0;
};

// The tick's whole-surface reports are dropped or replaced by shape boxes, so the areas passed on
// must cover every pixel the tick changes, and never be the whole surface. Checked kind by kind.
TEST(TickRepaint, GatheredAreasCoverEveryChangedPixel) {
  constexpr int32_t W = 320, H = 240;
  GatheredTick G(W, H);
  G.State.ObjectCount = 0;
  DemoSettings Settings;
  bool DemoSettings::*Kinds[] = {
      &DemoSettings::iLines, &DemoSettings::iBars, &DemoSettings::iTriangles, &DemoSettings::iFillTria,
      &DemoSettings::iSplineCurve, &DemoSettings::iSplineArea, &DemoSettings::iEllipse,
      &DemoSettings::bLines, &DemoSettings::bBars, &DemoSettings::bTriangles, &DemoSettings::bFillTria,
      &DemoSettings::bSplineCurve, &DemoSettings::bSplineArea, &DemoSettings::bEllipseDisk,
      &DemoSettings::gBars, &DemoSettings::gTriangles, &DemoSettings::bgBars, &DemoSettings::bgTriangles};
  Settings.SetObjects(1000);
  for (int Thickness : {1, 4}) {
    Settings.SetThickness(Thickness);
    for (size_t Kind = 0; Kind < std::size(Kinds); ++Kind) {
      for (bool DemoSettings::*Off : Kinds) Settings.*Off = false;
      Settings.*Kinds[Kind] = true;
      for (int Tick = 0; Tick < 20; ++Tick) {
        std::vector<TColor32> Before(G.Surface.PixelPtr(), G.Surface.PixelPtr() + W * H);
        ASSERT_EQ(G.Tick(Settings), TTickOutcome::Drawn);
        ASSERT_EQ(G.WholeReports, 0) << "kind " << Kind << " thickness " << Thickness;
        for (int32_t Y = 0; Y < H; ++Y)
          for (int32_t X = 0; X < W; ++X)
            if (G.Surface.PixelPtr()[Y * W + X] != Before[static_cast<size_t>(Y * W + X)]) {
              ASSERT_TRUE(G.Covered(X, Y)) << "pixel " << X << "," << Y << " kind " << Kind
                                           << " thickness " << Thickness << " tick " << Tick;
            }
      }
    }
  }
}

// The closing whole-surface report never gets through, and a wipe is passed on as such, followed
// only by what the new page draws: so every pixel outside the gathered areas must be opaque black,
// which is what the window fills in. A paused tick passes on nothing; a resize, the whole surface.
TEST(TickRepaint, AWipeIsBlackOutsideTheAreasAPauseGathersNothing) {
  constexpr int32_t W = 400, H = 300;
  GatheredTick G(W, H);
  DemoSettings Settings;
  Settings.SetObjects(10);
  Settings.SetSize(20);  // the shapes of a tick cover a small part of the surface
  Settings.iSplineArea = Settings.bEllipseDisk = Settings.gBars = Settings.bgTriangles = true;
  int Wipes = 0;
  for (int Tick = 0; Tick < 40; ++Tick) {
    const TTickOutcome Outcome = G.Tick(Settings);
    EXPECT_EQ(G.Erased, Outcome == TTickOutcome::Wiped);
    EXPECT_EQ(G.WholeReports, 0);
    EXPECT_FALSE(G.Areas.Whole());
    if (Outcome != TTickOutcome::Wiped) continue;
    ++Wipes;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X)
        if (!G.Covered(X, Y)) {
          ASSERT_EQ(*G.Surface.PixelAddress(X, Y), clBlack32) << X << "," << Y;
        }
  }
  EXPECT_EQ(Wipes, 3);

  G.State.Paused = true;
  EXPECT_EQ(G.Tick(Settings), TTickOutcome::Skipped);
  EXPECT_EQ(G.Reports, 0);
  EXPECT_TRUE(G.Areas.Empty());
  EXPECT_FALSE(G.Erased);

  G.Surface.SetDimensions(120, 90);
  EXPECT_TRUE(G.Areas.Whole());
}

}  // namespace
}  // namespace quillet

// present-check: the screen window on the X server of $DISPLAY shows exactly its surface once it
// is paused, whether the last tick wiped the page or drew Gouraud shapes (whose pixels come
// without area reports), and shows nothing more while it stays paused.
//
//   present-check [--direct] [--rates]
//                      exit 0 when every screenshot matched, 1 otherwise. --direct: the window must
//                      present straight to the X server; --rates: with the rate overlay, which must
//                      show over the bottom-left corner while the rest shows the surface
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "config/demo_settings.h"
#include "platform/image_view.h"
#include "platform/qt_text_engine.h"
#include "raster/engine_init.h"
#include "shell/screen_form.h"

using namespace quillet;

namespace {

constexpr int Width = 320;
constexpr int Height = 240;

void RunEventsFor(int Milliseconds) {
  QElapsedTimer Clock;
  Clock.start();
  while (Clock.elapsed() < Milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool WaitUntil(const std::function<bool()>& Done, int Milliseconds) {
  QElapsedTimer Clock;
  Clock.start();
  while (!Done()) {
    if (Clock.elapsed() > Milliseconds) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

TImage32* ViewOf(tScreenForm& Form) {
  for (QWidget* Child : Form.findChildren<QWidget*>())
    if (auto* View = dynamic_cast<TImage32*>(Child)) return View;
  return nullptr;
}

// Every request the program has sent is handled once a reply to a later one has come.
void SyncWithServer() {
  auto* X11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!X11) return;
  xcb_connection_t* C = X11->connection();
  std::free(xcb_get_input_focus_reply(C, xcb_get_input_focus(C), nullptr));
}

// Compares the window's pixels on the server with the surface's, without the alpha byte; with
// the rate overlay, its corner with the overlay's image.
bool ScreenMatchesSurface(tScreenForm& Form, const char* What) {
  SyncWithServer();
  const TImage32* View = ViewOf(Form);
  const TRect Overlay = View ? View->OverlayArea() : TRect{};
  const TBitmap32* OverlayImage = Form.Rates() ? &Form.Rates()->Image() : nullptr;
  int ScreenNumber = 0;
  xcb_connection_t* C = xcb_connect(nullptr, &ScreenNumber);
  if (xcb_connection_has_error(C)) {
    std::printf("%s: no connection for the screenshot\n", What);
    xcb_disconnect(C);
    return false;
  }
  const TBitmap32& Surface = Form.DrawSurface();
  xcb_get_image_reply_t* Image = xcb_get_image_reply(
      C, xcb_get_image(C, XCB_IMAGE_FORMAT_Z_PIXMAP, static_cast<xcb_window_t>(Form.winId()), 0, 0,
                       static_cast<uint16_t>(Surface.Width()), static_cast<uint16_t>(Surface.Height()), ~0u),
      nullptr);
  bool Matched = false;
  if (!Image || xcb_get_image_data_length(Image) < Surface.Width() * Surface.Height() * 4) {
    std::printf("%s: no screenshot of the window\n", What);
  } else {
    const auto* Shown = reinterpret_cast<const uint32_t*>(xcb_get_image_data(Image));
    long Wrong = 0;
    for (int32_t Y = 0; Y < Surface.Height(); ++Y)
      for (int32_t X = 0; X < Surface.Width(); ++X) {
        const bool InOverlay = OverlayImage && X >= Overlay.Left && X < Overlay.Right && Y >= Overlay.Top &&
                               Y < Overlay.Bottom;
        const uint32_t Expected =
            (InOverlay ? *OverlayImage->PixelAddress(X - Overlay.Left, Y - Overlay.Top) : *Surface.PixelAddress(X, Y)) &
            0xFFFFFF;
        const uint32_t Actual = Shown[Y * Surface.Width() + X] & 0xFFFFFF;
        if (Expected != Actual && Wrong++ == 0)
          std::printf("%s: pixel %d,%d is %06x on screen, %06x in the surface\n", What, X, Y, Actual, Expected);
      }
    if (Wrong) std::printf("%s: %ld of %d pixels differ\n", What, Wrong, Surface.Width() * Surface.Height());
    Matched = Wrong == 0;
  }
  std::free(Image);
  xcb_disconnect(C);
  return Matched;
}

// Runs single ticks while otherwise paused until Stop says the last one was the wanted kind.
void StepUntil(tScreenForm& Form, const std::function<bool()>& Stop) {
  for (int I = 0; I < 2000; ++I) {
    Form.TogglePaused();
    Form.timer1Timer();
    Form.TogglePaused();
    if (Stop()) return;
  }
}

// The picture after a pause: shown within a refresh, then nothing more is shown.
bool CheckPaused(tScreenForm& Form, const char* What) {
  RunEventsFor(150);
  const uint64_t Frames = Form.Presenter().FramesShown();
  bool Ok = ScreenMatchesSurface(Form, What);
  RunEventsFor(150);
  if (Form.Presenter().FramesShown() != Frames) {
    std::printf("%s: frames were shown while paused\n", What);
    Ok = false;
  }
  return Ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool Direct = false;
  bool Rates = false;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == "--direct") {
      Direct = true;
    } else if (Arg == "--rates") {
      Rates = true;
    } else {
      std::printf("usage: present-check [--direct] [--rates]\n");
      return 2;
    }
  }
  InitRasterEngine();
  int QtArgc = 1;
  QApplication App(QtArgc, argv);
  InstallQtTextOutput();

  DemoSettings Settings;
  Settings.SetObjects(10);
  Settings.gBars = Settings.gTriangles = Settings.bgBars = Settings.bgTriangles = true;
  tScreenForm Form;
  Form.SetSettings(&Settings);
  Form.setGeometry(0, 0, Width, Height);
  Form.ShowRates(Rates);
  Form.Show();
  if (!WaitUntil([&] { return Form.windowHandle() && Form.windowHandle()->isExposed(); }, 5000)) {
    std::printf("the window was not shown\n");
    return 1;
  }
  RunEventsFor(300);
  bool Ok = true;
  if (Direct && !(ViewOf(Form) && ViewOf(Form)->PresentsDirectly())) {
    std::printf("the window does not present straight to the X server\n");
    Ok = false;
  }
  if (Rates) {
    // At least one reading has come, and it is not drawn into the page.
    RunEventsFor(1200);
    if (!Form.Rates() || Form.Rates()->Text().find("ticks/s") == std::string::npos ||
        Form.Rates()->Text()[0] == '-') {
      std::printf("no reading of the rates\n");
      Ok = false;
    }
  }

  // Paused by the user while the ticks run.
  Form.TogglePaused();
  Ok &= CheckPaused(Form, "running");

  // The last tick wiped the page: a black page with the time and the tick's shapes.
  StepUntil(Form, [&] { return Form.Frame().ObjectCount == 1; });
  Ok &= CheckPaused(Form, "wipe");

  // The last tick drew only Gouraud shapes.
  Settings.SetObjects(1000);
  Settings.iLines = Settings.bBars = false;
  StepUntil(Form, [] { return true; });
  Ok &= CheckPaused(Form, "gouraud");

  // Resumed for a while, then paused again.
  Form.TogglePaused();
  RunEventsFor(200);
  Form.TogglePaused();
  Ok &= CheckPaused(Form, "resumed");

  std::printf(Ok ? "the screen matched the surface\n" : "the screen did not match the surface\n");
  return Ok ? 0 : 1;
}

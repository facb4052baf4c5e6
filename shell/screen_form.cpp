// The screen window: appearances, the timer, keys, the application-wide input filter, pausing,
// restarting and embedding.
#include "shell/screen_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <cmath>
#include <cstdlib>

#include "config/demo_settings.h"
#include "platform/cursor_counter.h"
#include "platform/image_view.h"
#include "platform/message_box.h"
#include "platform/monitor_layout.h"
#include "platform/precise_wakeups.h"
#include "platform/x11_embedding.h"
#include "shell/sys_util.h"

namespace quillet {

namespace {

int32_t LastCursorCount = 0;

constexpr QRect DesignedGeometry(242, 371, 603, 387);
constexpr int DesignedSurfaceSide = 48;
constexpr int32_t ElapsedTimeTextColor = 0x0000FFFF;  // yellow in the text layout 0x00BBGGRR
constexpr char16_t DeleteCharacter = 0x7F;

// The toolkit's Alt key combinations: the Alt key itself, or any key while Alt is held.
bool IsAltKey(const QKeyEvent& Key) {
  return Key.key() == Qt::Key_Alt || (Key.modifiers() & Qt::AltModifier);
}

}  // namespace

void ShowMouseCursor() {
  if (LastCursorCount < 0) LastCursorCount = ShowCursor(true);
}

void HideMouseCursor() {
  if (LastCursorCount >= 0) LastCursorCount = ShowCursor(false);
}

int32_t CursorCounter() { return LastCursorCount; }

const char tScreenForm::DesignedCaption[] = "Quillet  (p...pause)";

tScreenForm::tScreenForm(QWidget* Parent) : QWidget(Parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(QString::fromLatin1(DesignedCaption));
  setGeometry(DesignedGeometry);
  setCursor(Qt::BusyCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);

  FImage32 = new TImage32(this);
  FImage32->setGeometry(rect());
  FImage32->setFocusPolicy(Qt::NoFocus);
  FImage32->setMouseTracking(true);
  FImage32->Bitmap().SetDimensions(DesignedSurfaceSide, DesignedSurfaceSide);

  FTimer.SetInterval(1);
  RequestPreciseWakeups();

  ShowInfo = [this](std::string_view Text, std::string_view Caption) {
    ShowMessageBox(Text, Caption, MB_OK, this);
  };
  FormCreate();
}

tScreenForm::~tScreenForm() {
  if (FFilterInstalled) qApp->removeEventFilter(this);
  // The view, a child, outlives the overlay it shows.
  ShowRates(false);
  FRepaint.Detach();
}

TBitmap32& tScreenForm::DrawSurface() { return FImage32->Bitmap(); }

void tScreenForm::FormCreate() {
  FPreviousParent = 0;
  TBitmap32& Surface = DrawSurface();
  Surface.TextFont().SetColor(ElapsedTimeTextColor);
  FFrame.SetDrawSurface(&Surface);
  FPresenter = std::make_unique<TFramePresenter>(*FImage32);
  FRepaint.OnErased = [this] { FPresenter->Erased(); };
  FRepaint.Attach(Surface);
  FRepaint.Follow(FFrame);
  StartTiming();
}

QSize tScreenForm::DeviceSize(QSize Logical) const {
  const qreal Ratio = devicePixelRatioF();
  return QSize(static_cast<int>(std::lround(Logical.width() * Ratio)),
               static_cast<int>(std::lround(Logical.height() * Ratio)));
}

void tScreenForm::timer1Timer() {
  if (!FSettings) return;
  const QSize Client = DeviceSize(size());
  static const TTickClock Clock{&ElapsedMs, &StartTiming};
  FRepaint.BeginTick();
  const TTickOutcome Outcome =
      quillet::timer1Timer(FFrame, *FSettings, Client.width(), Client.height(), Clock);
  FRepaint.EndTick(Outcome == TTickOutcome::Wiped);
  if (Outcome != TTickOutcome::Skipped) ++FTicksDrawn;
  if (FRates && FRates->Sample(SystemTickCount(), FTicksDrawn, FPresenter->FramesShown())) FImage32->OverlayChanged();
}

void tScreenForm::ShowRates(bool Show) {
  if (Show == (FRates != nullptr)) return;
  if (Show) {
    FRates = std::make_unique<TRateOverlay>();
    FImage32->SetOverlay(&FRates->Image());
  } else {
    FImage32->SetOverlay(nullptr);
    FRates.reset();
  }
}

void tScreenForm::SizeSurface(QSize Device) {
  try {
    DrawSurface().SetDimensions(Device.width(), Device.height());
    FFailedSize = QSize();
  } catch (const EBitmapError& Error) {
    // Showing and the first resize ask for the same size: one report is enough.
    if (Device == FFailedSize) return;
    FFailedSize = Device;
    if (OnSurfaceError) OnSurfaceError(Error.what());
  }
}

void tScreenForm::FormShow() {
  FStartCursorPos = QCursor::pos();
  FTimer.Start();
  if (!FHosted) {
    if (!FFilterInstalled) {
      qApp->installEventFilter(this);
      FFilterInstalled = true;
    }
    if (FWindowedTest)
      ShowMouseCursor();
    else
      HideMouseCursor();
  }
  SizeSurface(DeviceSize(size()));
}

void tScreenForm::FormHide() {
  if (FFilterInstalled) {
    qApp->removeEventFilter(this);
    FFilterInstalled = false;
  }
  FTimer.Stop();
  ShowMouseCursor();
}

void tScreenForm::FormResize() {
  FImage32->setGeometry(rect());
  SizeSurface(DeviceSize(isWindow() ? frameGeometry().size() : size()));
}

void tScreenForm::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}

void tScreenForm::hideEvent(QHideEvent* Event) {
  QWidget::hideEvent(Event);
  if (!Event->spontaneous()) FormHide();
}

void tScreenForm::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  FormResize();
}

void tScreenForm::closeEvent(QCloseEvent* Event) {
  Event->accept();
  if (OnClosed) OnClosed();
}

void tScreenForm::keyPressEvent(QKeyEvent* Event) {
  if (Event->key() == Qt::Key_Pause) FormKeyDown(Qt::Key_Pause);
  // Combinations with Alt are system keys: the input filter sees them, they type nothing.
  if (!Event->text().isEmpty() && !(Event->modifiers() & Qt::AltModifier)) FormKeyPress(Event->text());
  Event->accept();
}

void tScreenForm::FormKeyDown(int Key) {
  if (Key == Qt::Key_Pause) TogglePaused();
}

void tScreenForm::FormKeyPress(const QString& Text) {
  // The Delete key reports a character here but types none.
  if (Text.size() == 1 && Text[0] == QChar(DeleteCharacter)) return;
  if (Text == QStringLiteral("p"))
    TogglePaused();
  else
    close();
}

void tScreenForm::TogglePaused() {
  FFrame.Paused = !FFrame.Paused;
  setWindowTitle(FFrame.Paused ? QStringLiteral("Quillet (paused)") : QStringLiteral("Quillet"));
}

void tScreenForm::Restart(bool Windowed) {
  FFrame.Restart();
  const bool WasWindowed = FWindowedTest;
  FWindowedTest = Windowed;
  // An embedded preview keeps its host and its look.
  if (FPreviousParent == 0) {
    const bool Visible = isVisible();
    const Qt::WindowFlags Flags = Windowed ? Qt::Window : (Qt::Window | Qt::FramelessWindowHint);
    if (windowFlags() != Flags) setWindowFlags(Flags);  // hides the window
    if (Windowed) {
      setWindowState(Qt::WindowNoState);
      if (!WasWindowed) setGeometry(DesignedGeometry);
    } else {
      // Bounds first: setting them drops a full-screen state. Full screen covers every monitor.
      const QRect Display = MonitorsBoundingRect();
      if (!Display.isEmpty()) setGeometry(Display);
      setWindowState(Qt::WindowFullScreen);
    }
    if (Visible && !isVisible()) show();
  }
  DrawSurface().Erase();
}

void tScreenForm::SetHosted() {
  FHosted = true;
  // Input passes through to the host's window, which also keeps its own cursor.
  setWindowFlags(windowFlags() | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
  setFocusPolicy(Qt::NoFocus);
  unsetCursor();
}

void tScreenForm::Clear() { DrawSurface().Erase(); }

void tScreenForm::Show() {
  show();
  raise();
  activateWindow();
}

void tScreenForm::ShowText(int32_t X, int32_t Y, TColor32 Color, std::string_view Text) {
  TBitmap32& Surface = DrawSurface();
  Surface.TextFont().SetColor(static_cast<int32_t>(ToGdiColor(Color)));
  Surface.DrawText(X, Y, Text);
}

void tScreenForm::SetParentWindow(uint32_t Parent) {
  if (Parent == 0) return;
  const std::optional<TRect> Host = HostWindowRect(Parent);
  FPreviousParent = ReparentIntoHost(*this, Parent);
  // A host that does not exist has no rectangle; the window then keeps its bounds.
  if (Host) {
    const qreal Ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1;
    setGeometry(0, 0, static_cast<int>(std::lround((Host->Right - Host->Left) / Ratio)),
                static_cast<int>(std::lround((Host->Bottom - Host->Top) / Ratio)));
  }
  if (FPreviousParent == 0) {
    if (ShowInfo) ShowInfo("SetParentWindow failed", "info");
    return;
  }
  // A host that closes takes its children with it: the preview then ends too.
  WhenNativeWindowDestroyed(*this, [this] { close(); });
}

bool tScreenForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched->isWidgetType()) HandleAppMessage(Watched, Event);
  return false;  // every message is still processed normally
}

void tScreenForm::HandleAppMessage(QObject*, QEvent* Event) {
  const QEvent::Type Type = Event->type();
  if (Type == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(Event)->button() == Qt::RightButton) {
    if (OnShowConfig) OnShowConfig();
    ShowMouseCursor();
  }
  if (QApplication::activeWindow() != this || FWindowedTest) return;

  switch (Type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (IsAltKey(*static_cast<QKeyEvent*>(Event))) close();
      break;
    case QEvent::MouseButtonPress: {
      const Qt::MouseButton Button = static_cast<QMouseEvent*>(Event)->button();
      if (Button == Qt::LeftButton || Button == Qt::MiddleButton) close();
      break;
    }
    case QEvent::MouseMove: {
      if (FPreviousParent != 0) break;
      const QPoint Now = QCursor::pos();
      if (std::abs(Now.x() - FStartCursorPos.x()) > DistanceTolerated ||
          std::abs(Now.y() - FStartCursorPos.y()) > DistanceTolerated)
        close();
      break;
    }
    default:
      break;
  }
}

}  // namespace quillet

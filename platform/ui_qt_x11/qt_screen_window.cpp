// The screen window's widget: Qt's events in, the form's requests out.
#include "platform/ui_qt_x11/qt_screen_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <cmath>
#include <cstdio>

#include "platform/ui_qt_x11/image_view.h"
#include "platform/ui_qt_x11/message_box.h"
#include "platform/ui_qt_x11/monitor_layout.h"
#include "platform/ui_qt_x11/x11_embedding.h"
#include "platform/ui_qt_x11/x11_host_window.h"

namespace quillet {

namespace {

constexpr char16_t DeleteCharacter = 0x7F;

QRect DesignedGeometry() {
  const TRect& B = tScreenForm::DesignedBounds;
  return QRect(B.Left, B.Top, B.Right - B.Left, B.Bottom - B.Top);
}

// The toolkit's Alt key combinations: the Alt key itself, or any key while Alt is held.
bool IsAltKey(const QKeyEvent& Key) { return Key.key() == Qt::Key_Alt || (Key.modifiers() & Qt::AltModifier); }

TAppMessage PlainMessage(const QEvent& Event) {
  switch (Event.type()) {
    case QEvent::MouseButtonPress:
      switch (static_cast<const QMouseEvent&>(Event).button()) {
        case Qt::RightButton: return TAppMessage::RightButtonDown;
        case Qt::LeftButton: return TAppMessage::LeftButtonDown;
        case Qt::MiddleButton: return TAppMessage::MiddleButtonDown;
        default: return TAppMessage::Other;
      }
    case QEvent::KeyPress:
      return IsAltKey(static_cast<const QKeyEvent&>(Event)) ? TAppMessage::SystemKeyDown : TAppMessage::Other;
    case QEvent::KeyRelease:
      return IsAltKey(static_cast<const QKeyEvent&>(Event)) ? TAppMessage::SystemKeyUp : TAppMessage::Other;
    case QEvent::MouseMove:
      return TAppMessage::MouseMove;
    default:
      return TAppMessage::Other;
  }
}

std::string WindowName(uint32_t Window) {
  char Text[16];
  std::snprintf(Text, sizeof Text, "0x%x", Window);
  return Text;
}

}  // namespace

TQtScreenWindow::TQtScreenWindow(tScreenForm& Form)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), FForm(&Form) {
  setGeometry(DesignedGeometry());
  setCursor(Qt::BusyCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);

  FImage32 = new TImage32(this);
  // The form's presenter puts the surface's changes on screen.
  FImage32->SetRepaintOnReports(false);
  FImage32->setGeometry(rect());
  FImage32->setFocusPolicy(Qt::NoFocus);
  FImage32->setMouseTracking(true);
}

TQtScreenWindow::~TQtScreenWindow() { qApp->removeEventFilter(this); }

TBitmap32& TQtScreenWindow::Surface() { return FImage32->Bitmap(); }

void TQtScreenWindow::SetCaption(std::string_view Caption) {
  setWindowTitle(QString::fromUtf8(Caption.data(), static_cast<qsizetype>(Caption.size())));
}

void TQtScreenWindow::ShowAndActivate() {
  show();
  raise();
  activateWindow();
}

int TQtScreenWindow::Logical(int32_t DevicePixels) const {
  const qreal Ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1;
  return static_cast<int>(std::lround(DevicePixels / Ratio));
}

TPixelSize TQtScreenWindow::DeviceSize(QSize LogicalSize) const {
  const qreal Ratio = devicePixelRatioF();
  return {static_cast<int32_t>(std::lround(LogicalSize.width() * Ratio)),
          static_cast<int32_t>(std::lround(LogicalSize.height() * Ratio))};
}

TPixelSize TQtScreenWindow::ClientSize() const { return DeviceSize(size()); }

TPixelSize TQtScreenWindow::OuterSize() const { return DeviceSize(isWindow() ? frameGeometry().size() : size()); }

void TQtScreenWindow::SetLook(TWindowLook Look) {
  const bool Windowed = Look == TWindowLook::Windowed;
  const bool WasWindowed = FWindowed;
  FWindowed = Windowed;
  const bool Visible = isVisible();
  const Qt::WindowFlags Flags = Windowed ? Qt::Window : (Qt::Window | Qt::FramelessWindowHint);
  if (windowFlags() != Flags) setWindowFlags(Flags);  // hides the window
  if (Windowed) {
    setWindowState(Qt::WindowNoState);
    if (!WasWindowed) setGeometry(DesignedGeometry());
  } else {
    // Bounds first: setting them drops a full-screen state. Full screen covers every monitor.
    const QRect Display = MonitorsBoundingRect();
    if (!Display.isEmpty()) setGeometry(Display);
    setWindowState(Qt::WindowFullScreen);
  }
  if (Visible && !isVisible()) show();
}

bool TQtScreenWindow::HasFocus() const { return QApplication::activeWindow() == this; }

TScreenPoint TQtScreenWindow::CursorPos() const {
  const QPoint P = QCursor::pos();
  return {P.x(), P.y()};
}

void TQtScreenWindow::FilterAppMessages(bool On) {
  if (On)
    qApp->installEventFilter(this);
  else
    qApp->removeEventFilter(this);
}

void TQtScreenWindow::LeaveInputToHost() {
  // Input passes through to the host's window, which also keeps its own cursor.
  setWindowFlags(windowFlags() | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
  setFocusPolicy(Qt::NoFocus);
  unsetCursor();
}

std::optional<TRect> TQtScreenWindow::HostRect(uint32_t Host) { return HostWindowRect(Host); }

uint32_t TQtScreenWindow::ReparentInto(uint32_t Host) {
  const uint32_t Previous = ReparentIntoHost(*this, Host);
  // A host that closes takes its children with it: the preview then ends too.
  if (Previous != 0) WhenNativeWindowDestroyed(*this, [this] { close(); });
  return Previous;
}

void TQtScreenWindow::SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  setGeometry(Logical(Left), Logical(Top), Logical(Width), Logical(Height));
}

void TQtScreenWindow::ResizeToHost(const THostSize& Size, bool OuterSize) {
  const int32_t Extra = OuterSize ? 2 * Size.Border : 0;
  setGeometry(0, 0, Logical(Size.Width + Extra), Logical(Size.Height + Extra));
}

void TQtScreenWindow::KeepAtHostSize(uint32_t Host, bool OuterSize) {
  WhenHostResized(*this, Host, [this, OuterSize](const THostSize& Size) { ResizeToHost(Size, OuterSize); });
  // A change made before the events were selected would go unnoticed.
  if (const std::optional<THostSize> Size = HostWindowSize(Host)) ResizeToHost(*Size, OuterSize);
}

void TQtScreenWindow::FollowHostSize(uint32_t Host) { KeepAtHostSize(Host, true); }

bool TQtScreenWindow::PlaceInHost(uint32_t Host, bool IsRoot, std::string& Error) {
  if (!HostWindowSize(Host)) {
    Error = "no such window: " + WindowName(Host);
    return false;
  }
  FOverRoot = IsRoot;
  if (FOverRoot) {
    // A window of our own over the whole root, below every other one, that no window manager
    // takes in: drawing into the root itself would fight with the desktop's background.
    setWindowFlags(windowFlags() | Qt::X11BypassWindowManagerHint);
  } else if (ReparentIntoHost(*this, Host) == 0) {
    Error = "cannot draw into window " + WindowName(Host);
    return false;
  }
  KeepAtHostSize(Host, false);
  // A host that closes takes its children with it: the saver then ends too.
  WhenNativeWindowDestroyed(*this, [this] { close(); });
  return true;
}

void TQtScreenWindow::ShowHosted() {
  show();
  if (FOverRoot) lower();
}

void TQtScreenWindow::ShowInfo(std::string_view Text, std::string_view Caption) {
  ShowMessageBox(Text, Caption, MB_OK, this);
}

void TQtScreenWindow::SetOverlay(const TBitmap32* Overlay) { FImage32->SetOverlay(Overlay); }

void TQtScreenWindow::OverlayChanged() { FImage32->OverlayChanged(); }

void TQtScreenWindow::PresentAreas(const std::vector<TRect>& Copy, const std::vector<TRect>& Black) {
  FImage32->PresentAreas(Copy, Black);
}

double TQtScreenWindow::RefreshRate() const {
  // The monitor may change while the window moves.
  const QScreen* Monitor = FImage32->screen();
  return Monitor ? Monitor->refreshRate() : 0;
}

void TQtScreenWindow::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  if (FForm && !Event->spontaneous()) FForm->FormShow();
}

void TQtScreenWindow::hideEvent(QHideEvent* Event) {
  QWidget::hideEvent(Event);
  if (FForm && !Event->spontaneous()) FForm->FormHide();
}

void TQtScreenWindow::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  FImage32->setGeometry(rect());
  if (FForm) FForm->FormResize();
}

void TQtScreenWindow::closeEvent(QCloseEvent* Event) {
  Event->accept();
  if (FForm) FForm->FormClosed();
}

void TQtScreenWindow::keyPressEvent(QKeyEvent* Event) {
  Event->accept();
  if (!FForm) return;
  if (Event->key() == Qt::Key_Pause) FForm->FormKeyDown(VK_PAUSE_KEY);
  // Combinations with Alt are system keys: the input filter sees them, they type nothing. The
  // Delete key reports a character on X11 but types none.
  const QString Text = Event->text();
  if (Text.isEmpty() || (Event->modifiers() & Qt::AltModifier)) return;
  if (Text.size() == 1 && Text[0] == QChar(DeleteCharacter)) return;
  const QList<uint> Characters = Text.toUcs4();
  // Anything but one lower-case p closes.
  FForm->FormKeyPress(Characters.size() == 1 ? static_cast<char32_t>(Characters[0]) : U'\uFFFD');
}

bool TQtScreenWindow::eventFilter(QObject* Watched, QEvent* Event) {
  if (FForm && Watched->isWidgetType()) {
    const TAppMessage Message = PlainMessage(*Event);
    if (Message != TAppMessage::Other) FForm->HandleAppMessage(Message);
  }
  return false;  // every message is still processed normally
}

}  // namespace quillet

// Text output with QPainter on a QImage that wraps the surface's pixels without copying them.
#include "platform/ui_qt_x11/qt_text_engine.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <cstdlib>

#include "platform/ui_qt_x11/system_colors.h"

namespace quillet {

namespace {

constexpr int32_t DefaultPoints = 8;
constexpr int32_t FallbackDpi = 96;
// Beyond this distance from the surface no text can reach it, and Qt's 26.6 fixed-point text
// layout would overflow.
constexpr int64_t FarAway = int64_t{1} << 24;

bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

int32_t ScreenDpi() {
  const QScreen* Screen = QGuiApplication::primaryScreen();
  if (!Screen) return FallbackDpi;
  const long Dpi = std::lround(Screen->logicalDotsPerInchY());
  return Dpi > 0 && Dpi < 10000 ? static_cast<int32_t>(Dpi) : FallbackDpi;
}

// Points to pixels, rounding halves away from zero as the point-size conversion always has.
int32_t PointsToPixels(int32_t Points, int32_t Dpi) {
  const int64_t P = Points == 0 ? DefaultPoints : std::llabs(static_cast<int64_t>(Points));
  const int64_t Pixels = (P * Dpi + 36) / 72;
  return static_cast<int32_t>(std::clamp<int64_t>(Pixels, 1, 4096));
}

QFont MakeFont(const std::string& Name, int32_t Points, int32_t Dpi) {
  QFont Result(QString::fromStdString(Name));
  Result.setStyleHint(QFont::SansSerif);
  Result.setPixelSize(PointsToPixels(Points, Dpi));
  return Result;
}

QString ToQString(std::string_view Text) {
  return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

}  // namespace

QFont QtTextEngine::FontFor(const TTextFont& Font) {
  return MakeFont(Font.Name(), Font.Size(), ScreenDpi());
}

const QFont& QtTextEngine::CachedFont(const TTextFont& Font) {
  const int32_t Dpi = ScreenDpi();
  if (!FHasCachedFont || FCachedName != Font.Name() || FCachedSize != Font.Size() ||
      FCachedDpi != Dpi) {
    FCachedFont = MakeFont(Font.Name(), Font.Size(), Dpi);
    FCachedName = Font.Name();
    FCachedSize = Font.Size();
    FCachedDpi = Dpi;
    FHasCachedFont = true;
  }
  return FCachedFont;
}

TTextExtent QtTextEngine::Measure(const TTextFont& Font, std::string_view Text) {
  if (!HaveGuiApplication()) return {};
  const QFontMetrics Metrics(CachedFont(Font));
  return {Metrics.horizontalAdvance(ToQString(Text)), Metrics.height()};
}

void QtTextEngine::Draw(const TTextTarget& Target, int32_t X, int32_t Y, const TTextFont& Font,
                        uint32_t Color, const TRect* Clip, std::string_view Text) {
  if (!HaveGuiApplication() || !Target.Pixels || Target.Width <= 0 || Target.Height <= 0 ||
      Text.empty())
    return;

  TRect Visible{0, 0, Target.Width, Target.Height};
  if (Clip) {
    Visible.Left = std::max(Visible.Left, Clip->Left);
    Visible.Top = std::max(Visible.Top, Clip->Top);
    Visible.Right = std::min(Visible.Right, Clip->Right);
    Visible.Bottom = std::min(Visible.Bottom, Clip->Bottom);
  }
  if (Visible.Right <= Visible.Left || Visible.Bottom <= Visible.Top) return;

  const QFont& QtFont = CachedFont(Font);
  const QString String = ToQString(Text);
  const QFontMetrics Metrics(QtFont);
  // Skip text that cannot touch the visible part; this also keeps far-off coordinates away
  // from Qt's fixed-point layout.
  const int64_t Left = X, Top = Y;
  if (Left < -FarAway || Top < -FarAway || Left >= Visible.Right || Top >= Visible.Bottom ||
      Left + Metrics.horizontalAdvance(String) + Metrics.maxWidth() <= Visible.Left ||
      Top + Metrics.height() <= Visible.Top)
    return;

  QImage Image(reinterpret_cast<uchar*>(Target.Pixels), Target.Width, Target.Height,
               static_cast<qsizetype>(Target.Width) * 4, QImage::Format_ARGB32);
  if (Image.isNull()) return;

  QPainter Painter(&Image);
  Painter.setFont(QtFont);
  Painter.setPen(QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF));
  Painter.setClipRect(QRect(Visible.Left, Visible.Top, Visible.Right - Visible.Left,
                            Visible.Bottom - Visible.Top));
  // The reference point is the top-left of the text cell; QPainter wants the baseline.
  Painter.drawText(QPoint(X, Y + Metrics.ascent()), String);
}

void InstallQtTextOutput() {
  // Never destroyed: its cached QFont must not outlive the application object at exit.
  static QtTextEngine* const Engine = new QtTextEngine;
  SetTextEngine(Engine);
  SetSystemColorLookup(&PaletteSystemColor);
}

}  // namespace quillet

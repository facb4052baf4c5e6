// The image view shows the surface one pixel for one pixel from its top-left corner, without the
// alpha byte, and repaints just the areas that the surface reports.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QTest>

#include <climits>

#include "platform/image_view.h"

namespace quillet {
namespace {

TEST(ImageViewTest, ShowsSurfacePixelsUnscaledAsOpaqueColours) {
  TImage32 View;
  View.resize(60, 50);
  TBitmap32& Surface = View.Bitmap();
  Surface.SetDimensions(40, 30);
  for (int32_t Y = 0; Y < 30; ++Y)
    for (int32_t X = 0; X < 40; ++X)
      *Surface.PixelAddress(X, Y) = PackArgb(static_cast<uint8_t>(X * 6), static_cast<uint8_t>(Y * 8),
                                             static_cast<uint8_t>(X + Y), static_cast<uint8_t>(X * Y));
  const QImage Shown = View.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(Shown.size(), QSize(60, 50));
  for (int32_t Y = 0; Y < 30; ++Y)
    for (int32_t X = 0; X < 40; ++X)
      ASSERT_EQ(Shown.pixel(X, Y), 0xFF000000u | *Surface.PixelAddress(X, Y)) << X << "," << Y;
  // Beyond the surface the view is black.
  EXPECT_EQ(Shown.pixel(45, 10), 0xFF000000u);
  EXPECT_EQ(Shown.pixel(10, 35), 0xFF000000u);
}

// Records the regions of the paint events that a widget receives.
class PaintRecorder : public QObject {
 public:
  QRegion Painted;
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Paint) Painted += static_cast<QPaintEvent*>(Event)->region();
    return false;
  }
};

TEST(ImageViewTest, RepaintsOnlyTheReportedArea) {
  TImage32 View;
  View.resize(80, 60);
  View.Bitmap().SetDimensions(80, 60);
  View.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
  PaintRecorder Recorder;
  View.installEventFilter(&Recorder);
  QApplication::processEvents();
  Recorder.Painted = QRegion();

  View.Bitmap().PaintRectClipped(5, 6, 15, 16, clWhite32);
  QApplication::processEvents();
  EXPECT_EQ(Recorder.Painted, QRegion(5, 6, 10, 10));

  Recorder.Painted = QRegion();
  View.Bitmap().NotifyChanged();
  QApplication::processEvents();
  EXPECT_EQ(Recorder.Painted, QRegion(0, 0, 80, 60));
}

// The overlay stands over the bottom-left corner of the view, above the surface, and never in it.
TEST(ImageViewTest, AnOverlayCoversTheBottomLeftCornerAndLeavesTheSurfaceAlone) {
  TImage32 View;
  View.resize(60, 50);
  TBitmap32& Surface = View.Bitmap();
  Surface.SetDimensions(60, 50);
  Surface.Fill(PackArgb(10, 20, 30, 255));
  TBitmap32 Overlay;
  Overlay.SetDimensions(20, 8);
  Overlay.Fill(clWhite32);
  View.SetOverlay(&Overlay);
  EXPECT_EQ(View.OverlayArea(), (TRect{0, 42, 20, 50}));
  QImage Shown = View.grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (const QPoint P : {QPoint(0, 42), QPoint(19, 49), QPoint(10, 45)})
    EXPECT_EQ(Shown.pixel(P), 0xFFFFFFFFu) << P.x() << "," << P.y();
  for (const QPoint P : {QPoint(20, 49), QPoint(0, 41), QPoint(30, 10)})
    EXPECT_EQ(Shown.pixel(P), 0xFF0A141Eu) << P.x() << "," << P.y();
  EXPECT_EQ(*Surface.PixelAddress(5, 45), PackArgb(10, 20, 30, 255));

  View.SetOverlay(nullptr);
  EXPECT_EQ(View.OverlayArea(), TRect{});
  Shown = View.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(Shown.pixel(5, 45), 0xFF0A141Eu);
}

TEST(ImageViewTest, ChangedAreasAreWidenedForLinesAndClippedToTheSurface) {
  // A line from (10, 10) back to (3, 20), 2 pixels wide: end points swapped into order and
  // widened on every side for the pen and its anti-aliased fringe.
  const QRect Line = ChangedViewArea({10, 10, 3, 20}, AREAINFO_LINE + 2, 100, 100, 1.0);
  EXPECT_TRUE(Line.contains(QRect(2, 9, 10, 13)));
  EXPECT_LE(Line.width(), 7 + 10);

  // Far-off or inverted areas are clipped without overflow.
  EXPECT_EQ(ChangedViewArea({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, AREAINFO_RECT, 100, 50, 1.0),
            QRect(0, 0, 100, 50));
  EXPECT_EQ(ChangedViewArea({INT_MAX, 0, INT_MIN, 10}, AREAINFO_LINE + 0x3FFFFFFF, 100, 50, 1.0),
            QRect(0, 0, 100, 50));
  EXPECT_TRUE(ChangedViewArea({200, 0, 300, 10}, AREAINFO_RECT, 100, 50, 1.0).isEmpty());

  // On a scaled display device pixels become logical ones, rounded outward.
  EXPECT_EQ(ChangedViewArea({3, 3, 7, 8}, AREAINFO_RECT, 100, 100, 2.0), QRect(1, 1, 3, 3));
}

}  // namespace
}  // namespace quillet

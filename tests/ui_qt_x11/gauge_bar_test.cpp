// The gauge clamps every position, reports only real changes, and follows the mouse and keys.
#include <gtest/gtest.h>

#include <QTest>

#include <climits>
#include <vector>

#include "platform/ui_qt_x11/gauge_bar.h"

namespace quillet {
namespace {

class GaugeBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Gauge.resize(116, 16);
    Gauge.SetRange(1, 9);
    Gauge.OnChange = [this](TGaugeBar* Sender) {
      EXPECT_EQ(Sender, &Gauge);
      Seen.push_back(Sender->Position());
    };
    Seen.clear();
  }
  TGaugeBar Gauge;
  std::vector<int32_t> Seen;  // positions reported by OnChange
};

TEST_F(GaugeBarTest, SettingThePositionClampsAndReportsOnlyChanges) {
  Gauge.SetPosition(5);
  Gauge.SetPosition(5);
  Gauge.SetPosition(100);
  Gauge.SetPosition(9);  // already clamped to 9
  Gauge.SetPosition(INT_MIN);
  Gauge.SetPosition(-3);
  EXPECT_EQ(Seen, (std::vector<int32_t>{5, 9, 1}));
  EXPECT_EQ(Gauge.Position(), 1);
}

TEST_F(GaugeBarTest, ChangingTheRangeDragsThePositionAlong) {
  Gauge.SetPosition(8);
  Seen.clear();
  Gauge.SetMax(6);
  EXPECT_EQ(Gauge.Position(), 6);
  Gauge.SetMax(20);  // widening keeps the position
  Gauge.SetMin(10);
  EXPECT_EQ(Gauge.Position(), 10);
  Gauge.SetMin(30);  // a minimum above the maximum carries the maximum along
  EXPECT_EQ(Gauge.Max(), 30);
  EXPECT_EQ(Gauge.Position(), 30);
  Gauge.SetMax(-5);  // and the other way round
  EXPECT_EQ(Gauge.Min(), -5);
  EXPECT_EQ(Gauge.Position(), -5);
  EXPECT_EQ(Seen, (std::vector<int32_t>{6, 10, 30, -5}));

  // The full 32-bit range neither overflows the handle nor the pointer mapping.
  Gauge.SetRange(INT_MIN, INT_MAX);
  Gauge.SetPosition(INT_MAX);
  EXPECT_EQ(Gauge.HandleLeft() + Gauge.HandleWidth(), Gauge.width());
  QTest::mouseClick(&Gauge, Qt::LeftButton, {}, QPoint(0, 8));
  EXPECT_EQ(Gauge.Position(), INT_MIN);
}

TEST_F(GaugeBarTest, ClickingAndDraggingMoveTheHandleUnderThePointer) {
  // Clicking the far right of the track jumps to the maximum.
  QTest::mouseClick(&Gauge, Qt::LeftButton, {}, QPoint(Gauge.width() - 1, 8));
  EXPECT_EQ(Gauge.Position(), 9);
  EXPECT_EQ(Seen, (std::vector<int32_t>{9}));

  // Grabbing the handle and dragging it to the left edge reaches the minimum, step by step.
  const QPoint Grab(Gauge.HandleLeft() + Gauge.HandleWidth() / 2, 8);
  QTest::mousePress(&Gauge, Qt::LeftButton, {}, Grab);
  EXPECT_EQ(Gauge.Position(), 9) << "grabbing the handle does not move it";
  for (int X = Grab.x(); X >= -20; X -= 4) QTest::mouseMove(&Gauge, QPoint(X, 8));
  QTest::mouseRelease(&Gauge, Qt::LeftButton, {}, QPoint(-20, 8));
  EXPECT_EQ(Gauge.Position(), 1);
  ASSERT_GT(Seen.size(), 3u);
  for (size_t I = 1; I < Seen.size(); ++I) EXPECT_LT(Seen[I], Seen[I - 1]);

  // After release, moving the pointer does nothing.
  Seen.clear();
  QTest::mouseMove(&Gauge, QPoint(100, 8));
  EXPECT_TRUE(Seen.empty());
}

TEST_F(GaugeBarTest, KeysAndWheelStepWithinTheRange) {
  Gauge.SetPosition(5);
  Seen.clear();
  QTest::keyClick(&Gauge, Qt::Key_Right);
  QTest::keyClick(&Gauge, Qt::Key_End);
  QTest::keyClick(&Gauge, Qt::Key_Up);  // already at the maximum
  QTest::keyClick(&Gauge, Qt::Key_Home);
  QTest::keyClick(&Gauge, Qt::Key_Left);  // already at the minimum
  EXPECT_EQ(Seen, (std::vector<int32_t>{6, 9, 1}));
}

}  // namespace
}  // namespace quillet

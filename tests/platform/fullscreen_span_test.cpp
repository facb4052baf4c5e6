// The monitors a full-screen window asks to span: those at the edges of the rectangle that holds
// them all.
#include <gtest/gtest.h>

#include "platform/fullscreen_span.h"

namespace quillet {
namespace {

TEST(FullScreenSpan, PicksTheMonitorAtEachEdge) {
  EXPECT_FALSE(EdgeMonitors({}));
  EXPECT_FALSE(EdgeMonitors({QRect(0, 0, 800, 600)}));

  // Side by side, the right one shorter: the left one reaches both the top and the bottom.
  EXPECT_EQ(EdgeMonitors({QRect(0, 0, 800, 600), QRect(800, 0, 640, 480)}),
            (TMonitorEdges{0, 0, 0, 1}));
  // The list order is the server's, not left to right.
  EXPECT_EQ(EdgeMonitors({QRect(800, 0, 640, 480), QRect(0, 0, 800, 600)}),
            (TMonitorEdges{0, 1, 1, 0}));
  // An L of three: one on top, two below it side by side; ties keep the first.
  EXPECT_EQ(EdgeMonitors({QRect(0, 1080, 1920, 1080), QRect(1920, 1080, 1280, 1024),
                          QRect(0, 0, 1920, 1080)}),
            (TMonitorEdges{2, 0, 0, 1}));
}

// The window covers the monitors itself only where a running manager cannot be asked to.
TEST(FullScreenSpan, CoversTheMonitorsItselfOnlyWhenTheManagerCannotBeAsked) {
  const TManagerSupport None{};
  const TManagerSupport Spanning{true, true, true};
  const TManagerSupport OneMonitorOnly{true, true, false};
  const TManagerSupport NoFullScreen{true, false, false};
  EXPECT_FALSE(NeedsOwnCover(None, 1));
  EXPECT_FALSE(NeedsOwnCover(None, 2));
  EXPECT_FALSE(NeedsOwnCover(Spanning, 2));
  EXPECT_FALSE(NeedsOwnCover(OneMonitorOnly, 1));
  EXPECT_TRUE(NeedsOwnCover(OneMonitorOnly, 2));
  EXPECT_TRUE(NeedsOwnCover(NoFullScreen, 1));
}

}  // namespace
}  // namespace quillet

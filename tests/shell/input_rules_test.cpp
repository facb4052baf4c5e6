// The input rules without a toolkit: what closes, pauses or brings up the dialog, and when the
// screen window's focus, the windowed test or a preview stop a rule.
#include "shell/input_rules.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TInputFacts FullScreen() {
  TInputFacts F;
  F.ScreenHasFocus = true;
  F.StartCursorPos = {100, 200};
  F.CursorPos = F.StartCursorPos;
  return F;
}

TInputActions Close() {
  TInputActions A;
  A.Close = true;
  return A;
}

TEST(InputRules, AltKeysAndLeftOrMiddleClicksCloseTheFocusedSaver) {
  for (TAppMessage M : {TAppMessage::SystemKeyDown, TAppMessage::SystemKeyUp, TAppMessage::LeftButtonDown,
                        TAppMessage::MiddleButtonDown})
    EXPECT_EQ(AppMessageActions(M, FullScreen()), Close()) << static_cast<int>(M);
  EXPECT_EQ(AppMessageActions(TAppMessage::Other, FullScreen()), TInputActions{});
}

TEST(InputRules, MovementUpToTenPixelsOnEachAxisIsTolerated) {
  for (const TScreenPoint Delta : {TScreenPoint{10, 10}, TScreenPoint{-10, 10}, TScreenPoint{0, -10}}) {
    TInputFacts F = FullScreen();
    F.CursorPos = {F.StartCursorPos.X + Delta.X, F.StartCursorPos.Y + Delta.Y};
    EXPECT_FALSE(AppMessageActions(TAppMessage::MouseMove, F).Close) << Delta.X << ' ' << Delta.Y;
  }
  for (const TScreenPoint Delta : {TScreenPoint{11, 0}, TScreenPoint{0, -11}, TScreenPoint{-11, 3}}) {
    TInputFacts F = FullScreen();
    F.CursorPos = {F.StartCursorPos.X + Delta.X, F.StartCursorPos.Y + Delta.Y};
    EXPECT_TRUE(AppMessageActions(TAppMessage::MouseMove, F).Close) << Delta.X << ' ' << Delta.Y;
  }
  // Far apart positions do not overflow the distance.
  TInputFacts Far = FullScreen();
  Far.StartCursorPos = {INT32_MIN, INT32_MAX};
  Far.CursorPos = {INT32_MAX, INT32_MIN};
  EXPECT_TRUE(AppMessageActions(TAppMessage::MouseMove, Far).Close);
}

TEST(InputRules, APreviewIgnoresMovementButClosesOnClicks) {
  TInputFacts F = FullScreen();
  F.Embedded = true;
  F.CursorPos = {F.StartCursorPos.X + 500, F.StartCursorPos.Y};
  EXPECT_FALSE(AppMessageActions(TAppMessage::MouseMove, F).Close);
  EXPECT_TRUE(AppMessageActions(TAppMessage::LeftButtonDown, F).Close);
}

TEST(InputRules, WithoutTheFocusOrInTheWindowedTestOnlyTheRightClickActs) {
  TInputFacts Unfocused = FullScreen();
  Unfocused.ScreenHasFocus = false;
  TInputFacts Windowed = FullScreen();
  Windowed.WindowedTest = true;
  for (const TInputFacts& F : {Unfocused, Windowed}) {
    TInputFacts Moved = F;
    Moved.CursorPos.X += 50;
    EXPECT_EQ(AppMessageActions(TAppMessage::MouseMove, Moved), TInputActions{});
    EXPECT_EQ(AppMessageActions(TAppMessage::LeftButtonDown, F), TInputActions{});
    EXPECT_EQ(AppMessageActions(TAppMessage::SystemKeyDown, F), TInputActions{});
    EXPECT_TRUE(AppMessageActions(TAppMessage::RightButtonDown, F).ShowConfig);
  }
  // The right click never closes, focused or not.
  EXPECT_FALSE(AppMessageActions(TAppMessage::RightButtonDown, FullScreen()).Close);
}

TEST(InputRules, PauseKeyAndLowerCasePPauseOtherCharactersClose) {
  EXPECT_TRUE(KeyDownActions(VK_PAUSE_KEY).TogglePause);
  EXPECT_EQ(KeyDownActions('P'), TInputActions{});
  EXPECT_TRUE(KeyPressActions(U'p').TogglePause);
  for (char32_t C : {U'P', U'\r', U'\x1b', U' ', U'\b', U'x', U'\u00e9'}) {
    EXPECT_TRUE(KeyPressActions(C).Close) << static_cast<uint32_t>(C);
    EXPECT_FALSE(KeyPressActions(C).TogglePause);
  }
}

}  // namespace
}  // namespace quillet

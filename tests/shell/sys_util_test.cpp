// The millisecond clock, the byte helpers and the base-name string routines.
#include "shell/sys_util.h"

#include <gtest/gtest.h>

#include <array>

namespace quillet {
namespace {

class Clock : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTickSource([this] { return Now; });
  }
  void TearDown() override {
    SetTickSource({});
    SetFixedElapsedMs(std::nullopt);
  }
  uint32_t Now = 1000;
};

TEST_F(Clock, NoTimePassedReadsAsOne) {
  StartTiming();
  EXPECT_EQ(ElapsedMs(), 1u);
  EXPECT_EQ(ElapsedMs(), 1u);
  Now += 1;
  EXPECT_EQ(ElapsedMs(), 1u);
  Now += 41;
  EXPECT_EQ(ElapsedMs(), 42u);
  StartTiming();
  EXPECT_EQ(TimingStart(), 1042u);
  EXPECT_EQ(ElapsedMs(), 1u);
}

TEST_F(Clock, WrapAroundStillGivesTheShortDifference) {
  Now = 0xFFFFFFF0u;
  StartTiming();
  Now = 0x10;
  EXPECT_EQ(ElapsedMs(), 0x20u);
  Now = 0xFFFFFFEFu;  // a whole wrap less one
  EXPECT_EQ(ElapsedMs(), 0xFFFFFFFFu);
}

TEST_F(Clock, FixedElapsedTimeOverridesTheClockButIsNeverZero) {
  StartTiming();
  SetFixedElapsedMs(250);
  Now += 7;
  EXPECT_EQ(ElapsedMs(), 250u);
  StartTiming();
  EXPECT_EQ(ElapsedMs(), 250u);
  SetFixedElapsedMs(0);
  EXPECT_EQ(ElapsedMs(), 1u);
  SetFixedElapsedMs(std::nullopt);
  Now += 5;
  EXPECT_EQ(ElapsedMs(), 5u);
}

TEST(ByteHelpers, SwapAndZeroTouchExactlyCountBytes) {
  std::array<unsigned char, 6> A{1, 2, 3, 4, 5, 6}, B{9, 8, 7, 6, 5, 4};
  SwapBytes(A.data(), B.data(), 4);
  EXPECT_EQ(A, (std::array<unsigned char, 6>{9, 8, 7, 6, 5, 6}));
  EXPECT_EQ(B, (std::array<unsigned char, 6>{1, 2, 3, 4, 5, 4}));
  SwapBytes(A.data(), B.data(), 0);
  SwapBytes(A.data(), B.data(), -3);
  EXPECT_EQ(A[0], 9);
  ZeroBytes(A.data() + 1, 3);
  EXPECT_EQ(A, (std::array<unsigned char, 6>{9, 0, 0, 0, 5, 6}));
  ZeroBytes(A.data(), -1);
  EXPECT_EQ(A[0], 9);
}

TEST(StringRoutines, PositionsAndCuts) {
  EXPECT_EQ(LastCharPos("a/b/c", "/"), 4u);
  EXPECT_EQ(LastCharPos("abc", "/"), 0u);
  EXPECT_EQ(LastCharPos("", "/"), 0u);
  EXPECT_EQ(LastCharPos("a//b", "//"), 0u);  // C must be one character
  EXPECT_EQ(LastCharPos("a/b", ""), 0u);
  EXPECT_EQ(TextAfterLast("a/b/", "/"), "");
  EXPECT_EQ(TextAfterLast("noslash", "/"), "");
  std::string LongName = "/";
  LongName.append(300, 'n');
  EXPECT_EQ(TextAfterLast(LongName, "/"), std::string(255, 'n'));
  EXPECT_EQ(TextBefore("a.exe.exe", ".exe"), "a");
  EXPECT_EQ(TextBefore("abc", ".exe"), "abc");
  EXPECT_EQ(TextBefore("abc", ""), "abc");
  EXPECT_EQ(TextBefore(".exe", ".exe"), "");
}

TEST(StringRoutines, ProgramBaseNames) {
  EXPECT_EQ(GetProgramBaseName("/a/b/Quillet.exe"), "Quillet");
  EXPECT_EQ(GetProgramBaseName("/a/b/Quillet.scr"), "Quillet.scr");
  EXPECT_EQ(GetProgramBaseName("/a/b/QUILLET.EXE"), "QUILLET.EXE");
  EXPECT_EQ(GetProgramBaseName("/usr/bin/quillet"), "quillet");
  EXPECT_EQ(GetProgramBaseName("/a.exe/b/quillet.exe.old"), "quillet");
  EXPECT_EQ(GetProgramBaseName("quillet"), "");
  EXPECT_EQ(GetProgramBaseName(""), "");
  // Paths longer than a one-byte position can name still give the right name.
  std::string DeepPath = "/";
  DeepPath.append(400, 'd').append("/quillet");
  EXPECT_EQ(GetProgramBaseName(DeepPath), "quillet");
  EXPECT_EQ(GetProgramBaseName(), "shell_tests");
}

}  // namespace
}  // namespace quillet

// Frames against a model of the screen: whatever is drawn, wiped, resized or painted by the view
// on its own between frames, the screen equals the surface after every frame, and a wipe fills
// black only where the page before was shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "shell/frame_areas.h"
#include "shell/tile_marks.h"
#include "raster/bitmap32.h"

namespace quillet {
namespace {

// One value per pixel: 0 is black.
struct TPicture {
  int32_t Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;

  void Resize(int32_t W, int32_t H, uint32_t Value) {
    Width = W, Height = H;
    Pixels.assign(static_cast<size_t>(W) * static_cast<size_t>(H), Value);
  }
  void Fill(const TRect& R, uint32_t Value) {
    for (int32_t Y = std::max(R.Top, 0); Y < std::min(R.Bottom, Height); ++Y)
      for (int32_t X = std::max(R.Left, 0); X < std::min(R.Right, Width); ++X)
        Pixels[static_cast<size_t>(Y) * static_cast<size_t>(Width) + static_cast<size_t>(X)] = Value;
  }
  void CopyFrom(const TPicture& Src, const TRect& R) {
    for (int32_t Y = std::max(R.Top, 0); Y < std::min(R.Bottom, Height); ++Y)
      for (int32_t X = std::max(R.Left, 0); X < std::min(R.Right, Width); ++X) {
        const size_t I = static_cast<size_t>(Y) * static_cast<size_t>(Width) + static_cast<size_t>(X);
        Pixels[I] = Src.Pixels[I];
      }
  }
};

int64_t PixelsIn(const std::vector<TRect>& Rects) {
  int64_t N = 0;
  for (const TRect& R : Rects) N += int64_t{R.Right - R.Left} * (R.Bottom - R.Top);
  return N;
}

TRect RandomRect(std::mt19937& Random, int32_t W, int32_t H, int32_t Largest) {
  const int32_t X = static_cast<int32_t>(Random() % static_cast<uint32_t>(W + 20)) - 10;
  const int32_t Y = static_cast<int32_t>(Random() % static_cast<uint32_t>(H + 20)) - 10;
  return {X, Y, X + 1 + static_cast<int32_t>(Random() % static_cast<uint32_t>(Largest)),
          Y + 1 + static_cast<int32_t>(Random() % static_cast<uint32_t>(Largest))};
}

TEST(FrameAreas, AfterEveryFrameTheScreenIsTheSurface) {
  std::mt19937 Random(11);
  for (int Run = 0; Run < 40; ++Run) {
    TPicture Surface, Screen;
    int32_t W = 40 + static_cast<int32_t>(Random() % 60), H = 30 + static_cast<int32_t>(Random() % 50);
    Surface.Resize(W, H, 7);  // whatever was there
    Screen.Resize(W, H, 9);   // whatever the screen showed before
    TFrameAreas Frame;
    Frame.SetBounds(W, H);
    uint32_t Colour = 100;
    for (int Step = 0; Step < 400; ++Step) {
      const uint32_t Op = Random() % 100;
      if (Op < 60) {  // a drawing reports its area
        const TRect R = RandomRect(Random, W, H, 12);
        Surface.Fill(R, ++Colour);
        Frame.Add(R);
      } else if (Op < 67) {  // a wipe
        Surface.Resize(W, H, 0);
        Frame.Erased();
      } else if (Op < 72) {  // the view paints a part of its own, from the surface
        Screen.CopyFrom(Surface, RandomRect(Random, W, H, 30));
      } else if (Op < 74) {  // a new size: surface and screen hold anything
        W = W == 99 ? 40 : W + 1 + static_cast<int32_t>(Random() % static_cast<uint32_t>(99 - W));
        H = 30 + static_cast<int32_t>(Random() % 50);
        Surface.Resize(W, H, ++Colour);
        Screen.Resize(W, H, ++Colour);
        Frame.SetBounds(W, H);
      } else {  // a frame: black first, then the copies
        Frame.SetBounds(W, H);
        for (const TRect& R : Frame.Black()) Screen.Fill(R, 0);
        for (const TRect& R : Frame.Copy()) Screen.CopyFrom(Surface, R);
        Frame.FrameShown();
        ASSERT_EQ(Screen.Pixels, Surface.Pixels) << "run " << Run << " step " << Step;
        EXPECT_TRUE(Frame.Empty());
      }
    }
  }
}

TEST(FrameAreas, AWipeFillsOnlyWhatThePageBeforeShowed) {
  TFrameAreas Frame;
  Frame.SetBounds(1000, 800);
  // Until a first wipe the screen may show anything: the first wipe fills it all.
  Frame.FrameShown();
  Frame.Erased();
  EXPECT_EQ(Frame.Black(), (std::vector<TRect>{{0, 0, 1000, 800}}));
  Frame.Add({10, 10, 20, 20});  // the time printed at the wipe
  Frame.FrameShown();

  // A page of a few shapes, shown over two frames, and one more left for the next frame.
  Frame.Add({100, 100, 150, 150});
  Frame.FrameShown();
  Frame.Add({700, 500, 760, 560});
  Frame.FrameShown();
  Frame.Add({300, 600, 320, 640});
  Frame.Erased();
  EXPECT_TRUE(Frame.Copy().empty());
  // The four areas, each grown to the tiles it touches.
  EXPECT_LE(PixelsIn(Frame.Black()), 32 * 32 + 64 * 64 + 80 * 80 + 32 * 48);
  Frame.FrameShown();
  EXPECT_TRUE(Frame.Empty());

  // An empty page: nothing to fill at its end.
  Frame.Erased();
  EXPECT_TRUE(Frame.Black().empty());
  EXPECT_TRUE(Frame.Empty());

  // A copy of the whole surface needs no fill.
  Frame.Add({0, 0, 50, 50});
  Frame.FrameShown();
  Frame.Erased();
  Frame.Add({0, 0, 1000, 800});
  EXPECT_TRUE(Frame.Black().empty());
}

// The tiles' rectangles cover every marked pixel once, within the bounds, and no tile that no
// area touched.
TEST(TileMarks, RectanglesCoverTheMarkedTilesOnce) {
  std::mt19937 Random(5);
  for (int Run = 0; Run < 50; ++Run) {
    const int32_t W = 1 + static_cast<int32_t>(Random() % 90), H = 1 + static_cast<int32_t>(Random() % 70);
    TTileMarks Marks;
    Marks.SetBounds(W, H);
    std::vector<TRect> Areas;
    for (int I = static_cast<int>(Random() % 6); I > 0; --I) {
      Areas.push_back(RandomRect(Random, W, H, 30));
      Marks.Mark(Areas.back());
    }
    std::vector<int> Count(static_cast<size_t>(W * H), 0);
    for (const TRect& R : Marks.Rects()) {
      ASSERT_TRUE(R.Left >= 0 && R.Top >= 0 && R.Right <= W && R.Bottom <= H && R.Left < R.Right && R.Top < R.Bottom);
      for (int32_t Y = R.Top; Y < R.Bottom; ++Y)
        for (int32_t X = R.Left; X < R.Right; ++X) ++Count[static_cast<size_t>(Y * W + X)];
    }
    constexpr int32_t T = TTileMarks::TileSide;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) {
        bool Touched = false;
        for (const TRect& Area : Areas) {
          const TRect A{std::max(Area.Left, 0), std::max(Area.Top, 0), std::min(Area.Right, W),
                        std::min(Area.Bottom, H)};
          Touched |= X / T >= A.Left / T && X / T <= (A.Right - 1) / T && Y / T >= A.Top / T &&
                     Y / T <= (A.Bottom - 1) / T && A.Left < A.Right && A.Top < A.Bottom;
        }
        ASSERT_EQ(Count[static_cast<size_t>(Y * W + X)], Touched ? 1 : 0) << X << "," << Y << " run " << Run;
      }
    EXPECT_EQ(Marks.Empty(), Marks.Rects().empty());
  }
}

}  // namespace
}  // namespace quillet

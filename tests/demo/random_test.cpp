// The generator's sequence, the random colours and the pick routines' draws.
#include <gtest/gtest.h>

#include "demo/placement.h"
#include "demo/random_generator.h"

namespace quillet {
namespace {

// How many draws take a generator from seed From to seed To.
int DrawsBetween(uint32_t From, uint32_t To) {
  TRandomGenerator G{From};
  for (int N = 0; N < 10000; ++N) {
    if (G.RandSeed == To) return N;
    G.Random(1);
  }
  return -1;
}

TEST(RandomGenerator, SeedSequenceFromZero) {
  TRandomGenerator G;
  const uint32_t Expected[] = {1u, 134775814u, 3698175007u, 870078620u, 1172187917u};
  EXPECT_EQ(G.Random(1000), 0u);  // the first draw of a run is always 0
  EXPECT_EQ(G.RandSeed, Expected[0]);
  for (int I = 1; I < 5; ++I) {
    G.Random(7);
    EXPECT_EQ(G.RandSeed, Expected[I]);
  }
}

TEST(RandomGenerator, ScalesIntoRangeAndTakesCountUnsigned) {
  TRandomGenerator G{0xFFFFFFF0u};
  for (int I = 0; I < 1000; ++I) EXPECT_LT(G.Random(3), 3u);
  EXPECT_EQ(G.Random(0), 0u);
  // A count above 2^31 is not taken as negative.
  TRandomGenerator H{0xFFFFFFFEu};
  const uint32_t Next = 0xFFFFFFFEu * 134775813u + 1u;
  EXPECT_EQ(H.Random(0xFFFFFFFFu), static_cast<uint32_t>((uint64_t{Next} * 0xFFFFFFFFu) >> 32));
}

TEST(RandomColor, FirstColourOfARunAndChannelOrder) {
  TRandomGenerator G;
  EXPECT_EQ(RandomColor(G, 10, 255, 255), 0xFFDD110Au);  // blue 10, green 17, red 221
  EXPECT_EQ(G.RandSeed, 3698175007u);

  // With alpha: the first draw is the alpha, then blue, green, red.
  TRandomGenerator H;
  const TColor32 C = RandomColorAlpha(H, 10, 255);
  EXPECT_EQ(C >> 24, 10u);
  EXPECT_EQ(C & 0xFF, 17u);
  EXPECT_EQ((C >> 8) & 0xFF, 221u);
  EXPECT_EQ(DrawsBetween(0, H.RandSeed), 4);

  // Every channel stays within Lo..Hi.
  TRandomGenerator K{12345};
  for (int I = 0; I < 500; ++I) {
    const TColor32 X = RandomColorAlpha(K, 10, 255);
    for (int Shift = 0; Shift < 32; Shift += 8) EXPECT_GE((X >> Shift) & 0xFF, 10u);
  }
}

TEST(Placement, BoxAndCornerDrawsAndValues) {
  TRandomGenerator G;
  const TPickContext Ctx{G, 55, 640, 480};
  TPlacement P;
  PickBox(Ctx, P);
  EXPECT_EQ(P.CX, 0);  // first draw of a run
  EXPECT_EQ(P.CY, static_cast<int32_t>((uint64_t{134775814u} * 480) >> 32));
  EXPECT_EQ(P.Half, 27);
  EXPECT_EQ(P.Left, -27);
  EXPECT_EQ(P.Right, 27);
  EXPECT_EQ(P.Bottom - P.Top, 54);
  EXPECT_EQ(DrawsBetween(0, G.RandSeed), 3);

  const uint32_t Before = G.RandSeed;
  PickCorner(Ctx, P);
  EXPECT_EQ(DrawsBetween(Before, G.RandSeed), 2);
  EXPECT_LT(P.CornerX, 640 - 55);
  EXPECT_LT(P.CornerY, 480 - 55);
}

// A client smaller than Size would hand the generator a negative count; the corner must stay at 0
// and the sequence must advance exactly as for any other size.
TEST(Placement, CornerOfAClientSmallerThanSizeTakesTheCountAsUnsigned) {
  for (const auto& [W, H] : {std::pair{30, 20}, std::pair{80, 1}, std::pair{0, 0}, std::pair{1, 1}}) {
    TRandomGenerator G{777};
    TPlacement P;
    PickCorner({G, 80, W, H}, P);
    // The generator's formula, applied by hand to the wrapped counts.
    const uint32_t Seed1 = 777u * 134775813u + 1u;
    const uint32_t Seed2 = Seed1 * 134775813u + 1u;
    const auto Pick = [](uint32_t Seed, int32_t Count) {
      return static_cast<int32_t>((uint64_t{Seed} * static_cast<uint32_t>(Count)) >> 32);
    };
    EXPECT_EQ(P.CornerX, Pick(Seed1, W - 80));
    EXPECT_EQ(P.CornerY, Pick(Seed2, H - 80));
    EXPECT_EQ(G.RandSeed, Seed2);
  }
}

TEST(Placement, GouraudColourPicksDrawCountsAndAlpha) {
  struct Case {
    bool Bar;
    bool WithAlpha;
    int Draws;
  };
  for (const Case C : {Case{true, false, 15}, Case{true, true, 19}, Case{false, false, 15},
                       Case{false, true, 18}}) {
    TRandomGenerator G{99};
    TPlacement P;
    const TPickContext Ctx{G, 40, 300, 200};
    if (C.Bar)
      PickBarColors(Ctx, P, C.WithAlpha);
    else
      PickTriangleColors(Ctx, P, C.WithAlpha);
    EXPECT_EQ(DrawsBetween(99, G.RandSeed), C.Draws);
    if (!C.Bar) {
      for (TColor32 Col : P.TriangleColors) EXPECT_EQ(Col >> 24, 255u);
    }
  }

  // The triangle: apex on the box's top edge, the others on its sides, within Size of the centre.
  TRandomGenerator G{4242};
  TPlacement P;
  PickTriangle({G, 40, 300, 200}, P);
  EXPECT_EQ(P.Vertices[0].Y, P.Top);
  EXPECT_EQ(P.Vertices[1].X, P.Left);
  EXPECT_EQ(P.Vertices[2].X, P.Right);
  EXPECT_GE(P.Vertices[0].X, P.CX);
  EXPECT_LT(P.Vertices[0].X, P.CX + 40);
}

}  // namespace
}  // namespace quillet

// The kernels that draw runs of pixel rows between two edges in one call, held against the
// general anti-aliased writer: the scalar kernel tables have no such kernel, so every level that
// has one must draw exactly the scalar level's pixels, shape for shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/detail/blend_kernels.h"
#include "raster/detail/edge_list.h"
#include "raster/polygon_fill.h"

#include "many_edged_shapes.h"

namespace quillet {
namespace {

struct TCase {
  int32_t Width, Height;
  TRect Clip;
  TArrayOfArrayOfFixedPoint Paths;
  TColor32 Color;
  TPolyFillRule Rule;
  TAntialiasLevel Level;
  TCombineMode Mode;
  uint32_t Seed;  // of the background
};

class TCaseSource {
 public:
  explicit TCaseSource(uint32_t Seed) : FRng(Seed) {}

  TCase Next() {
    TCase C{};
    C.Width = 16 + U(300);
    C.Height = 8 + U(120);
    C.Clip = {0, 0, C.Width, C.Height};
    if (U(3) == 0) {  // a clip rectangle, now and then narrower than a vector
      const int32_t L = U(C.Width), R = L + 1 + U(C.Width - L);
      const int32_t T = U(C.Height), B = T + 1 + U(C.Height - T);
      C.Clip = {L, T, R, B};
    }
    if (U(3) == 0) {
      C.Paths = testing::ManyEdgedShape(FRng, C.Width, C.Height);
    } else {
      C.Paths.push_back(Shape(C.Width, C.Height));
      if (U(8) == 0) C.Paths.push_back(Shape(C.Width, C.Height));
    }
    C.Color = (1 + U(255)) << 24 | (FRng() & 0x00FFFFFF);
    if (U(4) == 0) C.Color |= 0xFF000000;
    C.Rule = U(2) ? TPolyFillRule::NonZero : TPolyFillRule::EvenOdd;
    C.Level = static_cast<TAntialiasLevel>(U(6));
    C.Mode = U(6) == 0 ? TCombineMode::cmMerge : TCombineMode::cmBlend;
    C.Seed = FRng();
    return C;
  }

 private:
  int32_t U(int32_t N) { return static_cast<int32_t>(FRng() % static_cast<uint32_t>(N)); }
  TFixed Coord(double V) { return static_cast<TFixed>(std::lround(V * 65536)); }
  double Real(double Lo, double Hi) { return std::uniform_real_distribution<double>(Lo, Hi)(FRng); }

  // Triangles of every size, slivers whose edges nearly touch, bow ties whose edges cross, flat
  // shapes whose edge cells run far, all now and then past the surface's sides.
  TArrayOfFixedPoint Shape(int32_t W, int32_t H) {
    const double Cx = Real(-10, W + 10), Cy = Real(-10, H + 10);
    static constexpr double Sizes[] = {1, 3, 8, 20, 60, 200, 900};
    const double S = Sizes[U(7)];
    const auto P = [&](double X, double Y) { return TFixedPoint{Coord(X), Coord(Y)}; };
    switch (U(5)) {
      case 0: {  // sliver: two edges from one point, nearly parallel
        const double Dx = Real(-S, S), Dy = Real(1, 3 * S), Gap = Real(0, 2);
        return {P(Cx, Cy), P(Cx + Dx, Cy + Dy), P(Cx + Dx + Gap, Cy + Dy)};
      }
      case 1: {  // bow tie
        const double Dx = Real(0, S), Dy = Real(1, S);
        return {P(Cx - Dx, Cy), P(Cx + Dx, Cy), P(Cx - Dx, Cy + Dy), P(Cx + Dx, Cy + Dy)};
      }
      case 2: {  // flat
        const double Dx = Real(S, 8 * S + 40);
        return {P(Cx - Dx, Cy), P(Cx + Dx, Cy + Real(0.5, 6)), P(Cx + Real(-Dx, Dx), Cy + Real(-6, 6))};
      }
      default: {
        TArrayOfFixedPoint T;
        for (int I = 0; I < 3 + U(2); ++I) T.push_back(P(Cx + Real(-S, S), Cy + Real(-S, S)));
        return T;
      }
    }
  }

  std::mt19937 FRng;
};

std::vector<TColor32> Draw(const TCase& C, BlendVariant Variant, SimdLevel Level) {
  InitBlendOps(Variant, Level);
  TBitmap32 B;
  B.SetDimensions(C.Width, C.Height);
  std::mt19937 Rng(C.Seed);
  for (int32_t Y = 0; Y < C.Height; ++Y)
    for (int32_t X = 0; X < C.Width; ++X) B.PixelAddress(X, Y)[0] = Rng();
  B.SetClipBounds(C.Clip);
  B.SetCombineMode(C.Mode);
  FillPolyPolygonAA(B, C.Paths, C.Color, C.Rule, C.Level);
  std::vector<TColor32> Pixels;
  for (int32_t Y = 0; Y < C.Height; ++Y) Pixels.insert(Pixels.end(), B.RowAddress(Y), B.RowAddress(Y) + C.Width);
  return Pixels;
}

TEST(PairedRows, EveryLevelDrawsTheScalarLevelsPixels) {
  const BlendVariant Before = ActiveBlendVariant();
  const SimdLevel BeforeLevel = ActiveSimdLevel();
  int Compared = 0;
  for (BlendVariant V : {BlendVariant::Portable, BlendVariant::Packed}) {
    for (int L = 1; L < SimdLevelCount; ++L) {
      const SimdLevel Level = static_cast<SimdLevel>(L);
      if (!SimdLevelSupported(Level) || KernelTable(V, Level).Modes[0].PairedRows == nullptr) continue;
      TCaseSource Source(1234 + L);
      for (int Trial = 0; Trial < 1500; ++Trial) {
        const TCase C = Source.Next();
        ASSERT_EQ(Draw(C, V, Level), Draw(C, V, SimdLevel::Scalar))
            << "variant " << int(V) << " level " << L << " trial " << Trial;
        ++Compared;
      }
    }
  }
  InitBlendOps(Before, BeforeLevel);
  if (Compared == 0) GTEST_SKIP() << "no level with a paired-rows kernel on this processor";
}

// The chains of a fill's edges against each scanline's crossings as the edge list's sweep gives
// them: the chains that cross a scanline hold exactly its crossings, keys and directions, each
// chain runs one way, and the chains come in order of their first scanlines.
TEST(PairedRows, ChainsHoldEveryScanlinesCrossings) {
  std::mt19937 Rng(47);
  const auto U = [&](int32_t N) { return static_cast<int32_t>(Rng() % static_cast<uint32_t>(N)); };
  int Taken = 0;
  for (int Trial = 0; Trial < 1500; ++Trial) {
    TArrayOfArrayOfPoint Paths;
    for (const TArrayOfFixedPoint& P : testing::ManyEdgedShape(Rng, 300, 200, 100)) {
      TArrayOfPoint& Grid = Paths.emplace_back();
      for (const TFixedPoint& Q : P) Grid.push_back({Q.X >> 13, Q.Y >> 13});
    }
    const int32_t MinY = U(800), MaxY = MinY + U(900), MinX = U(3) == 0 ? 800 : 0, MaxX = U(3) == 0 ? 1600 : 100000;
    TEdgeList Chained, Swept;
    Chained.Build(Paths.begin(), Paths.end(), MinX, MinY, MaxX, MaxY);
    Swept.Build(Paths.begin(), Paths.end(), MinX, MinY, MaxX, MaxY);
    std::vector<TEdgeChain> Chains;
    if (!Chained.Chains(Chains)) {
      // Refused only without edges or for more chains than it keeps.
      ASSERT_TRUE(Swept.MaxCrossings() == 0 || Swept.MaxCrossings() > static_cast<int32_t>(TEdgeList::MaxChains))
          << "trial " << Trial;
      continue;
    }
    ++Taken;
    for (size_t C = 1; C < Chains.size(); ++C) ASSERT_LE(Chains[C - 1].Top, Chains[C].Top) << "trial " << Trial;
    const int32_t Stride = std::max(Swept.MaxCrossings(), 1);
    std::vector<uint32_t> Lists(32 * static_cast<size_t>(Stride));
    int32_t Counts[32];
    for (int32_t First = MinY; First <= MaxY; First += 32) {
      const int32_t Last = std::min(First + 31, MaxY);
      Swept.Rows(First, Last, Lists.data(), Stride, Counts);
      for (int32_t Y = First; Y <= Last; ++Y) {
        const uint32_t* L = Lists.data() + static_cast<ptrdiff_t>(Y - First) * Stride;
        std::vector<uint32_t> Want(L, L + Counts[Y - First]), Got;
        for (const TEdgeChain& C : Chains)
          if (C.Top <= Y && Y <= C.Bottom)
            Got.push_back(static_cast<uint32_t>(C.Keys[Y - C.Top]) | (C.Upward ? CrossingUpward : 0u));
        std::sort(Want.begin(), Want.end());
        std::sort(Got.begin(), Got.end());
        ASSERT_EQ(Got, Want) << "trial " << Trial << " scanline " << Y;
      }
    }
  }
  EXPECT_GT(Taken, 700);
}

// The two chains of keys of a fill whose scanlines pair up, against each scanline's crossings as
// the edge list's sweep gives them: every scanline of the chains' rows holds its two crossings
// (in either order) or, where nothing crosses it, one key twice; and where the chains are refused,
// some scanline has another number of crossings, the crossed ones do not form one run, or (under
// the non-zero rule) a pair runs the same way.
TEST(PairedRows, ChainsHoldEveryScanlinesPairOrAreRefused) {
  std::mt19937 Rng(31);
  const auto U = [&](int32_t N) { return static_cast<int32_t>(Rng() % static_cast<uint32_t>(N)); };
  int Taken = 0, Refused = 0;
  for (int Trial = 0; Trial < 3000; ++Trial) {
    TArrayOfArrayOfPoint Paths(1 + (U(4) == 0 ? 1 : 0));
    for (TArrayOfPoint& P : Paths) {
      const int32_t Cx = 200 + U(400), Cy = U(300), Size = 1 + U(U(2) ? 40 : 400);
      for (int I = 0; I < 3 + (U(3) == 0 ? U(4) : 0); ++I) P.push_back({Cx + U(2 * Size) - Size, Cy + U(Size)});
    }
    const int32_t Shift = 1 + U(5);
    const bool NonZero = U(2);
    const int32_t MinY = U(200), MaxY = MinY + U(300), MinX = U(3) == 0 ? 300 : 0, MaxX = U(3) == 0 ? 500 : 100000;
    TEdgeList Chained, Swept;
    Chained.Build(Paths.begin(), Paths.end(), MinX, MinY, MaxX, MaxY);
    Swept.Build(Paths.begin(), Paths.end(), MinX, MinY, MaxX, MaxY);
    int32_t FirstRow = 0, Rows = 0;
    const int32_t *A = nullptr, *B = nullptr;
    const bool Paired = Chained.PairedChains(Shift, NonZero, FirstRow, Rows, A, B);
    // Each scanline's crossings from the sweep.
    std::vector<std::vector<uint32_t>> Lines;
    std::vector<uint32_t> Lists(32 * static_cast<size_t>(std::max(Swept.MaxCrossings(), 1)));
    int32_t Counts[32];
    for (int32_t First = MinY; First <= MaxY; First += 32) {
      const int32_t Last = std::min(First + 31, MaxY);
      Swept.Rows(First, Last, Lists.data(), std::max(Swept.MaxCrossings(), 1), Counts);
      for (int32_t I = 0; I <= Last - First; ++I) {
        const uint32_t* L = Lists.data() + I * std::max(Swept.MaxCrossings(), 1);
        Lines.emplace_back(L, L + Counts[I]);
      }
    }
    int32_t RunFirst = -1, RunLast = -1;
    bool Pairs = true, OneRun = true, Opposite = true;
    for (int32_t Y = MinY; Y <= MaxY; ++Y) {
      const std::vector<uint32_t>& L = Lines[static_cast<size_t>(Y - MinY)];
      if (L.empty()) continue;
      Pairs = Pairs && L.size() == 2;
      if (L.size() == 2 && ((L[0] ^ L[1]) & CrossingUpward) == 0) Opposite = false;
      if (RunLast >= 0 && Y != RunLast + 1) OneRun = false;
      if (RunFirst < 0) RunFirst = Y;
      RunLast = Y;
    }
    const bool Expected = RunFirst >= 0 && Pairs && OneRun && (!NonZero || Opposite);
    ASSERT_EQ(Paired, Expected) << "trial " << Trial;
    if (!Paired) {
      ++Refused;
      continue;
    }
    ++Taken;
    ASSERT_EQ(FirstRow, RunFirst >> Shift);
    ASSERT_EQ(Rows, (RunLast >> Shift) - FirstRow + 1);
    for (int32_t Y = FirstRow << Shift; Y < (FirstRow + Rows) << Shift; ++Y) {
      const size_t I = static_cast<size_t>(Y - (FirstRow << Shift));
      if (Y < RunFirst || Y > RunLast) {
        ASSERT_EQ(A[I], B[I]) << "trial " << Trial << " scanline " << Y;
        continue;
      }
      const std::vector<uint32_t>& L = Lines[static_cast<size_t>(Y - MinY)];
      const uint32_t Lo = L[0] & CrossingKeyMask, Hi = L[1] & CrossingKeyMask;
      ASSERT_EQ(std::min(A[I], B[I]), static_cast<int32_t>(std::min(Lo, Hi))) << "trial " << Trial << " scanline " << Y;
      ASSERT_EQ(std::max(A[I], B[I]), static_cast<int32_t>(std::max(Lo, Hi))) << "trial " << Trial << " scanline " << Y;
    }
  }
  EXPECT_GT(Taken, 300);
  EXPECT_GT(Refused, 300);
}

// The kernel alone, on rows of a buffer exactly as wide as the clip rectangle: each row it takes
// must equal the row blend of its coverage counts, taken sub-scanline by sub-scanline from the
// edges' keys, and it must touch nothing outside the buffer (which the sanitizer build sees).
TEST(PairedRows, KernelRowsAreTheirCountsBlended) {
  static constexpr uint32_t Scales[6] = {0, 32662, 5460, 1167, 273, 65};  // by shift
  std::mt19937 Rng(7);
  const auto U = [&](int32_t N) { return static_cast<int32_t>(Rng() % static_cast<uint32_t>(N)); };
  for (BlendVariant V : {BlendVariant::Portable, BlendVariant::Packed}) {
    const TRowMasterProc RowMaster = KernelTable(V, SimdLevel::Scalar).Modes[0].RowMaster;
    for (int L = 1; L < SimdLevelCount; ++L) {
      const SimdLevel Level = static_cast<SimdLevel>(L);
      const TPairedRowsProc Kernel = KernelTable(V, Level).Modes[0].PairedRows;
      if (!SimdLevelSupported(Level) || Kernel == nullptr) continue;
      int32_t Taken = 0, Offered = 0;
      for (int Trial = 0; Trial < 20000; ++Trial) {
        const int32_t Shift = 1 + U(5), N = 1 << Shift, Mask = N - 1;
        const int32_t Width = 8 + U(48), Rows = 1 + U(3);
        // Each edge runs straight across a row between two keys; narrow rows make windows meet.
        const int32_t Span = (U(3) == 0 ? std::min(12, Width) : Width) << Shift;
        const int32_t Origin = U((Width << Shift) - Span + 1);
        // Mostly one edge wholly left of the other (the rows the kernel is for), now and then crossing.
        std::vector<int32_t> Keys[2];
        for (int32_t R = 0; R < Rows; ++R) {
          int32_t Ends[4];
          for (int32_t& E : Ends) E = Origin + U(Span);
          if (U(4) != 0) std::sort(Ends, Ends + 4);
          if (U(2) != 0) std::swap(Ends[0], Ends[1]);
          if (U(2) != 0) std::swap(Ends[2], Ends[3]);
          const int32_t Left = U(2);
          for (int32_t E = 0; E < 2; ++E) {
            const int32_t From = Ends[2 * E], To = Ends[2 * E + 1];
            for (int32_t K = 0; K < N; ++K) Keys[E ^ Left].push_back(From + (To - From) * K / std::max(N - 1, 1));
          }
        }
        const uint32_t M = 1 + U(255);
        const TColor32 Rgb = Rng() & 0x00FFFFFF;
        std::vector<TColor32> Pixels(static_cast<size_t>(Width * Rows));
        for (TColor32& P : Pixels) P = Rng();
        std::vector<TColor32> Want = Pixels;

        TPairedRows R{};
        R.KeysA = Keys[0].data();
        R.KeysB = Keys[1].data();
        R.Rows = Rows;
        R.Keys = N;
        if (U(3) == 0) {
          // One row of spans in any order, some sub-scanlines without one, with their bounds.
          for (int32_t K = 0; K < N; ++K) {
            if (Keys[0][K] > Keys[1][K]) std::swap(Keys[0][K], Keys[1][K]);
            const int32_t J = U(K + 1);
            std::swap(Keys[0][K], Keys[0][J]);
            std::swap(Keys[1][K], Keys[1][J]);
          }
          R.Rows = 1;
          R.Keys = 1 + U(N);
          R.Kind = TPairedKind::Spans;
          R.MinStart = *std::min_element(Keys[0].begin(), Keys[0].begin() + R.Keys);
          R.MaxStart = *std::max_element(Keys[0].begin(), Keys[0].begin() + R.Keys);
          R.MinEnd = *std::min_element(Keys[1].begin(), Keys[1].begin() + R.Keys);
          R.MaxEnd = *std::max_element(Keys[1].begin(), Keys[1].begin() + R.Keys);
        }
        R.Shift = Shift;
        R.Mask = Mask;
        R.Scale = Scales[Shift];
        R.Rgb = Rgb;
        R.Master = M;
        R.Dst = Pixels.data();
        R.Stride = Width;
        R.ClipLeft = 0;
        R.ClipRight = Width;
        const int32_t Done = Kernel(R);
        ASSERT_GE(Done, 0);
        ASSERT_LE(Done, R.Rows);
        Taken += Done;
        Offered += R.Rows;
        for (int32_t Row = 0; Row < Done; ++Row) {
          std::vector<TColor32> Colors(static_cast<size_t>(Width));
          for (int32_t X = 0; X < Width; ++X) {
            int32_t Count = 0;
            for (int32_t K = 0; K < R.Keys; ++K) {
              const int32_t A = Keys[0][static_cast<size_t>(Row * N + K)], B = Keys[1][static_cast<size_t>(Row * N + K)];
              const int32_t Base = (X << Shift) + Mask;
              Count += std::clamp(Base - std::min(A, B), 0, Mask) - std::clamp(Base - std::max(A, B), 0, Mask);
            }
            Colors[static_cast<size_t>(X)] = ((static_cast<uint32_t>(Count) * Scales[Shift] & 0xFF00) << 16) | Rgb;
          }
          RowMaster(Colors.data(), Want.data() + Row * Width, Width, M);
        }
        ASSERT_EQ(Pixels, Want) << "variant " << int(V) << " level " << L << " trial " << Trial;
      }
      // Most rows are for the kernel to take; a kernel that refused them all would pass above.
      EXPECT_GT(Taken, Offered / 3);
    }
  }
}

}  // namespace
}  // namespace quillet

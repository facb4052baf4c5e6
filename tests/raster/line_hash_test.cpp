// Many randomised lines of every kind, pinned by a hash of their pixels and of every change they
// report, one hash per kind of line and blend variant. The hashes were taken from the line code
// before its set-up and clipping were shared between the kinds, so any later change of a pixel,
// of a reported area or of the order of reports shows here. End points range over the whole
// 32-bit range, with extra weight on the clip edges, on slopes near the special cases and on lines
// long enough to leave 16-bit differences behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <limits>
#include <random>

#include "raster/bitmap32.h"
#include "raster/blend.h"

namespace quillet {
namespace {

enum class LineKind { Integer, AntiAliased, Fixed };

class LineHashRun {
 public:
  LineHashRun(LineKind Which, uint32_t Seed) : Kind(Which), Rng(Seed) {}

  uint64_t Run(int Cases) {
    for (int C = 0; C < Cases; ++C) OneCase();
    return Hash;
  }

 private:
  static constexpr int64_t Min32 = std::numeric_limits<int32_t>::min();
  static constexpr int64_t Max32 = std::numeric_limits<int32_t>::max();

  uint32_t U(uint32_t N) { return Rng() % N; }
  bool OneIn(uint32_t N) { return U(N) == 0; }
  int64_t Between(int64_t Lo, int64_t Hi) {  // inclusive
    return Lo + static_cast<int64_t>(((uint64_t{Rng()} << 32 | Rng()) % static_cast<uint64_t>(Hi - Lo + 1)));
  }
  static int32_t Clamp32(int64_t V) { return static_cast<int32_t>(std::clamp(V, Min32, Max32)); }

  void Mix(uint64_t V) {
    for (int I = 0; I < 8; ++I) {
      Hash ^= (V >> (8 * I)) & 0xFF;
      Hash *= 1099511628211ull;
    }
  }

  TColor32 RandomColor() {
    static constexpr uint32_t Alphas[] = {255, 255, 127, 1, 0, 254, 128};
    const uint32_t A = OneIn(3) ? U(256) : Alphas[U(std::size(Alphas))];
    return A << 24 | (Rng() & 0x00FFFFFF);
  }

  // A coordinate on one axis: near the surface, near a clip edge, beyond the 16-bit range, anywhere,
  // or one of the extremes.
  int64_t Coord(int64_t Extent, int64_t Lo, int64_t Hi) {
    switch (U(8)) {
      case 0:
      case 1:
      case 2: return Between(-6, Extent + 6);
      case 3: return (OneIn(2) ? Lo : Hi) + Between(-2, 2);
      case 4: return Between(-70000, Extent + 70000);
      case 5: return Between(-3000000, 3000000);
      case 6: return Between(Min32, Max32);
      default: {
        static constexpr int64_t Extremes[] = {Min32, Min32 + 1, Min32 + 2, -1, 0, Max32 - 2, Max32 - 1, Max32};
        return Extremes[U(std::size(Extremes))];
      }
    }
  }

  // End points, now and then bent into a special slope, or a long line aimed through the surface.
  void RandomLine(const TBitmap32& S, int64_t Unit, int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2) {
    const TRect& C = S.ClipBounds();
    const int64_t W = S.Width() * Unit, H = S.Height() * Unit;
    const auto X = [&] { return Coord(W, C.Left * Unit, C.Right * Unit); };
    const auto Y = [&] { return Coord(H, C.Top * Unit, C.Bottom * Unit); };
    if (OneIn(6)) {
      // Through a point near the surface, from far away to far away on the other side.
      const int64_t Px = Between(-2 * Unit, W + 2 * Unit), Py = Between(-2 * Unit, H + 2 * Unit);
      const int64_t Far = OneIn(2) ? 40000 * Unit : Max32;
      const int64_t Dx = Between(-Far, Far), Dy = Between(-Far, Far);
      const int64_t K = static_cast<int64_t>(U(4));
      X1 = Clamp32(Px - Dx), Y1 = Clamp32(Py - Dy), X2 = Clamp32(Px + Dx * K / 3), Y2 = Clamp32(Py + Dy * K / 3);
      return;
    }
    if (OneIn(5)) {
      // A short line with one end on or next to a clip edge or corner, from any direction: the
      // clip-edge steps decide it.
      const auto Edge = [&](int32_t Lo, int32_t Hi) { return ((OneIn(2) ? Lo : Hi - 1) + Between(-1, 1)) * Unit; };
      X1 = Edge(C.Left, C.Right), Y1 = Edge(C.Top, C.Bottom);
      // Power-of-two lengths give slopes that the 16-bit fraction holds exactly; long shallow lines
      // drift off their end rows.
      const int64_t Sign = OneIn(2) ? 1 : -1;
      int64_t Major = Between(-90, 90) * Unit;
      if (OneIn(3)) Major = Sign * (int64_t{1} << U(8)) * Unit;
      else if (OneIn(3)) Major = Sign * Between(90, 40000) * Unit;
      int64_t Minor = Between(-6, 6) * Unit;
      if (OneIn(2)) std::swap(Major, Minor);
      X2 = X1 + Major, Y2 = Y1 + Minor;
      if (OneIn(2)) std::swap(X1, X2), std::swap(Y1, Y2);
      return;
    }
    X1 = X(), Y1 = Y(), X2 = X(), Y2 = Y();
    if (Unit != 1) return;
    const int64_t Dy = Y2 - Y1;
    switch (U(10)) {
      case 0: X2 = Clamp32(X1 + (OneIn(2) ? Dy : -Dy)); break;  // diagonal
      case 1: X2 = X1; break;
      case 2: Y2 = Y1; break;
      case 3: X2 = Clamp32(X1 + (OneIn(2) ? 1 : -1) * (32766 + Between(0, 3))); break;  // at the long-line edge
      case 4: X2 = Clamp32(X1 + Dy * 2 + Between(-1, 1)); break;  // slopes near 1/2
      default: break;
    }
  }

  void DrawInteger(TBitmap32& S) {
    int64_t X1, Y1, X2, Y2;
    RandomLine(S, 1, X1, Y1, X2, Y2);
    const TColor32 Color = RandomColor();
    const bool L = OneIn(2);
    switch (U(4)) {
      case 0: S.DrawLineClipped(Clamp32(X1), Clamp32(Y1), Clamp32(X2), Clamp32(Y2), Color, L); break;
      case 1: S.DrawLineBlendClipped(Clamp32(X1), Clamp32(Y1), Clamp32(X2), Clamp32(Y2), Color, L); break;
      case 2:
        S.SetLineColor(Color);
        S.SetPenPos(Clamp32(X1), Clamp32(Y1));
        S.LineToClipped(Clamp32(X2), Clamp32(Y2));
        S.LineToBlendClipped(Clamp32(X1), Clamp32(Y2));
        Mix(static_cast<uint32_t>(S.PenPos.X) | uint64_t{static_cast<uint32_t>(S.PenPos.Y)} << 32);
        break;
      default: S.DrawLineBlendClipped(Clamp32(X1), Clamp32(Y1), Clamp32(X2), Clamp32(Y2), Color, L); break;
    }
  }

  void DrawAntiAliased(TBitmap32& S) {
    int64_t X1, Y1, X2, Y2;
    RandomLine(S, 1, X1, Y1, X2, Y2);
    S.DrawLineAAClipped(Clamp32(X1), Clamp32(Y1), Clamp32(X2), Clamp32(Y2), RandomColor(), OneIn(2));
  }

  void DrawFixed(TBitmap32& S) {
    const TColor32 Color = RandomColor();
    const int32_t W = S.Width(), H = S.Height();
    switch (U(6)) {
      case 0:
        // The unclipped line and dot need their whole extent inside the surface.
        if (W >= 4 && H >= 4) {
          const auto In = [&](int32_t E) { return static_cast<TFixed>(Between(0, int64_t{E - 3} * 65536)); };
          S.DrawLineFixed(In(W), In(H), In(W), In(H), Color, OneIn(2));
          S.BlendSubpixel(static_cast<int32_t>(Between(0, (W - 2) * 256)),
                          static_cast<int32_t>(Between(0, (H - 2) * 256)), Color);
        }
        break;
      case 1: {
        int64_t X1, Y1, X2, Y2;
        RandomLine(S, 256, X1, Y1, X2, Y2);
        S.BlendSubpixelClipped(Clamp32(X1), Clamp32(Y1), Color);
        S.BlendSubpixelFixed(Clamp32(X2), Clamp32(Y2), Color);
        break;
      }
      case 2: {
        int64_t X1, Y1, X2, Y2;
        RandomLine(S, 65536, X1, Y1, X2, Y2);
        S.SetLineColor(Color);
        S.SetPenPosFixed(Clamp32(X1), Clamp32(Y1));
        S.LineToFixedClipped(Clamp32(X2), Clamp32(Y2));
        Mix(static_cast<uint32_t>(S.PenPosFixed.X) | uint64_t{static_cast<uint32_t>(S.PenPosFixed.Y)} << 32);
        break;
      }
      default: {
        int64_t X1, Y1, X2, Y2;
        RandomLine(S, 65536, X1, Y1, X2, Y2);
        S.DrawLineFixedClipped(Clamp32(X1), Clamp32(Y1), Clamp32(X2), Clamp32(Y2), Color, OneIn(2));
        break;
      }
    }
  }

  void OneCase() {
    int32_t W, H;
    switch (U(6)) {
      case 0: W = 200 + static_cast<int32_t>(U(300)), H = 1 + static_cast<int32_t>(U(5)); break;
      case 1: W = 1 + static_cast<int32_t>(U(5)), H = 200 + static_cast<int32_t>(U(300)); break;
      case 2: W = 60 + static_cast<int32_t>(U(100)), H = 40 + static_cast<int32_t>(U(80)); break;
      default: W = 1 + static_cast<int32_t>(U(40)), H = 1 + static_cast<int32_t>(U(40)); break;
    }
    TBitmap32 S;
    S.SetDimensions(W, H);
    const bool OpaqueBack = OneIn(2);
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) *S.PixelAddress(X, Y) = OpaqueBack ? Rng() | 0xFF000000u : Rng();
    if (!OneIn(4)) {
      // Any clip, empty ones included (the surface cuts it down to itself).
      const int32_t L = static_cast<int32_t>(U(static_cast<uint32_t>(W) + 4)) - 2;
      const int32_t T = static_cast<int32_t>(U(static_cast<uint32_t>(H) + 4)) - 2;
      S.SetClipBounds({L, T, L + static_cast<int32_t>(U(static_cast<uint32_t>(W) + 2)),
                       T + static_cast<int32_t>(U(static_cast<uint32_t>(H) + 2))});
    }
    S.SetCombineMode(OneIn(4) ? TCombineMode::cmMerge : TCombineMode::cmBlend);
    const auto Report = [this](TBitmap32*, const TRect& R, uint32_t Info) {
      Mix(static_cast<uint32_t>(R.Left) | uint64_t{static_cast<uint32_t>(R.Top)} << 32);
      Mix(static_cast<uint32_t>(R.Right) | uint64_t{static_cast<uint32_t>(R.Bottom)} << 32);
      Mix(Info);
    };
    S.OnAreaChanged = Report;
    S.OnChange = [this](TNotifiablePersistent*) { Mix(0xC4A96E); };
    const bool Measuring = OneIn(16);
    if (Measuring) S.BeginMeasuring(Report);
    const int Draws = 1 + static_cast<int>(U(4));
    for (int D = 0; D < Draws; ++D) {
      switch (Kind) {
        case LineKind::Integer: DrawInteger(S); break;
        case LineKind::AntiAliased: DrawAntiAliased(S); break;
        case LineKind::Fixed: DrawFixed(S); break;
      }
    }
    if (Measuring) S.EndMeasuring();
    S.OnAreaChanged = nullptr;
    S.OnChange = nullptr;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) Mix(*S.PixelAddress(X, Y));
  }

  LineKind Kind;
  std::mt19937 Rng;
  uint64_t Hash = 14695981039346656037ull;
};

struct PinnedHashes {
  LineKind Kind;
  const char* Name;
  uint64_t Portable, Packed;
};

TEST(LineHash, RandomisedLinesKeepTheirPixelsAndReports) {
  static constexpr PinnedHashes Pinned[] = {
      {LineKind::Integer, "integer", 0x0596fe5b40089d4dull, 0x1e50a625012949c1ull},
      {LineKind::AntiAliased, "anti-aliased", 0xe060fa1c4ee15c80ull, 0x8307eb1c0b0e4d79ull},
      {LineKind::Fixed, "fixed-point", 0x0e1fbd95dea8e5dcull, 0x7feb6cc79fe68ac9ull},
  };
  const BlendVariant Before = ActiveBlendVariant();
  for (const PinnedHashes& P : Pinned) {
    InitBlendOps(BlendVariant::Portable);
    const uint64_t Portable = LineHashRun(P.Kind, 1107).Run(6000);
    InitBlendOps(BlendVariant::Packed);
    const uint64_t Packed = LineHashRun(P.Kind, 1107).Run(6000);
    EXPECT_EQ(Portable, P.Portable) << P.Name << " lines, portable: 0x" << std::hex << Portable;
    EXPECT_EQ(Packed, P.Packed) << P.Name << " lines, packed: 0x" << std::hex << Packed;
  }
  InitBlendOps(Before);
}

}  // namespace
}  // namespace quillet

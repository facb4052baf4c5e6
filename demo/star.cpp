// Spoke geometry in extended precision with the angle and its sine and cosine kept as singles: the
// pixel ends depend on exactly those roundings.
#include "demo/star.h"

#include "demo/detail/extended_math.h"
#include "raster/bitmap32.h"

namespace quillet {

TStarGeometry StarGeometry(int32_t Size) {
  TStarGeometry G;
  G.InnerRadius = static_cast<uint16_t>(Size / 3);
  G.SpokeCount = static_cast<uint16_t>(G.InnerRadius + 10);
  G.OuterRadius = static_cast<uint16_t>(Size / 2);
  return G;
}

TStarSpoke StarSpoke(const TStarGeometry& G, int32_t I, int32_t X, int32_t Y) {
  const float Theta = static_cast<float>(static_cast<long double>(I) * TwoPi80 / G.SpokeCount);
  const float S = static_cast<float>(ExtSin(Theta));
  const float C = static_cast<float>(ExtCos(Theta));
  const long double Inner = G.InnerRadius;
  const long double Outer = G.OuterRadius;
  return {WrapAdd(X, RoundToInt32(Inner * S)), WrapAdd(Y, RoundToInt32(Inner * C)),
          WrapAdd(X, RoundToInt32(2.0L * Outer * S)), WrapAdd(Y, RoundToInt32(Outer * C))};
}

void DrawStar(TBitmap32& Surface, int32_t Size, int32_t X, int32_t Y, TColor32 Color) {
  // A spoke is its centre plus offsets that depend on Size alone, which stays put from tick to
  // tick; the last size's offsets are kept, so the sines and cosines run once per size.
  thread_local int32_t OffsetsSize = -1;
  thread_local std::vector<TStarSpoke> Offsets;
  if (OffsetsSize != Size) {
    const TStarGeometry G = StarGeometry(Size);
    Offsets.clear();
    for (int32_t I = 1; I <= G.SpokeCount; ++I) Offsets.push_back(StarSpoke(G, I, 0, 0));
    OffsetsSize = Size;
  }
  for (const TStarSpoke& O : Offsets)
    Surface.DrawLineAAClipped(WrapAdd(X, O.X1), WrapAdd(Y, O.Y1), WrapAdd(X, O.X2), WrapAdd(Y, O.Y2),
                              Color, false);
}

}  // namespace quillet

// The 2 x 2 dot: BlendSubpixel, BlendSubpixelClipped and BlendSubpixelFixed.
#include "raster/detail/subpixel_dot.h"

#include "raster/detail/line_clip.h"

namespace quillet {

TSubpixelDotPainter::TSubpixelDotPainter(TBitmap32& Target)
    : FPixels(Target.PixelPtr()),
      FStride(Target.Width()),
      FMerge(Target.CombineMode() == TCombineMode::cmMerge),
      FCombine(CombineColorInto),
      FMergeColors(MergeColors) {
  const TRect& C = Target.ClipBounds();
  Cx1 = C.Left;
  Cx2 = C.Right - 1;
  Cy1 = C.Top;
  Cy2 = C.Bottom - 1;
  // A dot reaches one pixel to the right and down from its position.
  const TScaledClip S = ScaleClip(C, 8);
  RejectLeft = S.Left - 256;
  RejectRight = S.Right;
  RejectTop = S.Top - 256;
  RejectBottom = S.Bottom;
}

void TSubpixelDotPainter::StampMasked(int32_t X, int32_t Y, TColor32 Value, unsigned Mask) const {
  const int32_t Ix = X >> 8;
  const int32_t Iy = Y >> 8;
  const uint32_t Fx = static_cast<uint32_t>(X) & 255;
  const uint32_t Fy = static_cast<uint32_t>(Y) & 255;
  const uint32_t Wl = CoverageGammaTable[255 - Fx];
  const uint32_t Wr = CoverageGammaTable[Fx];
  const uint32_t Wt = CoverageGammaTable[255 - Fy];
  const uint32_t Wb = CoverageGammaTable[Fy];
  const uint32_t A = AlphaOf(Value);
  // An index rather than a pointer: the top-left pixel may lie outside the surface when it is
  // masked out.
  const intptr_t Base = static_cast<intptr_t>(Iy) * FStride + Ix;

  const auto Put = [&](intptr_t Index, uint32_t Wc, uint32_t Wrow) {
    TColor32& P = FPixels[Index];
    if (FMerge)
      FCombine(FMergeColors(Value, P), P, (Wc * Wrow) >> 8);
    else
      FCombine(Value, P, (Wc * A * Wrow) >> 16);
  };
  if (Mask & TopLeft) Put(Base, Wl, Wt);
  if (Mask & TopRight) Put(Base + 1, Wr, Wt);
  if (Mask & BottomRight) Put(Base + FStride + 1, Wr, Wb);
  if (Mask & BottomLeft) Put(Base + FStride, Wl, Wb);
}

void TSubpixelDotPainter::StampClipped(int32_t X, int32_t Y, TColor32 Value) const {
  if (X < RejectLeft || X >= RejectRight || Y < RejectTop || Y >= RejectBottom) return;
  const int32_t Ix = X >> 8;
  const int32_t Iy = Y >> 8;
  if (Cx1 <= Ix && Ix < Cx2 && Cy1 <= Iy && Iy < Cy2) {
    StampMasked(X, Y, Value, AllPixels);
    return;
  }
  unsigned Mask = 0;
  if (Ix >= Cx1 && Iy >= Cy1) Mask |= TopLeft;
  if (Ix < Cx2 && Iy >= Cy1) Mask |= TopRight;
  if (Ix < Cx2 && Iy < Cy2) Mask |= BottomRight;
  if (Ix >= Cx1 && Iy < Cy2) Mask |= BottomLeft;
  if (Mask != 0) StampMasked(X, Y, Value, Mask);
}

void TBitmap32::BlendSubpixel(int32_t X, int32_t Y, TColor32 Value) {
  TSubpixelDotPainter(*this).Stamp(X, Y, Value);
  FinishBlending();
  ReportDamage(TSubpixelDotPainter::Pixels(X, Y));
}

void TBitmap32::BlendSubpixelClipped(int32_t X, int32_t Y, TColor32 Value) {
  TSubpixelDotPainter(*this).StampClipped(X, Y, Value);
  FinishBlending();
  ReportDamage(TSubpixelDotPainter::Pixels(X, Y));
}

void TBitmap32::BlendSubpixelFixed(TFixed X, TFixed Y, TColor32 Value) {
  // The rounding bias is added in 64 bits so that coordinates near the top of the range do not wrap.
  BlendSubpixelClipped(static_cast<int32_t>((static_cast<int64_t>(X) + 127) >> 8),
                       static_cast<int32_t>((static_cast<int64_t>(Y) + 127) >> 8), Value);
}

}  // namespace quillet

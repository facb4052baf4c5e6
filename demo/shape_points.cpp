// Point lists of ellipses and splines. Arithmetic is extended precision, with the values that the
// pixels depend on rounded to single precision exactly where they always were.
#include <algorithm>
#include <cstddef>

#include "demo/detail/extended_math.h"
#include "demo/raster_ext.h"

namespace quillet {
namespace {

// One point of a rotated ellipse; SinR and CosR are the rotation's sine and cosine.
TFixedPoint RotatedEllipsePoint(uint32_t K, float Step, float CX, float CY, float RX, float RY,
                                float SinR, float CosR) {
  const float Theta = static_cast<float>(static_cast<long double>(K) * Step);
  const float A = static_cast<float>(ExtCos(Theta) * RX);
  const float B = static_cast<float>(ExtSin(Theta) * RY);
  const float X = static_cast<float>(static_cast<long double>(CX) - static_cast<long double>(A) * CosR +
                                     static_cast<long double>(B) * SinR);
  const float Y = static_cast<float>(static_cast<long double>(CY) + static_cast<long double>(A) * SinR +
                                     static_cast<long double>(B) * CosR);
  return FixedPointFromFloats(X, Y);
}

}  // namespace

void RotatedEllipsePoints(uint32_t Count, bool Append, TArrayOfFixedPoint& Points, float CX,
                          float CY, float RX, float RY, float Rotation) {
  const float Step = static_cast<float>(TwoPi80 / Count);
  const long double R = static_cast<long double>(Rotation) * PiOver180;
  const float SinR = static_cast<float>(ExtSin(R));
  const float CosR = static_cast<float>(ExtCos(R));
  const std::size_t N = std::size_t{Count} + 1;
  if (!Append) {
    Points.resize(N);
    for (uint32_t K = 0; K <= Count; ++K)
      Points[K] = RotatedEllipsePoint(K, Step, CX, CY, RX, RY, SinR, CosR);
    return;
  }
  const std::size_t Base = Points.size();
  Points.resize(Base + N);
  // Appended points run the other way round, k from Count down to 0.
  for (std::size_t I = 0; I < N; ++I)
    Points[Base + I] =
        RotatedEllipsePoint(static_cast<uint32_t>(Count - I), Step, CX, CY, RX, RY, SinR, CosR);
}

void EllipsePoints(int32_t Count, TArrayOfFixedPoint& Points, float CX, float CY, float RX,
                   float RY) {
  Points.resize(Count > 0 ? static_cast<std::size_t>(Count) : 0);
  if (Count <= 0) return;
  const long double Step = 6.28L / (Count - 1);
  long double Theta = 0;
  for (int32_t I = 0; I < Count; ++I) {
    const float X = static_cast<float>(ExtCos(Theta) * RX + CX);
    const float Y = static_cast<float>(ExtSin(Theta) * RY + CY);
    Points[static_cast<std::size_t>(I)] = FixedPointFromFloats(X, Y);
    Theta += Step;
  }
}

int32_t SplineValue(int32_t A, int32_t B, int32_t C, int32_t D, float T) {
  // The coefficients wrap in 32 bits.
  const int32_t K3 = WrapSub(WrapAdd(WrapSub(D, C), B), A);
  const int32_t K2 = WrapSub(WrapAdd(WrapSub(WrapMul(2, A), WrapMul(2, B)), C), D);
  const int32_t K1 = WrapSub(C, A);
  const long double TT = T;
  return RoundToInt32(((K3 * TT + K2) * TT + K1) * TT + B);
}

void SplinePoints(const TArrayOfFixedPoint& Source, int32_t Steps, bool Closed,
                  TArrayOfFixedPoint& Dest) {
  const std::ptrdiff_t H = static_cast<std::ptrdiff_t>(Source.size()) - 1;
  if (H < 1) return;
  if (Steps < 0) Steps = 0;
  const std::ptrdiff_t Segments = Closed ? H + 1 : H;
  Dest.resize(static_cast<std::size_t>(Segments * Steps + 1));
  Dest[0] = Source[0];
  // The walk: a closed spline starts at the last point and wraps round; an open one repeats its
  // first and last points.
  const auto E = [&](std::ptrdiff_t K) -> const TFixedPoint& {
    if (Closed) return K == 0 ? Source[static_cast<std::size_t>(H)] : Source[static_cast<std::size_t>((K - 1) % (H + 1))];
    return K == 0 ? Source[0] : Source[static_cast<std::size_t>(std::min(K - 1, H))];
  };
  std::size_t Out = 1;
  for (std::ptrdiff_t I = 1; I <= Segments; ++I) {
    const TFixedPoint& Q0 = E(I - 1);
    const TFixedPoint& Q1 = E(I);
    const TFixedPoint& Q2 = E(I + 1);
    const TFixedPoint& Q3 = E(I + 2);
    for (int32_t J = 1; J <= Steps; ++J) {
      const float T = static_cast<float>(static_cast<long double>(J) / Steps);
      Dest[Out++] = {SplineValue(Q0.X, Q1.X, Q2.X, Q3.X, T), SplineValue(Q0.Y, Q1.Y, Q2.Y, Q3.Y, T)};
    }
  }
}

}  // namespace quillet

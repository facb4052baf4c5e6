// The geometry of thick lines: paths offset along their edge normals (Inflate) and paths run
// forward and back (TwoWayOutline).
#include <cmath>
#include <cstdint>
#include <limits>

#include "raster/detail/mul_div.h"
#include "raster/polygon32.h"

namespace quillet {

namespace {

// 32-bit sums wrap as the integer arithmetic of the outline always has; offsets of points near
// the ends of the range stay defined.
int32_t WrapAdd(int32_t A, int32_t B) {
  return static_cast<int32_t>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
}

TFixedPoint Scaled(const TFixedPoint& Normal, TFixed Delta) {
  return {MulDivRounded(Normal.X, Delta, 65536), MulDivRounded(Normal.Y, Delta, 65536)};
}

// round((1 - Sharpness) * Delta), ties to even. A NaN sharpness gives the lowest value, the
// integer a failed conversion yields, so that every corner is mitred.
int64_t MitreThreshold(float Sharpness, TFixed Delta) {
  if (Sharpness > 0.99f)
    Sharpness = 0.99f;
  else if (Sharpness < 0.0f)
    Sharpness = 0.0f;
  const long double T = std::rint((1.0L - static_cast<long double>(Sharpness)) * Delta);
  if (std::isnan(T)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(T);
}

}  // namespace

std::unique_ptr<TPolygon32> TPolygon32::Inflate(TFixed Delta, float CornerSharpness) {
  ComputeNormals();
  const int64_t Threshold = MitreThreshold(CornerSharpness, Delta);
  auto Result = std::make_unique<TPolygon32>();
  CopySettingsTo(*Result);

  if (Delta == 0) {
    Result->FPoints = FPoints;
    return Result;
  }

  Result->FPoints.clear();
  for (size_t I = 0; I < FPoints.size(); ++I) {
    const TArrayOfFixedPoint& P = FPoints[I];
    const TArrayOfFixedPoint& N = FNormals[I];
    const size_t Count = P.size();
    if (Count < 2) continue;
    Result->FPoints.emplace_back();
    TArrayOfFixedPoint& Out = Result->FPoints.back();
    Out.reserve(Count * 2);
    const auto Emit = [&Out](const TFixedPoint& At, const TFixedPoint& Offset) {
      Out.push_back({WrapAdd(At.X, Offset.X), WrapAdd(At.Y, Offset.Y)});
    };

    // Each point's offset along its edge's normal is the next point's offset along the edge
    // before it.
    TFixedPoint Before = Closed ? Scaled(N[Count - 1], Delta) : TFixedPoint{};
    for (size_t K = 0; K < Count; ++K) {
      const TFixedPoint A = Scaled(N[K], Delta);
      const TFixedPoint B = Before;
      Before = A;
      if (K == 0 && !Closed) {
        Emit(P[K], A);
        continue;
      }
      if (K == Count - 1 && !Closed) {
        Emit(P[K], B);
        continue;
      }
      const TFixedPoint S{WrapAdd(B.X, A.X), WrapAdd(B.Y, A.Y)};
      const int32_t Dot = WrapAdd(MulDivRounded(B.X, S.X, Delta), MulDivRounded(B.Y, S.Y, Delta));
      if (Dot > Threshold) {
        Emit(P[K], {MulDivRounded(S.X, Delta, Dot), MulDivRounded(S.Y, Delta, Dot)});
      } else {
        Emit(P[K], B);
        Emit(P[K], A);
      }
    }
  }
  return Result;
}

std::unique_ptr<TPolygon32> TPolygon32::TwoWayOutline() const {
  auto Result = std::make_unique<TPolygon32>();
  CopySettingsTo(*Result);
  Result->FPoints.clear();
  for (const TArrayOfFixedPoint& P : FPoints) {
    if (P.size() < 2) continue;
    if (Closed) {
      Result->FPoints.emplace_back(P);
      Result->FPoints.emplace_back(P.rbegin(), P.rend());
    } else {
      TArrayOfFixedPoint& Out = Result->FPoints.emplace_back();
      Out.reserve(P.size() * 2);
      Out.insert(Out.end(), P.begin(), P.end());
      Out.insert(Out.end(), P.rbegin(), P.rend());
    }
  }
  return Result;
}

}  // namespace quillet

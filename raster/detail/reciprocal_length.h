// 1 / hypot(Dx, Dy) in extended precision, rounded to single, for the normals of thick lines.
#pragma once

#include <cmath>

namespace quillet {

// The squares of singles are exact in extended precision and their sum is rounded at most once,
// so the square root lands within an ulp or two of the true length; the library's hypot is only as
// close, and costs several times as much (far more so with MinGW's). Both reciprocals round to the
// same single unless they lie within a few hundred ulps of the point halfway between two singles:
// only there is the library asked. Dx and Dy finite, not both 0.
inline float ReciprocalLength(float Dx, float Dy) {
  const long double X = Dx, Y = Dy;
  const long double R = 1.0L / std::sqrt(X * X + Y * Y);
  const float Below = static_cast<float>(R * (1.0L - 0x1p-54L));
  const float Above = static_cast<float>(R * (1.0L + 0x1p-54L));
  if (Below == Above) return Below;
  return static_cast<float>(1.0L / std::hypot(X, Y));
}

}  // namespace quillet

// The engine's shortcuts for library arithmetic, bit for bit against the library forms they
// replace: the reciprocal length of the thick-line normals, the edge walk in 32 bits, floor and
// ceiling as integers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "raster/detail/compiler_facts.h"
#include "raster/detail/edge_walk.h"
#include "raster/detail/reciprocal_length.h"

namespace quillet {
namespace {

float LibraryReciprocal(float Dx, float Dy) {
  return static_cast<float>(1.0L / std::hypot(static_cast<long double>(Dx), static_cast<long double>(Dy)));
}

uint32_t Bits(float F) {
  uint32_t B;
  std::memcpy(&B, &F, sizeof B);
  return B;
}

float FromBits(uint32_t B) {
  float F;
  std::memcpy(&F, &B, sizeof F);
  return F;
}

TEST(ReciprocalLength, MatchesTheLibraryOnEdgesOfEveryScale) {
  std::mt19937_64 Random(17);
  for (int I = 0; I < 2000000; ++I) {
    const uint64_t R = Random();
    float Dx, Dy;
    switch (I % 3) {
      case 0:  // 16.16 differences, one of them often much shorter
        Dx = static_cast<float>(static_cast<int32_t>(R) / 65536.0L);
        Dy = static_cast<float>(static_cast<int32_t>(R >> 32) / 65536.0L / std::ldexp(1.0L, (R >> 27) % 24));
        break;
      case 1:  // short edges, as a spline's are
        Dx = static_cast<float>(static_cast<int32_t>(R & 0x7FFFF) - 0x40000) / 65536.0f;
        Dy = static_cast<float>(static_cast<int32_t>((R >> 20) & 0x7FFFF) - 0x40000) / 65536.0f;
        break;
      default:  // any finite singles
        Dx = FromBits(static_cast<uint32_t>(R) & 0xBFFFFFFFu);
        Dy = FromBits(static_cast<uint32_t>(R >> 32) & 0xBFFFFFFFu);
        break;
    }
    if (Dx == 0.0f && Dy == 0.0f) continue;
    ASSERT_EQ(Bits(ReciprocalLength(Dx, Dy)), Bits(LibraryReciprocal(Dx, Dy))) << Dx << ", " << Dy;
  }
}

// The two can only differ where the reciprocal lies next to the point halfway between two singles:
// edges made to put it there, among them two on which the plain square root's rounding goes the
// other way.
TEST(ReciprocalLength, MatchesTheLibraryHalfwayBetweenSingles) {
  for (const auto& [Dx, Dy] : {std::pair{0x1.ef271ep-1f, 0x1.6090b6p-12f}, std::pair{0x1.e034b6p-1f, 0x1.20da1ep-12f}})
    EXPECT_EQ(Bits(ReciprocalLength(Dx, Dy)), Bits(LibraryReciprocal(Dx, Dy))) << Dx << ", " << Dy;
  for (uint32_t J = 0; J < 300000; ++J) {
    const float Dx = FromBits(Bits(1.0f) - 7 * J);
    for (const float Scale : {0x1p-12f, 0x1p-6f, 0.3f}) {
      const long double Near = 1.0L / std::sqrt(static_cast<long double>(Dx) * Dx + static_cast<long double>(Scale) * Scale);
      const float Above = static_cast<float>(Near), Below = std::nextafter(Above, 0.0f);
      const long double Halfway = (static_cast<long double>(Above) + Below) / 2;
      const float Dy = static_cast<float>(std::sqrt(1.0L / (Halfway * Halfway) - static_cast<long double>(Dx) * Dx));
      ASSERT_EQ(Bits(ReciprocalLength(Dx, Dy)), Bits(LibraryReciprocal(Dx, Dy))) << Dx << ", " << Dy;
    }
  }
}

// The walk as WalkEdge takes it (in 32 bits where it may), or in 64 bits throughout.
std::vector<int64_t> Walk(bool Wide, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t MinY, int32_t MaxY) {
  std::vector<int64_t> Out;
  const auto Emit = [&](int32_t Y, auto X) {
    Out.push_back(Y);
    Out.push_back(X);
  };
  if (Wide)
    WalkEdgeIn<int64_t>(X1, Y1, X2, Y2, MinY, MaxY, Emit);
  else
    WalkEdge(X1, Y1, X2, Y2, MinY, MaxY, Emit);
  return Out;
}

// Every slope class (steep, middling, flat, the jump), every length and direction, clipped and
// not, up to the ends of the range.
TEST(EdgeWalk, WalksAsInSixtyFourBitsOnEveryEdge) {
  std::mt19937_64 Random(5);
  for (int I = 0; I < 100000; ++I) {
    const int Scale = static_cast<int>(Random() % 32);
    const auto Coordinate = [&] {
      const int64_t Span = int64_t{1} << Scale;
      return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(Random() % (2 * Span + 1)) - Span,
                                                       INT32_MIN, INT32_MAX));
    };
    const int32_t X1 = Coordinate(), X2 = Coordinate(), Y1 = Coordinate() >> (I % 4 * 4);
    const int32_t Y2 = I % 7 == 0 ? Y1 + 1 : Coordinate() >> (I % 4 * 4);
    if (Y1 == Y2) continue;
    // All of a short edge's rows and some beyond; a window of a long one's, or of rows around it.
    const int32_t Lo = std::min(Y1, Y2), Hi = std::max(Y1, Y2);
    const bool Whole = int64_t{Hi} - Lo <= 2000 && I % 2 == 0;
    // Rows ahead of a window are walked one by one on edges of middling slope: keep those few.
    const int64_t Dx = std::abs(int64_t{X2} - X1), Dy = int64_t{Hi} - Lo;
    const int64_t Ahead = Dx > 2 * Dy && Dx < 4 * Dy ? std::min<int64_t>(Dy + 10, 4096) : Dy + 10;
    const int32_t Skip = static_cast<int32_t>(Random() % Ahead) - 5, Rows = static_cast<int32_t>(Random() % 300);
    const auto Row = [](int64_t Y) { return static_cast<int32_t>(std::clamp<int64_t>(Y, INT32_MIN, INT32_MAX)); };
    const int32_t MinY = Row(Whole ? int64_t{Lo} - 5 : Y1 < Y2 ? int64_t{Lo} + Skip : int64_t{Hi} - Skip - Rows);
    const int32_t MaxY = Row(Whole ? int64_t{Hi} + 5 : int64_t{MinY} + Rows);
    ASSERT_EQ(Walk(false, X1, Y1, X2, Y2, MinY, MaxY), Walk(true, X1, Y1, X2, Y2, MinY, MaxY))
        << X1 << "," << Y1 << " - " << X2 << "," << Y2 << " rows " << MinY << ".." << MaxY;
  }
}

// Integers, halves, the doubles either side of them, and values of every scale to 2^61, of both
// signs; on 32-bit x87 code the integer comes from the unit's own rounding.
TEST(FloorAndCeiling, MatchTheLibrary) {
  std::mt19937_64 Random(9);
  const auto Check = [](double X) {
    ASSERT_EQ(FloorToInt64(X), static_cast<int64_t>(std::floor(X))) << X;
    ASSERT_EQ(CeilToInt64(X), static_cast<int64_t>(std::ceil(X))) << X;
  };
  for (int I = 0; I < 1000000; ++I) {
    const int Scale = static_cast<int>(Random() % 62);
    const double Whole = static_cast<double>(static_cast<int64_t>(Random() >> (63 - Scale)));
    const double Sign = I % 2 ? -1.0 : 1.0;
    const double Any = std::ldexp(static_cast<double>(Random() >> 11), Scale - 52);
    for (const double X : {Whole, Whole + 0.5, Whole - 0.5, std::nextafter(Whole, 0x1p62),
                           std::nextafter(Whole, -0x1p62), Any})
      Check(Sign * X);
  }
  for (const double X : {0.0, -0.0, 0.5, -0.5, 1.5, -1.5, 2.5, -2.5, 0x1p-1074, -0x1p-1074, 0x1p62 - 1024,
                         -0x1p62 + 1024})
    Check(X);
}

}  // namespace
}  // namespace quillet

// 128-bit integers from two 64-bit halves, for targets whose compiler has no native 128-bit type
// (32-bit x86). Two's complement, wrapping like the native type: +, -, *, / and % (truncating
// towards zero), shifts (arithmetic for the signed form), bitwise and and or, comparisons, and
// conversions to narrower integers (the low bits) and to long double (rounded once, to nearest).
// Division by zero and the one signed quotient that does not fit are as undefined as natively.
#pragma once

#include <cstdint>
#include <type_traits>

namespace quillet {

template <bool Signed>
class TPortable128 {
 public:
  uint64_t Lo = 0;
  uint64_t Hi = 0;

  constexpr TPortable128() = default;
  template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  constexpr TPortable128(T V)  // NOLINT: converts implicitly, as integers do
      : Lo(static_cast<uint64_t>(V)), Hi(std::is_signed_v<T> && V < 0 ? ~uint64_t{0} : 0) {}
  explicit constexpr TPortable128(const TPortable128<!Signed>& Other) : Lo(Other.Lo), Hi(Other.Hi) {}

  template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  explicit constexpr operator T() const {
    return static_cast<T>(Lo);
  }
  explicit operator long double() const {
    if (Negative()) return -static_cast<long double>(TPortable128<false>(-*this));
    // Hi * 2^64 is exact in the 64-bit significand; the sum rounds once.
    return static_cast<long double>(Hi) * 0x1p64L + static_cast<long double>(Lo);
  }

  friend constexpr TPortable128 operator+(TPortable128 A, TPortable128 B) {
    const uint64_t Low = A.Lo + B.Lo;
    return Make(Low, A.Hi + B.Hi + (Low < A.Lo));
  }
  friend constexpr TPortable128 operator-(TPortable128 A, TPortable128 B) {
    return Make(A.Lo - B.Lo, A.Hi - B.Hi - (A.Lo < B.Lo));
  }
  constexpr TPortable128 operator-() const { return TPortable128() - *this; }
  friend constexpr TPortable128 operator*(TPortable128 A, TPortable128 B) {
    TPortable128 P = MultiplyHalves(A.Lo, B.Lo);
    P.Hi += A.Lo * B.Hi + A.Hi * B.Lo;
    return P;
  }
  friend constexpr TPortable128 operator/(TPortable128 A, TPortable128 B) { return DivMod(A, B, false); }
  friend constexpr TPortable128 operator%(TPortable128 A, TPortable128 B) { return DivMod(A, B, true); }

  friend constexpr TPortable128 operator<<(TPortable128 A, int N) {
    if (N == 0) return A;
    if (N >= 64) return Make(0, A.Lo << (N - 64));
    return Make(A.Lo << N, (A.Hi << N) | (A.Lo >> (64 - N)));
  }
  friend constexpr TPortable128 operator>>(TPortable128 A, int N) {
    const uint64_t Fill = A.Negative() ? ~uint64_t{0} : 0;
    if (N == 0) return A;
    if (N >= 64) {
      const uint64_t Low = N == 64 ? A.Hi : (A.Hi >> (N - 64)) | (Fill << (128 - N));
      return Make(Low, Fill);
    }
    return Make((A.Lo >> N) | (A.Hi << (64 - N)), (A.Hi >> N) | (N == 0 ? 0 : Fill << (64 - N)));
  }

  friend constexpr TPortable128 operator&(TPortable128 A, TPortable128 B) { return Make(A.Lo & B.Lo, A.Hi & B.Hi); }
  friend constexpr TPortable128 operator|(TPortable128 A, TPortable128 B) { return Make(A.Lo | B.Lo, A.Hi | B.Hi); }

  friend constexpr bool operator==(TPortable128 A, TPortable128 B) { return A.Lo == B.Lo && A.Hi == B.Hi; }
  friend constexpr bool operator<(TPortable128 A, TPortable128 B) {
    if (A.Hi != B.Hi) {
      if constexpr (Signed) return static_cast<int64_t>(A.Hi) < static_cast<int64_t>(B.Hi);
      return A.Hi < B.Hi;
    }
    return A.Lo < B.Lo;
  }
  friend constexpr bool operator>(TPortable128 A, TPortable128 B) { return B < A; }
  friend constexpr bool operator<=(TPortable128 A, TPortable128 B) { return !(B < A); }
  friend constexpr bool operator>=(TPortable128 A, TPortable128 B) { return !(A < B); }

  constexpr TPortable128& operator+=(TPortable128 B) { return *this = *this + B; }
  constexpr TPortable128& operator-=(TPortable128 B) { return *this = *this - B; }
  constexpr TPortable128& operator*=(TPortable128 B) { return *this = *this * B; }
  constexpr TPortable128& operator++() { return *this += 1; }
  constexpr TPortable128& operator--() { return *this -= 1; }

 private:
  template <bool>
  friend class TPortable128;

  static constexpr TPortable128 Make(uint64_t Lo, uint64_t Hi) {
    TPortable128 R;
    R.Lo = Lo;
    R.Hi = Hi;
    return R;
  }
  constexpr bool Negative() const { return Signed && (Hi >> 63) != 0; }

  // The full product of two 64-bit numbers, from 32-bit halves.
  static constexpr TPortable128 MultiplyHalves(uint64_t A, uint64_t B) {
    const uint64_t A0 = A & 0xFFFFFFFF, A1 = A >> 32, B0 = B & 0xFFFFFFFF, B1 = B >> 32;
    const uint64_t P00 = A0 * B0, P01 = A0 * B1, P10 = A1 * B0, P11 = A1 * B1;
    const uint64_t Middle = (P00 >> 32) + (P01 & 0xFFFFFFFF) + (P10 & 0xFFFFFFFF);
    return Make((Middle << 32) | (P00 & 0xFFFFFFFF), P11 + (P01 >> 32) + (P10 >> 32) + (Middle >> 32));
  }

  // Unsigned quotient or remainder of the magnitudes; signs applied as truncating division does.
  static constexpr TPortable128 DivMod(TPortable128 A, TPortable128 B, bool WantRemainder) {
    const bool NegA = A.Negative(), NegB = B.Negative();
    TPortable128<false> N(NegA ? -A : A), D(NegB ? -B : B), Q, R;
    if (N.Hi == 0 && D.Hi == 0) {
      Q = N.Lo / D.Lo;
      R = N.Lo % D.Lo;
    } else {
      for (int Bit = 127; Bit >= 0; --Bit) {
        R = (R << 1) | ((N >> Bit).Lo & 1);
        if (R >= D) {
          R = R - D;
          if (Bit >= 64)
            Q.Hi |= uint64_t{1} << (Bit - 64);
          else
            Q.Lo |= uint64_t{1} << Bit;
        }
      }
    }
    if (WantRemainder) return NegA ? -TPortable128(R) : TPortable128(R);
    return NegA != NegB ? -TPortable128(Q) : TPortable128(Q);
  }

};

using PortableInt128 = TPortable128<true>;
using PortableUInt128 = TPortable128<false>;

}  // namespace quillet

// What the exact pixels and the kernel dispatch take from the compiler beyond standard C++, in one
// place: 128-bit integers (native where the target has them, two 64-bit halves where it has not),
// the processor's feature tests, write prefetches, branch odds, and the x87 sine and cosine whose
// extended results the shape code rounds, a narrow division for 32-bit x86, floor and ceiling
// without the library. GCC (and clang) on x86 or elsewhere.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "raster/detail/portable_int128.h"

#if defined(__x86_64__) || defined(__i386__)
#define QUILLET_X86 1
#include <cpuid.h>
#else
#define QUILLET_X86 0
#endif

namespace quillet {

#if defined(__SIZEOF_INT128__) && !defined(QUILLET_PORTABLE_INT128)
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;
#else
using Int128 = PortableInt128;
using UInt128 = PortableUInt128;
#endif

// For a function called once per row or per edge from a loop: 64-bit Windows has the callee keep
// ten vector registers, saved and restored on every call; the System V convention leaves them to
// the caller, which keeps them once, outside its loop. Nothing else changes.
#if defined(_WIN64) && QUILLET_X86
#define QUILLET_CALLER_KEEPS_VECTORS __attribute__((sysv_abi))
#else
#define QUILLET_CALLER_KEEPS_VECTORS
#endif

// For a function that a hot loop calls: 32-bit x86 has eight general registers, and the loop's
// own values spill where the function is inlined into it. Elsewhere the compiler decides.
#if defined(__i386__)
#define QUILLET_APART_WHERE_REGISTERS_ARE_FEW __attribute__((noinline))
#else
#define QUILLET_APART_WHERE_REGISTERS_ARE_FEW
#endif

// A hint only: Address may lie outside any object, so it is never dereferenced.
inline void PrefetchForWrite(const void* Address) { __builtin_prefetch(Address, 1); }

// Even odds: the compiler then prefers conditional moves to a branch.
inline bool EvenOdds(bool Condition) { return __builtin_expect_with_probability(Condition, 1, 0.5); }

// The identification instruction's signature and standard feature flags (leaf 1); false when the
// processor has no such instruction.
inline bool CpuIdentification(unsigned& Eax, unsigned& Edx) {
  Eax = Edx = 0;
#if QUILLET_X86
  unsigned Ebx = 0, Ecx = 0;
  return __get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx) != 0;
#else
  return false;
#endif
}

// The run-time library's view of the processor and the operating system (which must save the
// wide registers for AVX2).
inline bool CpuSupportsSse2() {
#if QUILLET_X86
  __builtin_cpu_init();  // the run-time library does it before main; this may run earlier
  return __builtin_cpu_supports("sse2");
#else
  return false;
#endif
}

inline bool CpuSupportsAvx2() {
#if QUILLET_X86
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

// N / D and N % D for (N >> 32) < D, so that the quotient fits 32 bits: one 64-by-32-bit division
// on 32-bit x86, where the compiler would call a library routine for the 64-bit one.
inline uint32_t DivideNarrowQuotient(uint64_t N, uint32_t D, uint32_t& Remainder) {
#if defined(__i386__)
  uint32_t Quotient;
  __asm__("divl %4"
          : "=a"(Quotient), "=d"(Remainder)
          : "a"(static_cast<uint32_t>(N)), "d"(static_cast<uint32_t>(N >> 32)), "rm"(D)
          : "cc");
  return Quotient;
#else
  Remainder = static_cast<uint32_t>(N % D);
  return static_cast<uint32_t>(N / D);
#endif
}

// Copies Count 32-bit words. Windows' C library (and Wine's) copies with plain loops, where the
// processor's string move takes a few dozen cycles for a run of hundreds of words.
inline void CopyWords(uint32_t* To, const uint32_t* From, size_t Count) {
#if QUILLET_X86 && defined(_WIN32)
  __asm__ volatile("rep movsl" : "+D"(To), "+S"(From), "+c"(Count) : : "memory");
#else
  std::memcpy(To, From, Count * sizeof(uint32_t));
#endif
}

// An integral extended value stored as a 64-bit integer by the x87 unit: exact in any rounding
// mode, and the "indefinite" integer (low 32 bits 0) beyond 63 bits or for NaN, without the
// switch of the control word that a C++ conversion costs. x86 only.
#if QUILLET_X86
inline int64_t X87StoreInt64(long double Integral) {
  int64_t Value;
  __asm__("fistpll %0" : "=m"(Value) : "t"(Integral) : "st");
  return Value;
}
#endif

// The floor and the ceiling of X, |X| < 2^62, as integers. The library's floor is a call, and
// on 32-bit x87 code a C++ conversion switches the rounding mode there and back: there the unit
// rounds by the mode the program runs in, elsewhere the conversion truncates. Any rounding leaves
// an integer within one of X, which one comparison corrects.
#if defined(__i386__) && !defined(__SSE2_MATH__)
inline long double X87Round(long double X) {
  long double R;
  __asm__("frndint" : "=t"(R) : "0"(X));
  return R;
}

inline int64_t FloorToInt64(double X) {
  const long double Near = X87Round(X);
  return X87StoreInt64(Near > X ? Near - 1 : Near);
}

inline int64_t CeilToInt64(double X) {
  const long double Near = X87Round(X);
  return X87StoreInt64(Near < X ? Near + 1 : Near);
}
#else
inline int64_t FloorToInt64(double X) {
  const auto Near = static_cast<int64_t>(X);
  return static_cast<double>(Near) > X ? Near - 1 : Near;
}

inline int64_t CeilToInt64(double X) {
  const auto Near = static_cast<int64_t>(X);
  return static_cast<double>(Near) < X ? Near + 1 : Near;
}
#endif

// The x87 instructions take arguments below 2^63 in magnitude; beyond that they leave the operand
// untouched and flag it, and the result is taken as 0. Other processors compute the same in
// software, to within their library's rounding.
inline long double X87Sine(long double X) {
#if QUILLET_X86
  long double R;
  uint16_t Status;
  __asm__("fsin\n\tfnstsw %%ax" : "=t"(R), "=a"(Status) : "0"(X));
  return (Status & 0x0400) ? 0.0L : R;
#else
  return std::fabs(X) < 0x1p63L ? std::sin(X) : (X != X ? X : 0.0L);
#endif
}

inline long double X87Cosine(long double X) {
#if QUILLET_X86
  long double R;
  uint16_t Status;
  __asm__("fcos\n\tfnstsw %%ax" : "=t"(R), "=a"(Status) : "0"(X));
  return (Status & 0x0400) ? 0.0L : R;
#else
  return std::fabs(X) < 0x1p63L ? std::cos(X) : (X != X ? X : 0.0L);
#endif
}

}  // namespace quillet

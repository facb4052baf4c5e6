// Process-wide runtime utilities that need no toolkit: the millisecond clock, byte helpers and the
// small string routines behind the program's base name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// --- Millisecond clock --------------------------------------------------------------------------

using TickSource = std::function<uint32_t()>;

// The platform's millisecond tick count (platform/millisecond_clock.h): 32 bits, wraps.
uint32_t SystemTickCount();

// Replaces the clock that StartTiming and ElapsedMs read; an empty source restores SystemTickCount.
void SetTickSource(TickSource Source);

// Makes every ElapsedMs return Ms (still never 0) regardless of the clock, so that pictures that
// print the elapsed time can be reproduced; nullopt returns to measuring.
void SetFixedElapsedMs(std::optional<uint32_t> Ms);

// The tick count when StartTiming last ran.
uint32_t TimingStart();
void StartTiming();
// Milliseconds since StartTiming, in unsigned 32-bit arithmetic; 1 when no time has passed.
uint32_t ElapsedMs();

// --- Bytes --------------------------------------------------------------------------------------

// Exchanges A[i] with B[i] for i from 0 to Count - 1; nothing when Count is not positive.
void SwapBytes(void* A, void* B, int Count);
// Sets Count bytes to 0; nothing when Count is not positive.
void ZeroBytes(void* Buffer, int Count);

// --- Strings ------------------------------------------------------------------------------------

// Longest text that TextAfterLast returns.
inline constexpr std::size_t ShortTextLimit = 255;

// 1-based position of the last character of S equal to C, which must be a one-character text;
// 0 when there is none.
std::size_t LastCharPos(std::string_view S, std::string_view C);
// Up to 255 characters of S after the last C; empty when S holds no C.
std::string TextAfterLast(std::string_view S, std::string_view C);
// S up to the first occurrence of Sub (case-sensitive), or all of S when Sub does not occur.
std::string TextBefore(std::string_view S, std::string_view Sub);

// The program file's name without its directory, cut before the first ".exe" (case-sensitive).
// The directory ends at the last path separator of the system ("/"; on Windows "\\" or "/"); a
// path without one gives an empty name.
std::string GetProgramBaseName(std::string_view ProgramPath);
// The same for the running program file.
std::string GetProgramBaseName();

}  // namespace quillet

// Runtime utilities of the shell that need no toolkit.
#include "shell/sys_util.h"

#include <cstring>
#include <utility>

#include "platform/millisecond_clock.h"
#include "platform/process_facts.h"

namespace quillet {

namespace {

TickSource& CurrentTickSource() {
  static TickSource Source;
  return Source;
}

std::optional<uint32_t> FixedElapsed;
uint32_t Start = 0;

uint32_t ReadTicks() {
  const TickSource& Source = CurrentTickSource();
  return Source ? Source() : SystemTickCount();
}

}  // namespace

uint32_t SystemTickCount() { return MillisecondTicks(); }

void SetTickSource(TickSource Source) { CurrentTickSource() = std::move(Source); }

void SetFixedElapsedMs(std::optional<uint32_t> Ms) { FixedElapsed = Ms; }

uint32_t TimingStart() { return Start; }

void StartTiming() { Start = ReadTicks(); }

uint32_t ElapsedMs() {
  const uint32_t D = FixedElapsed ? *FixedElapsed : ReadTicks() - Start;
  return D == 0 ? 1 : D;
}

void SwapBytes(void* A, void* B, int Count) {
  auto* P = static_cast<unsigned char*>(A);
  auto* Q = static_cast<unsigned char*>(B);
  for (int I = 0; I < Count; ++I) std::swap(P[I], Q[I]);
}

void ZeroBytes(void* Buffer, int Count) {
  if (Count > 0) std::memset(Buffer, 0, static_cast<size_t>(Count));
}

std::size_t LastCharPos(std::string_view S, std::string_view C) {
  if (C.size() != 1) return 0;
  const std::size_t At = S.rfind(C.front());
  return At == std::string_view::npos ? 0 : At + 1;
}

std::string TextAfterLast(std::string_view S, std::string_view C) {
  const std::size_t P = LastCharPos(S, C);
  if (P == 0) return {};
  return std::string(S.substr(P, ShortTextLimit));
}

std::string TextBefore(std::string_view S, std::string_view Sub) {
  // An empty Sub occurs nowhere, as with a one-based search that reports 0.
  return std::string(Sub.empty() ? S : S.substr(0, S.find(Sub)));
}

std::string GetProgramBaseName(std::string_view ProgramPath) {
  // The separator that ends the directory is the last of those the system's paths use.
  const std::size_t Last = ProgramPath.find_last_of(ProgramPathSeparators());
  if (Last == std::string_view::npos) return {};
  return TextBefore(TextAfterLast(ProgramPath, ProgramPath.substr(Last, 1)), ".exe");
}

std::string GetProgramBaseName() { return GetProgramBaseName(ProgramFilePath()); }

}  // namespace quillet

// The store limit of the peer benchmark: each shape's pixels, as Quillet writes them, stored again
// in the shape's colour by the simplest vector store loop (AVX2 where the processor has it, else
// SSE2). Finding the pixels happens before the clock starts: every shape is drawn alone by Quillet
// onto a clear scratch surface, and the runs of changed pixels in its box are kept.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "peer_engine.h"
#include "raster/detail/compiler_facts.h"

#if QUILLET_X86
#include <immintrin.h>
#endif

namespace quillet::peer {

namespace {

// Count pixels from Offset on, all in one row.
struct TRun {
  uint32_t Offset;
  uint32_t Count;
};

// Runs [First, First + Count) of one shape.
struct TShapeRuns {
  size_t First, Count;
  TColor32 Color;
};

TColor32 ShapeColor(const TWorkload& W, size_t I) {
  switch (W.Kind) {
    case TWorkKind::Triangle: return W.Triangles[I].Color;
    case TWorkKind::Spoke: return W.Spokes[I].Color;
    case TWorkKind::OpaqueRect:
    case TWorkKind::BlendRect: return W.Boxes[I].Color;
    case TWorkKind::Gouraud: return W.Shaded[I].Colors[0];
    case TWorkKind::Erase: return 0xFF000000u;
    case TWorkKind::Polygon: return W.Polygons[I].Color;
    case TWorkKind::Band: return W.Bands[I].Color;
    case TWorkKind::GouraudBar: return W.Bars[I].Colors[0];
  }
  return 0;
}

#if QUILLET_X86
__attribute__((target("avx2"))) void StoreRunsAvx2(TColor32* Pixels, const TRun* Runs, size_t Count, TColor32 C) {
  const __m256i V = _mm256_set1_epi32(static_cast<int>(C));
  for (size_t R = 0; R < Count; ++R) {
    TColor32* const P = Pixels + Runs[R].Offset;
    const uint32_t N = Runs[R].Count;
    if (N < 8) {
      for (uint32_t I = 0; I < N; ++I) P[I] = C;
      continue;
    }
    uint32_t I = 0;
    for (; I + 8 <= N; I += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(P + I), V);
    if (I < N) _mm256_storeu_si256(reinterpret_cast<__m256i*>(P + N - 8), V);
  }
}

void StoreRunsSse2(TColor32* Pixels, const TRun* Runs, size_t Count, TColor32 C) {
  const __m128i V = _mm_set1_epi32(static_cast<int>(C));
  for (size_t R = 0; R < Count; ++R) {
    TColor32* const P = Pixels + Runs[R].Offset;
    const uint32_t N = Runs[R].Count;
    if (N < 4) {
      for (uint32_t I = 0; I < N; ++I) P[I] = C;
      continue;
    }
    uint32_t I = 0;
    for (; I + 4 <= N; I += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(P + I), V);
    if (I < N) _mm_storeu_si128(reinterpret_cast<__m128i*>(P + N - 4), V);
  }
}

// Non-temporal stores from the first 32-byte boundary, plain ones before it and after the last.
__attribute__((target("avx2"))) void StreamRunsAvx2(TColor32* Pixels, const TRun* Runs, size_t Count, TColor32 C) {
  const __m256i V = _mm256_set1_epi32(static_cast<int>(C));
  for (size_t R = 0; R < Count; ++R) {
    TColor32* P = Pixels + Runs[R].Offset;
    TColor32* const End = P + Runs[R].Count;
    while (P < End && (reinterpret_cast<uintptr_t>(P) & 31) != 0) *P++ = C;
    for (; P + 8 <= End; P += 8) _mm256_stream_si256(reinterpret_cast<__m256i*>(P), V);
    while (P < End) *P++ = C;
  }
}

void StreamRunsSse2(TColor32* Pixels, const TRun* Runs, size_t Count, TColor32 C) {
  const __m128i V = _mm_set1_epi32(static_cast<int>(C));
  for (size_t R = 0; R < Count; ++R) {
    TColor32* P = Pixels + Runs[R].Offset;
    TColor32* const End = P + Runs[R].Count;
    while (P < End && (reinterpret_cast<uintptr_t>(P) & 15) != 0) *P++ = C;
    for (; P + 4 <= End; P += 4) _mm_stream_si128(reinterpret_cast<__m128i*>(P), V);
    while (P < End) *P++ = C;
  }
}
#endif

#if !QUILLET_X86
void StoreRunsScalar(TColor32* Pixels, const TRun* Runs, size_t Count, TColor32 C) {
  for (size_t R = 0; R < Count; ++R) std::fill_n(Pixels + Runs[R].Offset, Runs[R].Count, C);
}
#endif

using TStoreRuns = void (*)(TColor32* Pixels, const TRun* Runs, size_t Count, TColor32 C);

TStoreRuns PickStores(TLimitStores Stores) {
#if QUILLET_X86
  const bool Avx2 = CpuSupportsAvx2();
  if (Stores == TLimitStores::Streaming) return Avx2 ? StreamRunsAvx2 : StreamRunsSse2;
  return Avx2 ? StoreRunsAvx2 : StoreRunsSse2;
#else
  (void)Stores;
  return StoreRunsScalar;
#endif
}

class TLimitEngine final : public TPeerEngine {
 public:
  TLimitEngine(TBitmap32& Surface, TLimitStores Stores)
      : FSurface(Surface), FStreaming(Stores == TLimitStores::Streaming), FStore(PickStores(Stores)) {}

  bool Draws(const TWorkload& W) const override {
    return W.Opaque && (!FStreaming || W.Kind == TWorkKind::Erase);
  }

  void Prepare(const TWorkload& W) override {
    FRuns.clear();
    FShapes.clear();
    if (!Draws(W)) return;
    const int32_t Width = FSurface.Width(), Height = FSurface.Height();
    if (W.Kind == TWorkKind::Erase) {
      for (int32_t Y = 0; Y < Height; ++Y)
        FRuns.push_back({static_cast<uint32_t>(Y) * static_cast<uint32_t>(Width), static_cast<uint32_t>(Width)});
      FShapes.push_back({0, FRuns.size(), ShapeColor(W, 0)});
      return;
    }
    TBitmap32 Scratch;
    Scratch.SetDimensions(Width, Height);
    Scratch.Fill(0);
    const std::unique_ptr<TPeerEngine> Quillet = MakeQuilletEngine(Scratch);
    Quillet->Prepare(W);
    for (size_t I = 0; I < W.Count(); ++I) {
      Quillet->Draw(W, I, I + 1);
      Quillet->Finish();
      const TPixelBox B = W.Bounds(I);
      const int32_t X1 = std::max(B.X1, 0), X2 = std::min(B.X2, Width);
      const size_t First = FRuns.size();
      for (int32_t Y = std::max(B.Y1, 0); Y < std::min(B.Y2, Height); ++Y) {
        TColor32* const Row = Scratch.PixelAddress(0, Y);
        for (int32_t X = X1; X < X2;) {
          if (Row[X] == 0) {
            ++X;
            continue;
          }
          const int32_t Start = X;
          while (X < X2 && Row[X] != 0) Row[X++] = 0;
          FRuns.push_back({static_cast<uint32_t>(Y * Width + Start), static_cast<uint32_t>(X - Start)});
        }
      }
      FShapes.push_back({First, FRuns.size() - First, ShapeColor(W, I)});
    }
  }

  void Draw(const TWorkload&, size_t Begin, size_t End) override {
    for (size_t I = Begin; I < End && I < FShapes.size(); ++I)
      FStore(FSurface.PixelPtr(), FRuns.data() + FShapes[I].First, FShapes[I].Count, FShapes[I].Color);
  }

  void Finish() override {
#if QUILLET_X86
    if (FStreaming) _mm_sfence();
#endif
  }

 private:
  TBitmap32& FSurface;
  const bool FStreaming;
  const TStoreRuns FStore;
  std::vector<TRun> FRuns;
  std::vector<TShapeRuns> FShapes;
};

}  // namespace

std::unique_ptr<TPeerEngine> MakeLimitEngine(TBitmap32& Surface, TLimitStores Stores) {
  return std::make_unique<TLimitEngine>(Surface, Stores);
}

}  // namespace quillet::peer

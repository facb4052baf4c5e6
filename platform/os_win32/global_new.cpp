// The global operator new and delete of every Windows program (plain, nothrow and sized forms;
// the aligned forms stay the library's). Blocks of up to a few KB come from the small-block heap:
// the system heap walks a free list on each of the tens of thousands of small allocations a page
// of splines makes, which costs a third of the drawing time under Wine. Larger blocks, and all
// blocks once the heap's range is used up, come from the C runtime, 16-byte aligned as the compiler
// assumes of new (32-bit malloc gives 8).
#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/os_win32/detail/small_block_heap.h"

namespace quillet::win32 {

namespace {

// A 32-bit process shares 2 GB of addresses with its DLLs and bitmaps; 64 MB of small blocks is
// far above what the program keeps live.
constinit TSmallBlockHeap SmallBlocks{sizeof(void*) == 4 ? std::size_t{64} << 20 : std::size_t{256} << 20};

void* RuntimeAllocate(std::size_t Size) noexcept {
  if (Size == 0) Size = 1;
#ifdef _WIN64
  return std::malloc(Size);
#else
  // The runtime adds its own bookkeeping to Size, which must not wrap around.
  return Size <= SIZE_MAX / 2 ? _aligned_malloc(Size, 16) : nullptr;
#endif
}

void RuntimeFree(void* P) noexcept {
#ifdef _WIN64
  std::free(P);
#else
  _aligned_free(P);
#endif
}

void* AllocateOrThrow(std::size_t Size) {
  for (;;) {
    if (void* P = SmallBlocks.Allocate(Size)) return P;
    if (void* P = RuntimeAllocate(Size)) return P;
    const std::new_handler Handler = std::get_new_handler();
    if (!Handler) throw std::bad_alloc();
    Handler();
  }
}

void* AllocateOrNull(std::size_t Size) noexcept {
  try {
    return AllocateOrThrow(Size);
  } catch (...) {
    return nullptr;
  }
}

void Release(void* P) noexcept {
  if (SmallBlocks.Owns(P))
    SmallBlocks.Release(P);
  else
    RuntimeFree(P);  // nothing for null
}

}  // namespace

const TSmallBlockHeap& GlobalSmallBlocks() noexcept { return SmallBlocks; }

}  // namespace quillet::win32

using quillet::win32::AllocateOrNull;
using quillet::win32::AllocateOrThrow;
using quillet::win32::Release;

void* operator new(std::size_t Size) { return AllocateOrThrow(Size); }
void* operator new[](std::size_t Size) { return AllocateOrThrow(Size); }
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept { return AllocateOrNull(Size); }
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept { return AllocateOrNull(Size); }

void operator delete(void* P) noexcept { Release(P); }
void operator delete[](void* P) noexcept { Release(P); }
void operator delete(void* P, std::size_t) noexcept { Release(P); }
void operator delete[](void* P, std::size_t) noexcept { Release(P); }
void operator delete(void* P, const std::nothrow_t&) noexcept { Release(P); }
void operator delete[](void* P, const std::nothrow_t&) noexcept { Release(P); }

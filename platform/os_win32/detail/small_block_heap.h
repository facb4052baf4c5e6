// Small blocks for the global allocator of the Windows builds. One address range is reserved on
// first use and committed 64 KB at a time; each 64 KB chunk is cut into blocks of one size class,
// so a block needs no header: its chunk, found from its address, says its size. Released blocks go
// on a free list per class and are kept for reuse; nothing is given back to the system. Every block
// is 16-byte aligned. Any thread may allocate and release; a heap can be a constant-initialised
// global, usable before and after static construction.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quillet::win32 {

class TSmallBlockHeap {
 public:
  static constexpr std::size_t ChunkBytes = 64 * 1024;
  static constexpr std::size_t LargestBlock = 4096;
  // Bounds the chunk table (one byte a chunk).
  static constexpr std::size_t MostReservedBytes = std::size_t{256} << 20;

  // The range is ReserveBytes rounded down to whole chunks, at most MostReservedBytes.
  explicit constexpr TSmallBlockHeap(std::size_t ReserveBytes) noexcept
      : Chunks((ReserveBytes < MostReservedBytes ? ReserveBytes : MostReservedBytes) / ChunkBytes) {}
  TSmallBlockHeap(const TSmallBlockHeap&) = delete;
  TSmallBlockHeap& operator=(const TSmallBlockHeap&) = delete;

  // A block of at least Size bytes; null when Size is above LargestBlock, or when the range is
  // used up or could not be had: the caller then goes elsewhere.
  void* Allocate(std::size_t Size) noexcept;
  // Whether P lies in the range; only such blocks may be released here.
  bool Owns(const void* P) const noexcept {
    const std::uintptr_t Start = Base.load(std::memory_order_acquire);
    return Start != 0 && reinterpret_cast<std::uintptr_t>(P) - Start < Chunks * ChunkBytes;
  }
  void Release(void* P) noexcept;

 private:
  struct TFreeBlock {
    TFreeBlock* Next;
  };
  // One cache line each, so that threads using different sizes do not share one.
  struct alignas(64) TSizeClass {
    void* Lock = nullptr;  // an SRWLOCK: one pointer, all zero when free
    TFreeBlock* FreeList = nullptr;
    char* Fresh = nullptr;  // the class's newest chunk from here to FreshEnd was never handed out
    char* FreshEnd = nullptr;
  };
  // 16-byte steps up to 1 KB, 256-byte steps above.
  static constexpr std::size_t FineClasses = 1024 / 16;
  static constexpr std::size_t ClassCount = FineClasses + (LargestBlock - 1024) / 256;

  static std::size_t ClassOf(std::size_t Size) noexcept {
    if (Size <= 16) return 0;
    return Size <= 1024 ? (Size - 1) / 16 : FineClasses + (Size - 1025) / 256;
  }
  static std::size_t BlockBytes(std::size_t Class) noexcept {
    return Class < FineClasses ? (Class + 1) * 16 : 1024 + (Class - FineClasses + 1) * 256;
  }
  // Gives the class a fresh chunk; false when none can be had. Called with the class locked.
  bool AddChunk(std::size_t Class) noexcept;

  const std::size_t Chunks;
  std::atomic<std::uintptr_t> Base{0};
  std::atomic<bool> RangeSpent{false};  // used up, or it could not be reserved
  void* RangeLock = nullptr;            // an SRWLOCK over the fields below
  std::size_t UsedChunks = 0;
  std::uint8_t ChunkClass[MostReservedBytes / ChunkBytes] = {};
  TSizeClass Classes[ClassCount];
};

// The heap behind the program's operator new.
const TSmallBlockHeap& GlobalSmallBlocks() noexcept;

}  // namespace quillet::win32

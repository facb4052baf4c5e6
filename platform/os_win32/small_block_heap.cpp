// The small-block heap: free lists per size class under a slim reader/writer lock each, chunks
// committed from one reserved range under one more.
#include "platform/os_win32/detail/small_block_heap.h"

#include <windows.h>

namespace quillet::win32 {

namespace {

// A free SRWLOCK is all zero bits, as the heap's null lock fields are.
static_assert(sizeof(SRWLOCK) == sizeof(void*));

// Holds the SRWLOCK kept in a pointer-sized field for its scope.
class TLockedScope {
 public:
  explicit TLockedScope(void*& LockField) noexcept : Lock(reinterpret_cast<SRWLOCK*>(&LockField)) {
    ::AcquireSRWLockExclusive(Lock);
  }
  ~TLockedScope() { ::ReleaseSRWLockExclusive(Lock); }
  TLockedScope(const TLockedScope&) = delete;
  TLockedScope& operator=(const TLockedScope&) = delete;

 private:
  SRWLOCK* Lock;
};

}  // namespace

void* TSmallBlockHeap::Allocate(std::size_t Size) noexcept {
  if (Size > LargestBlock) return nullptr;
  const std::size_t Class = ClassOf(Size);
  const std::size_t Bytes = BlockBytes(Class);
  TSizeClass& C = Classes[Class];
  TLockedScope Locked(C.Lock);
  if (TFreeBlock* Block = C.FreeList) {
    C.FreeList = Block->Next;
    return Block;
  }
  if (static_cast<std::size_t>(C.FreshEnd - C.Fresh) < Bytes && !AddChunk(Class)) return nullptr;
  char* Block = C.Fresh;
  C.Fresh += Bytes;
  return Block;
}

void TSmallBlockHeap::Release(void* P) noexcept {
  // The chunk's class was written before any of its blocks was handed out.
  const std::uintptr_t Offset = reinterpret_cast<std::uintptr_t>(P) - Base.load(std::memory_order_relaxed);
  TSizeClass& C = Classes[ChunkClass[Offset / ChunkBytes]];
  TFreeBlock* Block = static_cast<TFreeBlock*>(P);
  TLockedScope Locked(C.Lock);
  Block->Next = C.FreeList;
  C.FreeList = Block;
}

bool TSmallBlockHeap::AddChunk(std::size_t Class) noexcept {
  if (RangeSpent.load(std::memory_order_relaxed)) return false;
  TLockedScope Locked(RangeLock);
  std::uintptr_t Start = Base.load(std::memory_order_relaxed);
  if (Start == 0 && Chunks > 0) {
    // Reserved lazily: constant initialisation cannot call the system.
    Start = reinterpret_cast<std::uintptr_t>(::VirtualAlloc(nullptr, Chunks * ChunkBytes, MEM_RESERVE, PAGE_NOACCESS));
    Base.store(Start, std::memory_order_release);
  }
  if (Start == 0 || UsedChunks == Chunks) {
    RangeSpent.store(true, std::memory_order_relaxed);
    return false;
  }
  // A failed commit (the system's commit limit) may succeed later, so the range is not spent.
  void* Chunk = reinterpret_cast<void*>(Start + UsedChunks * ChunkBytes);
  if (!::VirtualAlloc(Chunk, ChunkBytes, MEM_COMMIT, PAGE_READWRITE)) return false;
  ChunkClass[UsedChunks++] = static_cast<std::uint8_t>(Class);
  TSizeClass& C = Classes[Class];
  C.Fresh = static_cast<char*>(Chunk);
  C.FreshEnd = C.Fresh + ChunkBytes;
  return true;
}

}  // namespace quillet::win32

// The Windows programs' operator new and the small-block heap behind it: blocks that are whole,
// aligned and never handed to two owners (also with threads allocating and releasing at once), a
// range that runs out without harm, and the runtime taking what the heap does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "platform/os_win32/detail/small_block_heap.h"

namespace quillet::win32 {
namespace {

constexpr std::size_t Chunk = TSmallBlockHeap::ChunkBytes, Largest = TSmallBlockHeap::LargestBlock;

bool Aligned16(const void* P) { return reinterpret_cast<std::uintptr_t>(P) % 16 == 0; }

TEST(SmallBlockHeap, EverySizeGetsAWholeAlignedBlockOfItsOwn) {
  static TSmallBlockHeap Heap(32 << 20);
  // Two blocks of each size, filled last to first: a block too small for its size spills into
  // the one carved after it, which was filled already.
  std::vector<unsigned char*> Blocks;
  for (std::size_t I = 0; I < 2 * (Largest + 1); ++I) {
    Blocks.push_back(static_cast<unsigned char*>(Heap.Allocate(I / 2)));
    ASSERT_TRUE(Blocks[I] && Heap.Owns(Blocks[I]) && Aligned16(Blocks[I])) << I / 2;
  }
  for (std::size_t I = Blocks.size(); I-- > 0;) std::memset(Blocks[I], int(I % 251), I / 2);
  for (std::size_t I = 0; I < Blocks.size(); ++I)
    ASSERT_EQ(std::count(Blocks[I], Blocks[I] + I / 2, I % 251), std::ptrdiff_t(I / 2)) << I / 2;
  EXPECT_EQ(Heap.Allocate(Largest + 1), nullptr);
}

TEST(SmallBlockHeap, RunsOutAndThenServesOnlyWhatIsReleased) {
  static TSmallBlockHeap Heap(3 * Chunk + 1000);
  void* const Low = reinterpret_cast<void*>(0x10000);
  EXPECT_FALSE(Heap.Owns(Low)) << "nothing reserved yet";
  std::set<void*> Blocks;
  while (void* P = Heap.Allocate(16)) ASSERT_TRUE(Heap.Owns(P) && Blocks.insert(P).second);
  EXPECT_EQ(Blocks.size(), 3 * Chunk / 16);
  EXPECT_EQ(Heap.Allocate(32), nullptr);
  void* const Some = *std::next(Blocks.begin(), 1000);
  Heap.Release(Some);
  EXPECT_EQ(Heap.Allocate(1), Some);
  EXPECT_EQ(Heap.Allocate(1), nullptr);
  void* const Outside = std::malloc(16);
  EXPECT_FALSE(Heap.Owns(Outside) || Heap.Owns(&Some) || Heap.Owns(Low));
  std::free(Outside);
}

// Threads put blocks of random sizes into shared slots and release what they take out, mostly
// blocks of other threads. A block holds its length and then one serial throughout, so a block
// given to two owners at once, or spoilt while free, shows.
template <typename Allocate, typename Release>
void ShareBetweenThreads(Allocate New, Release Delete) {
  static std::atomic<std::uint32_t*> Slots[256];
  std::atomic<int> Faults{0};
  const auto Drop = [&](std::uint32_t* Words) {
    if (!Words) return;
    if (std::count(Words + 2, Words + Words[0], Words[1]) != std::ptrdiff_t(Words[0]) - 2) ++Faults;
    Delete(Words);
  };
  const auto Work = [&](std::uint32_t Seed) {
    std::mt19937 Rng(Seed);
    for (std::uint32_t Step = 0; Step < 40000; ++Step) {
      std::atomic<std::uint32_t*>& Slot = Slots[Rng() % 256];
      if (Rng() % 2) {
        Drop(Slot.exchange(nullptr));
        continue;
      }
      const std::uint32_t Count = 2 + (Rng() % 16 ? Rng() % 275 : Rng() % 1500);
      auto* const Words = static_cast<std::uint32_t*>(New(Count * 4));
      Words[0] = Count;
      std::fill(Words + 1, Words + Count, Seed << 20 | Step);
      Drop(Slot.exchange(Words));
    }
  };
  std::vector<std::thread> Threads;
  for (std::uint32_t Seed = 1; Seed <= 4; ++Seed) Threads.emplace_back(Work, Seed);
  for (std::thread& T : Threads) T.join();
  for (auto& Slot : Slots) Drop(Slot.exchange(nullptr));
  EXPECT_EQ(Faults, 0);
}

TEST(SmallBlockHeap, ThreadsNeverShareABlock) {
  ShareBetweenThreads([](std::size_t Size) { return ::operator new(Size); }, [](void* P) { ::operator delete(P); });
  // A range that runs out while the threads allocate: the rest comes from the runtime.
  static TSmallBlockHeap Heap(24 * Chunk);
  ShareBetweenThreads([](std::size_t Size) { void* P = Heap.Allocate(Size); return P ? P : std::malloc(Size); },
                      [](void* P) { Heap.Owns(P) ? Heap.Release(P) : std::free(P); });
}

TEST(GlobalNew, EveryFormTakesAndGivesBackSmallBlocks) {
  const TSmallBlockHeap& Heap = GlobalSmallBlocks();
  constexpr std::size_t Size = 40;
  using TForm = void (*)(void*&);
  const TForm Forms[] = {
      [](void*& P) { ::operator delete(P = ::operator new(Size)); },
      [](void*& P) { ::operator delete[](P = ::operator new[](Size)); },
      [](void*& P) { ::operator delete(P = ::operator new(Size), Size); },
      [](void*& P) { ::operator delete[](P = ::operator new[](Size), Size); },
      [](void*& P) { ::operator delete(P = ::operator new(Size, std::nothrow), std::nothrow); },
      [](void*& P) { ::operator delete[](P = ::operator new[](Size, std::nothrow), std::nothrow); },
  };
  for (const TForm Form : Forms) {
    void* P = nullptr;
    Form(P);
    EXPECT_TRUE(Heap.Owns(P) && Aligned16(P));
    // The block released is the next one of its size class.
    void* const Again = ::operator new(33);
    EXPECT_EQ(Again, P);
    ::operator delete(Again);
  }
}

TEST(GlobalNew, OtherBlocksComeFromTheRuntimeAligned) {
  // Many sizes: a quarter of what 32-bit malloc gives is only 8-byte aligned.
  std::vector<std::pair<char*, std::size_t>> Blocks;
  for (std::size_t Size = Largest + 1; Blocks.size() < 200; Size += 291) {
    Blocks.emplace_back(static_cast<char*>(::operator new(Size)), Size);
    EXPECT_FALSE(GlobalSmallBlocks().Owns(Blocks.back().first));
    EXPECT_TRUE(Aligned16(Blocks.back().first)) << Size;
    Blocks.back().first[0] = Blocks.back().first[Size - 1] = 1;
  }
  for (const auto& [P, Size] : Blocks) ::operator delete(P, Size);
  ::operator delete[](nullptr);
  // The library's aligned forms, beside these.
  struct alignas(64) TWide {
    char Bytes[200];
  };
  TWide* const Wide = new TWide[3];
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Wide) % 64, 0u);
  delete[] Wide;
}

TEST(GlobalNew, ImpossibleSizesFailAfterTheNewHandlerGivesUp) {
  for (const std::size_t Size : {SIZE_MAX, SIZE_MAX - 8, SIZE_MAX / 2 + 1}) {
    EXPECT_EQ(::operator new[](Size, std::nothrow), nullptr) << Size;
    EXPECT_THROW(static_cast<void>(::operator new(Size)), std::bad_alloc) << Size;
  }
  static int Calls = 0;
  std::set_new_handler([] {
    if (++Calls == 3) std::set_new_handler(nullptr);
  });
  EXPECT_THROW(static_cast<void>(::operator new[](SIZE_MAX)), std::bad_alloc);
  EXPECT_EQ(Calls, 3);
}

}  // namespace
}  // namespace quillet::win32

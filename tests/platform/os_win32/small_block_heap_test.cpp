// The Windows programs' operator new and the small-block heap behind it: blocks that are whole,
// aligned and never handed to two owners (also with threads allocating and releasing at once), a
// range that runs out without harm, and the runtime taking what the heap does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "platform/os_win32/detail/small_block_heap.h"

namespace quillet::win32 {
namespace {

constexpr std::size_t Chunk = TSmallBlockHeap::ChunkBytes;

bool Aligned16(const void* P) { return reinterpret_cast<std::uintptr_t>(P) % 16 == 0; }

TEST(SmallBlockHeap, EverySizeGetsAWholeAlignedBlockOfItsOwn) {
  static TSmallBlockHeap Heap(32 << 20);
  // Two blocks of each size, filled last to first: a block too small for its size spills into
  // the one carved after it, which was filled already.
  std::vector<unsigned char*> Blocks;
  for (std::size_t Size = 0; Size <= TSmallBlockHeap::LargestBlock; ++Size) {
    for (int Twice = 0; Twice < 2; ++Twice) {
      Blocks.push_back(static_cast<unsigned char*>(Heap.Allocate(Size)));
      ASSERT_TRUE(Blocks.back() && Heap.Owns(Blocks.back()) && Aligned16(Blocks.back())) << Size;
    }
  }
  const auto SizeOf = [](std::size_t Index) { return Index / 2; };
  const auto Mark = [](std::size_t Index) { return static_cast<unsigned char>(Index % 251); };
  for (std::size_t I = Blocks.size(); I-- > 0;) std::memset(Blocks[I], Mark(I), SizeOf(I));
  for (std::size_t I = 0; I < Blocks.size(); ++I)
    ASSERT_EQ(std::count(Blocks[I], Blocks[I] + SizeOf(I), Mark(I)), std::ptrdiff_t(SizeOf(I))) << SizeOf(I);
  EXPECT_EQ(Heap.Allocate(TSmallBlockHeap::LargestBlock + 1), nullptr);
}

TEST(SmallBlockHeap, RunsOutAndThenServesOnlyWhatIsReleased) {
  static TSmallBlockHeap Empty(Chunk - 1);
  int Local = 0;
  EXPECT_EQ(Empty.Allocate(16), nullptr);
  EXPECT_FALSE(Empty.Owns(&Local) || Empty.Owns(reinterpret_cast<void*>(0x10000)));

  static TSmallBlockHeap Heap(3 * Chunk + 1000);
  EXPECT_FALSE(Heap.Owns(reinterpret_cast<void*>(0x10000))) << "nothing reserved yet";
  std::set<void*> Blocks;
  while (void* P = Heap.Allocate(16)) {
    ASSERT_TRUE(Heap.Owns(P));
    ASSERT_TRUE(Blocks.insert(P).second) << "handed out twice";
  }
  EXPECT_EQ(Blocks.size(), 3 * Chunk / 16);
  EXPECT_EQ(Heap.Allocate(32), nullptr);
  EXPECT_EQ(Heap.Allocate(TSmallBlockHeap::LargestBlock), nullptr);
  void* const Some = *std::next(Blocks.begin(), 1000);
  Heap.Release(Some);
  EXPECT_EQ(Heap.Allocate(1), Some);
  EXPECT_EQ(Heap.Allocate(1), nullptr);
  void* const Outside = std::malloc(16);
  EXPECT_FALSE(Heap.Owns(Outside) || Heap.Owns(&Local));
  std::free(Outside);
}

// Threads allocate, check and release blocks of random sizes, and pass some to each other to
// release there. Each block holds its serial number throughout, so a block given to two owners
// at once, or spoilt while free, shows.
template <typename Allocate, typename Release>
void ShareBetweenThreads(Allocate&& New, Release&& Delete) {
  struct TBlock {
    std::uint32_t* Words;
    std::size_t Count;
    std::uint32_t Serial;
  };
  std::mutex MailboxLock;
  std::vector<TBlock> Mailbox;
  std::atomic<int> Faults{0};
  const auto Check = [&](const TBlock& B) {
    if (std::count(B.Words, B.Words + B.Count, B.Serial) != std::ptrdiff_t(B.Count)) ++Faults;
    Delete(B.Words);
  };
  const auto Work = [&](unsigned Seed) {
    std::mt19937 Rng(Seed);
    std::vector<TBlock> Held;
    for (std::uint32_t Step = 0; Step < 30000; ++Step) {
      if (Held.size() < 300 && Rng() % 8 < 5) {
        const std::size_t Bytes = Rng() % 16 ? 1 + Rng() % 1100 : 1 + Rng() % 6000;
        TBlock B{static_cast<std::uint32_t*>(New(Bytes)), Bytes / 4, Seed << 20 | Step};
        std::fill(B.Words, B.Words + B.Count, B.Serial);
        Held.push_back(B);
      } else if (!Held.empty()) {
        std::swap(Held[Rng() % Held.size()], Held.back());
        TBlock B = Held.back();
        Held.pop_back();
        if (Rng() % 4 == 0) {  // left for another thread, which releases one of those left
          const std::lock_guard<std::mutex> Locked(MailboxLock);
          Mailbox.push_back(B);
          if (Mailbox.size() <= 16) continue;
          const std::size_t Pick = Rng() % Mailbox.size();
          B = Mailbox[Pick];
          Mailbox[Pick] = Mailbox.back();
          Mailbox.pop_back();
        }
        Check(B);
      }
    }
    for (const TBlock& B : Held) Check(B);
  };
  std::vector<std::thread> Threads;
  for (unsigned Seed = 1; Seed <= 4; ++Seed) Threads.emplace_back(Work, Seed);
  for (std::thread& T : Threads) T.join();
  for (const TBlock& B : Mailbox) Check(B);
  EXPECT_EQ(Faults, 0);
}

TEST(SmallBlockHeap, ThreadsNeverShareABlock) {
  ShareBetweenThreads([](std::size_t Size) { return ::operator new(Size); },
                      [](void* P) { ::operator delete(P); });
  // A range that runs out while the threads allocate: the rest comes from the runtime.
  static TSmallBlockHeap Heap(24 * Chunk);
  ShareBetweenThreads(
      [](std::size_t Size) {
        void* P = Heap.Allocate(Size);
        return P ? P : std::malloc(Size);
      },
      [](void* P) { Heap.Owns(P) ? Heap.Release(P) : std::free(P); });
}

TEST(GlobalNew, EveryFormTakesAndGivesBackSmallBlocks) {
  const TSmallBlockHeap& Heap = GlobalSmallBlocks();
  using TForm = void (*)(void*&);
  const TForm Forms[] = {
      [](void*& P) { ::operator delete(P = ::operator new(40)); },
      [](void*& P) { ::operator delete[](P = ::operator new[](40)); },
      [](void*& P) { ::operator delete(P = ::operator new(40), std::size_t{40}); },
      [](void*& P) { ::operator delete[](P = ::operator new[](40), std::size_t{40}); },
      [](void*& P) { ::operator delete(P = ::operator new(40, std::nothrow), std::nothrow); },
      [](void*& P) { ::operator delete[](P = ::operator new[](40, std::nothrow), std::nothrow); },
  };
  for (std::size_t Form = 0; Form < std::size(Forms); ++Form) {
    void* P = nullptr;
    Forms[Form](P);
    EXPECT_TRUE(Heap.Owns(P) && Aligned16(P)) << Form;
    // The block released is the next one of its size.
    void* const Again = ::operator new(33);
    EXPECT_EQ(Again, P) << Form;
    ::operator delete(Again);
  }
}

TEST(GlobalNew, OtherBlocksComeFromTheRuntime) {
  for (const std::size_t Size : {TSmallBlockHeap::LargestBlock + 1, std::size_t{100000}, std::size_t{16} << 20}) {
    char* const P = static_cast<char*>(::operator new(Size));
    EXPECT_FALSE(GlobalSmallBlocks().Owns(P));
    EXPECT_TRUE(Aligned16(P)) << Size;
    P[0] = P[Size - 1] = 1;
    ::operator delete(P, Size);
    ::operator delete[](::operator new[](Size, std::nothrow));
  }
  ::operator delete(nullptr);
  ::operator delete[](nullptr, std::size_t{8});
  // The library's aligned forms, beside these.
  struct alignas(64) TWide {
    char Bytes[200];
  };
  TWide* const Wide = new TWide[3];
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Wide) % 64, 0u);
  delete[] Wide;
}

int HandlerCalls = 0;

TEST(GlobalNew, ImpossibleSizesFailAfterTheNewHandlerGivesUp) {
  for (const std::size_t Size : {SIZE_MAX, SIZE_MAX - 8, SIZE_MAX / 2 + 1}) {
    EXPECT_EQ(::operator new(Size, std::nothrow), nullptr) << Size;
    EXPECT_EQ(::operator new[](Size, std::nothrow), nullptr) << Size;
    EXPECT_THROW(static_cast<void>(::operator new(Size)), std::bad_alloc) << Size;
  }
  HandlerCalls = 0;
  std::set_new_handler([] {
    if (++HandlerCalls == 3) std::set_new_handler(nullptr);
  });
  EXPECT_THROW(static_cast<void>(::operator new[](SIZE_MAX)), std::bad_alloc);
  EXPECT_EQ(HandlerCalls, 3);
}

}  // namespace
}  // namespace quillet::win32

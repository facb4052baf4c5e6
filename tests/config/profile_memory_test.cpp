// Settings files of the largest size that is read, filled with the line shapes that cost a
// line-by-line reader the most, must load and save in memory a small multiple of their size and
// read and write the right values. Peak memory is counted by replacing the global allocator, so
// this test has an executable of its own.
#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "config/settings_file.h"
#include "temp_dir.h"

namespace {

#ifdef _WIN32
std::size_t UsableSize(void* P) { return _msize(P); }
#else
std::size_t UsableSize(void* P) { return malloc_usable_size(P); }
#endif

std::atomic<std::size_t> LiveBytes{0};
std::atomic<std::size_t> PeakBytes{0};

void Count(void* P) {
  const std::size_t Live = LiveBytes += UsableSize(P);
  std::size_t Peak = PeakBytes.load();
  while (Live > Peak && !PeakBytes.compare_exchange_weak(Peak, Live)) {
  }
}

void* CountedNew(std::size_t Size) {
  void* P = std::malloc(Size ? Size : 1);
  if (!P) throw std::bad_alloc();
  Count(P);
  return P;
}

void CountedDelete(void* P) {
  if (!P) return;
  LiveBytes -= UsableSize(P);
  std::free(P);
}

}  // namespace

void* operator new(std::size_t Size) { return CountedNew(Size); }
void* operator new[](std::size_t Size) { return CountedNew(Size); }
void operator delete(void* P) noexcept { CountedDelete(P); }
void operator delete[](void* P) noexcept { CountedDelete(P); }
void operator delete(void* P, std::size_t) noexcept { CountedDelete(P); }
void operator delete[](void* P, std::size_t) noexcept { CountedDelete(P); }

namespace quillet {
namespace {

// Allocated bytes at the peak of Run, above what was live when it began.
template <typename Action>
std::size_t PeakAbove(Action&& Run) {
  const std::size_t Base = LiveBytes.load();
  PeakBytes = Base;
  Run();
  return PeakBytes.load() - Base;
}

struct Shape {
  const char* Name;
  std::string Line;
};

void PrintTo(const Shape& S, std::ostream* Out) { *Out << S.Name; }

class ProfileMemoryTest : public testing::TempDirTest,
                          public ::testing::WithParamInterface<Shape> {};

// The file is the shape repeated up to nearly the size limit (leaving room for the keys a save
// adds), with a Config section at its end, so that the reader has to pass every line to find it.
TEST_P(ProfileMemoryTest, LargestFileLoadsAndSavesInBoundedMemory) {
  const std::string Tail = "\n[Config]\nAlpha=64\n";
  const std::size_t Size = ProfileFileSizeLimit - 4096;
  const std::string& Line = GetParam().Line;
  std::string Content;
  Content.reserve(Size);
  while (Content.size() + Line.size() + Tail.size() <= Size) Content += Line;
  Content.append(Size - Content.size() - Tail.size(), '\n');
  Content += Tail;
  ASSERT_EQ(Content.size(), Size);
  const auto Path = Dir / "QUILLET.INI";
  WriteFile(Path, Content);

  DemoSettings Loaded;
  Loaded.SetAlpha(1);
  const std::size_t LoadPeak = PeakAbove([&] { LoadSettings(Loaded, Path); });
  EXPECT_LE(LoadPeak, 4 * Size) << "load took " << LoadPeak / Size << "x the file";
  EXPECT_EQ(Loaded.Alpha(), 64);
  EXPECT_EQ(Loaded.Objects(), 50);

  Loaded.SetAlpha(200);
  const std::size_t SavePeak = PeakAbove([&] { SaveSettings(Loaded, Path); });
  EXPECT_LE(SavePeak, 4 * Size) << "save took " << SavePeak / Size << "x the file";

  // Everything before the Config section is kept byte for byte; the keys read back.
  const std::string Saved = ReadFile(Path);
  ASSERT_GE(Saved.size(), Size);
  EXPECT_EQ(Saved.compare(0, Size - Tail.size(), Content, 0, Size - Tail.size()), 0);
  const std::string Updated = "\n[Config]\nAlpha=200\n";
  EXPECT_EQ(Saved.substr(Size - Tail.size(), Updated.size()), Updated);
  Content.clear();
  Content.shrink_to_fit();
  DemoSettings Reread;
  LoadSettings(Reread, Path);
  EXPECT_EQ(Reread.Alpha(), 200);
  EXPECT_EQ(Reread.Objects(), 50);
  EXPECT_TRUE(Reread.bBars);
}

INSTANTIATE_TEST_SUITE_P(
    LineShapes, ProfileMemoryTest,
    ::testing::Values(Shape{"BlankLines", "\n"}, Shape{"EmptySections", "[]\n"},
                      Shape{"ShortKeys", "k=\n"}, Shape{"UnclosedHeaders", "[\r\n"},
                      Shape{"LongKey", std::string(1 << 20, 'k') + "=\n"},
                      Shape{"LongSectionName", "[" + std::string(1 << 20, 's') + "]\n"}),
    [](const ::testing::TestParamInfo<Shape>& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace quillet

// The Win32 backend's own parts on a real message loop and real windows (under Wine in the
// tests): the timers' order and their handlers' freedom, the pixels a frame puts on screen, the
// DIB section over the surface's memory, and the surface dump's format.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ui_win32/dib_section_store.h"
#include "platform/ui_win32/surface_dump.h"
#include "platform/ui_win32/win32_event_loop.h"
#include "platform/ui_win32/win32_screen_window.h"

namespace quillet {
namespace {

// Pixels of Width x Height at the origin of Dc, top-down, with the alpha byte cleared.
std::vector<TColor32> ReadPixels(HDC Dc, int Width, int Height) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof Info.bmiHeader;
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  void* Bits = nullptr;
  const HBITMAP Bitmap = ::CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  const HDC Memory = ::CreateCompatibleDC(nullptr);
  const HGDIOBJ Old = ::SelectObject(Memory, Bitmap);
  ::BitBlt(Memory, 0, 0, Width, Height, Dc, 0, 0, SRCCOPY);
  ::GdiFlush();
  std::vector<TColor32> Pixels(static_cast<const TColor32*>(Bits), static_cast<const TColor32*>(Bits) + Width * Height);
  for (TColor32& P : Pixels) P &= 0x00FFFFFF;
  ::SelectObject(Memory, Old);
  ::DeleteDC(Memory);
  ::DeleteObject(Bitmap);
  return Pixels;
}

void Pattern(TBitmap32& Surface) {
  for (int32_t I = 0, N = Surface.Width() * Surface.Height(); I < N; ++I)
    Surface.PixelPtr()[I] = 0xFF000000u | (static_cast<uint32_t>(I) * 2654435761u >> 8 & 0xFFFFFF) | 0x010101;
}

TEST(Win32EventLoop, OneShotsFireByDeadlineAndHandlersMayChangeTheTimers) {
  TWin32EventLoop Loop;
  std::vector<int> Order;
  std::unique_ptr<ITimer> Late, Early, Victim, Again;
  int Repeats = 0;
  Late = Loop.CreateOneShotTimer([&] {
    Order.push_back(3);
    Loop.Quit(7);
  });
  Victim = Loop.CreateOneShotTimer([&] { Order.push_back(99); });
  // A handler destroys a timer that is due in the same round, and restarts itself.
  Early = Loop.CreateOneShotTimer([&] {
    Order.push_back(1);
    Victim.reset();
  });
  Again = Loop.CreateOneShotTimer([&] {
    Order.push_back(2);
    if (++Repeats < 3) Again->Start(0);
  });
  Late->Start(60);
  Victim->Start(5);
  Early->Start(5);
  Again->Start(20);
  EXPECT_EQ(Loop.Run(), 7);
  // Early and the victim share a deadline; whichever of them runs first, the victim is gone then
  // or has fired before it was destroyed.
  std::erase(Order, 99);
  EXPECT_EQ(Order, (std::vector<int>{1, 2, 2, 2, 3}));
  EXPECT_FALSE(Late->IsActive());
}

TEST(Win32EventLoop, PeriodicTimerTicksUntilStoppedAndQuitBeforeRunReturnsAtOnce) {
  TWin32EventLoop Loop;
  int Ticks = 0;
  std::unique_ptr<ITimer> Periodic = Loop.CreatePeriodicTimer([&] {
    if (++Ticks == 5) Loop.Quit(0);
  });
  Periodic->Start(1);
  EXPECT_TRUE(Periodic->IsActive());
  EXPECT_EQ(Loop.Run(), 0);
  EXPECT_EQ(Ticks, 5);
  Periodic->Stop();
  EXPECT_FALSE(Periodic->IsActive());

  // A stopped timer no longer ticks: a loop that runs after it sees nothing.
  TWin32EventLoop Second;
  int Fired = 0;
  std::unique_ptr<ITimer> Stopped = Second.CreatePeriodicTimer([&] { ++Fired; });
  Stopped->Start(1);
  Stopped->Stop();
  std::unique_ptr<ITimer> End = Second.CreateOneShotTimer([&] { Second.Quit(3); });
  End->Start(30);
  EXPECT_EQ(Second.Run(), 3);
  EXPECT_EQ(Fired, 0);
  TWin32EventLoop Third;
  Third.Quit(4);
  EXPECT_EQ(Third.Run(), 4);
}

// What a frame puts on screen: a wipe's black first, then the surface's pixels drawn after it.
TEST(Win32ScreenWindow, FramesPutTheBlackFirstAndThenTheSurface) {
  TWin32StandaloneScreen Screen;
  TWin32ScreenWindow& Window = Screen.Window();
  Window.SetBounds(0, 0, 64, 48);
  Screen.Form().Show();
  for (int I = 0; I < 20; ++I) Screen.Loop().RunOnce(5);
  ASSERT_TRUE(Window.IsVisible());
  TBitmap32& Surface = Window.Surface();
  ASSERT_EQ(Surface.Width(), 64);
  ASSERT_EQ(Surface.Height(), 48);
  Pattern(Surface);

  const TRect Drawn{8, 4, 40, 30};
  Window.FrameView().PresentAreas({Drawn}, {Surface.BoundsRect()});
  const HDC Dc = ::GetDC(Window.Handle());
  const std::vector<TColor32> Shown = ReadPixels(Dc, 64, 48);
  ::ReleaseDC(Window.Handle(), Dc);
  int Wrong = 0;
  for (int Y = 0; Y < 48; ++Y)
    for (int X = 0; X < 64; ++X) {
      const bool Inside = X >= Drawn.Left && X < Drawn.Right && Y >= Drawn.Top && Y < Drawn.Bottom;
      const TColor32 Expected = Inside ? Surface.PixelPtr()[Y * 64 + X] & 0x00FFFFFF : 0;
      Wrong += Shown[Y * 64 + X] != Expected;
    }
  EXPECT_EQ(Wrong, 0);
  EXPECT_TRUE(Window.Store().ShowsFromSection(Surface));
}

// The surface's memory is the DIB section's: what the surface holds is what is put, rectangle
// by rectangle, clipped to the surface; memory of another store goes the other way, alike.
TEST(DibSectionStore, PutsExactlyTheSurfacesPixelsInTheRectangles) {
  const HDC Target = ::CreateCompatibleDC(nullptr);
  BITMAPINFO Info{};
  Info.bmiHeader = {sizeof(BITMAPINFOHEADER), 50, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* Bits = nullptr;
  const HBITMAP Canvas = ::CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  const HGDIOBJ Old = ::SelectObject(Target, Canvas);

  for (const bool OwnStore : {true, false}) {
    auto Store = std::make_shared<TDibSectionStore>();
    TBitmap32 Surface;
    if (OwnStore) Surface.SetPixelStore(Store);
    Surface.SetDimensions(50, 30);
    if (OwnStore) {
      EXPECT_EQ(Surface.PixelPtr()[0], 0u) << "a new section reads as zero";
    }
    Pattern(Surface);
    ::PatBlt(Target, 0, 0, 50, 30, WHITENESS);
    const std::vector<TRect> Rects{{0, 0, 10, 10}, {45, 25, 60, 40}, {-5, 12, 3, 14}, {20, 20, 20, 25}};
    Store->Put(Target, Surface, Rects);
    ::GdiFlush();
    EXPECT_EQ(Store->ShowsFromSection(Surface), OwnStore);
    const auto* Out = static_cast<const TColor32*>(Bits);
    int Wrong = 0;
    for (int Y = 0; Y < 30; ++Y)
      for (int X = 0; X < 50; ++X) {
        bool Inside = false;
        for (const TRect& R : Rects) Inside |= X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
        const TColor32 Expected = Inside ? Surface.PixelPtr()[Y * 50 + X] & 0xFFFFFF : 0xFFFFFF;
        Wrong += (Out[Y * 50 + X] & 0xFFFFFF) != Expected;
      }
    EXPECT_EQ(Wrong, 0) << (OwnStore ? "from the section" : "from other memory");
  }
  ::SelectObject(Target, Old);
  ::DeleteObject(Canvas);
  ::DeleteDC(Target);
}

TEST(SurfaceDump, IsABinaryPpmOfTheOpaqueColours) {
  TBitmap32 Surface;
  Surface.SetDimensions(2, 1);
  Surface.PixelPtr()[0] = 0x80102030;
  Surface.PixelPtr()[1] = 0xFFA0B0C0;
  EXPECT_EQ(SurfaceAsPpm(Surface), std::string("P6\n2 1\n255\n\x10\x20\x30\xA0\xB0\xC0", 17));
  EXPECT_EQ(SurfaceAsPpm(TBitmap32()), "P6\n0 0\n255\n");
}

}  // namespace
}  // namespace quillet

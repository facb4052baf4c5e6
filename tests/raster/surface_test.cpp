// The surface: size, clipping, notification rules, settings, the resampler, the lock, stored
// pixel data and text output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "raster/bitmap32.h"

namespace quillet {
namespace {

struct Events {
  int Changes = 0;
  int Resizes = 0;
  std::vector<std::pair<TRect, uint32_t>> Areas;

  void Attach(TBitmap32& B) {
    B.OnChange = [this](TNotifiablePersistent*) { ++Changes; };
    B.OnResize = [this](TNotifiablePersistent*) { ++Resizes; };
    B.OnAreaChanged = [this](TBitmap32*, const TRect& R, uint32_t Info) { Areas.push_back({R, Info}); };
  }
};

TEST(Surface, NegativeSizeCountsAsZeroAndStillNotifies) {
  TBitmap32 B;
  Events E;
  E.Attach(B);
  EXPECT_TRUE(B.SetDimensions(-5, 10));
  EXPECT_EQ(B.Width(), 0);
  EXPECT_EQ(B.Height(), 10);
  EXPECT_TRUE(B.IsEmpty());
  EXPECT_EQ(E.Changes, 1);
  EXPECT_EQ(E.Resizes, 1);
  EXPECT_FALSE(B.SetDimensions(0, 10));
  EXPECT_EQ(E.Changes, 1);
}

TEST(Surface, FillWritesEveryPixelAndReportsTheBounds) {
  TBitmap32 B;
  B.SetDimensions(3, 2);
  Events E;
  E.Attach(B);
  B.Fill(0x12345678);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(*B.PixelAddress(x, y), 0x12345678u);
  ASSERT_EQ(E.Areas.size(), 1u);
  EXPECT_EQ(E.Areas[0].first, (TRect{0, 0, 3, 2}));
  EXPECT_EQ(E.Areas[0].second, AREAINFO_RECT);
  EXPECT_EQ(E.Changes, 1);
}

TEST(Surface, ClipBoundsAreIntersectedWithTheSurface) {
  TBitmap32 B;
  B.SetDimensions(10, 10);
  B.SetClipBounds({-10, -10, 5, 5});
  EXPECT_EQ(B.ClipBounds(), (TRect{0, 0, 5, 5}));
  EXPECT_EQ(B.ClipBoundsFixed(), (TRect{0, 0, 0x50000, 0x50000}));
  EXPECT_EQ(B.ClipBoundsSubpixel(), (TRect{0, 0, 0x500, 0x500}));
  EXPECT_TRUE(B.IsClipped());
  B.SetClipBounds({20, 20, 30, 30});
  EXPECT_EQ(B.ClipBounds(), (TRect{0, 0, 0, 0}));
}

TEST(Surface, ResizeGivesAFreshZeroStoreAndResetsTheClip) {
  TBitmap32 B;
  B.SetDimensions(4, 4);
  B.Fill(0xFFFFFFFF);
  B.SetClipBounds({1, 1, 2, 2});
  int HandleChanges = 0;
  B.OnHandleChanged = [&](TNotifiablePersistent*) { ++HandleChanges; };
  EXPECT_TRUE(B.SetDimensions(5, 3));
  EXPECT_EQ(HandleChanges, 1);
  EXPECT_EQ(B.ClipBounds(), (TRect{0, 0, 5, 3}));
  EXPECT_FALSE(B.IsClipped());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(*B.PixelAddress(x, y), 0u);
}

TEST(Surface, AnUnobtainableStoreLeavesAnEmptySurface) {
  TBitmap32 B;
  B.SetDimensions(8, 8);
  Events E;
  E.Attach(B);
  int HandleChanges = 0;
  B.OnHandleChanged = [&](TNotifiablePersistent*) { ++HandleChanges; };
  try {
    B.SetDimensions(100000, 100000);
    FAIL() << "no error";
  } catch (const EBitmapError& Error) {
    EXPECT_STREQ(Error.what(), "Can't allocate the DIB handle");
  }
  EXPECT_TRUE(B.IsEmpty());
  EXPECT_EQ(B.Width(), 0);
  EXPECT_EQ(B.Height(), 0);
  EXPECT_EQ(B.PixelPtr(), nullptr);
  EXPECT_EQ(HandleChanges, 1);
  EXPECT_EQ(E.Changes, 0);
  EXPECT_EQ(E.Resizes, 0);
  EXPECT_THROW(B.SetDimensions(0x7FFFFFFF, 0x7FFFFFFF), EBitmapError);
  // Still usable afterwards.
  EXPECT_TRUE(B.SetDimensions(2, 2));
  B.Fill(0xFF010203);
  EXPECT_EQ(*B.PixelAddress(1, 1), 0xFF010203u);
}

// A given store supplies and takes back every store from the next resize on, one release per
// allocation with the size it was given; a store that has nothing leaves the surface empty.
TEST(Surface, PixelsComeFromTheGivenStore) {
  struct CountingStore : TPixelStore {
    std::vector<std::pair<void*, size_t>> Live;
    bool Refuse = false;
    void* Allocate(size_t Bytes) override {
      if (Refuse) return nullptr;
      void* P = std::calloc(Bytes, 1);
      Live.emplace_back(P, Bytes);
      return P;
    }
    void Release(void* Memory, size_t Bytes) override {
      const auto It = std::find(Live.begin(), Live.end(), std::make_pair(Memory, Bytes));
      ASSERT_NE(It, Live.end());
      Live.erase(It);
      std::free(Memory);
    }
  };
  auto Store = std::make_shared<CountingStore>();
  {
    TBitmap32 B;
    B.SetDimensions(3, 3);  // from the heap
    B.SetPixelStore(Store);
    EXPECT_TRUE(Store->Live.empty());
    B.SetDimensions(4, 2);
    ASSERT_EQ(Store->Live.size(), 1u);
    EXPECT_EQ(Store->Live[0], std::make_pair(static_cast<void*>(B.PixelPtr()), size_t{32}));
    B.Fill(0xFF112233);
    // Back to the heap: the store's pixels are released at the resize.
    B.SetPixelStore(nullptr);
    B.SetDimensions(5, 5);
    EXPECT_TRUE(Store->Live.empty());
    B.SetPixelStore(Store);
    B.SetDimensions(6, 6);
    EXPECT_EQ(Store->Live.size(), 1u);
  }
  EXPECT_TRUE(Store->Live.empty());

  TBitmap32 B;
  B.SetPixelStore(Store);
  Store->Refuse = true;
  EXPECT_THROW(B.SetDimensions(4, 4), EBitmapError);
  EXPECT_TRUE(B.IsEmpty());
}

TEST(Surface, BatchesHoldBackNotification) {
  TBitmap32 B;
  B.SetDimensions(3, 3);
  Events E;
  E.Attach(B);
  B.BeginBatch();
  B.BeginBatch();
  B.Fill(0xFF00FF00);
  B.NotifyAreaChanged({0, 0, 1, 1}, AREAINFO_RECT);
  B.EndBatch();
  B.NotifyChanged();
  EXPECT_EQ(E.Changes, 0);
  EXPECT_TRUE(E.Areas.empty());
  B.EndBatch();  // closing fires nothing by itself
  EXPECT_EQ(E.Changes, 0);
  EXPECT_EQ(*B.PixelAddress(2, 2), 0xFF00FF00u);  // pixels are written all the same
  B.NotifyAreaChanged({1, 1, 2, 2}, AREAINFO_DRAWN_LINE);
  EXPECT_EQ(E.Changes, 1);
  ASSERT_EQ(E.Areas.size(), 1u);
  EXPECT_EQ(E.Areas[0].first, (TRect{1, 1, 2, 2}));
  EXPECT_EQ(E.Areas[0].second, 0x40000002u);
}

TEST(Surface, MeasuringReportsAreasButDrawsAndChangesNothing) {
  TBitmap32 B;
  B.SetDimensions(3, 2);
  B.Fill(0xFF000000);
  Events E;
  E.Attach(B);
  std::vector<TRect> Measured;
  B.BeginMeasuring([&](TBitmap32*, const TRect& R, uint32_t) { Measured.push_back(R); });
  EXPECT_TRUE(B.MeasureOnly());
  B.BeginBatch();  // measuring reports even inside a batch
  B.Fill(0xFFFFFFFF);
  B.EndBatch();
  B.EndMeasuring();
  EXPECT_FALSE(B.MeasureOnly());
  EXPECT_EQ(*B.PixelAddress(0, 0), 0xFF000000u);
  ASSERT_EQ(Measured.size(), 1u);
  EXPECT_EQ(Measured[0], (TRect{0, 0, 3, 2}));
  EXPECT_EQ(E.Changes, 0);
  EXPECT_TRUE(E.Areas.empty());
  // The saved handler is back.
  B.NotifyChanged();
  EXPECT_EQ(E.Areas.size(), 1u);
  EXPECT_EQ(Measured.size(), 1u);
}

TEST(Surface, FillOnAnEmptySurfaceDoesNothing) {
  TBitmap32 B;
  Events E;
  E.Attach(B);
  B.Fill(0xFFFFFFFF);
  B.Erase();
  EXPECT_EQ(E.Changes, 0);
  EXPECT_TRUE(E.Areas.empty());
}

// Destruction sizes the surface down inside a batch: listeners learn of the new handle and size,
// but OnChange stays held back.
TEST(Surface, DestroyingASizedSurfaceResizesItToNothing) {
  Events E;
  int HandleChanges = 0;
  {
    TBitmap32 B;
    B.SetDimensions(4, 3);
    E.Attach(B);
    B.OnHandleChanged = [&](TNotifiablePersistent*) { ++HandleChanges; };
  }
  EXPECT_EQ(HandleChanges, 1);
  EXPECT_EQ(E.Resizes, 1);
  EXPECT_EQ(E.Changes, 0);
  EXPECT_TRUE(E.Areas.empty());

  Events Empty;
  {
    TBitmap32 B;
    Empty.Attach(B);
  }
  EXPECT_EQ(Empty.Resizes, 0);
}

TEST(Surface, FillInsideAClipTouchesOnlyTheClip) {
  TBitmap32 B;
  B.SetDimensions(4, 3);
  B.SetClipBounds({1, 1, 3, 2});
  B.Fill(0xFFABCDEF);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(*B.PixelAddress(x, y), (x >= 1 && x < 3 && y == 1) ? 0xFFABCDEFu : 0u) << x << "," << y;
}

TEST(Surface, SettingsNotifyOnlyWhenTheyChange) {
  TBitmap32 B;
  EXPECT_EQ(B.MasterAlpha(), 255u);
  EXPECT_EQ(B.CombineMode(), TCombineMode::cmBlend);
  EXPECT_EQ(B.LineColor(), 0xFFFFFFFFu);
  Events E;
  E.Attach(B);
  B.SetMasterAlpha(255);
  B.SetDrawMode(TDrawMode::dmOpaque);
  B.SetCombineMode(TCombineMode::cmBlend);
  B.SetWrapMode(TWrapMode::wmClamp);
  EXPECT_EQ(E.Changes, 0);
  B.SetMasterAlpha(100);
  EXPECT_EQ(E.Changes, 1);
  B.SetDrawMode(TDrawMode::dmBlend);
  EXPECT_EQ(E.Changes, 2);
  B.SetCombineMode(TCombineMode::cmMerge);
  EXPECT_EQ(E.Changes, 3);
  B.SetWrapMode(TWrapMode::wmMirror);
  EXPECT_EQ(E.Changes, 4);
  B.SetOuterColor(0x12345678);  // stored without notification
  EXPECT_EQ(B.OuterColor(), 0x12345678u);
  EXPECT_EQ(E.Changes, 4);
}

// A resampler that counts its instances, registered under its own class name.
int LiveTestResamplers = 0;
class TTestResampler : public TBitmap32Resampler {
 public:
  explicit TTestResampler(TBitmap32* Bitmap) : TBitmap32Resampler(Bitmap) { ++LiveTestResamplers; }
  ~TTestResampler() override { --LiveTestResamplers; }
  const char* ClassName() const override { return "TTestResampler"; }
};

TEST(Surface, ResamplerSetterAndClassNameLookup) {
  RegisterResamplerClass("TTestResampler", [](TBitmap32* Bitmap) -> TCustomResampler* {
    auto* R = new TTestResampler(Bitmap);
    Bitmap->SetResampler(R);
    return R;
  });
  {
    TBitmap32 B;
    EXPECT_EQ(B.ResamplerClassName(), "TNearestResampler");
    auto* Nearest = dynamic_cast<TBitmap32Resampler*>(B.Resampler());
    ASSERT_NE(Nearest, nullptr);
    EXPECT_EQ(Nearest->PixelAccessMode(), TPixelAccessMode::pamSafe);
    EXPECT_EQ(Nearest->Bitmap(), &B);

    Events E;
    E.Attach(B);
    B.SetResampler(nullptr);
    B.SetResampler(B.Resampler());
    B.SetResamplerClassName("");
    B.SetResamplerClassName("TNearestResampler");
    B.SetResamplerClassName("TNoSuchResampler");
    EXPECT_EQ(B.ResamplerClassName(), "TNearestResampler");
    EXPECT_EQ(E.Changes, 0);

    B.SetResamplerClassName("TTestResampler");
    EXPECT_EQ(B.ResamplerClassName(), "TTestResampler");
    EXPECT_EQ(LiveTestResamplers, 1);
    EXPECT_EQ(E.Changes, 1);
    B.SetResamplerClassName("TTestResampler");  // the same class: no new instance
    EXPECT_EQ(LiveTestResamplers, 1);

    B.SetResampler(new TNearestResampler(&B));  // the old one is destroyed
    EXPECT_EQ(LiveTestResamplers, 0);
    EXPECT_EQ(E.Changes, 2);

    // Settings copy the class by name and the access mode.
    static_cast<TBitmap32Resampler*>(B.Resampler())->SetPixelAccessMode(TPixelAccessMode::pamWrap);
    B.SetMasterAlpha(7);
    TBitmap32 Copy;
    B.CopySurfaceSettingsTo(Copy);
    EXPECT_EQ(Copy.MasterAlpha(), 7u);
    EXPECT_EQ(static_cast<TBitmap32Resampler*>(Copy.Resampler())->PixelAccessMode(), TPixelAccessMode::pamWrap);
    B.SetResamplerClassName("TTestResampler");
    B.CopySurfaceSettingsTo(Copy);
    EXPECT_EQ(Copy.ResamplerClassName(), "TTestResampler");
    EXPECT_EQ(LiveTestResamplers, 2);
  }
  EXPECT_EQ(LiveTestResamplers, 0);  // surfaces own their resamplers
}

TEST(Surface, LockIsReentrantAndCounted) {
  TBitmap32 B;
  B.AcquireLock();
  B.AcquireLock();
  EXPECT_EQ(B.GetLockCount(), 2);
  B.ReleaseLock();
  EXPECT_EQ(B.GetLockCount(), 1);
  B.ReleaseLock();
  EXPECT_EQ(B.GetLockCount(), 0);
}

TEST(Surface, CopyPixelsToResizesTheTarget) {
  TBitmap32 A, B;
  A.SetDimensions(3, 2);
  for (int i = 0; i < 6; ++i) A.PixelPtr()[i] = 0xFF000000u + i;
  A.CopyPixelsTo(B);
  ASSERT_EQ(B.Width(), 3);
  ASSERT_EQ(B.Height(), 2);
  EXPECT_EQ(std::memcmp(A.PixelPtr(), B.PixelPtr(), 24), 0);
  A.CopyPixelsTo(A);
  EXPECT_EQ(A.PixelPtr()[5], 0xFF000005u);
  TBitmap32 Empty;
  Empty.CopyPixelsTo(B);
  EXPECT_TRUE(B.IsEmpty());
}

// --- Stored pixel data ---------------------------------------------------------------------------

std::string Le32(uint32_t V) {
  return std::string{static_cast<char>(V), static_cast<char>(V >> 8), static_cast<char>(V >> 16),
                     static_cast<char>(V >> 24)};
}

TEST(SurfacePixelData, LayoutAndRoundTrip) {
  TBitmap32 A;
  A.SetDimensions(2, 1);
  A.PixelPtr()[0] = 0x11223344;
  A.PixelPtr()[1] = 0xAABBCCDD;
  std::ostringstream Out;
  A.WritePixelData(Out);
  EXPECT_EQ(Out.str(), Le32(2) + Le32(1) + "\x44\x33\x22\x11\xDD\xCC\xBB\xAA");

  std::istringstream In(Out.str());
  TBitmap32 B;
  B.ReadPixelData(In);
  ASSERT_EQ(B.Width(), 2);
  ASSERT_EQ(B.Height(), 1);
  EXPECT_EQ(B.PixelPtr()[0], 0x11223344u);
  EXPECT_EQ(B.PixelPtr()[1], 0xAABBCCDDu);

  // An empty surface stores its sizes only.
  TBitmap32 Empty;
  Empty.SetDimensions(0, 5);
  std::ostringstream EmptyOut;
  Empty.WritePixelData(EmptyOut);
  EXPECT_EQ(EmptyOut.str(), Le32(0) + Le32(5));
}

TEST(SurfacePixelData, A48By48ImageConsumesExactly9224Bytes) {
  std::string Data = Le32(48) + Le32(48);
  for (int i = 0; i < 48 * 48; ++i) Data += Le32(0xFF000000u | static_cast<uint32_t>(i));
  Data += "trailing";
  std::istringstream In(Data);
  TBitmap32 B;
  Events E;
  E.Attach(B);
  B.ReadPixelData(In);
  EXPECT_EQ(In.tellg(), 9224);
  EXPECT_EQ(B.Width(), 48);
  EXPECT_EQ(B.Height(), 48);
  EXPECT_EQ(*B.PixelAddress(47, 47), 0xFF000000u + 48 * 48 - 1);
  EXPECT_EQ(E.Changes, 2);  // the resize, and the end of the read
}

TEST(SurfacePixelData, BadDataRaisesAndLeavesAnEmptySurface) {
  const std::string Pixel = Le32(0xFFFFFFFF);
  const std::vector<std::pair<const char*, std::string>> Cases = {
      {"nothing", ""},
      {"half a size", Le32(2)},
      {"negative width", Le32(0xFFFFFFFF) + Le32(1) + Pixel},
      {"negative height", Le32(1) + Le32(0x80000000) + Pixel},
      {"absurd size", Le32(0x7FFFFFFF) + Le32(0x7FFFFFFF) + Pixel},
      {"absurd width", Le32(0x40000000) + Le32(1) + Pixel},
      {"too many pixels", Le32(60000) + Le32(60000) + Pixel},
      {"a gigabyte promised, four bytes given", Le32(16384) + Le32(16384) + Pixel},
      {"truncated pixels", Le32(2) + Le32(2) + Pixel + Pixel + Pixel + "\x01\x02"},
  };
  for (const auto& [Name, Data] : Cases) {
    TBitmap32 B;
    B.SetDimensions(4, 4);
    Events E;
    E.Attach(B);
    std::istringstream In(Data);
    EXPECT_THROW(B.ReadPixelData(In), EBitmapError) << Name;
    EXPECT_TRUE(B.IsEmpty()) << Name;
    EXPECT_EQ(B.Width(), 0) << Name;
    EXPECT_EQ(B.Height(), 0) << Name;
    EXPECT_GE(E.Changes, 1) << Name;  // listeners learn that the picture is gone
  }
}

// --- Text ---------------------------------------------------------------------------------------

struct FakeTextEngine : ITextEngine {
  struct Call {
    int32_t X, Y;
    uint32_t Color;
    bool Clipped;
    TRect Clip;
    std::string Text;
  };
  std::vector<Call> Draws;
  int Measures = 0;

  TTextExtent Measure(const TTextFont&, std::string_view Text) override {
    ++Measures;
    return {static_cast<int32_t>(6 * Text.size()), 13};
  }
  void Draw(const TTextTarget& Target, int32_t X, int32_t Y, const TTextFont&, uint32_t Color,
            const TRect* Clip, std::string_view Text) override {
    Draws.push_back({X, Y, Color, Clip != nullptr, Clip ? *Clip : TRect{}, std::string(Text)});
    if (X >= 0 && Y >= 0 && X < Target.Width && Y < Target.Height) Target.Pixels[Y * Target.Width + X] = 0xFFFFFFFF;
  }
};

class SurfaceText : public ::testing::Test {
 protected:
  void SetUp() override { SetTextEngine(&Engine); }
  void TearDown() override { SetTextEngine(nullptr); }
  FakeTextEngine Engine;
};

TEST_F(SurfaceText, DrawTextDrawsAtTheReferencePointAndReportsItsCell) {
  TBitmap32 B;
  B.SetDimensions(64, 32);
  B.TextFont().SetColor(static_cast<int32_t>(ToGdiColor(0xFF102030)));
  Events E;
  E.Attach(B);
  B.DrawText(10, 10, "1234");
  ASSERT_EQ(Engine.Draws.size(), 1u);
  EXPECT_EQ(Engine.Draws[0].X, 10);
  EXPECT_EQ(Engine.Draws[0].Y, 10);
  EXPECT_EQ(Engine.Draws[0].Text, "1234");
  EXPECT_EQ(Engine.Draws[0].Color, 0x00302010u);
  EXPECT_FALSE(Engine.Draws[0].Clipped);
  EXPECT_EQ(*B.PixelAddress(10, 10), 0xFFFFFFFFu);
  // cx = 24, cy = 13: the area is (10, 10, 11 + cx, 11 + cy).
  ASSERT_EQ(E.Areas.size(), 1u);
  EXPECT_EQ(E.Areas[0].first, (TRect{10, 10, 35, 24}));
  EXPECT_EQ(E.Areas[0].second, AREAINFO_RECT);
  EXPECT_EQ(E.Changes, 1);
  EXPECT_EQ(B.MeasureText("12"), (TTextExtent{12, 13}));
}

TEST_F(SurfaceText, ClipIsPassedOnlyWhenTheSurfaceIsClipped) {
  TBitmap32 B;
  B.SetDimensions(64, 32);
  B.SetClipBounds({0, 0, 64, 32});
  B.DrawText(1, 1, "a");
  B.SetClipBounds({2, 3, 40, 20});
  B.DrawText(1, 1, "a");
  ASSERT_EQ(Engine.Draws.size(), 2u);
  EXPECT_FALSE(Engine.Draws[0].Clipped);
  EXPECT_TRUE(Engine.Draws[1].Clipped);
  EXPECT_EQ(Engine.Draws[1].Clip, (TRect{2, 3, 40, 20}));
}

TEST_F(SurfaceText, MeasuringAndEmptySurfacesDrawNothingButStillReport) {
  TBitmap32 B;
  B.SetDimensions(16, 16);
  std::vector<TRect> Measured;
  B.BeginMeasuring([&](TBitmap32*, const TRect& R, uint32_t) { Measured.push_back(R); });
  B.DrawText(-3, 2, "xy");
  B.EndMeasuring();
  EXPECT_TRUE(Engine.Draws.empty());
  ASSERT_EQ(Measured.size(), 1u);
  EXPECT_EQ(Measured[0], (TRect{-3, 2, 10, 16}));

  TBitmap32 Empty;
  Events E;
  E.Attach(Empty);
  Empty.DrawText(0, 0, "abc");
  EXPECT_TRUE(Engine.Draws.empty());
  EXPECT_EQ(Empty.MeasureText("abc"), (TTextExtent{18, 13}));
  ASSERT_EQ(E.Areas.size(), 1u);
  EXPECT_EQ(E.Areas[0].first, (TRect{0, 0, 19, 14}));
}

TEST(SurfaceTextWithoutEngine, MeasuresNothingAndDrawsNothing) {
  SetTextEngine(nullptr);
  TBitmap32 B;
  B.SetDimensions(4, 4);
  EXPECT_EQ(B.MeasureText("abc"), (TTextExtent{0, 0}));
  B.DrawText(1, 1, "abc");
  EXPECT_EQ(*B.PixelAddress(1, 1), 0u);
}

}  // namespace
}  // namespace quillet

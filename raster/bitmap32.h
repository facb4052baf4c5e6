// TBitmap32: the drawing surface. Width x Height TColor32 pixels in rows from the top, a half-open
// clip rectangle, drawing settings, batches and change notification, a lock and a text font.
//
// Drawing operations that take raw coordinates without "Clipped" in their name require their whole
// extent inside the surface; the clipped ones accept any coordinates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "raster/blend.h"
#include "raster/color.h"
#include "raster/damage_sink.h"
#include "raster/fixed.h"
#include "raster/notifiable.h"
#include "raster/resampler.h"
#include "raster/text_engine.h"

namespace quillet {

enum class TDrawMode : uint8_t { dmOpaque = 0, dmBlend = 1, dmCustom = 2, dmTransparent = 3 };
enum class TWrapMode : uint8_t { wmClamp = 0, wmRepeat = 1, wmMirror = 2 };

// Area information sent with NotifyAreaChanged.
constexpr uint32_t AREAINFO_RECT = 0x80000000;
constexpr uint32_t AREAINFO_LINE = 0x40000000;  // + the width in pixels
constexpr uint32_t AREAINFO_DRAWN_LINE = AREAINFO_LINE + 2;

// A resize that cannot be had, or stored pixel data that cannot be read.
class EBitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a surface's pixels live: the process heap unless a store is given. A window may hand out
// memory that its display server reads as well, so that showing a frame copies nothing here.
class TPixelStore {
 public:
  virtual ~TPixelStore() = default;
  // Bytes of zeroed memory, or null when none can be had.
  virtual void* Allocate(size_t Bytes) = 0;
  virtual void Release(void* Memory, size_t Bytes) = 0;
};

class TBitmap32;
using TAreaChangedEvent = std::function<void(TBitmap32* Sender, const TRect& Area, uint32_t Info)>;
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

class TBitmap32 : public TCustomMap {
 public:
  TBitmap32();
  ~TBitmap32() override;
  TBitmap32(const TBitmap32&) = delete;
  TBitmap32& operator=(const TBitmap32&) = delete;

  // --- Size and storage -------------------------------------------------------------------------
  bool IsEmpty() const override { return Pixels == nullptr || FWidth == 0 || FHeight == 0; }
  TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }
  void CopyPixelsTo(TBitmap32& Dst) const;
  void CopySurfaceSettingsTo(TBitmap32& Dst) const;
  // Used from the next resize on; null returns to the heap. The current store is kept alive
  // until the pixels it gave are released.
  void SetPixelStore(std::shared_ptr<TPixelStore> Store) { FPixelStore = std::move(Store); }

  // --- Pixels -----------------------------------------------------------------------------------
  TColor32* PixelAddress(int32_t X, int32_t Y) const {
    return Pixels + X + static_cast<intptr_t>(Y) * FWidth;
  }
  TColor32* RowAddress(int32_t Y) const { return Pixels + static_cast<intptr_t>(Y) * FWidth; }
  TColor32* PixelPtr() const { return Pixels; }
  void Erase() { Fill(clBlack32); }
  void Fill(TColor32 Color);

  // --- Clip rectangle ---------------------------------------------------------------------------
  void SetClipBounds(const TRect& R);
  void ResetClipBounds() { SetClipBounds(BoundsRect()); }
  const TRect& ClipBounds() const { return FClipBounds; }
  const TRect& ClipBoundsFixed() const { return FClipBoundsFixed; }
  const TRect& ClipBoundsSubpixel() const { return FClipBoundsSubpixel; }
  bool IsClipped() const { return FIsClipped; }

  // --- Settings ---------------------------------------------------------------------------------
  TDrawMode DrawMode() const { return FDrawMode; }
  void SetDrawMode(TDrawMode Value);
  TCombineMode CombineMode() const { return FCombineMode; }
  void SetCombineMode(TCombineMode Value);
  TWrapMode WrapMode() const { return FWrapMode; }
  void SetWrapMode(TWrapMode Value);
  uint32_t MasterAlpha() const { return FMasterAlpha; }
  void SetMasterAlpha(uint32_t Value);
  TColor32 OuterColor() const { return FOuterColor; }
  void SetOuterColor(TColor32 Value) { FOuterColor = Value; }
  TColor32 LineColor() const { return FLineColor; }
  void SetLineColor(TColor32 Value) { FLineColor = Value; }
  float PatternStep() const { return FPatternStep; }
  void SetPatternStep(float Value) { FPatternStep = Value; }

  TCustomResampler* Resampler() const { return FResampler.get(); }
  // Takes ownership. Null and the current object are ignored.
  void SetResampler(TCustomResampler* Value);
  std::string ResamplerClassName() const;
  void SetResamplerClassName(const std::string& Name);

  // --- Notification -----------------------------------------------------------------------------
  void NotifyChanged() override;
  virtual void NotifyAreaChanged(const TRect& Area, uint32_t Info);
  virtual void NotifyHandleChanged();
  void BeginMeasuring(TAreaChangedEvent Handler);
  void EndMeasuring();
  bool MeasureOnly() const { return FMeasureOnly; }

  TAreaChangedEvent OnAreaChanged;
  TNotifyEvent OnHandleChanged;
  TPixelCombineEvent OnPixelCombine;

  // --- Damage (damage_sink.h) -------------------------------------------------------------------
  // The sink that hears which pixels change, or null; not owned. A new sink hears the size at once.
  void SetDamageSink(IDamageSink* Sink);
  IDamageSink* DamageSink() const { return FDamageSink; }
  // For code that writes pixels itself: Area, clipped to the surface.
  void ReportDamage(const TRect& Area) {
    if (FDamageSink) ReportDamageInside(Area);
  }

  // --- Stored pixel data ------------------------------------------------------------------------
  // Width and Height as signed 32-bit little-endian, then Width x Height pixels of 4 bytes each.
  // Bad data raises EBitmapError and leaves the surface empty.
  void ReadPixelData(std::istream& Stream);
  void WritePixelData(std::ostream& Stream) const;

  // --- Text -------------------------------------------------------------------------------------
  TTextFont& TextFont() { return FTextFont; }
  const TTextFont& TextFont() const { return FTextFont; }
  void DrawText(int32_t X, int32_t Y, std::string_view Text);
  TTextExtent MeasureText(std::string_view Text);
  void SelectTextFont();
  void DeselectTextFont();

  // --- Single pixels and the 2 x 2 dot ----------------------------------------------------------
  void PutPixelClipped(int32_t X, int32_t Y, TColor32 Value);
  void BlendPixelClipped(int32_t X, int32_t Y, TColor32 Value);
  void BlendSubpixel(int32_t X, int32_t Y, TColor32 Value);          // 24.8
  void BlendSubpixelClipped(int32_t X, int32_t Y, TColor32 Value);   // 24.8
  void BlendSubpixelFixed(TFixed X, TFixed Y, TColor32 Value);

  // --- Spans (inclusive end points) -------------------------------------------------------------
  void HorzSpan(int32_t X1, int32_t Y, int32_t X2, TColor32 Value);
  void HorzSpanClipped(int32_t X1, int32_t Y, int32_t X2, TColor32 Value);
  void HorzSpanBlend(int32_t X1, int32_t Y, int32_t X2, TColor32 Value);
  void HorzSpanBlendClipped(int32_t X1, int32_t Y, int32_t X2, TColor32 Value);
  void VertSpan(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value);
  void VertSpanClipped(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value);
  void VertSpanBlend(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value);
  void VertSpanBlendClipped(int32_t X, int32_t Y1, int32_t Y2, TColor32 Value);

  // --- Rectangles (half-open) -------------------------------------------------------------------
  void PaintRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value);
  void PaintRectClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value);
  void BlendRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value);
  void BlendRectClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value);

  // --- Lines (the end point is drawn only when L) -----------------------------------------------
  void DrawLineClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L);
  void DrawLineBlendClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L);
  void DrawLineAAClipped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L);
  void DrawLineFixed(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L);
  void DrawLineFixedClipped(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L);

  // --- Pen position -----------------------------------------------------------------------------
  void SetPenPos(int32_t X, int32_t Y) { PenPos = {X, Y}; }
  void LineToClipped(int32_t X, int32_t Y);
  void LineToBlendClipped(int32_t X, int32_t Y);
  void SetPenPosFixed(TFixed X, TFixed Y) { PenPosFixed = {X, Y}; }
  void LineToFixedClipped(TFixed X, TFixed Y);

  TPoint PenPos;
  TFixedPoint PenPosFixed;

 protected:
  void ResizeStorage(int32_t& W, int32_t& H, int32_t NewW, int32_t NewH) override;

 private:
  void FreeStore();
  void ReportDamageInside(const TRect& Area);
  // Horizontal and vertical lines as clipped spans (blended or opaque), without the end point
  // unless L; false, drawing nothing, for any other line.
  bool DrawAxisAlignedLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L, bool Blend);

  TColor32* Pixels = nullptr;
  std::shared_ptr<TPixelStore> FPixelStore;
  std::shared_ptr<TPixelStore> FPixelsFrom;  // the store that gave Pixels; null for the heap
  size_t FPixelsBytes = 0;
  TRect FClipBounds;
  TRect FClipBoundsFixed;
  TRect FClipBoundsSubpixel;
  bool FIsClipped = false;
  TDrawMode FDrawMode = TDrawMode::dmOpaque;
  TCombineMode FCombineMode = TCombineMode::cmBlend;
  TWrapMode FWrapMode = TWrapMode::wmClamp;
  TTextFont FTextFont;
  bool FFontSelected = false;
  uint32_t FMasterAlpha = 255;
  TColor32 FOuterColor = 0;
  TColor32 FLineColor = clWhite32;
  float FPatternStep = 1.0f;
  TAreaChangedEvent FSavedAreaHandler;
  bool FMeasureOnly = false;
  IDamageSink* FDamageSink = nullptr;
  std::unique_ptr<TCustomResampler> FResampler;
};

}  // namespace quillet

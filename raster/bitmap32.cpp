// The surface's life cycle: construction, storage, clipping, settings and change notification.
#include "raster/bitmap32.h"

#include <algorithm>
#include <cstdlib>

namespace quillet {

TBitmap32::TBitmap32() {
  FTextFont.OnChange = [this] { DeselectTextFont(); };
  // Installs itself through SetResampler.
  (*FindResamplerClass("TNearestResampler"))(this);
}

TBitmap32::~TBitmap32() {
  // Gone, it has nothing more to show: the sink, which may be gone first, hears nothing of it.
  FDamageSink = nullptr;
  BeginBatch();
  AcquireLock();
  // Sized down like any resize: inside the batch only the handle and resize events get through.
  SetDimensions(0, 0);
  FTextFont.OnChange = nullptr;
  FResampler.reset();
  ReleaseLock();
}

void TBitmap32::FreeStore() {
  if (FPixelsFrom)
    FPixelsFrom->Release(Pixels, FPixelsBytes);
  else
    std::free(Pixels);
  Pixels = nullptr;
  FPixelsFrom.reset();
  FPixelsBytes = 0;
}

namespace {

// The largest store handed out: 2 GiB. Beyond it the size is taken as unobtainable rather than
// passed to the allocator.
constexpr size_t MaxStoreBytes = size_t{1} << 31;

}  // namespace

void TBitmap32::ResizeStorage(int32_t& W, int32_t& H, int32_t NewW, int32_t NewH) {
  DeselectTextFont();
  FreeStore();
  W = 0;
  H = 0;
  if (NewW > 0 && NewH > 0) {
    const uint64_t Bytes = uint64_t{static_cast<uint32_t>(NewW)} * static_cast<uint32_t>(NewH) * sizeof(TColor32);
    // A new store starts with every pixel 0.
    if (Bytes <= MaxStoreBytes) {
      const auto Size = static_cast<size_t>(Bytes);
      Pixels = static_cast<TColor32*>(FPixelStore ? FPixelStore->Allocate(Size) : std::calloc(Size, 1));
      if (Pixels && FPixelStore) {
        FPixelsFrom = FPixelStore;
        FPixelsBytes = Size;
      }
    }
    if (!Pixels) {
      ResetClipBounds();
      NotifyHandleChanged();
      if (FDamageSink) FDamageSink->Reset(0, 0);
      throw EBitmapError("Can't allocate the DIB handle");
    }
  }
  W = NewW;
  H = NewH;
  ResetClipBounds();
  NotifyHandleChanged();
  if (FDamageSink) FDamageSink->Reset(W, H);
}

void TBitmap32::CopyPixelsTo(TBitmap32& Dst) const {
  if (&Dst == this) return;
  Dst.SetDimensions(FWidth, FHeight);
  if (IsEmpty() || Dst.IsEmpty()) return;
  std::copy_n(Pixels, static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), Dst.Pixels);
  Dst.ReportDamage(Dst.BoundsRect());
}

void TBitmap32::CopySurfaceSettingsTo(TBitmap32& Dst) const {
  Dst.SetDrawMode(FDrawMode);
  Dst.SetCombineMode(FCombineMode);
  Dst.SetWrapMode(FWrapMode);
  Dst.SetMasterAlpha(FMasterAlpha);
  Dst.SetOuterColor(FOuterColor);
  Dst.SetResamplerClassName(ResamplerClassName());
  if (FResampler && Dst.FResampler) FResampler->CopySettingsTo(*Dst.FResampler);
  Dst.FTextFont.SetName(FTextFont.Name());
  Dst.FTextFont.SetSize(FTextFont.Size());
  Dst.FTextFont.SetColor(FTextFont.Color());
}

void TBitmap32::Fill(TColor32 Color) {
  if (IsEmpty()) return;
  if (!FMeasureOnly) {
    if (FIsClipped) {
      PaintRect(FClipBounds.Left, FClipBounds.Top, FClipBounds.Right, FClipBounds.Bottom, Color);
    } else {
      // The rows lie end to end: one run, in pieces, as the whole store may hold more pixels than
      // one 32-bit count (and each row's start and end would cost a store each).
      constexpr int64_t Piece = int64_t{1} << 30;
      const int64_t Total = int64_t{FWidth} * FHeight;
      for (int64_t Done = 0; Done < Total; Done += Piece)
        FillPixels(Pixels + Done, static_cast<int32_t>(std::min(Total - Done, Piece)), Color);
      if (FDamageSink) FDamageSink->Filled(Color);
    }
  }
  NotifyChanged();
}

void TBitmap32::SetClipBounds(const TRect& R) {
  TRect Clip{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, FWidth),
             std::min(R.Bottom, FHeight)};
  if (Clip.Right < Clip.Left || Clip.Bottom < Clip.Top) Clip = {};
  FClipBounds = Clip;
  const auto Shifted = [](const TRect& Rect, int Bits) {
    const auto S = [Bits](int32_t V) { return static_cast<int32_t>(static_cast<uint32_t>(V) << Bits); };
    return TRect{S(Rect.Left), S(Rect.Top), S(Rect.Right), S(Rect.Bottom)};
  };
  FClipBoundsFixed = Shifted(Clip, 16);
  FClipBoundsSubpixel = Shifted(Clip, 8);
  FIsClipped = !(Clip == BoundsRect());
}

void TBitmap32::SetDrawMode(TDrawMode Value) {
  if (Value == FDrawMode) return;
  FDrawMode = Value;
  NotifyChanged();
}

void TBitmap32::SetCombineMode(TCombineMode Value) {
  if (Value == FCombineMode) return;
  FCombineMode = Value;
  NotifyChanged();
}

void TBitmap32::SetWrapMode(TWrapMode Value) {
  if (Value == FWrapMode) return;
  FWrapMode = Value;
  NotifyChanged();
}

void TBitmap32::SetMasterAlpha(uint32_t Value) {
  if (Value == FMasterAlpha) return;
  FMasterAlpha = Value;
  NotifyChanged();
}

void TBitmap32::SetResampler(TCustomResampler* Value) {
  if (Value == nullptr || Value == FResampler.get()) return;
  FResampler.reset(Value);
  NotifyChanged();
}

std::string TBitmap32::ResamplerClassName() const {
  return FResampler ? FResampler->ClassName() : std::string();
}

void TBitmap32::SetResamplerClassName(const std::string& Name) {
  if (Name.empty() || Name == ResamplerClassName()) return;
  if (const TResamplerFactory* Factory = FindResamplerClass(Name)) (*Factory)(this);
}

void TBitmap32::NotifyChanged() {
  if ((UpdateCount == 0 || FMeasureOnly) && OnAreaChanged) OnAreaChanged(this, BoundsRect(), AREAINFO_RECT);
  if (!FMeasureOnly) TNotifiablePersistent::NotifyChanged();
}

void TBitmap32::NotifyAreaChanged(const TRect& Area, uint32_t Info) {
  if ((UpdateCount == 0 || FMeasureOnly) && OnAreaChanged) OnAreaChanged(this, Area, Info);
  if (!FMeasureOnly) TNotifiablePersistent::NotifyChanged();
}

void TBitmap32::NotifyHandleChanged() {
  if (OnHandleChanged) OnHandleChanged(this);
}

void TBitmap32::BeginMeasuring(TAreaChangedEvent Handler) {
  FMeasureOnly = true;
  FSavedAreaHandler = std::move(OnAreaChanged);
  OnAreaChanged = std::move(Handler);
}

void TBitmap32::EndMeasuring() {
  FMeasureOnly = false;
  OnAreaChanged = std::move(FSavedAreaHandler);
  FSavedAreaHandler = nullptr;
}

}  // namespace quillet

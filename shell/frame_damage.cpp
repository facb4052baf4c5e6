// Gathering the surface's damage: rectangles as they come, rows cut into tight bands.
#include "shell/frame_damage.h"

#include <algorithm>

namespace quillet {

void TFrameDamage::Add(const TRect& Area) {
  const bool WasEmpty = FAreas.Empty();
  FAreas.Add(Area);
  if (WasEmpty && !FAreas.Empty() && OnPending) OnPending();
}

void TFrameDamage::Damaged(const TRect& Area) { Add(Area); }

void TFrameDamage::DamagedRows(int32_t Top, const TRowSpan* Spans, int32_t Count) {
  TRect Band{};
  int64_t Changed = 0;  // pixels of the band's spans
  const auto Flush = [&] {
    if (Band.Left < Band.Right) Add(Band);
    Band = {};
    Changed = 0;
  };
  for (int32_t I = 0; I < Count; ++I) {
    const TRowSpan& S = Spans[I];
    if (S.Left >= S.Right) {
      Flush();
      continue;
    }
    const int32_t Y = Top + I;
    const int64_t Width = int64_t{S.Right} - S.Left;
    if (Band.Left < Band.Right) {
      const int64_t Left = std::min(Band.Left, S.Left), Right = std::max(Band.Right, S.Right);
      const int64_t Merged = (Right - Left) * (int64_t{Y} + 1 - Band.Top);
      const int64_t Inside = Changed + Width;
      if (Merged - Inside <= Inside * BandWastePercent / 100 + BandSlack) {
        Band = {static_cast<int32_t>(Left), Band.Top, static_cast<int32_t>(Right), Y + 1};
        Changed = Inside;
        continue;
      }
      Flush();
    }
    Band = {S.Left, Y, S.Right, Y + 1};
    Changed = Width;
  }
  Flush();
}

void TFrameDamage::Filled(TColor32 Color) {
  if (Color == clBlack32) {
    const bool WasEmpty = FAreas.Empty();
    FAreas.Erased();
    if (WasEmpty && !FAreas.Empty() && OnPending) OnPending();
    return;
  }
  Add(FAreas.Changed().Bounds());
}

void TFrameDamage::Reset(int32_t Width, int32_t Height) {
  const bool WasEmpty = FAreas.Empty();
  FAreas.SetBounds(Width, Height);
  FAreas.Add(FAreas.Changed().Bounds());
  if (WasEmpty && !FAreas.Empty() && OnPending) OnPending();
}

}  // namespace quillet

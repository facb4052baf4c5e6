// The screen's damage: what the surface's drawing reports it changed, gathered and merged until a
// frame goes out. The surface holds it as its damage sink; the presenter reads it and clears it.
// A fill with opaque black is a wipe: the frame then fills black what the screen showed since the
// last wipe rather than copying the page. Rows of thin shapes are cut into tight bands first, so
// that a line's report does not become its whole bounding box.
#pragma once

#include <cstdint>
#include <functional>

#include "raster/damage_sink.h"
#include "shell/frame_areas.h"

namespace quillet {

class TFrameDamage final : public IDamageSink {
 public:
  // Bands of rows merge while the unchanged pixels they add stay within this share of the changed
  // ones (plus BandSlack): copying a few more pixels costs less than a request of its own.
  static constexpr int64_t BandWastePercent = 25;
  static constexpr int64_t BandSlack = 64;

  // IDamageSink.
  void Damaged(const TRect& Area) override;
  void DamagedRows(int32_t Top, const TRowSpan* Spans, int32_t Count) override;
  void Filled(TColor32 Color) override;
  void Reset(int32_t Width, int32_t Height) override;

  const TFrameAreas& Areas() const { return FAreas; }
  bool Empty() const { return FAreas.Empty(); }
  // The frame has gone on screen.
  void FrameShown() { FAreas.FrameShown(); }

  // Called when damage arrives while none is pending; set by whoever shows the frames.
  std::function<void()> OnPending;

 private:
  void Add(const TRect& Area);

  TFrameAreas FAreas;
};

}  // namespace quillet

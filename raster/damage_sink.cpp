// The surface's damage reports: the sink it holds, and rows gathered before they go there.
#include "raster/damage_sink.h"

#include <algorithm>

#include "raster/bitmap32.h"
#include "raster/detail/line_damage.h"

namespace quillet {

void TDamageRows::Start(const TRect& Limit, int64_t FirstRow, int64_t LastRow) {
  FLimit = Limit;
  FFirst = std::max<int64_t>(FirstRow, Limit.Top);
  FLast = std::min<int64_t>(LastRow, int64_t{Limit.Bottom} - 1);
  FAny = false;
  if (FLimit.Left >= FLimit.Right) FLast = FFirst - 1;
  // An empty span, which the first pixel of its row replaces.
  FRows.assign(FLast >= FFirst ? static_cast<size_t>(FLast - FFirst + 1) : 0, {FLimit.Right, FLimit.Left});
}

void TDamageRows::Report(TBitmap32& Surface) const {
  IDamageSink* Sink = Surface.DamageSink();
  if (!Sink || !FAny) return;
  size_t First = 0;
  size_t Last = FRows.size();
  while (FRows[First].Left >= FRows[First].Right) ++First;
  while (FRows[Last - 1].Left >= FRows[Last - 1].Right) --Last;
  Sink->DamagedRows(static_cast<int32_t>(FFirst + static_cast<int64_t>(First)), FRows.data() + First,
                    static_cast<int32_t>(Last - First));
}

TDamageRows& ScratchDamageRows() {
  thread_local TDamageRows Rows;
  return Rows;
}

void TBitmap32::SetDamageSink(IDamageSink* Sink) {
  FDamageSink = Sink;
  if (Sink) Sink->Reset(FWidth, FHeight);
}

void TBitmap32::ReportDamageInside(const TRect& Area) {
  const TRect R{std::max(Area.Left, 0), std::max(Area.Top, 0), std::min(Area.Right, FWidth),
                std::min(Area.Bottom, FHeight)};
  if (R.Left < R.Right && R.Top < R.Bottom) FDamageSink->Damaged(R);
}

}  // namespace quillet

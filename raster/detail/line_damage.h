// What the line walks report to the surface's damage sink: the rows their own steps wrote. The
// integer walks take their steps once more without pixels after drawing; the dot walk notes each
// dot as it stamps it. The rows gather in one scratch per thread.
#pragma once

#include <cstdint>

#include "raster/damage_sink.h"
#include "raster/detail/line_setup.h"

namespace quillet {

// The calling thread's rows, for lines and fills; each user starts and reports them before
// another operation runs.
TDamageRows& ScratchDamageRows();

// The surface position of a point in a line's walk coordinates.
struct TSurfacePoint {
  int64_t X, Y;
};
inline TSurfacePoint FrameToSurface(const TLineFrame& F, int64_t X, int64_t Y) {
  return F.Swapped ? TSurfacePoint{F.Yd * Y, F.Xd * X} : TSurfacePoint{F.Xd * X, F.Yd * Y};
}

// Starts Rows for the surface rows between two points of a walk.
inline void StartLineRows(TDamageRows& Rows, const TRect& Clip, const TLineFrame& F, int64_t X1, int64_t Y1,
                          int64_t X2, int64_t Y2) {
  const int64_t A = FrameToSurface(F, X1, Y1).Y, B = FrameToSurface(F, X2, Y2).Y;
  Rows.Start(Clip, A < B ? A : B, A < B ? B : A);
}

// Runs a report however a drawing returns.
template <class TReport>
class TReportOnExit {
 public:
  explicit TReportOnExit(TReport Report) : FReport(Report) {}
  ~TReportOnExit() { FReport(); }
  TReportOnExit(const TReportOnExit&) = delete;
  TReportOnExit& operator=(const TReportOnExit&) = delete;

 private:
  TReport FReport;
};

}  // namespace quillet

// Chart layout: a title and legend, then per workload its name and three horizontal bars (cairo,
// AGG, Quillet) with their rates; a tick across Quillet's bar marks the target, green when met.
#include "peer_chart.h"

#include <algorithm>
#include <cmath>

#include "demo/stroke_font.h"
#include "tools/png_file.h"

namespace quillet::peer {

namespace {

constexpr int32_t ChartWidth = 1280;
constexpr int32_t Margin = 24;
constexpr int32_t HeaderHeight = 96;
constexpr int32_t BarHeight = 14;
constexpr int32_t BarGap = 5;
constexpr int32_t RowHeight = 3 * (BarHeight + BarGap) + 22;
constexpr int32_t LabelWidth = 360;
constexpr int32_t ValueWidth = 290;
constexpr double TextHeight = 11;

constexpr TColor32 Background = 0xFF15181C;
constexpr TColor32 TextColor = 0xFFE6E6E6;
constexpr TColor32 DimText = 0xFF9AA0A8;
constexpr TColor32 MetColor = 0xFF50E070;
constexpr TColor32 MissedColor = 0xFFFF4848;
constexpr std::array<TColor32, EngineCount> BarColors{0xFFE09A30, 0xFF4A8FE0, 0xFF7CD050};

void Legend(TBitmap32& B, int32_t Y) {
  double X = Margin;
  for (int E = 0; E < EngineCount; ++E) {
    B.PaintRectClipped(static_cast<int32_t>(X), Y, static_cast<int32_t>(X) + 14, Y + 14, BarColors[E]);
    DrawStrokeText(B, X + 22, Y + 1.5, TextHeight, EngineNames[E], TextColor);
    X += 22 + StrokeTextWidth(TextHeight, EngineNames[E]) + 30;
  }
  B.PaintRectClipped(static_cast<int32_t>(X), Y - 3, static_cast<int32_t>(X) + 3, Y + 17, MetColor);
  DrawStrokeText(B, X + 12, Y + 1.5, TextHeight, "target met", TextColor);
  X += 12 + StrokeTextWidth(TextHeight, "target met") + 30;
  B.PaintRectClipped(static_cast<int32_t>(X), Y - 3, static_cast<int32_t>(X) + 3, Y + 17, MissedColor);
  DrawStrokeText(B, X + 12, Y + 1.5, TextHeight, "target missed", TextColor);
}

void Row(TBitmap32& B, const TRowResult& R, int32_t Top) {
  const TWorkload& W = *R.Workload;
  DrawStrokeText(B, Margin, Top + BarHeight + BarGap + 2, TextHeight, W.Name, TextColor);
  DrawStrokeText(B, Margin, Top + 2 * (BarHeight + BarGap) + 4, TextHeight * 0.8, "target " + TargetText(W),
                 DimText);

  const double Required = R.Required();
  const double Largest = std::max(*std::max_element(R.Rates.begin(), R.Rates.end()), Required);
  const int32_t BarLeft = Margin + LabelWidth;
  const double BarSpan = ChartWidth - Margin - ValueWidth - BarLeft;
  const auto Length = [&](double Rate) {
    return Largest > 0 ? static_cast<int32_t>(std::lround(Rate / Largest * BarSpan)) : 0;
  };
  for (int E = 0; E < EngineCount; ++E) {
    const int32_t Y = Top + E * (BarHeight + BarGap);
    const int32_t Right = BarLeft + std::max(Length(R.Rates[E]), 1);
    B.PaintRectClipped(BarLeft, Y, Right, Y + BarHeight, BarColors[E]);
    std::string Value = FormatRate(R.Rates[E], W);
    if (E == Quillet && R.FastestPeer() > 0) {
      char Buffer[32];
      std::snprintf(Buffer, sizeof Buffer, "  %.2fx fastest peer", R.Rates[E] / R.FastestPeer());
      Value += Buffer;
    }
    DrawStrokeText(B, Right + 8, Y + 1.5, TextHeight, Value, TextColor);
  }
  const int32_t Tick = BarLeft + Length(Required);
  const int32_t QuilletTop = Top + Quillet * (BarHeight + BarGap);
  B.PaintRectClipped(Tick - 1, QuilletTop - 4, Tick + 2, QuilletTop + BarHeight + 4,
                     R.Met() ? MetColor : MissedColor);
}

}  // namespace

bool WritePeerChart(const std::vector<TRowResult>& Rows, int Runs, const std::string& Path, std::string& Error) {
  TBitmap32 B;
  B.SetDimensions(ChartWidth, HeaderHeight + static_cast<int32_t>(Rows.size()) * RowHeight + Margin);
  B.Fill(Background);
  const std::string Title = "Quillet, cairo and AGG on a " + std::to_string(SurfaceWidth) + " x " +
                            std::to_string(SurfaceHeight) + " surface: operations per second, best of " +
                            std::to_string(Runs);
  DrawStrokeText(B, Margin, Margin, 15, Title, TextColor);
  Legend(B, Margin + 36);
  for (size_t I = 0; I < Rows.size(); ++I)
    Row(B, Rows[I], HeaderHeight + static_cast<int32_t>(I) * RowHeight);
  return WritePng(B, Path, TPngAlpha::Opaque, Error);
}

}  // namespace quillet::peer

// Chart layout: a title and legend, then per workload its name and one horizontal bar per peer,
// Quillet and the store limit, with their rates; a tick across Quillet's bar marks the target,
// green when met.
#include "peer_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "demo/stroke_font.h"
#include "tools/png_file.h"

namespace quillet::peer {

namespace {

constexpr int32_t ChartWidth = 1280;
constexpr int32_t Margin = 24;
constexpr int32_t HeaderHeight = 96;
constexpr int32_t BarHeight = 14;
constexpr int32_t BarGap = 5;
constexpr int32_t LabelWidth = 360;
constexpr int32_t ValueWidth = 290;
constexpr double TextHeight = 11;

constexpr TColor32 Background = 0xFF15181C;
constexpr TColor32 TextColor = 0xFFE6E6E6;
constexpr TColor32 DimText = 0xFF9AA0A8;
constexpr TColor32 MetColor = 0xFF50E070;
constexpr TColor32 MissedColor = 0xFFFF4848;
constexpr TColor32 PeerColors[] = {0xFFE09A30, 0xFF4A8FE0, 0xFFB070E0, 0xFFE0D040};
constexpr TColor32 QuilletColor = 0xFF7CD050;
constexpr TColor32 LimitColor = 0xFF808890;

// One bar of a row: a peer, Quillet, or the limit (the best of the limit columns).
struct TBar {
  std::string Name;
  TRole Role;
  TColor32 Color;
  size_t Column;  // for peers and Quillet
};

std::vector<TBar> Bars(const std::vector<TColumn>& Columns) {
  std::vector<TBar> B;
  size_t Peer = 0;
  for (size_t C = 0; C < Columns.size(); ++C)
    if (Columns[C].Role == TRole::Peer)
      B.push_back({Columns[C].Name, TRole::Peer, PeerColors[Peer++ % std::size(PeerColors)], C});
  for (size_t C = 0; C < Columns.size(); ++C)
    if (Columns[C].Role == TRole::Quillet) B.push_back({Columns[C].Name, TRole::Quillet, QuilletColor, C});
  if (std::any_of(Columns.begin(), Columns.end(), [](const TColumn& C) { return C.Role == TRole::Limit; }))
    B.push_back({"store limit", TRole::Limit, LimitColor, 0});
  return B;
}

int32_t RowHeight(size_t BarCount) { return static_cast<int32_t>(BarCount) * (BarHeight + BarGap) + 22; }

void Legend(TBitmap32& B, const std::vector<TBar>& Bars, int32_t Y) {
  double X = Margin;
  for (const TBar& Bar : Bars) {
    B.PaintRectClipped(static_cast<int32_t>(X), Y, static_cast<int32_t>(X) + 14, Y + 14, Bar.Color);
    DrawStrokeText(B, X + 22, Y + 1.5, TextHeight, Bar.Name, TextColor);
    X += 22 + StrokeTextWidth(TextHeight, Bar.Name) + 30;
  }
  B.PaintRectClipped(static_cast<int32_t>(X), Y - 3, static_cast<int32_t>(X) + 3, Y + 17, MetColor);
  DrawStrokeText(B, X + 12, Y + 1.5, TextHeight, "target met", TextColor);
  X += 12 + StrokeTextWidth(TextHeight, "target met") + 30;
  B.PaintRectClipped(static_cast<int32_t>(X), Y - 3, static_cast<int32_t>(X) + 3, Y + 17, MissedColor);
  DrawStrokeText(B, X + 12, Y + 1.5, TextHeight, "target missed", TextColor);
}

void Row(TBitmap32& B, const std::vector<TColumn>& Columns, const std::vector<TBar>& Bars, const TRowResult& R,
         int32_t Top) {
  const TWorkload& W = *R.Workload;
  DrawStrokeText(B, Margin, Top + BarHeight + BarGap + 2, TextHeight, W.Name, TextColor);
  DrawStrokeText(B, Margin, Top + 2 * (BarHeight + BarGap) + 4, TextHeight * 0.8, "target " + TargetText(W),
                 DimText);

  const auto Rate = [&](const TBar& Bar) { return Bar.Role == TRole::Limit ? R.Limit(Columns) : R.Rates[Bar.Column]; };
  const double Required = R.Required(Columns);
  double Largest = Required;
  for (const TBar& Bar : Bars) Largest = std::max(Largest, Rate(Bar));
  const int32_t BarLeft = Margin + LabelWidth;
  const double BarSpan = ChartWidth - Margin - ValueWidth - BarLeft;
  const auto Length = [&](double V) {
    return Largest > 0 ? static_cast<int32_t>(std::lround(V / Largest * BarSpan)) : 0;
  };
  const double Quillet = R.Quillet(Columns);
  int32_t QuilletTop = Top;
  for (size_t I = 0; I < Bars.size(); ++I) {
    const TBar& Bar = Bars[I];
    const int32_t Y = Top + static_cast<int32_t>(I) * (BarHeight + BarGap);
    const double V = Rate(Bar);
    const int32_t Right = BarLeft + std::max(Length(V), 1);
    B.PaintRectClipped(BarLeft, Y, Right, Y + BarHeight, Bar.Color);
    std::string Value = FormatRate(V, W);
    char Buffer[48];
    if (Bar.Role == TRole::Quillet && R.FastestPeer(Columns) > 0) {
      std::snprintf(Buffer, sizeof Buffer, "  %.2fx fastest peer", Quillet / R.FastestPeer(Columns));
      Value += Buffer;
      QuilletTop = Y;
    } else if (Bar.Role == TRole::Limit && V > 0) {
      std::snprintf(Buffer, sizeof Buffer, "  Quillet at %.2f of it", Quillet / V);
      Value += Buffer;
    }
    DrawStrokeText(B, Right + 8, Y + 1.5, TextHeight, Value, TextColor);
  }
  const int32_t Tick = BarLeft + Length(Required);
  B.PaintRectClipped(Tick - 1, QuilletTop - 4, Tick + 2, QuilletTop + BarHeight + 4,
                     R.Met(Columns) ? MetColor : MissedColor);
}

}  // namespace

bool WritePeerChart(const std::vector<TColumn>& Columns, const std::vector<TRowResult>& Rows, int Runs,
                    const std::string& Path, std::string& Error) {
  const std::vector<TBar> AllBars = Bars(Columns);
  const int32_t Height = RowHeight(AllBars.size());
  TBitmap32 B;
  B.SetDimensions(ChartWidth, HeaderHeight + static_cast<int32_t>(Rows.size()) * Height + Margin);
  B.Fill(Background);
  std::string Names;
  for (const TBar& Bar : AllBars)
    if (Bar.Role == TRole::Peer) Names += ", " + Bar.Name;
  const std::string Title = "Quillet" + Names + " on a " + std::to_string(SurfaceWidth) + " x " +
                            std::to_string(SurfaceHeight) + " surface: operations per second, best of " +
                            std::to_string(Runs);
  DrawStrokeText(B, Margin, Margin, 15, Title, TextColor);
  Legend(B, AllBars, Margin + 36);
  for (size_t I = 0; I < Rows.size(); ++I)
    Row(B, Columns, AllBars, Rows[I], HeaderHeight + static_cast<int32_t>(I) * Height);
  return WritePng(B, Path, TPngAlpha::Opaque, Error);
}

}  // namespace quillet::peer

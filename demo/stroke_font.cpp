// The glyphs live on a grid 4 units wide and 6 tall (y down); each is a list of polylines, and each
// stroke becomes a quad with square ends. All quads of a text run the same way round and are filled
// together at non-zero, so crossings and joins do not double the colour.
#include "demo/stroke_font.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "raster/polygon_fill.h"

namespace quillet {

namespace {

constexpr double GlyphUnits = 6;    // height of a capital in grid units
constexpr double AdvanceUnits = 6;  // glyph width 4 plus spacing

// Polylines of "x,y" points separated by spaces; polylines separated by "|".
const char* GlyphStrokes(char C) {
  switch (C) {
    case 'A': return "0,6 0,2 2,0 4,2 4,6|0,3.5 4,3.5";
    case 'B': return "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 4,1 4,2 3,3";
    case 'C': return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5";
    case 'D': return "0,0 3,0 4,1 4,5 3,6 0,6 0,0";
    case 'E': return "4,0 0,0 0,6 4,6|0,3 3,3";
    case 'F': return "4,0 0,0 0,6|0,3 3,3";
    case 'G': return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.5 2,3.5";
    case 'H': return "0,0 0,6|4,0 4,6|0,3 4,3";
    case 'I': return "1,0 3,0|2,0 2,6|1,6 3,6";
    case 'J': return "4,0 4,5 3,6 1,6 0,5";
    case 'K': return "0,0 0,6|4,0 0,4|1.3,3 4,6";
    case 'L': return "0,0 0,6 4,6";
    case 'M': return "0,6 0,0 2,3 4,0 4,6";
    case 'N': return "0,6 0,0 4,6 4,0";
    case 'O': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0";
    case 'P': return "0,6 0,0 3,0 4,1 4,2 3,3 0,3";
    case 'Q': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.5,4.5 4,6";
    case 'R': return "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6";
    case 'S': return "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5";
    case 'T': return "0,0 4,0|2,0 2,6";
    case 'U': return "0,0 0,5 1,6 3,6 4,5 4,0";
    case 'V': return "0,0 2,6 4,0";
    case 'W': return "0,0 1,6 2,2.5 3,6 4,0";
    case 'X': return "0,0 4,6|4,0 0,6";
    case 'Y': return "0,0 2,3 4,0|2,3 2,6";
    case 'Z': return "0,0 4,0 0,6 4,6";
    case '0': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|0.5,5 3.5,1";
    case '1': return "0.8,1.2 2,0 2,6|0.8,6 3.2,6";
    case '2': return "0,1 1,0 3,0 4,1 4,2 0,6 4,6";
    case '3': return "0,1 1,0 3,0 4,1 4,2 3,3 1.5,3|3,3 4,4 4,5 3,6 1,6 0,5";
    case '4': return "3,6 3,0 0,4 4,4";
    case '5': return "4,0 0,0 0,3 3,3 4,4 4,5 3,6 1,6 0,5";
    case '6': return "3.5,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3";
    case '7': return "0,0 4,0 1.5,6";
    case '8': return "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3";
    case '9': return "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 0.5,6";
    case '.': return "1.6,5.6 2.4,5.6 2.4,6 1.6,6 1.6,5.6";
    case ',': return "2.2,5.2 2.2,6 1.4,7";
    case ':': return "2,1.6 2,2.2|2,4.8 2,5.4";
    case '/': return "0.5,6 3.5,0";
    case '-': return "1,3 3,3";
    case '+': return "0.5,3 3.5,3|2,1.5 2,4.5";
    case '=': return "0.5,2 3.5,2|0.5,4 3.5,4";
    case '<': return "3.5,1 0.5,3 3.5,5";
    case '>': return "0.5,1 3.5,3 0.5,5";
    case '(': return "3,-0.5 1.6,1.2 1.6,4.8 3,6.5";
    case ')': return "1,-0.5 2.4,1.2 2.4,4.8 1,6.5";
    case '%': return "0,6 4,0|0.4,0.4 1.4,0.4 1.4,1.4 0.4,1.4 0.4,0.4|2.6,4.6 3.6,4.6 3.6,5.6 2.6,5.6 2.6,4.6";
    default: return "";
  }
}

constexpr double SmallCapScale = 0.72;   // lower-case letters are capitals this much smaller
constexpr double SmallCapAdvance = 0.85;

bool IsLower(char C) { return std::islower(static_cast<unsigned char>(C)) != 0; }

double AdvanceOf(char C, double Scale) { return AdvanceUnits * Scale * (IsLower(C) ? SmallCapAdvance : 1); }

struct TPen {
  double OriginX, OriginY, Scale, HalfWidth;
  TFixedPoint Point(double X, double Y) const {
    return {static_cast<TFixed>(std::lround((OriginX + X * Scale) * 65536)),
            static_cast<TFixed>(std::lround((OriginY + Y * Scale) * 65536))};
  }
};

// The quad of one stroke from (X1, Y1) to (X2, Y2) in grid units, extended by half the width
// at both ends so that strokes meet without notches.
void AddStroke(const TPen& Pen, double X1, double Y1, double X2, double Y2, TArrayOfArrayOfFixedPoint& Out) {
  const double Dx = (X2 - X1) * Pen.Scale, Dy = (Y2 - Y1) * Pen.Scale;
  const double Len = std::hypot(Dx, Dy);
  if (Len == 0) return;
  const double Ux = Dx / Len * Pen.HalfWidth, Uy = Dy / Len * Pen.HalfWidth;
  const double S = 1 / Pen.Scale;  // pixels back into grid units
  const auto At = [&](double X, double Y, double Along, double Across) {
    return Pen.Point(X + (Along * Ux - Across * Uy) * S, Y + (Along * Uy + Across * Ux) * S);
  };
  Out.push_back({At(X1, Y1, -1, 1), At(X2, Y2, 1, 1), At(X2, Y2, 1, -1), At(X1, Y1, -1, -1)});
}

void AddGlyph(const TPen& Pen, const char* Strokes, TArrayOfArrayOfFixedPoint& Out) {
  const char* P = Strokes;
  bool HavePrevious = false;
  double Px = 0, Py = 0;
  while (*P != '\0') {
    if (*P == '|') {
      HavePrevious = false;
      ++P;
      continue;
    }
    if (*P == ' ') {
      ++P;
      continue;
    }
    char* Next = nullptr;
    const double X = std::strtod(P, &Next);
    const double Y = std::strtod(Next + 1, &Next);  // skips the comma
    P = Next;
    if (HavePrevious) AddStroke(Pen, Px, Py, X, Y, Out);
    Px = X, Py = Y;
    HavePrevious = true;
  }
}

}  // namespace

void DrawStrokeText(TBitmap32& Surface, double X, double Y, double Height, std::string_view Text,
                    TColor32 Color) {
  const double Scale = Height / GlyphUnits;
  const double HalfWidth = std::max(0.6, Height / 14);
  double PenX = X;
  TArrayOfArrayOfFixedPoint Quads;
  for (char C : Text) {
    const char* Strokes = GlyphStrokes(static_cast<char>(std::toupper(static_cast<unsigned char>(C))));
    if (IsLower(C))
      AddGlyph({PenX, Y + Height * (1 - SmallCapScale), Scale * SmallCapScale, HalfWidth}, Strokes, Quads);
    else
      AddGlyph({PenX, Y, Scale, HalfWidth}, Strokes, Quads);
    PenX += AdvanceOf(C, Scale);
  }
  if (!Quads.empty()) FillPolyPolygonAA(Surface, Quads, Color, TPolyFillRule::NonZero, 2);
}

double StrokeTextWidth(double Height, std::string_view Text) {
  double Width = 0;
  for (char C : Text) Width += AdvanceOf(C, Height / GlyphUnits);
  return Width;
}

}  // namespace quillet

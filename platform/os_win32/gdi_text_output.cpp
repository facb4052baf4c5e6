// GDI text output. The surface owns its pixels, so GDI draws into a DIB section holding a copy of
// the rectangle under the text; the pixels the text changed are copied back as opaque pixels
// (GDI leaves the alpha byte of what it draws undefined).
#include "platform/os_win32/gdi_text_output.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/os_win32/wide_text.h"
#include "raster/color.h"
#include "raster/text_engine.h"

namespace quillet {

namespace {

constexpr int32_t DefaultPoints = 8;
constexpr int32_t FallbackDpi = 96;
// Text this far off the target cannot reach it; GDI's own coordinate space ends at 2^27.
constexpr int64_t FarAway = int64_t{1} << 24;

int32_t ScreenDpi() {
  const HDC Screen = ::GetDC(nullptr);
  if (!Screen) return FallbackDpi;
  const int Dpi = ::GetDeviceCaps(Screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, Screen);
  return Dpi > 0 && Dpi < 10000 ? Dpi : FallbackDpi;
}

// Points to pixels, rounding halves away from zero.
int32_t PointsToPixels(int32_t Points, int32_t Dpi) {
  const int64_t P = Points == 0 ? DefaultPoints : std::llabs(static_cast<int64_t>(Points));
  return static_cast<int32_t>(std::clamp<int64_t>((P * Dpi + 36) / 72, 1, 4096));
}

class GdiTextEngine final : public ITextEngine {
 public:
  GdiTextEngine() : FDc(::CreateCompatibleDC(nullptr)) {}
  ~GdiTextEngine() override {
    if (FDc) ::DeleteDC(FDc);
    if (FFont) ::DeleteObject(FFont);
  }
  GdiTextEngine(const GdiTextEngine&) = delete;
  GdiTextEngine& operator=(const GdiTextEngine&) = delete;

  TTextExtent Measure(const TTextFont& Font, std::string_view Text) override {
    if (!SelectFont(Font)) return {};
    const std::wstring Wide = win32::WideFromUtf8(Text);
    SIZE Size{};
    if (!::GetTextExtentPoint32W(FDc, Wide.data(), Length(Wide), &Size)) return {};
    return {Size.cx, Size.cy};
  }

  void Draw(const TTextTarget& Target, int32_t X, int32_t Y, const TTextFont& Font, uint32_t Color,
            const TRect* Clip, std::string_view Text) override {
    if (!Target.Pixels || Target.Width <= 0 || Target.Height <= 0 || Text.empty() || !SelectFont(Font))
      return;
    TRect Visible{0, 0, Target.Width, Target.Height};
    if (Clip) {
      Visible.Left = std::max(Visible.Left, Clip->Left);
      Visible.Top = std::max(Visible.Top, Clip->Top);
      Visible.Right = std::min(Visible.Right, Clip->Right);
      Visible.Bottom = std::min(Visible.Bottom, Clip->Bottom);
    }
    const std::wstring Wide = win32::WideFromUtf8(Text);
    SIZE Size{};
    TEXTMETRICW Metrics{};
    if (!::GetTextExtentPoint32W(FDc, Wide.data(), Length(Wide), &Size) || !::GetTextMetricsW(FDc, &Metrics))
      return;
    // The cell of the text, widened by one character for overhangs, meets the visible part here.
    const int64_t Left = X, Top = Y;
    if (Left < -FarAway || Top < -FarAway) return;
    const TRect Box{static_cast<int32_t>(std::max<int64_t>(Visible.Left, Left - Metrics.tmMaxCharWidth)),
                    static_cast<int32_t>(std::max<int64_t>(Visible.Top, Top)),
                    static_cast<int32_t>(std::min<int64_t>(Visible.Right, Left + Size.cx + Metrics.tmMaxCharWidth)),
                    static_cast<int32_t>(std::min<int64_t>(Visible.Bottom, Top + Size.cy))};
    if (Box.Right <= Box.Left || Box.Bottom <= Box.Top) return;
    const int32_t W = Box.Right - Box.Left, H = Box.Bottom - Box.Top;

    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof Info.bmiHeader;
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;  // rows from the top, as the surface keeps them
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    const HBITMAP Section = ::CreateDIBSection(FDc, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (!Section || !Bits) {
      if (Section) ::DeleteObject(Section);
      return;
    }
    auto* Copy = static_cast<TColor32*>(Bits);
    for (int32_t Row = 0; Row < H; ++Row)
      std::copy_n(Target.Pixels + static_cast<size_t>(Box.Top + Row) * Target.Width + Box.Left, W,
                  Copy + static_cast<size_t>(Row) * W);

    const HGDIOBJ Previous = ::SelectObject(FDc, Section);
    ::SetBkMode(FDc, TRANSPARENT);
    ::SetTextColor(FDc, Color & 0x00FFFFFF);
    ::SetTextAlign(FDc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const RECT Inside{0, 0, W, H};
    ::ExtTextOutW(FDc, static_cast<int>(Left - Box.Left), static_cast<int>(Top - Box.Top), ETO_CLIPPED,
                  &Inside, Wide.data(), static_cast<UINT>(Length(Wide)), nullptr);
    ::GdiFlush();
    ::SelectObject(FDc, Previous);

    for (int32_t Row = 0; Row < H; ++Row) {
      TColor32* Out = Target.Pixels + static_cast<size_t>(Box.Top + Row) * Target.Width + Box.Left;
      const TColor32* Drawn = Copy + static_cast<size_t>(Row) * W;
      for (int32_t Col = 0; Col < W; ++Col)
        if (((Drawn[Col] ^ Out[Col]) & 0x00FFFFFF) != 0) Out[Col] = Drawn[Col] | 0xFF000000;
    }
    ::DeleteObject(Section);
  }

 private:
  static int Length(const std::wstring& Text) {
    return static_cast<int>(std::min<size_t>(Text.size(), 0x7FFFFFFF));
  }

  // Makes the font that Font describes current; false when there is none to be had.
  bool SelectFont(const TTextFont& Font) {
    if (!FDc) return false;
    const int32_t Dpi = ScreenDpi();
    if (!FFont || FName != Font.Name() || FSize != Font.Size() || FDpi != Dpi) {
      LOGFONTW Description{};
      Description.lfHeight = -PointsToPixels(Font.Size(), Dpi);
      Description.lfWeight = FW_NORMAL;
      Description.lfCharSet = DEFAULT_CHARSET;
      Description.lfQuality = ANTIALIASED_QUALITY;
      Description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
      const std::wstring Face = win32::WideFromUtf8(Font.Name());
      Face.copy(Description.lfFaceName, LF_FACESIZE - 1);
      const HFONT Made = ::CreateFontIndirectW(&Description);
      if (!Made) return false;
      ::SelectObject(FDc, Made);
      if (FFont) ::DeleteObject(FFont);
      FFont = Made;
      FName = Font.Name();
      FSize = Font.Size();
      FDpi = Dpi;
    }
    return true;
  }

  HDC FDc;
  HFONT FFont = nullptr;
  std::string FName;
  int32_t FSize = 0;
  int32_t FDpi = 0;
};

uint32_t SystemColor(int32_t Index) { return ::GetSysColor(Index & 0xFF) & 0x00FFFFFF; }

}  // namespace

void InstallGdiTextOutput() {
  // Never destroyed: surfaces may draw text until the very end of the process.
  static GdiTextEngine* const Engine = new GdiTextEngine;
  SetTextEngine(Engine);
  SetSystemColorLookup(&SystemColor);
}

}  // namespace quillet

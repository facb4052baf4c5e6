// Text output for the surface: QPainter drawing straight into the surface's own pixels.
#pragma once

#include <QFont>
#include <QString>

#include "raster/text_engine.h"

namespace quillet {

// Draws with the font that a TTextFont describes. Needs a QGuiApplication; without one, text
// measures (0, 0) and draws nothing.
class QtTextEngine final : public ITextEngine {
 public:
  TTextExtent Measure(const TTextFont& Font, std::string_view Text) override;
  void Draw(const TTextTarget& Target, int32_t X, int32_t Y, const TTextFont& Font, uint32_t Color,
            const TRect* Clip, std::string_view Text) override;

  // The Qt font for a surface font: its face, and its size in points converted to pixels at the
  // primary screen's logical resolution (96 dpi without a screen), so that text has the same
  // pixel size on every target image.
  static QFont FontFor(const TTextFont& Font);

 private:
  const QFont& CachedFont(const TTextFont& Font);

  std::string FCachedName;
  int32_t FCachedSize = 0;
  int32_t FCachedDpi = 0;
  bool FHasCachedFont = false;
  QFont FCachedFont;
};

// Installs a process-wide QtTextEngine as the surfaces' text output and the application palette
// as the source of system colours. Call once, after the QGuiApplication exists.
void InstallQtTextOutput();

}  // namespace quillet

#pragma once
// Installed faces behind LOGFONTs, with glyph lookup and metrics at a fixed design size; the painter draws
// glyph runs from them and the measurement functions scale their metrics. Only platform sources include it.

#include <QRawFont>

#include <map>
#include <unordered_map>

#include "platform/gfx/GdiTypes.h"

namespace tess {

class TFontFace {
 public:
  // Metrics are kept for an em of kDesignSize pixels and scale linearly.
  static constexpr double kDesignSize = 1000.0;

  struct Glyph {
    int face = 0;  // 0 = the face itself, 1 = the fallback face for characters it lacks
    quint32 index = 0;
    double advance = 0;  // at kDesignSize
    QRectF ink;          // at kDesignSize, y down from the baseline
  };

  TFontFace(const QString& family, bool bold, bool italic);
  const Glyph& GlyphFor(char16_t ch);
  // The face (0 or 1) at a pixel size, for drawing.
  QRawFont RawAt(int face, double pixelSize);
  double Ascent() const { return FAscent; }
  double Descent() const { return FDescent; }
  bool Valid() const { return FDesign[0].isValid(); }

 private:
  QRawFont FDesign[2];
  double FAscent = 0;
  double FDescent = 0;
  std::unordered_map<char16_t, Glyph> FGlyphs;
  std::map<std::pair<int, long long>, QRawFont> FSized;
};

TFontFace& FontFaceFor(const TLogFont& font);

}  // namespace tess

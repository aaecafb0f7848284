#pragma once
// Font measurement shared by the recording and painter contexts: what a font measures in logical units
// when drawn through a given logical-to-device transform (measured at the device's own size, as GDI
// measures at the reference device's resolution).

#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/GdiTypes.h"
#include "platform/gfx/Geometry.h"

namespace tess {

// The installed face that draws a LOGFONT's face name (through the face-name mapping).
std::string InstalledFamilyFor(const TLogFont& font);

// Em height of the font in logical units (cell heights converted through the face's ascent + descent).
double FontEmHeight(const TLogFont& font);

// Advances of each UTF-16 unit in logical units: device positions of the glyph origins rounded, then
// brought back to logical units, so the rounding does not add up along the string.
std::vector<int> TextAdvances(const TLogFont& font, std::u16string_view text, const TXForm& toDevice);
TTextMetric TextMetrics(const TLogFont& font, const TXForm& toDevice);
bool CharABCWidthsFloat(const TLogFont& font, char16_t ch, const TXForm& toDevice, TABCFloat& out);

// Scale of the transform along x and y (lengths of its column vectors).
double XScale(const TXForm& m);
double YScale(const TXForm& m);
TXForm Multiply(const TXForm& first, const TXForm& then);  // apply first, then `then`
TXForm Invert(const TXForm& m);
void MapPoint(const TXForm& m, double x, double y, double& outX, double& outY);

}  // namespace tess

#pragma once
// Character codes and glyph overhangs of code page 932 text, for placing text by its ink.
//
// A character code is the byte of a single-byte character, or lead byte * 256 + trail byte. An overhang is
// how far a glyph's ink sticks out of its cell (negative A on the left, negative C on the right), in
// logical units of the canvas.

#include "platform/core/Cp932String.h"
#include "platform/gfx/Canvas.h"

namespace tess {

// Code of the first / last character; 0 for an empty string. A lead byte at the very end of the string has
// no trail byte to pair with and counts as a one-byte character.
int FirstCharCode(const Cp932String& text);
int LastCharCode(const Cp932String& text);

// Overhang of the first character on the left / of the last character on the right; 0 when the ink stays
// inside the cell or the string is empty. On the NT family fractional ABC widths are used (rounded half to
// even); on the 9x family integer widths, and only for outline fonts.
int LeftOverhang(TCanvas& canvas, const Cp932String& text);
int RightOverhang(TCanvas& canvas, const Cp932String& text);

// The overhang one fractional / integer A or C width gives.
int OverhangFromWidth(float width);
int OverhangFromWidth(int width);

// True when `needle` occurs in `text` starting at a character boundary (a trail byte followed by a lead
// byte never makes a match). An empty needle occurs everywhere.
bool ContainsChars(const Cp932String& text, const Cp932String& needle);

// Rounding as the page geometry needs it: halves to even, and halves away from zero.
int RoundHalfEven(double value);
int RoundHalfAway(double value);

}  // namespace tess

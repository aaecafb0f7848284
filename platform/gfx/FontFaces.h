#pragma once
// The program asks for its faces by their Japanese Windows names; this desktop has other fonts. At start-up
// the toolkit learns which installed face stands for each name, so a font asked for as "ＭＳ ゴシック" draws
// with IPAGothic.

#include <optional>
#include <string>

#include "platform/core/Cp932String.h"

namespace tess {

// Installs the face-name substitutions ("ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐゴシック" -> IPAPGothic,
// "Tahoma" -> DejaVu Sans). Safe to call more than once; needs the platform started.
void InstallFaceNameMapping();

// The installed family that draws a design face name (the name itself when no substitution applies).
std::string InstalledFaceFor(const Cp932String& faceName);

// The first character of the text (as UTF-16) that drawing in the requested face would show as an empty box:
// neither the installed face standing for it nor the fallback face has a glyph for it. Nothing when every
// character has one. Needs the platform started.
std::optional<char16_t> FirstCharacterWithoutGlyph(const Cp932String& faceName, const Cp932String& text);

// Whether the face gives every different character of the text a glyph of its own. A desktop without fonts
// still answers every request with some face, one that draws each character as the same box; such a face
// covers nothing, though each character has "a glyph".
bool DrawsEveryCharacterApart(const Cp932String& faceName, const Cp932String& text);

}  // namespace tess

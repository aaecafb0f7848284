#pragma once
// The design names Windows face names; this desktop has other fonts. At start-up the toolkit learns which
// installed face stands for each name, so a font asked for as "ＭＳ ゴシック" draws with IPAGothic.

#include <string>

#include "platform/core/Cp932String.h"

namespace tess {

// Installs the face-name substitutions ("ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐゴシック" -> IPAPGothic,
// "Tahoma" -> DejaVu Sans). Safe to call more than once; needs the platform started.
void InstallFaceNameMapping();

// The installed family that draws a design face name (the name itself when no substitution applies).
std::string InstalledFaceFor(const Cp932String& faceName);

}  // namespace tess

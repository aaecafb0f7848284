#include "platform/gfx/FontFaces.h"

#include <QFont>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <utility>

#include "platform/gfx/internal/QtText.h"

namespace tess {
namespace {

struct FaceSubstitute {
  const char* designFaceUtf8;
  const char* installedFamily;
};

constexpr std::array<FaceSubstitute, 3> kSubstitutes{{
    {"ＭＳ ゴシック", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"Tahoma", "DejaVu Sans"},
}};

}  // namespace

void InstallFaceNameMapping() {
  for (const FaceSubstitute& s : kSubstitutes) {
    QString face = QString::fromUtf8(s.designFaceUtf8);
    QFont::removeSubstitutions(face);
    QFont::insertSubstitution(face, QString::fromLatin1(s.installedFamily));
  }
}

std::string InstalledFaceFor(const Cp932String& faceName) {
  std::string utf8 = faceName.ToUtf8();
  for (const FaceSubstitute& s : kSubstitutes) {
    if (utf8 == s.designFaceUtf8) return s.installedFamily;
  }
  return utf8;
}

std::optional<char16_t> FirstCharacterWithoutGlyph(const Cp932String& faceName, const Cp932String& text) {
  TLogFont font;
  font.FaceName = ToUtf16(faceName);
  TFontFace& face = FontFaceFor(font);
  for (char16_t ch : ToUtf16(text)) {
    if (face.GlyphFor(ch).index == 0) return ch;
  }
  return std::nullopt;
}

bool DrawsEveryCharacterApart(const Cp932String& faceName, const Cp932String& text) {
  TLogFont font;
  font.FaceName = ToUtf16(faceName);
  TFontFace& face = FontFaceFor(font);
  std::map<std::pair<int, std::uint32_t>, char16_t> drawnBy;
  for (char16_t ch : ToUtf16(text)) {
    const TFontFace::Glyph& glyph = face.GlyphFor(ch);
    if (glyph.index == 0) return false;
    const auto [at, added] = drawnBy.emplace(std::make_pair(glyph.face, glyph.index), ch);
    if (!added && at->second != ch) return false;
  }
  return true;
}

}  // namespace tess

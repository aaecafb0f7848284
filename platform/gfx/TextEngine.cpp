// Font measurement in logical units, measured at the device size the transform gives (GDI measures text
// at the reference device's resolution and converts back to logical units).
#include "platform/gfx/internal/TextEngine.h"

#include <QFont>
#include <QString>

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "platform/gfx/FontFaces.h"
#include "platform/gfx/internal/QtText.h"

namespace tess {
namespace {

constexpr const char* kFallbackFamily = "IPAGothic";
constexpr const char* kDefaultFamily = "IPAPGothic";

QRawFont LoadRaw(const QString& family, bool bold, bool italic) {
  QFont f(family);
  f.setPixelSize(static_cast<int>(TFontFace::kDesignSize));
  f.setBold(bold);
  f.setItalic(italic);
  f.setHintingPreference(QFont::PreferNoHinting);
  return QRawFont::fromFont(f);
}

double Em(const TLogFont& font, TFontFace& face) {
  if (font.Height < 0) return -static_cast<double>(font.Height);
  // (Heights are 32-bit, so the em stays a finite double whatever a record says.)
  if (font.Height > 0) {
    double cell = face.Ascent() + face.Descent();
    return cell > 0 ? font.Height * TFontFace::kDesignSize / cell : font.Height;
  }
  return 12.0;  // a zero height asks for the device's default size
}

}  // namespace

TFontFace::TFontFace(const QString& family, bool bold, bool italic) {
  FDesign[0] = LoadRaw(family, bold, italic);
  FDesign[1] = LoadRaw(QString::fromLatin1(kFallbackFamily), bold, italic);
  if (FDesign[0].isValid()) {
    FAscent = FDesign[0].ascent();
    FDescent = FDesign[0].descent();
  }
}

const TFontFace::Glyph& TFontFace::GlyphFor(char16_t ch) {
  auto it = FGlyphs.find(ch);
  if (it != FGlyphs.end()) return it->second;
  Glyph g;
  QString s(QChar(static_cast<ushort>(ch)));
  for (int face = 0; face < 2; ++face) {
    if (!FDesign[face].isValid()) continue;
    QList<quint32> idx = FDesign[face].glyphIndexesForString(s);
    if (idx.size() == 1 && (idx[0] != 0 || face == 1)) {
      g.face = face;
      g.index = idx[0];
      QList<QPointF> adv = FDesign[face].advancesForGlyphIndexes(idx, QRawFont::UseDesignMetrics);
      g.advance = adv.isEmpty() ? 0 : adv[0].x();
      g.ink = FDesign[face].boundingRect(idx[0]);
      if (idx[0] != 0) break;
    }
  }
  return FGlyphs.emplace(ch, g).first->second;
}

QRawFont TFontFace::RawAt(int face, double pixelSize) {
  long long key = std::llround(pixelSize * 64);
  auto k = std::make_pair(face, key);
  auto it = FSized.find(k);
  if (it != FSized.end()) return it->second;
  QRawFont raw = FDesign[face];
  raw.setPixelSize(key / 64.0);
  if (FSized.size() > 256) FSized.clear();
  return FSized.emplace(k, raw).first->second;
}

namespace {

// A face as a LOGFONT asks for it: the requested face name and the style.
struct TFaceRequest {
  std::u16string_view name;
  bool bold;
  bool italic;
  auto operator<=>(const TFaceRequest&) const = default;
};

// The faces, one per installed family and style, and every design name already resolved to one: a text
// call finds its face by the LOGFONT's name without converting and mapping that name again.
class TFaceTable {
 public:
  TFontFace& For(const TLogFont& font) {
    TFaceRequest request{font.FaceName, font.Weight >= 600, font.Italic != 0};
    auto known = FByRequest.find(request);
    if (known != FByRequest.end()) return *known->second;
    TFontFace& face = ForFamily(InstalledFamilyFor(font), request.bold, request.italic);
    FByRequest.emplace(TStoredRequest{font.FaceName, request.bold, request.italic}, &face);
    return face;
  }

 private:
  struct TStoredRequest {
    std::u16string name;
    bool bold;
    bool italic;
    TFaceRequest View() const { return {name, bold, italic}; }
  };
  struct TRequestLess {
    using is_transparent = void;
    static TFaceRequest View(const TFaceRequest& r) { return r; }
    static TFaceRequest View(const TStoredRequest& r) { return r.View(); }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return View(a) < View(b);
    }
  };

  TFontFace& ForFamily(const std::string& family, bool bold, bool italic) {
    auto key = std::make_tuple(family, bold, italic);
    auto it = FFaces.find(key);
    if (it == FFaces.end()) {
      it = FFaces.emplace(key, std::make_unique<TFontFace>(QString::fromStdString(family), bold, italic))
               .first;
    }
    return *it->second;
  }

  std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<TFontFace>> FFaces;
  std::map<TStoredRequest, TFontFace*, TRequestLess> FByRequest;
};

}  // namespace

TFontFace& FontFaceFor(const TLogFont& font) {
  // Each thread keeps its own faces, as the toolkit keeps its font engines per thread.
  thread_local TFaceTable faces;
  return faces.For(font);
}

std::string InstalledFamilyFor(const TLogFont& font) {
  if (font.FaceName.empty()) return kDefaultFamily;
  return InstalledFaceFor(FromUtf16(font.FaceName));
}

double FontEmHeight(const TLogFont& font) {
  return Em(font, FontFaceFor(font));
}

double XScale(const TXForm& m) {
  return std::hypot(m.eM11, m.eM12);
}
double YScale(const TXForm& m) {
  return std::hypot(m.eM21, m.eM22);
}

TXForm Multiply(const TXForm& a, const TXForm& b) {
  // Row-vector convention of XFORM: p * a * b.
  TXForm r;
  r.eM11 = a.eM11 * b.eM11 + a.eM12 * b.eM21;
  r.eM12 = a.eM11 * b.eM12 + a.eM12 * b.eM22;
  r.eM21 = a.eM21 * b.eM11 + a.eM22 * b.eM21;
  r.eM22 = a.eM21 * b.eM12 + a.eM22 * b.eM22;
  r.eDx = a.eDx * b.eM11 + a.eDy * b.eM21 + b.eDx;
  r.eDy = a.eDx * b.eM12 + a.eDy * b.eM22 + b.eDy;
  return r;
}

TXForm Invert(const TXForm& m) {
  double det = static_cast<double>(m.eM11) * m.eM22 - static_cast<double>(m.eM12) * m.eM21;
  if (det == 0) return TXForm{};
  TXForm r;
  r.eM11 = static_cast<float>(m.eM22 / det);
  r.eM12 = static_cast<float>(-m.eM12 / det);
  r.eM21 = static_cast<float>(-m.eM21 / det);
  r.eM22 = static_cast<float>(m.eM11 / det);
  r.eDx = static_cast<float>((m.eM21 * m.eDy - m.eM22 * m.eDx) / det);
  r.eDy = static_cast<float>((m.eM12 * m.eDx - m.eM11 * m.eDy) / det);
  return r;
}

void MapPoint(const TXForm& m, double x, double y, double& outX, double& outY) {
  outX = x * m.eM11 + y * m.eM21 + m.eDx;
  outY = x * m.eM12 + y * m.eM22 + m.eDy;
}

std::vector<int> TextAdvances(const TLogFont& font, std::u16string_view text, const TXForm& toDevice) {
  std::vector<int> out(text.size(), 0);
  if (text.empty()) return out;
  TFontFace& face = FontFaceFor(font);
  double sx = XScale(toDevice), sy = YScale(toDevice);
  if (sx <= 0 || sy <= 0) return out;
  double emDevice = Em(font, face) * sy;
  double scale = emDevice / TFontFace::kDesignSize;
  // A record may ask for any font height and any mapping, so the pen positions along the line saturate at
  // the int range: past its edge every further advance is 0. The sums stay doubles until they are cut, so
  // no integer arithmetic ever sees a value outside that range.
  auto logicalPosition = [sx](double devicePosition) {
    const double logical = std::round(std::round(devicePosition) / sx);
    if (!(logical == logical)) return 0.0;  // NaN
    return std::clamp(logical, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX));
  };
  double cumulative = 0;
  double previous = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    cumulative += face.GlyphFor(text[i]).advance * scale;
    const double position = logicalPosition(cumulative);
    // Both positions lie in the int range, so their difference is exact in a double; an advance from one
    // end of the range to the other is cut to the int range as well.
    out[i] = static_cast<int>(
        std::clamp(position - previous, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
    previous = position;
  }
  return out;
}

namespace {

TTextMetric ComputeTextMetrics(const TLogFont& font, const TXForm& toDevice) {
  TTextMetric tm;
  TFontFace& face = FontFaceFor(font);
  double sy = YScale(toDevice), sx = XScale(toDevice);
  if (sy <= 0 || sx <= 0) return tm;
  double em = Em(font, face);
  double scale = em * sy / TFontFace::kDesignSize;
  // A font from a record may be of any size: the device sizes stay whole doubles and every metric is cut to
  // the int range.
  auto metric = [](double v) {
    return static_cast<int>(std::lround(std::fmin(std::fmax(v, -2147483647.0), 2147483647.0)));
  };
  const double ascentDev = std::round(face.Ascent() * scale);
  const double descentDev = std::round(face.Descent() * scale);
  tm.Ascent = metric(ascentDev / sy);
  tm.Descent = metric(descentDev / sy);
  tm.Height = metric((ascentDev + descentDev) / sy);
  tm.InternalLeading = metric(std::fmax(0.0, static_cast<double>(tm.Height) - metric(em)));
  tm.AveCharWidth = metric(face.GlyphFor(u'x').advance * scale / sx);
  tm.MaxCharWidth = metric(face.GlyphFor(u'\u3042').advance * scale / sx);
  tm.Outline = true;
  return tm;
}

}  // namespace

TTextMetric TextMetrics(const TLogFont& font, const TXForm& toDevice) {
  // Asked for by every text measured and drawn, mostly for the same font and mapping as the last time.
  struct Last {
    TLogFont font;
    TXForm toDevice;
    TTextMetric metrics;
  };
  thread_local std::optional<Last> last;
  if (last && last->font == font && last->toDevice == toDevice) return last->metrics;
  last = Last{font, toDevice, ComputeTextMetrics(font, toDevice)};
  return last->metrics;
}

bool CharABCWidthsFloat(const TLogFont& font, char16_t ch, const TXForm& toDevice, TABCFloat& out) {
  TFontFace& face = FontFaceFor(font);
  if (!face.Valid()) return false;
  const TFontFace::Glyph& g = face.GlyphFor(ch);
  // Logical units: the em in logical units over the design size (device rounding plays no part here).
  (void)toDevice;
  double scale = Em(font, face) / TFontFace::kDesignSize;
  double a = g.ink.isEmpty() ? 0.0 : g.ink.left();
  double b = g.ink.isEmpty() ? 0.0 : g.ink.width();
  out.A = static_cast<float>(a * scale);
  out.B = static_cast<float>(b * scale);
  out.C = static_cast<float>((g.advance - a - b) * scale);
  return true;
}

}  // namespace tess

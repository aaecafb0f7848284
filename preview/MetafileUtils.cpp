#include "preview/MetafileUtils.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/PlatformFamily.h"
#include "platform/gfx/emf/EmfRecords.h"

namespace tess {

namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Sums of advances taken from a record may leave the 32-bit range; they stop at its ends.
std::int32_t Saturate(long long value) {
  return static_cast<std::int32_t>(std::clamp<long long>(value, kInt32Min, kInt32Max));
}

// Invariants the callers keep, reported as the framework reports a failed assertion.
[[noreturn]] void AssertionFailed(int line) {
  throw EAssertionFailed(Cp932String::FromUtf8("アサートの?") +
                         Cp932String::FromBytes(" (MetafileUtils, line " + std::to_string(line) + ")"));
}

[[noreturn]] void NoValidSize() {
  throw Exception("FixMetafileFor9X: Metafile has no valid Size");
}

bool IsTextRecordType(std::uint32_t type) {
  return type == emf::EMR_EXTTEXTOUTA || type == emf::EMR_EXTTEXTOUTW || type == emf::EMR_POLYTEXTOUTA ||
         type == emf::EMR_POLYTEXTOUTW;
}

bool IsWideTextType(std::uint32_t type) {
  return type == emf::EMR_EXTTEXTOUTW || type == emf::EMR_POLYTEXTOUTW;
}

TRect FromRectL(const emf::RectL& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}

emf::RectL ToRectL(const TRect& r) {
  return emf::RectL{r.Left, r.Top, r.Right, r.Bottom};
}

std::int32_t AdvanceAt(std::span<const std::int32_t> dx, std::size_t k) {
  return k < dx.size() ? dx[k] : 0;
}

// Round half to even, the rounding of the floating-point unit's default mode.
std::int32_t RoundHalfEven(long double value) {
  if (!std::isfinite(value)) return 0;
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  long double r = std::nearbyint(value);
  std::fesetround(saved);
  return Saturate(static_cast<long long>(std::clamp<long double>(r, kInt32Min, kInt32Max)));
}

// a * b / c rounded to the nearest integer, halves away from zero (GDI's MulDiv), in 64 bits.
long long MulDivRound(long long a, long long b, long long c) {
  if (c == 0) return 0;
  long long p = a * b;
  long long q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
  return (p >= 0) == (c > 0) ? q : -q;
}

// The source's frame in pixels of its reference device (its inch setting left out), as
// MMWidth * szlDevice.cx / (szlMillimeters.cx * 100) rounded.
TSize SourcePixels(const TMetafile& source) {
  const emf::EmrHeader h = source.Header();
  return TSize{
      static_cast<int>(std::clamp<long long>(
          MulDivRound(source.MMWidth(), h.szlDevice.cx, static_cast<long long>(h.szlMillimeters.cx) * 100),
          kInt32Min, kInt32Max)),
      static_cast<int>(std::clamp<long long>(
          MulDivRound(source.MMHeight(), h.szlDevice.cy, static_cast<long long>(h.szlMillimeters.cy) * 100),
          kInt32Min, kInt32Max))};
}

// A text record without an advance array (offDx 0) is drawn with the font's own advances; there is
// nothing to place character by character, so it is played as it is.
bool CarriesAdvances(std::span<const std::uint8_t> record) {
  auto head = emf::ReadAt<emf::EmrExtTextOut>(record, 0);
  return !head || head->nChars == 0 || head->offDx != 0;
}

}  // namespace

// ---- TExtTextOutConverter --------------------------------------------------------------------------------

TResult TExtTextOutConverter::CreateFromRecord(std::span<const std::uint8_t> record) {
  auto type = emf::ReadAt<std::uint32_t>(record, 0);
  if (!type) return TResult::Error("text record of " + std::to_string(record.size()) + " bytes has no type");
  if (!IsTextRecordType(*type)) AssertionFailed(504);
  const std::string what = "text record (type " + std::to_string(*type) + ")";
  auto head = emf::ReadAt<emf::EmrExtTextOut>(record, 0);
  if (!head) {
    return TResult::Error(what + " of " + std::to_string(record.size()) + " bytes is shorter than its " +
                          std::to_string(sizeof(emf::EmrExtTextOut)) + "-byte head");
  }
  if (head->nSize < sizeof(emf::EmrExtTextOut) || head->nSize > record.size()) {
    return TResult::Error(what + " gives its size as " + std::to_string(head->nSize) + " bytes in " +
                          std::to_string(record.size()) + " bytes of record");
  }
  // Everything below is read within the record's own size.
  const std::uint64_t size = head->nSize;
  const bool wide = IsWideTextType(*type);
  const std::uint64_t unit = wide ? 2 : 1;
  const std::uint64_t n = head->nChars;
  // The string and one 32-bit advance per unit must both fit in the record.
  if (n > size / (unit + 4)) {
    return TResult::Error(what + ": character count " + std::to_string(n) + " cannot fit in a record of " +
                          std::to_string(size) + " bytes");
  }
  if (n > 0) {
    if (head->offString + n * unit > size) {
      return TResult::Error(what + ": text of " + std::to_string(n) + " characters at offset " +
                            std::to_string(head->offString) + " lies outside the record of " +
                            std::to_string(size) + " bytes");
    }
    if (head->offDx + n * 4 > size) {
      return TResult::Error(what + ": " + std::to_string(n) + " advances at offset " +
                            std::to_string(head->offDx) + " lie outside the record of " +
                            std::to_string(size) + " bytes");
    }
  }

  FValid = true;
  FBounds = FromRectL(head->rclBounds);
  FGraphicsMode = static_cast<std::int32_t>(head->iGraphicsMode);
  std::memcpy(&FExScale, &head->exScale, sizeof(FExScale));
  std::memcpy(&FEyScale, &head->eyScale, sizeof(FEyScale));
  const TPoint refPoint{head->ptlReference.x, head->ptlReference.y};
  const TRect clip = FromRectL(head->rcl);

  std::vector<std::int32_t> dx(n);
  if (n > 0) std::memcpy(dx.data(), record.data() + head->offDx, n * 4);
  if (wide) {
    std::u16string text(n, u'\0');
    if (n > 0) std::memcpy(text.data(), record.data() + head->offString, n * 2);
    CreateWide(refPoint, dx, text, clip, head->fOptions);
  } else {
    std::string bytes(n, '\0');
    if (n > 0) std::memcpy(bytes.data(), record.data() + head->offString, n);
    CreateAnsi(refPoint, dx, Cp932String::FromBytes(bytes), clip, head->fOptions);
  }
  return TResult::Ok();
}

void TExtTextOutConverter::SetText(TPoint refPoint, const TRect& clipRect, std::uint32_t options) {
  FRefPoint = refPoint;
  FClipRect = clipRect;
  FTextOptions = options;
  FChars.clear();
}

void TExtTextOutConverter::CreateAnsi(TPoint refPoint, std::span<const std::int32_t> dx,
                                      const Cp932String& text, const TRect& clipRect, std::uint32_t options) {
  SetText(refPoint, clipRect, options);
  const std::size_t length = text.Length();
  FChars.reserve(length);
  std::size_t k = 0;  // advance index: one advance per byte
  long long s = 0;
  while (k < length) {
    // A forward walk starts every character on a lead or single byte; a lead byte with nothing after it
    // stands for a character that was cut off.
    if (IsCp932LeadByte(text.ByteAt(k))) {
      if (k + 1 < length) {
        long long width = static_cast<long long>(AdvanceAt(dx, k)) + AdvanceAt(dx, k + 1);
        FChars.push_back({Cp932String::FromBytes(text.Bytes().substr(k, 2)), Saturate(s), Saturate(width)});
        s += width;
        k += 2;
        continue;
      }
      FChars.push_back({Cp932String("?"), Saturate(s), AdvanceAt(dx, k)});
    } else {
      FChars.push_back({Cp932String::FromBytes(text.Bytes().substr(k, 1)), Saturate(s), AdvanceAt(dx, k)});
    }
    s += AdvanceAt(dx, k);
    k += 1;
  }
}

void TExtTextOutConverter::CreateWide(TPoint refPoint, std::span<const std::int32_t> dx,
                                      std::u16string_view text, const TRect& clipRect,
                                      std::uint32_t options) {
  SetText(refPoint, clipRect, options);
  FChars.reserve(text.size());
  long long s = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Each unit on its own (a surrogate half has no code and becomes '?', as the system's conversion
    // gives its default character).
    Cp932String ansi = FromUtf16(text.substr(i, 1));
    if (ansi.Length() < 1 || ansi.Length() > 2) ansi = "?";
    FChars.push_back({ansi, Saturate(s), AdvanceAt(dx, i)});
    s += AdvanceAt(dx, i);
  }
}

std::size_t TExtTextOutConverter::FarthestCharIndex() const {
  std::size_t best = 0;
  long long farthest = 0;
  for (std::size_t i = 0; i < FChars.size(); ++i) {
    long long end = static_cast<long long>(FChars[i].CharOffset) + FChars[i].CharWidth;
    if (i == 0 || end > farthest) {
      best = i;
      farthest = end;
    }
  }
  return best;
}

std::vector<std::uint8_t> TExtTextOutConverter::BuildTextRecord(TPoint reference, std::int32_t advance,
                                                                const Cp932String& text,
                                                                std::uint32_t options) const {
  const auto length = static_cast<std::uint32_t>(text.Length());
  emf::EmrExtTextOut head{};
  head.iType = emf::EMR_EXTTEXTOUTA;
  head.nSize = static_cast<std::uint32_t>(sizeof(emf::EmrExtTextOut)) + 5 * length;
  head.rclBounds = ToRectL(FBounds);
  head.iGraphicsMode = static_cast<std::uint32_t>(FGraphicsMode);
  std::memcpy(&head.exScale, &FExScale, sizeof(FExScale));
  std::memcpy(&head.eyScale, &FEyScale, sizeof(FEyScale));
  head.ptlReference = {reference.X, reference.Y};
  head.nChars = length;
  head.offString = sizeof(emf::EmrExtTextOut);
  head.fOptions = options;
  head.rcl = ToRectL(FClipRect);
  head.offDx = static_cast<std::uint32_t>(sizeof(emf::EmrExtTextOut)) + length;

  std::vector<std::uint8_t> out;
  out.reserve(head.nSize);
  emf::Append(out, head);
  out.insert(out.end(), text.Bytes().begin(), text.Bytes().end());
  // The whole advance on the first byte; a trail byte moves no further.
  for (std::uint32_t i = 0; i < length; ++i) emf::Append(out, i == 0 ? advance : std::int32_t{0});
  return out;
}

std::vector<std::uint8_t> TExtTextOutConverter::MakeSaveDCRecord() {
  return emf::MakeSaveDCRecord();
}

std::vector<std::uint8_t> TExtTextOutConverter::MakeSetBkModeRecord(std::uint32_t mode) {
  return emf::MakeSetBkModeRecord(mode);
}

std::vector<std::uint8_t> TExtTextOutConverter::MakeRestoreDCRecord() {
  return emf::MakeRestoreDCRecord(-1);
}

TResult TExtTextOutConverter::PlayCharacter(const TRecordSink& play, long double fx, long double fy,
                                            std::size_t index, std::int32_t advance,
                                            std::uint32_t options) const {
  const TConvertedChar& c = FChars.at(index);
  const TPoint at{Saturate(static_cast<long long>(FRefPoint.X) + RoundHalfEven(c.CharOffset * fx)),
                  Saturate(static_cast<long long>(FRefPoint.Y) + RoundHalfEven(c.CharOffset * fy))};
  std::vector<std::uint8_t> record = BuildTextRecord(at, advance, c.CharText, options);
  return play(record);
}

TResult TExtTextOutConverter::PlayConverted(TEnumContext& context) const {
  if (!FValid) AssertionFailed(759);
  if (context.Target() == nullptr) return TResult::Error("converted text has no device to play into");
  return PlayConverted(*context.Target(), [&context](std::span<const std::uint8_t> record) {
    return context.PlayRecord(record);
  });
}

TResult TExtTextOutConverter::PlayConverted(const TDeviceContext& target, const TRecordSink& play) const {
  if (!FValid) AssertionFailed(759);
  const std::size_t n = FChars.size();
  if (n == 0) return TResult::Ok();

  // The baseline's direction comes from the font selected in the target. On a device whose pixels are
  // not square, a step across the page covers a different distance in y than in x.
  const long double theta = target.State().Font.Escapement * std::numbers::pi_v<long double> / 1800.0L;
  const int dpiX = target.GetDeviceCaps(LOGPIXELSX);
  const int dpiY = target.GetDeviceCaps(LOGPIXELSY);
  const long double aspect = dpiX > 0 && dpiY > 0 ? static_cast<long double>(dpiY) / dpiX : 1.0L;
  const long double fx = std::cos(theta);
  const long double fy = -std::sin(theta) * aspect;

  // First the first character with the extent of the whole text, so that an opaque background covers
  // all of it, and the farthest character so that nothing sticks out past that background.
  const std::size_t k = FarthestCharIndex();
  const std::int32_t extent = Saturate(static_cast<long long>(FChars[k].CharOffset) + FChars[k].CharWidth);
  if (TResult r = PlayCharacter(play, fx, fy, 0, extent, FTextOptions); !r) return r;
  if (n == 1) return TResult::Ok();
  if (TResult r = PlayCharacter(play, fx, fy, k, FChars[k].CharWidth, FTextOptions); !r) return r;
  // Then every character at its own place over a transparent background.
  if (TResult r = play(MakeSaveDCRecord()); !r) return r;
  if (TResult r = play(MakeSetBkModeRecord(TRANSPARENT)); !r) return r;
  for (std::size_t i = 0; i < n; ++i) {
    if (TResult r = PlayCharacter(play, fx, fy, i, FChars[i].CharWidth, FTextOptions & ~ETO_OPAQUE); !r) {
      return r;
    }
  }
  return play(MakeRestoreDCRecord());
}

// ---- Re-recording ----------------------------------------------------------------------------------------

bool ReadFrameSizeProc(TEnumContext& context, TSize& frame) {
  if (context.Record().Type != emf::EMR_HEADER) return true;
  // The enumerator hands over a header only when it holds at least the format's smallest header.
  auto rclFrame = emf::ReadAt<emf::RectL>(context.Record().Bytes, offsetof(emf::EmrHeader, rclFrame));
  if (rclFrame) {
    frame.cx = Saturate(static_cast<long long>(rclFrame->right) - rclFrame->left);
    frame.cy = Saturate(static_cast<long long>(rclFrame->bottom) - rclFrame->top);
  }
  return false;
}

bool ConvertRecordProc(TEnumContext& context, TResult& failure) {
  const TEmfRecord& record = context.Record();
  if (!IsTextRecordType(record.Type) || !CarriesAdvances(record.Bytes)) {
    failure = context.Play();
    return failure.IsOk();
  }
  // EMR_POLYTEXTOUTA/W are read with the EMR_EXTTEXTOUT field positions; this program's drawing code
  // never produces them.
  TExtTextOutConverter converter;
  failure = converter.CreateFromRecord(record.Bytes);
  if (failure) failure = converter.PlayConverted(context);
  if (!failure) {
    failure = TResult::Error("EMF record " + std::to_string(record.Index) + " (type " +
                             std::to_string(record.Type) + ", at byte " + std::to_string(record.Offset) +
                             "): " + failure.Message());
  }
  return failure.IsOk();
}

std::unique_ptr<TMetafile> FixMetafileFor9X(const TMetafile& source,
                                            const TDeviceDescription* referenceDevice) {
  // TMetafile copies share nothing with their source, so later changes to the working recording never
  // reach a stored page.
  if (IsWindowsNT()) return std::make_unique<TMetafile>(source);

  if (source.MMWidth() == 0 || source.MMHeight() == 0) NoValidSize();
  TSize frame;
  if (!source.Empty()) {
    // An unreadable header leaves the frame at 0, which is reported as the missing size.
    (void)EnumerateMetafile(source, nullptr, nullptr,
                            [&frame](TEnumContext& c) { return ReadFrameSizeProc(c, frame); });
  }
  // A reversed frame cannot be recorded either: the recorder would take the drawn area instead.
  if (frame.cx <= 0 || frame.cy <= 0) NoValidSize();

  auto result = std::make_unique<TMetafile>();
  result->SetMMWidth(frame.cx);
  result->SetMMHeight(frame.cy);

  // The target rectangle in the reference device's pixels; products divided with truncation.
  const TSize pixels = SourcePixels(source);
  const long long right = static_cast<long long>(pixels.cx) * frame.cx / source.MMWidth();
  const long long bottom = static_cast<long long>(pixels.cy) * frame.cy / source.MMHeight();
  if (right <= 0 || bottom <= 0) NoValidSize();  // no reference device size: nothing would be drawn
  const TRect target{0, 0, Saturate(right), Saturate(bottom)};

  const TDeviceDescription reference = referenceDevice ? *referenceDevice : TDeviceDescription::Screen();
  TResult failure;
  TResult enumerated;
  {
    TMetafileCanvas canvas(*result, reference);
    enumerated = EnumerateMetafile(source, &canvas.Handle(), &target,
                                   [&failure](TEnumContext& c) { return ConvertRecordProc(c, failure); });
    canvas.Close();
  }
  if (!enumerated) throw Exception(Cp932String::FromBytes("FixMetafileFor9X: " + enumerated.Message()));
  if (!failure) throw Exception(Cp932String::FromBytes("FixMetafileFor9X: " + failure.Message()));

  result->SetMMWidth(source.MMWidth());
  result->SetMMHeight(source.MMHeight());
  result->SetInch(source.Inch());
  return result;
}

}  // namespace tess

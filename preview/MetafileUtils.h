#pragma once
// Turning the page recording that has just been closed into the picture kept as a page.
//
// On the NT family a stored page is an exact copy of the recording. The 9x family's text output does not
// honour per-character advances reliably, so there every text record that carries advances is replaced by
// single-character records placed at explicit positions (TExtTextOutConverter); all other records are
// re-recorded unchanged.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/core/Result.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/emf/Metafile.h"

namespace tess {

// An independent copy of `source` made for `referenceDevice` (nullptr: no printer, the screen serves).
// NT family: an exact copy. 9x family: the re-recording described above; it throws tess::Exception with
// "FixMetafileFor9X: Metafile has no valid Size" for a recording without a size, and with a message
// naming the record for a record that cannot be read. `source` is never changed.
std::unique_ptr<TMetafile> FixMetafileFor9X(const TMetafile& source,
                                            const TDeviceDescription* referenceDevice);

// The record-enumeration callbacks of the re-recording. ReadFrameSizeProc stores the frame size
// (rclFrame of the first header, 0.01 mm) and stops; ConvertRecordProc plays one record into the
// enumeration's target, text records through a converter. A record that cannot be read or played is
// kept in `failure` and stops the enumeration, so nothing is dropped without a word.
bool ReadFrameSizeProc(TEnumContext& context, TSize& frame);
bool ConvertRecordProc(TEnumContext& context, TResult& failure);

// One character of a split text record.
struct TConvertedChar {
  Cp932String CharText;         // 1 or 2 bytes of code page 932
  std::int32_t CharOffset = 0;  // sum of the advances of the characters before it
  std::int32_t CharWidth = 0;   // its own advance (both advances of a two-byte character)
  friend bool operator==(const TConvertedChar&, const TConvertedChar&) = default;
};

// Where built records go: the playback of the enumeration, or a list in a test.
using TRecordSink = std::function<TResult(std::span<const std::uint8_t>)>;

// One text record (EMR_EXTTEXTOUTA/W, MS-EMF 2.3.5.7/2.3.5.8) split into characters, and its replay as
// single-character EMR_EXTTEXTOUTA records.
class TExtTextOutConverter {
 public:
  // Reads a text record of type 83, 84, 96 or 97 (the bytes of exactly one record). A record whose
  // string or advances lie outside it, or whose character count cannot fit in it, is refused with an
  // error and nothing of it is read. Any other type is a programming error (EAssertionFailed).
  TResult CreateFromRecord(std::span<const std::uint8_t> record);
  // Splits text with one advance per byte (ANSI) or per UTF-16 unit (wide). Advances missing at the end
  // of dx count as 0.
  void CreateAnsi(TPoint refPoint, std::span<const std::int32_t> dx, const Cp932String& text,
                  const TRect& clipRect, std::uint32_t options);
  void CreateWide(TPoint refPoint, std::span<const std::int32_t> dx, std::u16string_view text,
                  const TRect& clipRect, std::uint32_t options);

  // Plays the converted records into the enumeration's target: for n characters nothing (n = 0), one
  // record (n = 1), or n + 5 records. EAssertionFailed when the converter was not built.
  TResult PlayConverted(TEnumContext& context) const;
  // The same against any target context (its font's escapement and its LOGPIXELSX/Y place the
  // characters), handing every built record to `play`.
  TResult PlayConverted(const TDeviceContext& target, const TRecordSink& play) const;
  // Character `index` at its position along the baseline (fx, fy: the baseline direction per unit of
  // advance) with the advance and options given.
  TResult PlayCharacter(const TRecordSink& play, long double fx, long double fy, std::size_t index,
                        std::int32_t advance, std::uint32_t options) const;
  // The character whose end (CharOffset + CharWidth) lies farthest; the first one on a tie. 0 when empty.
  std::size_t FarthestCharIndex() const;

  // An EMR_EXTTEXTOUTA record for `text` at `reference`: advances (advance) for one byte, (advance, 0)
  // for two; Bounds, GraphicsMode, scales and ClipRect of this converter. nSize is 76 + 5 * length,
  // not padded to four bytes.
  std::vector<std::uint8_t> BuildTextRecord(TPoint reference, std::int32_t advance, const Cp932String& text,
                                            std::uint32_t options) const;
  static std::vector<std::uint8_t> MakeSaveDCRecord();
  static std::vector<std::uint8_t> MakeSetBkModeRecord(std::uint32_t mode);
  static std::vector<std::uint8_t> MakeRestoreDCRecord();

  bool Valid() const { return FValid; }
  const TRect& Bounds() const { return FBounds; }
  std::int32_t GraphicsMode() const { return FGraphicsMode; }
  std::uint32_t ExScale() const { return FExScale; }  // the float's bits
  std::uint32_t EyScale() const { return FEyScale; }
  TPoint RefPoint() const { return FRefPoint; }
  std::uint32_t TextOptions() const { return FTextOptions; }
  const TRect& ClipRect() const { return FClipRect; }
  const std::vector<TConvertedChar>& Chars() const { return FChars; }

 private:
  void SetText(TPoint refPoint, const TRect& clipRect, std::uint32_t options);

  bool FValid = false;
  TRect FBounds;
  std::int32_t FGraphicsMode = 0;
  std::uint32_t FExScale = 0;
  std::uint32_t FEyScale = 0;
  TPoint FRefPoint;
  std::uint32_t FTextOptions = 0;
  TRect FClipRect;
  std::vector<TConvertedChar> FChars;
};

}  // namespace tess

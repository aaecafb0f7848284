// libFuzzer target for the text-record converter of the 9x re-recording. The input is
//   byte 0      which text record type (EXTTEXTOUTA/W, POLYTEXTOUTA/W)
//   bytes 1-2   escapement of the font selected before the text (tenths of a degree)
//   bytes 3-4   LOGPIXELSY of the target (LOGPIXELSX is 600)
//   the rest    the text record (its type is replaced)
// The record is read on its own and played against a bitmap, then put into a one-page recording that is
// re-recorded as the 9x family does and the result played. Refusals are expected; crashes, reads past
// the record and leaks are not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/PlatformFamily.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/EmfRecords.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/ui/Runtime.h"
#include "preview/MetafileUtils.h"

namespace {

constexpr std::uint32_t kTypes[] = {tess::emf::EMR_EXTTEXTOUTA, tess::emf::EMR_EXTTEXTOUTW,
                                    tess::emf::EMR_POLYTEXTOUTA, tess::emf::EMR_POLYTEXTOUTW};

// A recording of one page: header, a font with the escapement, the text record, EOF.
std::vector<std::uint8_t> OnePage(std::span<const std::uint8_t> record, std::int32_t escapement) {
  using namespace tess::emf;
  std::vector<std::uint8_t> body;
  EmrExtCreateFontIndirectW font{};
  font.iType = EMR_EXTCREATEFONTINDIRECTW;
  font.nSize = sizeof(font);
  font.ihFont = 1;
  font.elfw.logFont.lfHeight = -40;
  font.elfw.logFont.lfEscapement = escapement;
  Append(body, font);
  EmrOneValue select{EMR_SELECTOBJECT, sizeof(EmrOneValue), 1};
  Append(body, select);
  const std::size_t at = body.size();
  body.insert(body.end(), record.begin(), record.end());
  body.resize(at + ((record.size() + 3) & ~std::size_t{3}), 0);
  const auto size = static_cast<std::uint32_t>(body.size() - at);
  std::memcpy(body.data() + at + 4, &size, 4);  // the frame the enumerator checks

  EmrHeader h{};
  h.iType = EMR_HEADER;
  h.nSize = sizeof(h);
  h.rclBounds = {0, 0, 99, 99};
  h.rclFrame = {0, 0, 2100, 2970};
  h.dSignature = ENHMETA_SIGNATURE;
  h.nVersion = kEmfVersion;
  h.nRecords = 5;
  h.nHandles = 2;
  h.szlDevice = {496, 701};
  h.szlMillimeters = {210, 297};
  EmrEof eof{EMR_EOF, sizeof(EmrEof), 0, 16, sizeof(EmrEof)};
  h.nBytes = static_cast<std::uint32_t>(sizeof(h) + body.size() + sizeof(eof));
  std::vector<std::uint8_t> out;
  Append(out, h);
  out.insert(out.end(), body.begin(), body.end());
  Append(out, eof);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tess::EnsurePlatformStarted(*argc, *argv);
  tess::SetPlatformFamily(tess::TPlatformFamily::Windows9x);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5 + 8) return 0;
  const std::uint32_t type = kTypes[data[0] % 4];
  const auto escapement = static_cast<std::int16_t>(data[1] | data[2] << 8);
  const int dpiY = 1 + (data[3] | data[4] << 8) % 2400;
  std::vector<std::uint8_t> record(data + 5, data + size);
  std::memcpy(record.data(), &type, 4);

  try {
    // The record on its own, nSize as given.
    tess::TExtTextOutConverter converter;
    if (converter.CreateFromRecord(record)) {
      tess::TBitmap24 bitmap(8, 8);
      tess::TLogFont font;
      font.Escapement = escapement;
      bitmap.Canvas(600, dpiY).Handle().SelectFont(font);
      std::size_t played = 0;
      (void)converter.PlayConverted(bitmap.Canvas().Handle(), [&played](std::span<const std::uint8_t> r) {
        played += r.size();
        return tess::TResult::Ok();
      });
      bitmap.ReleaseCanvas();
    }

    // The record inside a page, re-recorded and drawn.
    tess::TMetafile page;
    if (page.LoadFromBytes(OnePage(record, escapement))) {
      std::unique_ptr<tess::TMetafile> fixed = tess::FixMetafileFor9X(page, nullptr);
      tess::TBitmap24 target(32, 32);
      (void)target.Canvas().StretchDraw(tess::TRect{0, 0, 32, 32}, *fixed);
      target.ReleaseCanvas();
    }
  } catch (const tess::EAssertionFailed&) {
    std::abort();  // the type is always a text type: an assertion here is a fault
  } catch (const tess::Exception&) {
    // a refused record: expected
  }
  return 0;
}

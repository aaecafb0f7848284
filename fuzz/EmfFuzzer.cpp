// libFuzzer target for the record enumerator and the player: any bytes are enumerated without a target,
// loaded as a metafile, played onto a small bitmap and into a recording. Errors are expected; crashes,
// overflows and leaks are not.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/ui/Runtime.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tess::EnsurePlatformStarted(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  std::size_t records = 0;
  (void)tess::EnumerateEmf(bytes, nullptr, nullptr, [&](tess::TEnumContext& e) {
    ++records;
    return e.Record().Bytes.size() >= 8;
  });
  tess::TMetafile metafile;
  if (metafile.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()))) {
    (void)metafile.Width();
    (void)metafile.Height();
  }

  tess::TBitmap24 target(48, 48);
  tess::TCanvas& canvas = target.Canvas();
  (void)tess::PlayEmf(canvas.Handle(), bytes, tess::TRect{0, 0, 48, 48});
  (void)tess::PlayEmf(canvas.Handle(), bytes, tess::TRect{48, 48, 0, 0});
  target.ReleaseCanvas();

  // Played into a recording too, as pages are re-recorded: the recording's bounds and frame come from
  // the record values.
  tess::TMetafile recording;
  {
    tess::TMetafileCanvas recorder(recording, tess::TDeviceDescription::FromPixels(96, 96, 794, 1123));
    (void)tess::PlayEmf(recorder.Handle(), bytes, tess::TRect{0, 0, 794, 1123});
  }
  (void)recording.Width();
  (void)recording.Height();
  return 0;
}

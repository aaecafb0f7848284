// Storing a recorded page: the NT family's exact copy and the 9x family's re-recording with split text,
// against recording the same page in the first place (the reference), at a 600 dpi printer's resolution.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/core/PlatformFamily.h"
#include "platform/gfx/emf/Metafile.h"
#include "preview/MetafileUtils.h"
#include "tests/support/SamplePage.h"

namespace tess {
namespace {

const TDeviceDescription& Printer() {
  static const TDeviceDescription d = testing::A4Device(600);
  return d;
}

TMetafile RecordPage() {
  TMetafile m;
  m.SetMMWidth(testing::kPageWidth * 10);
  m.SetMMHeight(testing::kPageHeight * 10);
  {
    TMetafileCanvas c(m, Printer());
    testing::PreparePage(c, Printer().WidthPixels, Printer().HeightPixels);
    testing::DrawSamplePage(c);
  }
  return m;
}

void BM_StorePage_RecordReference(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RecordPage().Bytes().data());
}

void StorePage(benchmark::State& state, TPlatformFamily family) {
  const TMetafile page = RecordPage();
  SetPlatformFamily(family);
  for (auto _ : state) {
    std::unique_ptr<TMetafile> stored = FixMetafileFor9X(page, &Printer());
    if (!stored || stored->Empty()) std::abort();
    benchmark::DoNotOptimize(stored->Bytes().data());
  }
  SetPlatformFamily(TPlatformFamily::WindowsNT);
}

void BM_StorePage_NtCopy(benchmark::State& state) {
  StorePage(state, TPlatformFamily::WindowsNT);
}

void BM_StorePage_9xReRecording(benchmark::State& state) {
  StorePage(state, TPlatformFamily::Windows9x);
}

BENCHMARK(BM_StorePage_RecordReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StorePage_NtCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StorePage_9xReRecording)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tess

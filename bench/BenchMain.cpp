// Benchmark main shared by every benchmark file: the platform is started once (offscreen), then Google
// Benchmark runs.
#include <benchmark/benchmark.h>

#include "platform/Runtime.h"

int main(int argc, char** argv) {
  tess::EnsurePlatformStarted(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

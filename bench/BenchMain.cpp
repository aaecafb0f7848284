// The benchmark executable's main: starts the platform (offscreen) once, then runs every benchmark.
// Each figure is read as a ratio against the reference benchmark of the same group in the same run.
#include <benchmark/benchmark.h>

#include "platform/ui/Runtime.h"

int main(int argc, char** argv) {
  tess::EnsurePlatformStarted();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

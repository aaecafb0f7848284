// Tessarine start-up. Until the dialog exists this prints what the puzzle catalogues hold.
#include <cstdio>

#include "platform/Runtime.h"
#include "worksheet/CatalogueGenerator.h"

int main(int argc, char** argv) {
  tess::EnsurePlatformStarted(argc, argv);
  for (int n = 3; n <= 6; ++n) {
    std::vector<tess::Cp932String> lines = tess::GenerateCatalogueLines(n);
    std::printf("Square%d: %zu lines, first %s, last %s\n", n, lines.size(), lines.front().Bytes().c_str(),
                lines.back().Bytes().c_str());
  }
  return 0;
}

// Generating the four puzzle catalogues, against parsing the same lines from text (what loading them from
// stored data would cost).
#include <benchmark/benchmark.h>

#include <string>

#include "platform/components/StoredDesign.h"
#include "platform/core/StringList.h"
#include "worksheet/CatalogueGenerator.h"
#include "worksheet/CatalogueList.h"

namespace {

std::string AllCataloguesAsText() {
  std::string text;
  for (int n = 3; n <= 6; ++n) {
    for (const tess::Cp932String& line : tess::GenerateCatalogueLines(n)) text += line.Bytes() + "\n";
  }
  return text;
}

void BM_Catalogue_ParseReference(benchmark::State& state) {
  const std::string text = AllCataloguesAsText();
  for (auto _ : state) {
    tess::TStringList list;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      list.Add(tess::Cp932String::FromBytes(std::string_view(text).substr(start, end - start)));
      start = end + 1;
    }
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_Catalogue_ParseReference);

// The same lines held in a stored design (JSON), read back into the four catalogue components: what
// loading carried-over catalogues with the main form would cost.
void BM_Catalogue_LoadFromDesignReference(benchmark::State& state) {
  std::vector<std::string> designs;
  for (int n = 3; n <= 6; ++n) {
    tess::TCStringList catalogue(nullptr);
    tess::TStringList lines;
    tess::FillCatalogue(lines, n);
    catalogue.SetStrings(&lines);
    designs.push_back(tess::ComponentToText(catalogue));
  }
  for (auto _ : state) {
    for (const std::string& design : designs) {
      tess::TCStringList catalogue(nullptr);
      tess::ComponentFromText(catalogue, design);
      benchmark::DoNotOptimize(catalogue);
    }
  }
}
BENCHMARK(BM_Catalogue_LoadFromDesignReference);

void BM_Catalogue_Generate(benchmark::State& state) {
  for (auto _ : state) {
    for (int n = 3; n <= 6; ++n) {
      tess::TStringList list;
      tess::FillCatalogue(list, n);
      benchmark::DoNotOptimize(list);
    }
  }
}
BENCHMARK(BM_Catalogue_Generate);

}  // namespace

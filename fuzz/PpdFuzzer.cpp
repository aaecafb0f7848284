// libFuzzer target for printer descriptions from the print service: a description is read or refused
// whatever the bytes, with its names bounded as the client library bounds them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/printing/PpdFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<tess::TPpdFile> ppd =
      tess::ReadPpd(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!ppd) return 0;
  for (const tess::TPpdOption& option : ppd->options) {
    if (option.keyword.size() > 40) std::abort();
    for (const tess::TPpdChoice& choice : option.choices) {
      if (choice.choice.size() > 40) std::abort();
    }
  }
  return 0;
}

// libFuzzer target for IPP messages as the print service sends them: a message is read or refused, never
// read past its end, and a message that was read is written back to the same message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "platform/printing/IppMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<tess::ipp::Message> read = tess::ipp::Decode(std::span(data, size));
  if (!read) return 0;
  const std::vector<std::uint8_t> written = tess::ipp::Encode(*read);
  const std::optional<tess::ipp::Message> again = tess::ipp::Decode(written);
  if (!again || !(*again == *read) || tess::ipp::Encode(*again) != written) std::abort();
  return 0;
}

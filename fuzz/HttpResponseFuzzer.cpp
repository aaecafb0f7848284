// libFuzzer target for HTTP responses from the print service: a response is read or refused whatever the
// bytes, and how the bytes are cut into pieces as they arrive changes nothing. The first byte sets the
// size of the pieces; the rest is the connection's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/printing/HttpResponse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  tess::THttpResponseReader whole;
  whole.Feed(bytes);
  whole.End();
  tess::THttpResponseReader pieces;
  for (std::size_t at = 0; at < bytes.size(); at += piece)
    pieces.Feed(bytes.subspan(at, std::min(piece, bytes.size() - at)));
  pieces.End();
  if (whole.State() != pieces.State() || whole.Status() != pieces.Status() || whole.Body() != pieces.Body() ||
      whole.Why() != pieces.Why()) {
    std::abort();
  }
  if (whole.Body().size() > tess::THttpResponseReader::kMaxBodyBytes) std::abort();
  return 0;
}

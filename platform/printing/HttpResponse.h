#pragma once
// The reading of an HTTP/1.1 response as the print service sends it, from bytes arriving in pieces: the
// status line, the header fields and the body, framed by Content-Length, by chunks, or by the end of the
// connection. Interim responses ("100 Continue") are passed over.
//
// The bytes come from another program and may be anything: lines, header fields and the body are bounded
// (64 KB of head, 16 MB of body), every number is checked before it is used, and a malformed response is
// refused with the reason instead of being guessed at.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tess {

class THttpResponseReader {
 public:
  enum class TState { Reading, Complete, Failed };

  inline static constexpr std::size_t kMaxHeadBytes = 64 * 1024;
  inline static constexpr std::size_t kMaxBodyBytes = 16 * 1024 * 1024;

  // `headRequest`: the response to a HEAD request, which has no body whatever its fields say.
  explicit THttpResponseReader(bool headRequest = false) : FHeadRequest(headRequest) {}

  // Takes the next bytes of the connection; returns the state after them. Bytes after a complete
  // response are not looked at.
  TState Feed(std::span<const std::uint8_t> bytes);
  // The connection ended: a body framed by the end of the connection is complete; anything else that was
  // still being read fails.
  TState End();

  TState State() const { return FState; }
  // Why the response was refused (empty unless Failed).
  const std::string& Why() const { return FWhy; }

  int Status() const { return FStatus; }
  // The value of a header field (names compare without regard to case); empty when absent.
  std::string_view Field(std::string_view name) const;
  const std::vector<std::uint8_t>& Body() const { return FBody; }

 private:
  enum class TPart { Head, BodyLength, BodyToEnd, ChunkSize, ChunkData, ChunkDataEnd, Trailer };

  bool ParseHead(std::string_view head);
  bool StartBody();
  bool Step();  // one step of the body; false when more bytes are needed or the response is done
  TState Fail(std::string why);

  bool FHeadRequest;
  TState FState = TState::Reading;
  TPart FPart = TPart::Head;
  // The bytes received: those before FAt are consumed; up to FScanned of the rest are known to hold no end
  // of the head or line being looked for, so that bytes arriving one at a time are not searched again.
  std::string_view Unread() const { return std::string_view(FPending).substr(FAt); }
  void Consume(std::size_t n) {
    FAt += n;
    FScanned = 0;
  }
  // The end of the line that starts the unread bytes ("\r\n" or "\n"), and through `next` where the line
  // after it starts; npos when the line has not ended yet.
  std::size_t LineEnd(std::size_t& next);

  std::string FPending;
  std::size_t FAt = 0;
  std::size_t FScanned = 0;
  std::string FWhy;
  int FStatus = 0;
  std::vector<std::pair<std::string, std::string>> FFields;
  std::vector<std::uint8_t> FBody;
  std::size_t FRemaining = 0;  // of the body (Content-Length) or of the current chunk
};

}  // namespace tess

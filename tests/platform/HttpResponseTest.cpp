// Reading HTTP responses from bytes that arrive in pieces: the three ways a body is framed, interim
// responses, and refusal of malformed or oversized responses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/printing/HttpResponse.h"

namespace tess {
namespace {

using TState = THttpResponseReader::TState;

// Feeds `text` in pieces of `piece` bytes, then (with `end`) the end of the connection.
THttpResponseReader Read(const std::string& text, std::size_t piece, bool end = true) {
  THttpResponseReader reader;
  for (std::size_t at = 0; at < text.size(); at += piece) {
    const std::string part = text.substr(at, piece);
    reader.Feed(std::span(reinterpret_cast<const std::uint8_t*>(part.data()), part.size()));
  }
  if (end) reader.End();
  return reader;
}

std::string BodyOf(const THttpResponseReader& reader) {
  return {reader.Body().begin(), reader.Body().end()};
}

TEST(HttpResponse, BodiesAreFramedByLengthChunksOrTheConnectionsEnd) {
  const std::string lengthFramed =
      "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\ncontent-length: "
      "5\r\n\r\n"
      "abcde and what a next response would be";
  const std::string chunked =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n3;ext=1\r\nabc\r\nA\r\n0123456789\r\n0\r\nX-T: "
      "1\r\n\r\n";
  for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
    THttpResponseReader r = Read(lengthFramed, piece, false);  // complete without the connection's end
    EXPECT_EQ(r.State(), TState::Complete) << r.Why();
    EXPECT_EQ(r.Status(), 200);
    EXPECT_EQ(r.Field("Content-Type"), "application/ipp");
    EXPECT_EQ(BodyOf(r), "abcde");
    r = Read(chunked, piece, false);
    EXPECT_EQ(r.State(), TState::Complete) << r.Why();
    EXPECT_EQ(BodyOf(r), "abc0123456789");
  }
  THttpResponseReader toEnd = Read("HTTP/1.0 404 Not Found\nServer: x\n\nno such page", 4, false);
  EXPECT_EQ(toEnd.State(), TState::Reading);
  EXPECT_EQ(toEnd.End(), TState::Complete);
  EXPECT_EQ(toEnd.Status(), 404);
  EXPECT_EQ(BodyOf(toEnd), "no such page");
}

TEST(HttpResponse, MalformedOrOversizedResponsesAreRefused) {
  const struct {
    std::string text;
    std::string why;
  } cases[] = {
      {"SMTP ready\r\n\r\n", "HTTP/1 status line"},
      {"HTTP/1.1 2x0 OK\r\n\r\n", "three-digit"},
      {"HTTP/1.1 200 OK\r\nno colon here\r\n\r\n", "name: value"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 12a\r\n\r\n", "not a number"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", "two different lengths"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n", "larger than 16 MB"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n", "not chunked"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", "not a hexadecimal"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1000001\r\n", "larger than 16 MB"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1FFFFFFFF\r\n", "larger than 16 MB"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n",
       "does not end where its size says"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", "ended within the response's body"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n", "ended before the response's head"},
      {"HTTP/1.1 200 OK\r\n" + std::string(70 * 1024, 'x'), "head is longer than 64 KB"},
  };
  for (const auto& c : cases) {
    const THttpResponseReader r = Read(c.text, 7);
    EXPECT_EQ(r.State(), TState::Failed) << c.text.substr(0, 60);
    EXPECT_NE(r.Why().find(c.why), std::string::npos) << r.Why();
  }
  std::string manyFields = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 101; ++i) manyFields += "X-" + std::to_string(i) + ": v\r\n";
  EXPECT_NE(Read(manyFields + "\r\n", 50).Why().find("more than 100"), std::string::npos);
}

}  // namespace
}  // namespace tess

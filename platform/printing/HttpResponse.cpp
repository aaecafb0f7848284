#include "platform/printing/HttpResponse.h"

#include <algorithm>

namespace tess {

namespace {

constexpr std::size_t kMaxFields = 100;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsTokenChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// The line that starts `at` in `text` without its end ("\r\n" or "\n"); npos when no end has come yet.
std::size_t LineEndIn(std::string_view text, std::size_t at, std::size_t& next) {
  const std::size_t newline = text.find('\n', at);
  if (newline == std::string_view::npos) return std::string_view::npos;
  next = newline + 1;
  return newline > at && text[newline - 1] == '\r' ? newline - 1 : newline;
}

}  // namespace

std::string_view THttpResponseReader::Field(std::string_view name) const {
  for (const auto& [fieldName, value] : FFields) {
    if (SameName(fieldName, name)) return value;
  }
  return {};
}

THttpResponseReader::TState THttpResponseReader::Fail(std::string why) {
  FState = TState::Failed;
  FWhy = std::move(why);
  FPending.clear();
  FAt = FScanned = 0;
  return FState;
}

std::size_t THttpResponseReader::LineEnd(std::size_t& next) {
  const std::string_view unread = Unread();
  const std::size_t newline = unread.find('\n', FScanned);
  if (newline == std::string_view::npos) {
    FScanned = unread.size();
    return std::string_view::npos;
  }
  next = newline + 1;
  return newline > 0 && unread[newline - 1] == '\r' ? newline - 1 : newline;
}

THttpResponseReader::TState THttpResponseReader::Feed(std::span<const std::uint8_t> bytes) {
  if (FState != TState::Reading) return FState;
  FPending.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  while (FState == TState::Reading) {
    if (FPart != TPart::Head) {
      if (!Step()) break;
      continue;
    }
    // The head ends at an empty line; the search starts a little before where the last one stopped.
    const std::string_view unread = Unread();
    const std::size_t from = FScanned > 3 ? FScanned - 3 : 0;
    const std::size_t end = unread.find("\r\n\r\n", from);
    const std::size_t bareEnd = unread.find("\n\n", from);
    const std::size_t headEnd = std::min(end == std::string_view::npos ? end : end + 4,
                                         bareEnd == std::string_view::npos ? bareEnd : bareEnd + 2);
    if (headEnd == std::string_view::npos) {
      FScanned = unread.size();
      if (unread.size() > kMaxHeadBytes) return Fail("the response's head is longer than 64 KB");
      break;
    }
    if (headEnd > kMaxHeadBytes) return Fail("the response's head is longer than 64 KB");
    const std::string head(unread.substr(0, headEnd));
    Consume(headEnd);
    if (!ParseHead(head)) return FState;
    if (FStatus >= 100 && FStatus < 200) {
      FFields.clear();  // an interim response; the real one follows
      continue;
    }
    if (!StartBody()) return FState;
  }
  if (FState == TState::Reading) {
    FPending.erase(0, FAt);
    FAt = 0;
  }
  return FState;
}

THttpResponseReader::TState THttpResponseReader::End() {
  if (FState != TState::Reading) return FState;
  if (FPart == TPart::BodyToEnd) {
    FState = TState::Complete;
    return FState;
  }
  return Fail(FPart == TPart::Head ? "the connection ended before the response's head"
                                   : "the connection ended within the response's body");
}

bool THttpResponseReader::ParseHead(std::string_view head) {
  std::size_t at = 0;
  std::size_t next = 0;
  std::size_t end = LineEndIn(head, at, next);
  const std::string_view status = head.substr(0, end);
  // "HTTP/1.x NNN reason"
  if (status.size() < 12 || status.substr(0, 7) != "HTTP/1." || status[7] < '0' || status[7] > '9' ||
      status[8] != ' ') {
    Fail("the response does not start with an HTTP/1 status line");
    return false;
  }
  int code = 0;
  for (std::size_t i = 9; i < 12; ++i) {
    if (status[i] < '0' || status[i] > '9') {
      Fail("the response's status is not a three-digit number");
      return false;
    }
    code = code * 10 + (status[i] - '0');
  }
  if (status.size() > 12 && status[12] != ' ') {
    Fail("the response's status is not a three-digit number");
    return false;
  }
  FStatus = code;
  FFields.clear();
  for (at = next;; at = next) {
    end = LineEndIn(head, at, next);
    if (end == std::string_view::npos || end == at) break;  // the empty line that ends the head
    const std::string_view line = head.substr(at, end - at);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0 ||
        !std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon), IsTokenChar)) {
      Fail("a header field of the response is not \"name: value\"");
      return false;
    }
    if (FFields.size() == kMaxFields) {
      Fail("the response has more than 100 header fields");
      return false;
    }
    FFields.emplace_back(std::string(line.substr(0, colon)), std::string(Trim(line.substr(colon + 1))));
  }
  return true;
}

bool THttpResponseReader::StartBody() {
  if (FHeadRequest || FStatus == 204 || FStatus == 304) {
    FState = TState::Complete;
    return false;
  }
  const std::string_view transfer = Field("Transfer-Encoding");
  if (!transfer.empty()) {
    if (!SameName(transfer, "chunked")) {
      Fail("the response's transfer coding is not chunked");
      return false;
    }
    FPart = TPart::ChunkSize;
    return true;
  }
  std::string_view length;
  for (const auto& [name, value] : FFields) {
    if (!SameName(name, "Content-Length")) continue;
    if (!length.empty() && length != value) {
      Fail("the response gives two different lengths");
      return false;
    }
    length = value;
  }
  if (length.empty()) {
    FPart = TPart::BodyToEnd;
    return true;
  }
  std::size_t n = 0;
  for (char c : length) {
    if (c < '0' || c > '9' || n > kMaxBodyBytes) {
      Fail(c < '0' || c > '9' ? "the response's length is not a number"
                              : "the response's body is larger than 16 MB");
      return false;
    }
    n = n * 10 + static_cast<std::size_t>(c - '0');
  }
  if (n > kMaxBodyBytes) {
    Fail("the response's body is larger than 16 MB");
    return false;
  }
  FRemaining = n;
  FPart = TPart::BodyLength;
  if (n == 0) FState = TState::Complete;
  return true;
}

bool THttpResponseReader::Step() {
  const std::string_view unread = Unread();
  switch (FPart) {
    case TPart::Head:
      return false;
    case TPart::BodyToEnd:
      if (FBody.size() + unread.size() > kMaxBodyBytes) {
        Fail("the response's body is larger than 16 MB");
        return false;
      }
      FBody.insert(FBody.end(), unread.begin(), unread.end());
      Consume(unread.size());
      return false;
    case TPart::BodyLength:
    case TPart::ChunkData: {
      const std::size_t take = std::min(FRemaining, unread.size());
      FBody.insert(FBody.end(), unread.begin(), unread.begin() + static_cast<std::ptrdiff_t>(take));
      Consume(take);
      FRemaining -= take;
      if (FRemaining > 0) return false;
      if (FPart == TPart::BodyLength) {
        FState = TState::Complete;
        return false;
      }
      FPart = TPart::ChunkDataEnd;
      return true;
    }
    case TPart::ChunkDataEnd: {
      if (unread.empty() || unread == "\r") return false;
      if (unread.substr(0, 2) == "\r\n") {
        Consume(2);
      } else if (unread[0] == '\n') {
        Consume(1);
      } else {
        Fail("a chunk of the response does not end where its size says");
        return false;
      }
      FPart = TPart::ChunkSize;
      return true;
    }
    case TPart::ChunkSize: {
      std::size_t next = 0;
      const std::size_t end = LineEnd(next);
      // The same limit whether the line's end has come or not, so that how the bytes arrive changes nothing.
      if ((end == std::string_view::npos ? unread.size() : end) > 1024) {
        Fail("a chunk size line of the response is longer than 1 KB");
        return false;
      }
      if (end == std::string_view::npos) return false;
      std::size_t size = 0;
      std::size_t digits = 0;
      for (char c : unread.substr(0, end)) {
        int value = -1;
        if (c >= '0' && c <= '9') value = c - '0';
        if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
        if (value < 0) break;  // a chunk extension (";...") or spaces follow
        if (++digits > 8) {
          Fail("a chunk of the response is larger than 16 MB");
          return false;
        }
        size = size * 16 + static_cast<std::size_t>(value);
      }
      if (digits == 0) {
        Fail("a chunk size of the response is not a hexadecimal number");
        return false;
      }
      if (size > kMaxBodyBytes - FBody.size()) {
        Fail("the response's body is larger than 16 MB");
        return false;
      }
      Consume(next);
      FRemaining = size;
      FPart = size == 0 ? TPart::Trailer : TPart::ChunkData;
      return true;
    }
    case TPart::Trailer: {
      std::size_t next = 0;
      const std::size_t end = LineEnd(next);
      if ((end == std::string_view::npos ? unread.size() : end) > kMaxHeadBytes) {
        Fail("a line of the response's trailer is longer than 64 KB");
        return false;
      }
      if (end == std::string_view::npos) return false;
      Consume(next);
      if (end == 0) FState = TState::Complete;  // the empty line that ends the trailer
      return true;
    }
  }
  return false;
}

}  // namespace tess

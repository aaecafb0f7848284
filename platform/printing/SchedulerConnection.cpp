#include "platform/printing/SchedulerConnection.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/core/Interruption.h"
#include "platform/printing/HttpResponse.h"

namespace tess {
namespace {

// How long one wait lasts before the deadline and the run's interruption are looked at again.
constexpr int kWaitSliceMs = 50;

int OpenSocket(int family) {
  return ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

}  // namespace

TSchedulerConnection::TSchedulerConnection(TSchedulerAddress address,
                                           std::chrono::milliseconds connectTimeout,
                                           std::chrono::milliseconds answerTimeout)
    : FAddress(std::move(address)), FConnectTimeout(connectTimeout), FAnswerTimeout(answerTimeout) {}

TSchedulerConnection::~TSchedulerConnection() {
  Close();
}

void TSchedulerConnection::Close() {
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
}

TSchedulerConnection::TOutcome TSchedulerConnection::Wait(short events, TClock::time_point deadline) {
  for (;;) {
    if (InterruptionSignal() != 0) return TOutcome::Interrupted;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
    if (left <= 0) return TOutcome::Expired;
    pollfd p{FFd, events, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, kWaitSliceMs)));
    if (ready > 0) return TOutcome::Answered;
    if (ready < 0 && errno != EINTR) return TOutcome::Garbled;
  }
}

TSchedulerConnection::TOutcome TSchedulerConnection::Open(TClock::time_point deadline) {
  Close();
  if (!FAddress.socketPath.empty()) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (FAddress.socketPath.size() >= sizeof address.sun_path) return TOutcome::Unreachable;
    std::memcpy(address.sun_path, FAddress.socketPath.c_str(), FAddress.socketPath.size() + 1);
    FFd = OpenSocket(AF_UNIX);
    if (FFd < 0) return TOutcome::Unreachable;
    // A local socket connects at once or not at all.
    if (::connect(FFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      Close();
      return TOutcome::Unreachable;
    }
    return TOutcome::Answered;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(FAddress.host.c_str(), std::to_string(FAddress.port).c_str(), &hints, &found) != 0) {
    return TOutcome::Unreachable;
  }
  TOutcome outcome = TOutcome::Unreachable;
  for (addrinfo* a = found; a != nullptr && outcome == TOutcome::Unreachable; a = a->ai_next) {
    FFd = OpenSocket(a->ai_family);
    if (FFd < 0) continue;
    if (::connect(FFd, a->ai_addr, a->ai_addrlen) == 0) {
      outcome = TOutcome::Answered;
      break;
    }
    if (errno == EINPROGRESS) {
      const TOutcome waited = Wait(POLLOUT, deadline);
      int error = 0;
      socklen_t size = sizeof error;
      if (waited == TOutcome::Answered && ::getsockopt(FFd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
          error == 0) {
        outcome = TOutcome::Answered;
        break;
      }
      if (waited == TOutcome::Interrupted) outcome = waited;
    }
    Close();
  }
  ::freeaddrinfo(found);
  return outcome;
}

bool TSchedulerConnection::Send(std::span<const std::uint8_t> bytes, TClock::time_point deadline,
                                TOutcome& outcome) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(FFd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(sent));
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      outcome = Wait(POLLOUT, deadline);
      if (outcome != TOutcome::Answered) return false;
      continue;
    }
    outcome = TOutcome::Garbled;
    return false;
  }
  return true;
}

// A kept connection serves the next exchange unless the scheduler has closed its end: nothing is to be
// read between exchanges, so anything readable means it did.
bool TSchedulerConnection::Reusable() {
  if (FFd < 0) return false;
  pollfd p{FFd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 0;
}

std::string TSchedulerConnection::HostField() const {
  if (!FAddress.socketPath.empty()) return "localhost";
  const bool v6 = FAddress.host.find(':') != std::string::npos;
  return (v6 ? "[" + FAddress.host + "]" : FAddress.host) + ":" + std::to_string(FAddress.port);
}

TSchedulerConnection::TReply TSchedulerConnection::Exchange(const std::string& head,
                                                            std::span<const std::uint8_t> body) {
  TReply reply;
  // A kept connection the scheduler closed while the request was being sent gets one fresh try: the
  // questions asked here change nothing on the scheduler.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const bool fresh = !Reusable();
    if (fresh) {
      reply.outcome = Open(TClock::now() + FConnectTimeout);
      if (reply.outcome != TOutcome::Answered) return reply;
    }
    const TClock::time_point deadline = TClock::now() + FAnswerTimeout;
    const auto* headBytes = reinterpret_cast<const std::uint8_t*>(head.data());
    if (!Send({headBytes, head.size()}, deadline, reply.outcome) || !Send(body, deadline, reply.outcome)) {
      Close();
      if (reply.outcome == TOutcome::Garbled && !fresh) continue;
      return reply;
    }
    THttpResponseReader reader;
    std::uint8_t buffer[16384];
    bool anything = false;
    while (reader.State() == THttpResponseReader::TState::Reading) {
      reply.outcome = Wait(POLLIN, deadline);
      if (reply.outcome != TOutcome::Answered) {
        Close();
        return reply;
      }
      const ssize_t got = ::recv(FFd, buffer, sizeof buffer, 0);
      if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
      if (got <= 0) {
        reader.End();
        break;
      }
      anything = true;
      reader.Feed({buffer, static_cast<std::size_t>(got)});
    }
    if (reader.State() != THttpResponseReader::TState::Complete) {
      Close();
      reply.outcome = TOutcome::Garbled;
      if (!anything && !fresh) continue;  // the kept connection had been closed
      return reply;
    }
    reply.outcome = TOutcome::Answered;
    reply.status = reader.Status();
    reply.body = reader.Body();
    std::string connection(reader.Field("Connection"));
    std::transform(connection.begin(), connection.end(), connection.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (connection.find("close") != std::string::npos) Close();
    return reply;
  }
  return reply;
}

TSchedulerConnection::TReply TSchedulerConnection::Post(std::span<const std::uint8_t> request) {
  const std::string head =
      "POST / HTTP/1.1\r\nHost: " + HostField() +
      "\r\nContent-Type: application/ipp\r\nContent-Length: " + std::to_string(request.size()) + "\r\n\r\n";
  return Exchange(head, request);
}

TSchedulerConnection::TReply TSchedulerConnection::Get(std::string_view resource) {
  const std::string head = "GET " + std::string(resource) + " HTTP/1.1\r\nHost: " + HostField() + "\r\n\r\n";
  return Exchange(head, {});
}

}  // namespace tess

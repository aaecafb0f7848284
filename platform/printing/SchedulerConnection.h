#pragma once
// A connection to the print scheduler for the questions the program asks it itself (see SchedulerAddress.h):
// an IPP request posted, or a file fetched, over plain HTTP/1.1, one at a time, the connection kept between
// them. Every exchange has a deadline and ends early when the run is interrupted; what the scheduler sends
// back is read within the response reader's bounds.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printing/SchedulerAddress.h"

namespace tess {

class TSchedulerConnection {
 public:
  enum class TOutcome {
    Answered,     // a whole response came; Status and Body hold it
    Unreachable,  // no connection could be made
    Expired,      // the scheduler let the deadline pass
    Interrupted,  // the run was interrupted
    Garbled,      // the scheduler's bytes were no HTTP response, or the connection ended within one
  };
  struct TReply {
    TOutcome outcome = TOutcome::Unreachable;
    int status = 0;  // the HTTP status
    std::vector<std::uint8_t> body;
  };

  TSchedulerConnection(TSchedulerAddress address, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds answerTimeout);
  ~TSchedulerConnection();
  TSchedulerConnection(const TSchedulerConnection&) = delete;
  TSchedulerConnection& operator=(const TSchedulerConnection&) = delete;

  const TSchedulerAddress& Address() const { return FAddress; }

  // Posts an encoded IPP request to the scheduler's root resource.
  TReply Post(std::span<const std::uint8_t> request);
  // Fetches a resource ("/printers/name.ppd"; the caller has encoded it).
  TReply Get(std::string_view resource);
  // Drops the connection; the next exchange opens a new one.
  void Close();

 private:
  using TClock = std::chrono::steady_clock;
  TReply Exchange(const std::string& head, std::span<const std::uint8_t> body);
  TOutcome Open(TClock::time_point deadline);
  // Sends all bytes; false when the connection failed (the outcome says how).
  bool Send(std::span<const std::uint8_t> bytes, TClock::time_point deadline, TOutcome& outcome);
  // Waits for `events` on the connection in short slices, until the deadline or an interruption; Answered
  // means the connection is ready for them.
  TOutcome Wait(short events, TClock::time_point deadline);
  bool Reusable();
  std::string HostField() const;

  TSchedulerAddress FAddress;
  std::chrono::milliseconds FConnectTimeout;
  std::chrono::milliseconds FAnswerTimeout;
  int FFd = -1;
};

}  // namespace tess

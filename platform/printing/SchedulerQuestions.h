#pragma once
// The questions the program asks the print scheduler itself (see SchedulerAddress.h), answered as the print
// service's client library answers them there: the printer list with its default (CUPS-Get-Printers and
// CUPS-Get-Default, as the user the library says it is), and a queue's PPD.

#include <optional>
#include <string>
#include <vector>

#include "platform/printing/SchedulerConnection.h"

namespace tess {

struct TSchedulerPrinter {
  std::string name;
  std::string deviceUri;
  unsigned type = 0;  // the printer-type bits
  bool shared = false;
  bool isDefault = false;
};

// What became of a question. Other: the scheduler answered something the program does not take (an HTTP
// status other than success, an IPP error, bytes that are no IPP message); the library is to ask instead.
enum class TQuestionOutcome { Answered, Unreachable, Expired, Interrupted, Other };

struct TPrinterListAnswer {
  TQuestionOutcome outcome = TQuestionOutcome::Other;
  // In the library's order (names compared without regard to ASCII case); the scheduler's default marked.
  std::vector<TSchedulerPrinter> printers;
};
// The default is the user's when one is set (the printer of that name, if the list has it: none when it
// names an instance, which only the library's configuration files could define), else the scheduler's.
TPrinterListAnswer AskPrinterList(TSchedulerConnection& connection, const std::string& user,
                                  const std::optional<std::string>& userDefault = std::nullopt);

struct TPpdAnswer {
  TQuestionOutcome outcome = TQuestionOutcome::Other;
  std::string text;  // the PPD when Answered
};
// Other covers a queue without a PPD and a name the scheduler has no queue for: the library tells them
// apart.
TPpdAnswer AskPpd(TSchedulerConnection& connection, const std::string& queue);

// The name the library gives the scheduler as the requesting user: the account's name.
std::string RequestingUser();

// `name` as a path segment of a resource: everything but unreserved characters percent-encoded.
std::string EncodePathSegment(const std::string& name);

}  // namespace tess

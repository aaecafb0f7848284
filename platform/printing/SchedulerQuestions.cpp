#include "platform/printing/SchedulerQuestions.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "platform/core/HexDigits.h"
#include "platform/printing/IppMessage.h"

namespace tess {
namespace {

constexpr std::uint16_t kGetDefault = 0x4001;
constexpr std::uint16_t kGetPrinters = 0x4002;
// IPP status codes: up to successful-ok-conflicting-attributes is success; client-error-not-found answers
// a list that is empty or a default that is not set.
constexpr std::uint16_t kLastSuccess = 0x0002;
constexpr std::uint16_t kNotFound = 0x0406;
constexpr int kHttpOk = 200;

TQuestionOutcome FromConnection(TSchedulerConnection::TOutcome outcome) {
  switch (outcome) {
    case TSchedulerConnection::TOutcome::Answered:
      return TQuestionOutcome::Answered;
    case TSchedulerConnection::TOutcome::Unreachable:
      return TQuestionOutcome::Unreachable;
    case TSchedulerConnection::TOutcome::Expired:
      return TQuestionOutcome::Expired;
    case TSchedulerConnection::TOutcome::Interrupted:
      return TQuestionOutcome::Interrupted;
    case TSchedulerConnection::TOutcome::Garbled:
      break;
  }
  return TQuestionOutcome::Other;
}

ipp::Message Request(std::uint16_t operation, std::uint32_t id) {
  ipp::Message m;
  m.code = operation;
  m.requestId = id;
  ipp::Group operationGroup;
  operationGroup.attributes.push_back({"attributes-charset", {ipp::Text(ipp::ValueTag::Charset, "utf-8")}});
  operationGroup.attributes.push_back(
      {"attributes-natural-language", {ipp::Text(ipp::ValueTag::NaturalLanguage, "en")}});
  m.groups.push_back(std::move(operationGroup));
  return m;
}

// Posts a request; the decoded answer when the scheduler gave one that succeeded or found nothing.
std::optional<ipp::Message> Ask(TSchedulerConnection& connection, const ipp::Message& request,
                                TQuestionOutcome& outcome) {
  const TSchedulerConnection::TReply reply = connection.Post(ipp::Encode(request));
  outcome = FromConnection(reply.outcome);
  if (outcome != TQuestionOutcome::Answered) return std::nullopt;
  std::optional<ipp::Message> answer;
  if (reply.status == kHttpOk) answer = ipp::Decode(reply.body);
  if (!answer || answer->requestId != request.requestId ||
      (answer->code > kLastSuccess && answer->code != kNotFound)) {
    outcome = TQuestionOutcome::Other;
    return std::nullopt;
  }
  return answer;
}

const ipp::Value* First(const ipp::Group& group, const char* name) {
  const ipp::Attribute* a = group.Find(name);
  return a != nullptr && !a->values.empty() ? &a->values.front() : nullptr;
}

bool IsText(const ipp::Value& v) {
  return v.tag >= ipp::ValueTag::OctetString && v.tag != ipp::ValueTag::DateTime &&
         v.tag != ipp::ValueTag::Resolution && v.tag != ipp::ValueTag::RangeOfInteger &&
         v.tag != ipp::ValueTag::BegCollection && v.tag != ipp::ValueTag::EndCollection;
}

// ASCII letters compared without case, as the library orders and finds destinations.
int CompareNames(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto fold = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a')
                                    : static_cast<unsigned char>(c);
    };
    if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

std::string RequestingUser() {
  // The library's own fallback when the account has no entry.
  std::string user = "unknown";
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr) {
    user = found->pw_name;
  }
  return user;
}

std::string EncodePathSegment(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out += '%' + HexFromBytes(std::span<const std::uint8_t>(&c, 1));
    }
  }
  return out;
}

TPrinterListAnswer AskPrinterList(TSchedulerConnection& connection, const std::string& user,
                                  const std::optional<std::string>& userDefault) {
  TPrinterListAnswer answer;
  ipp::Message printersRequest = Request(kGetPrinters, 1);
  ipp::Attribute wanted{"requested-attributes", {}};
  for (const char* name : {"printer-name", "device-uri", "printer-type", "printer-is-shared"}) {
    wanted.values.push_back(ipp::Text(ipp::ValueTag::Keyword, name));
  }
  printersRequest.groups.front().attributes.push_back(std::move(wanted));
  printersRequest.groups.front().attributes.push_back(
      {"requesting-user-name", {ipp::Text(ipp::ValueTag::NameWithoutLanguage, user)}});
  const std::optional<ipp::Message> printers = Ask(connection, printersRequest, answer.outcome);
  if (!printers) return answer;
  std::optional<ipp::Message> byDefault;
  if (!userDefault) {
    byDefault = Ask(connection, Request(kGetDefault, 2), answer.outcome);
    if (!byDefault) return answer;
  }

  for (const ipp::Group& group : printers->groups) {
    if (group.tag != ipp::GroupTag::Printer) continue;
    const ipp::Value* name = First(group, "printer-name");
    if (name == nullptr || !IsText(*name) || name->text.empty()) continue;
    TSchedulerPrinter p;
    p.name = name->text;
    if (const ipp::Value* uri = First(group, "device-uri"); uri != nullptr && IsText(*uri))
      p.deviceUri = uri->text;
    if (const ipp::Value* type = First(group, "printer-type");
        type != nullptr && (type->tag == ipp::ValueTag::Enum || type->tag == ipp::ValueTag::Integer)) {
      p.type = static_cast<unsigned>(type->integer);
    }
    if (const ipp::Value* shared = First(group, "printer-is-shared");
        shared != nullptr && shared->tag == ipp::ValueTag::Boolean) {
      p.shared = shared->integer != 0;
    }
    // A name the list already holds (as the library keeps one destination per name) keeps its first entry.
    const bool known =
        std::any_of(answer.printers.begin(), answer.printers.end(),
                    [&](const TSchedulerPrinter& q) { return CompareNames(q.name, p.name) == 0; });
    if (!known) answer.printers.push_back(std::move(p));
  }
  std::stable_sort(answer.printers.begin(), answer.printers.end(),
                   [](const TSchedulerPrinter& a, const TSchedulerPrinter& b) {
                     return CompareNames(a.name, b.name) < 0;
                   });
  std::optional<std::string> defaultName = userDefault;
  if (byDefault) {
    for (const ipp::Group& group : byDefault->groups) {
      if (group.tag != ipp::GroupTag::Printer) continue;
      if (const ipp::Value* name = First(group, "printer-name"); name != nullptr && IsText(*name)) {
        defaultName = name->text;
      }
      break;
    }
  }
  if (defaultName) {
    for (TSchedulerPrinter& p : answer.printers) {
      if (CompareNames(p.name, *defaultName) == 0) p.isDefault = true;
    }
  }
  return answer;
}

TPpdAnswer AskPpd(TSchedulerConnection& connection, const std::string& queue) {
  TPpdAnswer answer;
  const TSchedulerConnection::TReply reply = connection.Get("/printers/" + EncodePathSegment(queue) + ".ppd");
  answer.outcome = FromConnection(reply.outcome);
  if (answer.outcome != TQuestionOutcome::Answered) return answer;
  if (reply.status != kHttpOk) {
    answer.outcome = TQuestionOutcome::Other;
    return answer;
  }
  answer.text.assign(reply.body.begin(), reply.body.end());
  return answer;
}

}  // namespace tess

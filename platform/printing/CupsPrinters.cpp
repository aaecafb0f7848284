// The CUPS printer system. The queues come from the CUPS server (with a short connection timeout and one
// deadline per request, so a server that is down or stops answering is reported as such within seconds):
// the printer list and the PPDs are asked by the program itself where the server's answers are the
// library's (SchedulerAddress.h; where the library would add printers found on the network, the list only
// for the start's questions), everything else through libcups, which is loaded only then (jobs, queues
// described by their IPP attributes, printers looked for on the network). Papers, sources and the default
// resolution come from the queue's PPD when it has one, else from its IPP attributes. A job is created on
// its queue when it starts, rendered as PDF at the printer's default resolution, checked, and sent as the
// job's document when it ends, with the options the settings block carries (the PPD's PageSize and
// InputSlot choices, copies, collation and sides); the toolkit's printer cannot carry an input slot. A job
// that fails after it was created, or that an interruption of the run withdraws, is cancelled. A printer
// the server has no queue for is looked for on the network; such lookups are not repeated for the same
// printer and take a few seconds at most in all.
//
// Private part of a CUPS settings block (kPrivateSize bytes after the 156-byte public part):
//   0  "TSCP"            signature
//   4  WORD version      1
//   6  CHAR[506]         the job options, "key=value" separated by blanks, NUL-terminated

#include <QByteArray>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTemporaryFile>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/core/Interruption.h"
#include "platform/core/Messages.h"
#include "platform/gfx/internal/PdfOutput.h"
#include "platform/gfx/internal/QtCanvas.h"
#include "platform/printing/PpdFile.h"
#include "platform/printing/Printers.h"
#include "platform/printing/SchedulerAddress.h"
#include "platform/printing/SchedulerQuestions.h"
#include "platform/printing/internal/CupsLibrary.h"
#include "platform/printing/internal/CupsSystem.h"

namespace tess {
namespace {

// The loaded libcups: a CupsPrinterSystem calls it only once it is loaded (LibraryReady).
const TCupsLibrary& Cups() {
  return *CupsLibrary();
}

constexpr std::size_t kPrivateSize = 512;
constexpr std::size_t kOptionsOffset = devmode::kPublicSize + 6;
constexpr std::size_t kOptionsSize = kPrivateSize - 6;
constexpr int kConnectTimeoutMs = 3000;
// How long the scheduler may take to answer a request (or, for a document being sent, to take the next part
// of it); a server that lets it pass is taken for unreachable.
constexpr int kAnswerTimeoutMs = 4000;
// A wait of libcups lasts this long before it asks whether to go on (KeepWaiting): how soon a passed deadline
// or an interruption ends a request.
constexpr int kWaitSliceMs = 200;
// A server that did not answer is not asked again for this long: requests fail at once meanwhile, instead of
// each waiting for the answer timeout again.
constexpr std::chrono::seconds kQuietPeriod(30);
// Looking on the network (DNS-SD) for printers the server has no queue for takes at most kNetworkBound in all
// within kNetworkMemory, and a printer not found there is not looked for again within that time: a lookup
// that takes seconds is neither repeated for every question about the printer nor added up without end.
constexpr std::chrono::milliseconds kNetworkBound(3000);
constexpr std::chrono::seconds kNetworkMemory(60);
// A document is sent in parts of this size; each part has the answer timeout of its own.
constexpr std::size_t kDocumentPart = 64 * 1024;
constexpr int kMaxCopies = 999;
constexpr std::size_t kMaxKeptCaps = 64;

struct HttpCloser {
  void operator()(http_t* http) const { Cups().httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

struct DestFree {
  void operator()(cups_dest_t* dest) const { Cups().cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestFree>;

struct InfoFree {
  void operator()(cups_dinfo_t* info) const { Cups().cupsFreeDestInfo(info); }
};
using InfoPtr = std::unique_ptr<cups_dinfo_t, InfoFree>;

// A paper as the driver describes it: its code and name for the settings block, the keyword CUPS
// knows it by, and its size and imageable area in points (origin at the bottom-left corner, portrait).
struct CupsPaper {
  std::int16_t code = 0;
  Cp932String name;
  std::string keyword;
  double width = 0, length = 0, left = 0, bottom = 0, right = 0, top = 0;
};

struct CupsBin {
  std::int16_t code = 0;
  Cp932String name;
  std::string keyword;
};

struct CupsDriver {
  Cp932String makeModel;
  bool fromPpd = false;
  std::vector<CupsPaper> papers;
  std::vector<CupsBin> bins;
  std::int16_t defaultPaper = 0;
  std::int16_t defaultBin = 0;
  bool duplex = false;  // prints on both sides of the sheet
  int dpiX = 300;
  int dpiY = 300;
};

std::string Lower(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '-' || c == '_' || c == ' ') continue;
    out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return out;
}

// PPD page-size keywords of the usual paper codes.
std::int16_t PaperCodeForKeyword(const std::string& keyword) {
  static const std::map<std::string, std::int16_t> kCodes = {
      {"letter", 1},    {"lettersmall", 2}, {"tabloid", 3},
      {"ledger", 4},    {"legal", 5},       {"statement", 6},
      {"executive", 7}, {"a3", 8},          {"a4", 9},
      {"a4small", 10},  {"a5", 11},         {"b4", 12},
      {"jisb4", 12},    {"b5", 13},         {"jisb5", 13},
      {"folio", 14},    {"quarto", 15},     {"10x14", 16},
      {"11x17", 17},    {"env9", 19},       {"env10", 20},
      {"env11", 21},    {"env12", 22},      {"env14", 23},
      {"envdl", 27},    {"envc5", 28},      {"envc3", 29},
      {"envc4", 30},    {"envc6", 31},      {"envc65", 32},
      {"envisob4", 33}, {"envisob5", 34},   {"envisob6", 35},
      {"envitaly", 36}, {"envmonarch", 37}, {"isob4", 42},
      {"postcard", 43}, {"a2", 66},         {"doublepostcard", 69},
      {"a6", 70},       {"jisb6", 88},      {"b6", 88},
  };
  auto it = kCodes.find(Lower(keyword));
  return it == kCodes.end() ? 0 : it->second;
}

// Input-slot keywords (PPD InputSlot choices and IPP media-source values) of the usual source codes.
std::int16_t BinCodeForKeyword(const std::string& keyword) {
  static const std::map<std::string, std::int16_t> kCodes = {
      {"auto", DMBIN_AUTO},         {"autoselect", DMBIN_AUTO},   {"default", DMBIN_AUTO},
      {"upper", DMBIN_UPPER},       {"tray1", DMBIN_UPPER},       {"main", DMBIN_UPPER},
      {"top", DMBIN_UPPER},         {"lower", DMBIN_LOWER},       {"tray2", DMBIN_LOWER},
      {"bottom", DMBIN_LOWER},      {"middle", DMBIN_MIDDLE},     {"tray3", DMBIN_MIDDLE},
      {"manual", DMBIN_MANUAL},     {"manualfeed", DMBIN_MANUAL}, {"bypasstray", DMBIN_MANUAL},
      {"envelope", DMBIN_ENVELOPE}, {"tractor", DMBIN_TRACTOR},   {"largecapacity", DMBIN_LARGECAPACITY},
      {"cassette", DMBIN_CASSETTE},
  };
  auto it = kCodes.find(Lower(keyword));
  return it == kCodes.end() ? 0 : it->second;
}

// A standard paper of this size (points, within half a millimetre), for drivers with names of their own.
std::int16_t PaperCodeForSize(double widthPt, double lengthPt) {
  for (const TStandardPaper& p : StandardPapers()) {
    double w = p.width * 72.0 / 254.0;
    double h = p.height * 72.0 / 254.0;
    if (std::fabs(w - widthPt) < 1.5 && std::fabs(h - lengthPt) < 1.5) return p.code;
  }
  return 0;
}

// Gives every entry a code: its usual one when free, else the next code of the driver's own range.
template <class Entry>
void AssignCodes(std::vector<Entry>& entries, const std::vector<std::int16_t>& wanted,
                 std::int16_t userBase) {
  std::vector<std::int16_t> used;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::int16_t code = wanted[i];
    if (code == 0 || std::find(used.begin(), used.end(), code) != used.end()) code = 0;
    entries[i].code = code;
    if (code != 0) used.push_back(code);
  }
  std::int16_t next = userBase;
  for (Entry& e : entries) {
    if (e.code != 0) continue;
    while (std::find(used.begin(), used.end(), next) != used.end()) ++next;
    e.code = next;
    used.push_back(next);
  }
}

bool ParseResolution(const char* text, int& x, int& y) {
  if (text == nullptr) return false;
  int a = 0, b = 0;
  if (std::sscanf(text, "%dx%ddpi", &a, &b) == 2 && a > 0 && b > 0) {
    x = a;
    y = b;
    return true;
  }
  if (std::sscanf(text, "%ddpi", &a) == 1 && a > 0) {
    x = y = a;
    return true;
  }
  return false;
}

int Dots(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

std::string OptionsText(const std::vector<std::pair<std::string, std::string>>& options) {
  std::string text;
  for (const auto& [key, value] : options) {
    if (!text.empty()) text.push_back(' ');
    text += key + "=" + value;
  }
  return text;
}

// Test hooks, read from the environment once. They stand in where a test cannot make CUPS or the network do
// something at a known moment.
//
// TESSARINE_TEST_JOB_PAUSE="POINT JOB [SECONDS]" holds the JOB-th job of the run (1 the first) at POINT,
// "before-document" (its pages drawn, its document not sent yet) or "after-document" (sent, its state not
// asked yet), until the run is interrupted or SECONDS (60 unless given) have passed.
struct TJobPause {
  std::string point;
  int job = 0;
  std::chrono::seconds longest{60};
};

std::optional<TJobPause> JobPause() {
  static const std::optional<TJobPause> pause = []() -> std::optional<TJobPause> {
    const char* text = std::getenv("TESSARINE_TEST_JOB_PAUSE");
    if (text == nullptr) return std::nullopt;
    std::istringstream words(text);
    TJobPause p;
    long long seconds = 60;
    if (!(words >> p.point >> p.job)) return std::nullopt;
    if (words >> seconds) p.longest = std::chrono::seconds(seconds);
    return p;
  }();
  return pause;
}

void PauseForTest(std::string_view point, int job) {
  const std::optional<TJobPause> pause = JobPause();
  if (!pause || pause->point != point || pause->job != job) return;
  const auto until = std::chrono::steady_clock::now() + pause->longest;
  while (InterruptionSignal() == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// TESSARINE_TEST_NETWORK_PRINTER="NAME SECONDS" lists a printer NAME as found on the network, which the
// server has no queue for and which takes SECONDS to look for there and is never found (no printer can be
// published on the network where the tests run).
struct TNetworkPrinterStub {
  std::string name;
  std::chrono::milliseconds lookup{0};
};

std::optional<TNetworkPrinterStub> NetworkPrinterStub() {
  static const std::optional<TNetworkPrinterStub> stub = []() -> std::optional<TNetworkPrinterStub> {
    const char* text = std::getenv("TESSARINE_TEST_NETWORK_PRINTER");
    if (text == nullptr) return std::nullopt;
    std::istringstream words(text);
    TNetworkPrinterStub p;
    double seconds = 0;
    if (!(words >> p.name >> seconds)) return std::nullopt;
    p.lookup = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    return p;
  }();
  return stub;
}

class CupsPrintJob;

class CupsPrinterSystem : public TPrinterSystem {
 public:
  // `direct`: the scheduler the system asks itself, when it may (see SchedulerAddress.h).
  CupsPrinterSystem(std::string server, bool ippOnly, std::optional<TSchedulerAddress> direct)
      : FServer(std::move(server)), FIppOnly(ippOnly) {
    if (direct) {
      FDirect = std::make_unique<TSchedulerConnection>(*direct, std::chrono::milliseconds(kConnectTimeoutMs),
                                                       std::chrono::milliseconds(kAnswerTimeoutMs));
    }
  }

  ~CupsPrinterSystem() override { AbandonJob(); }

  // "host:port", or the local socket's path.
  std::string Where() const {
    if (FHost.empty() && FDirect) return FDirect->Address().Describe();
    return FHost.front() == '/' ? FHost : FHost + ":" + std::to_string(FPort);
  }

  // Loads libcups at the first request that needs it and takes the server it names; false, with the
  // problem said, when it cannot be loaded.
  bool LibraryReady() {
    if (!FHost.empty()) return true;
    std::string why;
    if (CupsLibrary(&why) == nullptr) {
      SetServiceProblem(Cp932String::FromUtf8(Message("printing.no-cups-library", {why})));
      return false;
    }
    if (FServer.empty()) {
      FHost = Cups().cupsServer();
      FPort = Cups().ippPort();
    } else {
      FHost = FServer;
      FPort = Cups().ippPort();
      auto colon = FServer.rfind(':');
      if (FServer.front() != '/' && colon != std::string::npos) {
        FHost = FServer.substr(0, colon);
        FPort = std::atoi(FServer.c_str() + colon + 1);
      }
    }
    return true;
  }

  // ---- One deadline per request
  //
  // Every request to the scheduler is armed before it is made (Arm): it must be answered within
  // kAnswerTimeoutMs, and libcups, which waits in slices of kWaitSliceMs, asks KeepWaiting after each slice.
  // A request that lets its deadline pass fails once, and the scheduler is then taken for silent (Cut). A
  // question is also cut short when the run is interrupted; a change (creating or cancelling a job) is waited
  // for, so that its outcome is known and the job can be withdrawn.
  enum class TRequestKind { Question, Change };
  enum class TCut { None, Interrupted, Expired };

  void Arm(TRequestKind kind) {
    FDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    FInterruptible = kind == TRequestKind::Question;
    FCut = TCut::None;
  }

  static int KeepWaiting(http_t* /*http*/, void* data) {
    CupsPrinterSystem& self = *static_cast<CupsPrinterSystem*>(data);
    if (self.FInterruptible && InterruptionSignal() != 0) {
      self.FCut = TCut::Interrupted;
      return 0;
    }
    if (std::chrono::steady_clock::now() >= self.FDeadline) {
      self.FCut = TCut::Expired;
      return 0;
    }
    return 1;
  }

  // What cut the last request short, once dealt with: a server that let the deadline pass is silent (its
  // problem is said, and it is not asked again for kQuietPeriod); the connection of a request left unfinished
  // is dropped.
  TCut Cut() {
    const TCut cut = std::exchange(FCut, TCut::None);
    if (cut == TCut::Expired) NoteSilent();
    if (cut == TCut::Interrupted) DropConnection();
    return cut;
  }

  void NoteSilent() {
    SetServiceProblem(Cp932String::FromUtf8(
        Message("printing.unreachable-silent", {Where(), std::to_string(kAnswerTimeoutMs / 1000)})));
    FQuietUntil = std::chrono::steady_clock::now() + kQuietPeriod;
    DropConnection();
  }

  // Whether the scheduler answers a small request before the deadline. The request is sent and its answer
  // waited for once, without the library's own retries, which would wait several times as long.
  bool Answers(http_t* http) {
    ipp_t* request = Cups().ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    bool answered =
        Cups().cupsSendRequest(http, request, "/", Cups().ippLength(request)) == HTTP_STATUS_CONTINUE;
    while (answered && Cups().httpWait(http, kWaitSliceMs) == 0) answered = KeepWaiting(http, this) != 0;
    if (answered) Cups().ippDelete(Cups().cupsGetResponse(http, "/"));
    Cups().ippDelete(request);
    return answered;
  }

  // The connection to the scheduler, or nothing; ServiceProblem says which (an interruption leaves it as it
  // was). One connection serves every request; it is opened again (and the scheduler asked whether it
  // answers) when there is none yet, when the scheduler closed it, or after a request on it failed. A
  // connection for a change is opened even when the run was interrupted.
  http_t* Connect(TRequestKind kind = TRequestKind::Question) {
    if (!LibraryReady()) return nullptr;
    if (FHttp) {
      // Nothing is to be read between requests: readable now means the scheduler closed its end.
      if (Cups().httpGetFd(FHttp.get()) >= 0 && Cups().httpWait(FHttp.get(), 0) == 0) return FHttp.get();
      FHttp.reset();
    }
    if (std::chrono::steady_clock::now() < FQuietUntil) return nullptr;
    const bool interruptible = kind == TRequestKind::Question;
    if (interruptible && InterruptionSignal() != 0) return nullptr;
    HttpPtr http(Cups().httpConnect2(FHost.c_str(), FPort, nullptr, AF_UNSPEC, Cups().cupsEncryption(), 1,
                                     kConnectTimeoutMs, interruptible ? InterruptionCancelFlag() : nullptr));
    if (!http) {
      if (!interruptible || InterruptionSignal() == 0) {
        SetServiceProblem(Cp932String::FromUtf8(Message("printing.unreachable", {Where()})));
      }
      return nullptr;
    }
    Cups().httpSetTimeout(http.get(), kWaitSliceMs / 1000.0, KeepWaiting, this);
    Arm(kind);
    if (!Answers(http.get())) {
      if (std::exchange(FCut, TCut::None) != TCut::Interrupted) NoteSilent();
      return nullptr;
    }
    SetServiceProblem({});
    FHttp = std::move(http);
    return FHttp.get();
  }

  // Drops the connection after a request on it failed, so that the next one starts on a fresh one.
  void DropConnection() { FHttp.reset(); }

  std::vector<TPrinterRecord> EnumPrinters() override {
    std::vector<TPrinterRecord> records;
    // Where the library would also look on the network, the start's list is the scheduler's queues: the
    // library's lookup makes the dialog wait a quarter of a second for printers it does not need, and the
    // list is read again, with them, when a print dialog opens.
    if (FDirect && (!FDirect->Address().networkLookup || AskingStartQuestions())) {
      if (std::optional<std::vector<TPrinterRecord>> direct = DirectPrinters()) return std::move(*direct);
    }
    http_t* http = Connect();
    if (!http) return records;  // no server: no printers
    cups_dest_t* dests = nullptr;
    Arm(TRequestKind::Question);
    int count = Cups().cupsGetDests2(http, &dests);
    if (count == 0 && Cups().cupsLastError() > IPP_STATUS_OK_CONFLICTING &&
        Cups().cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
      if (Cut() != TCut::None) return records;
      // The kept connection may have gone stale: ask once more on a fresh one.
      DropConnection();
      http = Connect();
      if (!http) return records;
      Arm(TRequestKind::Question);
      count = Cups().cupsGetDests2(http, &dests);
      if (count == 0 && Cut() != TCut::None) return records;
    }
    for (int i = 0; i < count; ++i) {
      const cups_dest_t& d = dests[i];
      if (d.instance != nullptr) continue;  // instances share their queue's name
      TPrinterRecord r;
      r.name = Cp932String::FromUtf8(d.name);
      if (const char* uri = Cups().cupsGetOption("device-uri", d.num_options, d.options))
        r.port = Cp932String::FromUtf8(uri);
      const char* type = Cups().cupsGetOption("printer-type", d.num_options, d.options);
      unsigned typeBits = type ? static_cast<unsigned>(std::strtoul(type, nullptr, 10)) : 0;
      r.attributes = (typeBits & CUPS_PRINTER_REMOTE) ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL;
      const char* shared = Cups().cupsGetOption("printer-is-shared", d.num_options, d.options);
      if (shared && std::strcmp(shared, "true") == 0) r.attributes |= PRINTER_ATTRIBUTE_SHARED;
      if (d.is_default) r.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
      records.push_back(std::move(r));
    }
    Cups().cupsFreeDests(count, dests);
    AddNetworkPrinterStub(records);
    return records;
  }

  static void AddNetworkPrinterStub(std::vector<TPrinterRecord>& records) {
    if (const std::optional<TNetworkPrinterStub> stub = NetworkPrinterStub()) {
      TPrinterRecord r;
      r.name = Cp932String::FromUtf8(stub->name);
      r.port = Cp932String::FromUtf8("dnssd://" + stub->name + "._ipp._tcp.local/");
      r.attributes = PRINTER_ATTRIBUTE_NETWORK;
      records.push_back(std::move(r));
    }
  }

  // Whether a question the program asked the scheduler itself was answered; one that was not is dealt
  // with as the library's would be (the scheduler unreachable or silent said, the connection of an
  // interrupted one dropped). Other: the library is to ask.
  bool DirectAnswered(TQuestionOutcome outcome) {
    switch (outcome) {
      case TQuestionOutcome::Answered:
        SetServiceProblem({});
        return true;
      case TQuestionOutcome::Unreachable:
        if (InterruptionSignal() == 0) {
          SetServiceProblem(Cp932String::FromUtf8(Message("printing.unreachable", {Where()})));
        }
        break;
      case TQuestionOutcome::Expired:
        NoteSilent();
        break;
      case TQuestionOutcome::Interrupted:
      case TQuestionOutcome::Other:
        break;
    }
    FDirect->Close();
    return false;
  }

  // The printer list as the scheduler gives it, or nothing when the library is to ask for it.
  std::optional<std::vector<TPrinterRecord>> DirectPrinters() {
    std::vector<TPrinterRecord> records;
    if (std::chrono::steady_clock::now() < FQuietUntil) return records;
    if (InterruptionSignal() != 0) return records;
    const TPrinterListAnswer answer =
        AskPrinterList(*FDirect, RequestingUser(), FDirect->Address().userDefault);
    if (!DirectAnswered(answer.outcome)) {
      if (answer.outcome == TQuestionOutcome::Other) return std::nullopt;
      return records;
    }
    // A user's default the scheduler has no queue for may be a printer on the network: the library's.
    const bool defaultFound = std::any_of(answer.printers.begin(), answer.printers.end(),
                                          [](const TSchedulerPrinter& p) { return p.isDefault; });
    if (FDirect->Address().networkLookup && FDirect->Address().userDefault && !defaultFound)
      return std::nullopt;
    for (const TSchedulerPrinter& p : answer.printers) {
      TPrinterRecord r;
      r.name = Cp932String::FromUtf8(p.name);
      if (!p.deviceUri.empty()) r.port = Cp932String::FromUtf8(p.deviceUri);
      r.attributes = (p.type & CUPS_PRINTER_REMOTE) ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL;
      if (p.shared) r.attributes |= PRINTER_ATTRIBUTE_SHARED;
      if (p.isDefault) r.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
      records.push_back(std::move(r));
    }
    AddNetworkPrinterStub(records);
    return records;
  }

  bool MergeDevMode(const Cp932String& device, std::span<std::uint8_t> block) override {
    const CupsDriver* driver = Driver(device);
    if (driver == nullptr) return false;
    if (block.size() != devmode::kPublicSize + kPrivateSize) return false;
    if (ReadBlockU16(block, devmode::dmSize) != devmode::kPublicSize) return false;
    std::uint32_t fields =
        DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLLATE | DM_PRINTQUALITY | DM_YRESOLUTION;
    if (!driver->bins.empty()) fields |= DM_DEFAULTSOURCE;
    if (driver->duplex) fields |= DM_DUPLEX;
    WriteBlockU32(block, devmode::dmFields, fields);
    std::int16_t orientation = ReadBlockI16(block, devmode::dmOrientation).value_or(0);
    if (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE) {
      WriteBlockI16(block, devmode::dmOrientation, DMORIENT_PORTRAIT);
    }
    if (FindPaper(*driver, ReadBlockI16(block, devmode::dmPaperSize).value_or(0)) == nullptr) {
      WriteBlockI16(block, devmode::dmPaperSize, driver->defaultPaper);
    }
    if (!driver->bins.empty() &&
        FindBin(*driver, ReadBlockI16(block, devmode::dmDefaultSource).value_or(0)) == nullptr) {
      WriteBlockI16(block, devmode::dmDefaultSource, driver->defaultBin);
    }
    const std::int16_t copies = ReadBlockI16(block, devmode::dmCopies).value_or(1);
    WriteBlockI16(block, devmode::dmCopies,
                  static_cast<std::int16_t>(std::clamp<int>(copies, 1, kMaxCopies)));
    const std::int16_t collate = ReadBlockI16(block, devmode::dmCollate).value_or(DMCOLLATE_TRUE);
    if (collate != DMCOLLATE_FALSE) WriteBlockI16(block, devmode::dmCollate, DMCOLLATE_TRUE);
    const std::int16_t duplex = ReadBlockI16(block, devmode::dmDuplex).value_or(DMDUP_SIMPLEX);
    if (!driver->duplex || duplex < DMDUP_SIMPLEX || duplex > DMDUP_HORIZONTAL) {
      WriteBlockI16(block, devmode::dmDuplex, DMDUP_SIMPLEX);
    }
    WriteBlockI16(block, devmode::dmPrintQuality, static_cast<std::int16_t>(driver->dpiX));
    WriteBlockI16(block, devmode::dmYResolution, static_cast<std::int16_t>(driver->dpiY));
    WritePrivatePart(*driver, block);
    return true;
  }

  std::vector<TPaperEntry> Papers(const Cp932String& device) override {
    std::vector<TPaperEntry> result;
    const CupsDriver* driver = Driver(device);
    if (driver == nullptr) return result;
    for (const CupsPaper& p : driver->papers) result.push_back({p.code, CutToBytes(p.name, kPaperNameSize)});
    return result;
  }

  std::vector<TBinEntry> Bins(const Cp932String& device) override {
    std::vector<TBinEntry> result;
    const CupsDriver* driver = Driver(device);
    if (driver == nullptr) return result;
    for (const CupsBin& b : driver->bins) result.push_back({b.code, CutToBytes(b.name, kBinNameSize)});
    return result;
  }

  // The paper a block asks for, its orientation, and what the driver knows of it.
  struct PageGeometry {
    const CupsPaper* paper = nullptr;
    bool landscape = false;
    int dpiX = 0, dpiY = 0;
  };

  PageGeometry Geometry(const CupsDriver& driver, std::span<const std::uint8_t> block) {
    PageGeometry g;
    g.paper = FindPaper(driver, ReadBlockI16(block, devmode::dmPaperSize).value_or(driver.defaultPaper));
    if (g.paper == nullptr) g.paper = FindPaper(driver, driver.defaultPaper);
    g.landscape =
        ReadBlockI16(block, devmode::dmOrientation).value_or(DMORIENT_PORTRAIT) == DMORIENT_LANDSCAPE;
    g.dpiX = driver.dpiX;
    g.dpiY = driver.dpiY;
    return g;
  }

  static TDeviceCaps Caps(const PageGeometry& g) {
    TDeviceCaps caps;
    if (g.paper == nullptr) return caps;
    const CupsPaper& p = *g.paper;
    // Edges of the imageable area measured from the paper's top-left corner, portrait, in points.
    double leftPt = p.left, topPt = p.length - p.top, rightPt = p.right, bottomPt = p.length - p.bottom;
    double widthPt = p.width, lengthPt = p.length;
    if (g.landscape) {
      // The image turned a quarter counter-clockwise: its top edge lies along the portrait left edge and its
      // left edge along the portrait bottom edge.
      leftPt = p.bottom;
      topPt = p.left;
      rightPt = p.top;
      bottomPt = p.right;
      std::swap(widthPt, lengthPt);
    }
    caps.logPixelsX = g.dpiX;
    caps.logPixelsY = g.dpiY;
    caps.physicalWidth = Dots(widthPt, g.dpiX);
    caps.physicalHeight = Dots(lengthPt, g.dpiY);
    caps.physicalOffsetX = std::clamp(Dots(leftPt, g.dpiX), 0, caps.physicalWidth);
    caps.physicalOffsetY = std::clamp(Dots(topPt, g.dpiY), 0, caps.physicalHeight);
    caps.horzRes =
        std::clamp(Dots(rightPt, g.dpiX), caps.physicalOffsetX, caps.physicalWidth) - caps.physicalOffsetX;
    caps.vertRes =
        std::clamp(Dots(bottomPt, g.dpiY), caps.physicalOffsetY, caps.physicalHeight) - caps.physicalOffsetY;
    return caps;
  }

  // Why CUPS has no queue of that name for us: it was not found on the network in time, or it is gone.
  Cp932String MissingQueue(const Cp932String& printer) const {
    if (auto miss = FNetworkMisses.find(printer.ToUtf8()); miss != FNetworkMisses.end() && miss->second) {
      return MessageCp932("printing.not-found-on-network",
                          {printer, Cp932String::FromUtf8(std::to_string(kNetworkBound.count() / 1000))});
    }
    return MessageCp932("printing.no-longer-installed", {printer});
  }

  Cp932String PrinterProblem(const Cp932String& device) override {
    if (!ServiceProblem().IsEmpty()) return ServiceProblem();
    auto queue = FQueues.find(device.ToUtf8());
    return queue != FQueues.end() && !queue->second ? MissingQueue(device) : Cp932String();
  }

  // Why a queue cannot be had, as the failure of a job: the run was interrupted (EInterrupted), the server
  // cannot be reached or does not answer, the printer was not found on the network in time, or it is gone.
  [[noreturn]] void ThrowNoQueue(const Cp932String& printer) {
    ThrowIfInterrupted();
    if (!ServiceProblem().IsEmpty()) throw EPrinterError(ServiceProblem());
    throw EPrinterError(MissingQueue(printer));
  }

  // Throws when the last request was cut short: EInterrupted, or the silent server's problem.
  void ThrowIfCut() {
    const TCut cut = Cut();
    if (cut == TCut::Interrupted) throw EInterrupted();
    if (cut == TCut::Expired) throw EPrinterError(ServiceProblem());
  }

  // How many jobs were created on the server so far (the hooks for tests count jobs by it).
  int JobsCreated() const { return FJobsCreated; }

  // Creates a job on the queue; its document follows when the job ends. Throws EPrinterError saying why
  // when the queue cannot take it (CUPS unreachable, the queue gone, paused or not accepting jobs, refused),
  // EInterrupted when the run was interrupted before the job was created.
  int CreateJob(const Cp932String& printer, const Cp932String& title, const std::string& optionsText) {
    http_t* http = Connect();
    if (!http) ThrowNoQueue(printer);
    DestPtr dest = NamedDest(http, printer);
    if (!dest) ThrowNoQueue(printer);
    auto option = [&](const char* name) {
      const char* value = Cups().cupsGetOption(name, dest->num_options, dest->options);
      return std::string(value ? value : "");
    };
    if (option("printer-is-accepting-jobs") == "false") {
      const std::string reasons = Reasons(option("printer-state-reasons"), "");
      throw EPrinterError(reasons.empty() ? MessageCp932("printing.not-accepting", {printer})
                                          : MessageCp932("printing.not-accepting-because",
                                                         {printer, Cp932String::FromUtf8(reasons)}));
    }
    if (option("printer-state") == std::to_string(IPP_PSTATE_STOPPED)) {
      // "paused" among the reasons only says again what the message says.
      const std::string reasons = Reasons(option("printer-state-reasons"), "paused");
      throw EPrinterError(reasons.empty() ? MessageCp932("printing.paused", {printer})
                                          : MessageCp932("printing.paused-because",
                                                         {printer, Cp932String::FromUtf8(reasons)}));
    }
    Arm(TRequestKind::Question);
    InfoPtr info(Cups().cupsCopyDestInfo(http, dest.get()));
    if (!info) {
      ThrowIfCut();
      throw EPrinterError(MessageCp932("printing.not-described", {printer}));
    }
    cups_option_t* options = nullptr;
    const int numOptions = Cups().cupsParseOptions(optionsText.c_str(), 0, &options);
    int jobId = 0;
    Arm(TRequestKind::Change);
    const ipp_status_t status = Cups().cupsCreateDestJob(http, dest.get(), info.get(), &jobId,
                                                         title.ToUtf8().c_str(), numOptions, options);
    Cups().cupsFreeOptions(numOptions, options);
    if (status > IPP_STATUS_OK_CONFLICTING || jobId <= 0) {
      ThrowIfCut();
      throw EPrinterError(MessageCp932("printing.job-refused",
                                       {printer, Cp932String::FromUtf8(Cups().cupsLastErrorString())}));
    }
    ++FJobsCreated;
    return jobId;
  }

  // Sends the finished document of a created job, in parts. Any failure cancels the job and throws:
  // EInterrupted when the run was interrupted meanwhile, else EPrinterError.
  void SendDocument(const Cp932String& printer, int jobId, const Cp932String& title,
                    const std::string& optionsText, const QByteArray& pdf) {
    std::string failure;
    http_t* http = Connect();
    DestPtr dest = http ? NamedDest(http, printer) : nullptr;
    InfoPtr info;
    if (dest) {
      Arm(TRequestKind::Question);
      info.reset(Cups().cupsCopyDestInfo(http, dest.get()));
    }
    // Every request here is cut short by an interruption: the job is cancelled after it.
    TCut cut = TCut::None;
    if (!http || !dest || !info) {
      cut = Cut();
    } else {
      cups_option_t* options = nullptr;
      const int numOptions = Cups().cupsParseOptions(optionsText.c_str(), 0, &options);
      const std::string jobTitle = title.ToUtf8();
      Arm(TRequestKind::Question);
      if (Cups().cupsStartDestDocument(http, dest.get(), info.get(), jobId, jobTitle.c_str(), CUPS_FORMAT_PDF,
                                       numOptions, options, 1) != HTTP_STATUS_CONTINUE) {
        failure = Cups().cupsLastErrorString();
      } else {
        for (qsizetype at = 0; at < pdf.size() && failure.empty(); at += kDocumentPart) {
          const std::size_t part =
              std::min<std::size_t>(kDocumentPart, static_cast<std::size_t>(pdf.size() - at));
          Arm(TRequestKind::Question);
          if (Cups().cupsWriteRequestData(http, pdf.constData() + at, part) != HTTP_STATUS_CONTINUE) {
            failure = Cups().cupsLastErrorString();
          }
        }
        if (failure.empty()) {
          Arm(TRequestKind::Question);
          if (Cups().cupsFinishDestDocument(http, dest.get(), info.get()) > IPP_STATUS_OK_CONFLICTING) {
            failure = Cups().cupsLastErrorString();
          }
        }
      }
      Cups().cupsFreeOptions(numOptions, options);
      cut = Cut();
    }
    if (failure.empty() && cut == TCut::None && http && dest && info) return;
    if (http) DropConnection();  // the request may have been left half sent
    CancelJob(printer, jobId);
    if (cut == TCut::Interrupted || InterruptionSignal() != 0) throw EInterrupted();
    if (!ServiceProblem().IsEmpty()) throw EPrinterError(ServiceProblem());
    if (failure.empty()) failure = Message("printing.printer-gone");
    throw EPrinterError(MessageCp932("printing.send-failed", {printer, Cp932String::FromUtf8(failure)}));
  }

  // Throws EPrinterError when CUPS has already dropped the job whose document was sent (aborted or
  // cancelled it). A server that does not answer the question leaves the job as handed over.
  void CheckNotDropped(const Cp932String& printer, int jobId) {
    http_t* http = Connect();
    if (!http) return;
    const std::string dropped = DroppedState(http, jobId);
    Cut();
    if (!dropped.empty()) {
      throw EPrinterError(MessageCp932("printing.job-dropped", {printer, Cp932String::FromUtf8(dropped)}));
    }
  }

  // Cancels a created job; answers whether CUPS took the cancellation (the job or its queue may be gone
  // already, or the server may not answer). Waited for even when the run was interrupted: it is what the
  // interruption asks for.
  bool CancelJob(const Cp932String& printer, int jobId) {
    if (jobId <= 0) return true;
    http_t* http = Connect(TRequestKind::Change);
    if (!http) return false;
    Arm(TRequestKind::Change);
    const bool cancelled =
        Cups().cupsCancelJob2(http, printer.ToUtf8().c_str(), jobId, 0) <= IPP_STATUS_OK_CONFLICTING;
    Cut();
    return cancelled;
  }

 protected:
  std::optional<std::vector<std::uint8_t>> DefaultDevMode(const TPrinterRecord& printer) override {
    if (auto it = FDefaults.find(printer.name.ToUtf8()); it != FDefaults.end()) return it->second;
    const CupsDriver* driver = Driver(printer.name);
    if (driver == nullptr) return std::nullopt;
    std::vector<std::uint8_t> block = NewDevModeBlock(printer.name, 1, kPrivateSize);
    WriteBlockI16(block, devmode::dmOrientation, DMORIENT_PORTRAIT);
    WriteBlockI16(block, devmode::dmPaperSize, driver->defaultPaper);
    WriteBlockI16(block, devmode::dmDefaultSource, driver->defaultBin);
    WriteBlockI16(block, devmode::dmCopies, 1);
    WriteBlockI16(block, devmode::dmCollate, DMCOLLATE_TRUE);
    WriteBlockI16(block, devmode::dmDuplex, DMDUP_SIMPLEX);
    MergeDevMode(printer.name, block);
    FDefaults.emplace(printer.name.ToUtf8(), block);
    return block;
  }

  Cp932String DriverName(const TPrinterRecord& printer) override {
    const CupsDriver* driver = Driver(printer.name);
    return driver ? driver->makeModel : Cp932String();
  }

  TDeviceCaps DriverDeviceCaps(const TPrinterRecord& printer, std::span<const std::uint8_t> block) override {
    // The queue's name, a NUL (which no name holds) and the block's bytes.
    std::string key = printer.name.ToUtf8();
    key.push_back('\0');
    key.append(block.begin(), block.end());
    if (auto it = FCaps.find(key); it != FCaps.end()) return it->second;
    const CupsDriver* driver = Driver(printer.name);
    if (driver == nullptr) return {};
    const TDeviceCaps caps = Caps(Geometry(*driver, block));
    // Blocks differ in few ways (paper, orientation, source); a caller making up many is not followed.
    if (FCaps.size() >= kMaxKeptCaps) FCaps.clear();
    FCaps.emplace(std::move(key), caps);
    return caps;
  }

  std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord& printer, std::span<const std::uint8_t> block,
                                      const Cp932String& title) override;

 private:
  // A value of an attribute as a destination's option carries it: numbers (enums too) as numbers, several
  // values separated by commas.
  static std::string OptionValue(ipp_attribute_t* attribute) {
    const ipp_tag_t tag = Cups().ippGetValueTag(attribute);
    if (tag != IPP_TAG_INTEGER && tag != IPP_TAG_ENUM) {
      char text[2048];
      Cups().ippAttributeString(attribute, text, sizeof text);
      return text;
    }
    std::string text;
    for (int i = 0; i < Cups().ippGetCount(attribute); ++i) {
      text += (i == 0 ? "" : ",") + std::to_string(Cups().ippGetInteger(attribute, i));
    }
    return text;
  }

  // The server's queue of that name as a destination: the queue's description (its address, state and
  // whether it takes jobs, make and model) and its defaults ("media" for "media-default") as options.
  // Nothing when the server has no such queue (`missing`), does not answer, or the run was interrupted.
  // Asked with a request of its own: the library's lookup of a named destination goes on to look on the
  // network, over a connection of its own without deadlines, whenever the server does not give the queue.
  DestPtr AskQueue(http_t* http, const std::string& name, bool& missing) {
    static const char* const kWanted[] = {
        "printer-name",      "printer-uri-supported", "device-uri",
        "printer-info",      "printer-location",      "printer-make-and-model",
        "printer-state",     "printer-state-reasons", "printer-is-accepting-jobs",
        "printer-is-shared", "printer-type",          "printer-defaults",
    };
    ipp_t* request = Cups().ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    Cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                            Cups().ippPort(), "/printers/%s", name.c_str());
    Cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    Cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                        Cups().cupsUser());
    Cups().ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                         static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    Arm(TRequestKind::Question);
    ipp_t* response = Cups().cupsDoRequest(http, request, "/");
    const bool cut = Cut() != TCut::None;
    missing = !cut && Cups().cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND;
    if (cut || response == nullptr || Cups().cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
      Cups().ippDelete(response);
      return nullptr;
    }
    cups_dest_t* dests = nullptr;
    Cups().cupsAddDest(name.c_str(), nullptr, 0, &dests);
    DestPtr dest(dests);
    for (ipp_attribute_t* a = Cups().ippFirstAttribute(response); a != nullptr;
         a = Cups().ippNextAttribute(response)) {
      const char* attributeName = Cups().ippGetName(a);
      if (Cups().ippGetGroupTag(a) != IPP_TAG_PRINTER || attributeName == nullptr) continue;
      std::string option = attributeName;
      const ipp_tag_t tag = Cups().ippGetValueTag(a);
      const bool wanted =
          std::any_of(std::begin(kWanted), std::end(kWanted), [&](const char* w) { return option == w; });
      if (!wanted) {
        // A default: "media-default" is the option "media"; collections and resolutions are not options.
        const std::size_t suffix = option.rfind("-default");
        const bool simple = tag == IPP_TAG_INTEGER || tag == IPP_TAG_ENUM || tag == IPP_TAG_BOOLEAN ||
                            tag == IPP_TAG_KEYWORD || tag == IPP_TAG_NAME || tag == IPP_TAG_RANGE;
        if (suffix == std::string::npos || suffix + 8 != option.size() || !simple) continue;
        option.erase(suffix);
      }
      dest->num_options =
          Cups().cupsAddOption(option.c_str(), OptionValue(a).c_str(), dest->num_options, &dest->options);
    }
    Cups().ippDelete(response);
    return dest;
  }

  // The queue as CUPS describes it now, or nothing: when it is not installed (FQueueMissing), or when the
  // question went unanswered (the server silent, the run interrupted: Cut has dealt with it; any other
  // failure leaves the connection to the caller). A name the server has no queue for is looked for on the
  // network (FindOnNetwork).
  DestPtr NamedDest(http_t* http, const Cp932String& printer) {
    const std::string name = printer.ToUtf8();
    DestPtr dest = AskQueue(http, name, FQueueMissing);
    if (!dest && FQueueMissing) {
      // The scheduler may briefly answer "not found" for a queue while another queue is being added or
      // deleted: ask once more before taking the queue for gone.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      dest = AskQueue(http, name, FQueueMissing);
      if (!dest && FQueueMissing && FindOnNetwork(http, name)) dest = AskQueue(http, name, FQueueMissing);
    }
    return dest;
  }

  // Looks for a printer the server has no queue for on the network, as the library does for a named
  // destination, and has the server set up a queue for one found there. The lookups take at most
  // kNetworkBound in all within kNetworkMemory, and a printer not found is not looked for again within that
  // time (FNetworkMisses says whether the bound cut its lookup short). Whether the server has the queue now.
  bool FindOnNetwork(http_t* http, const std::string& name) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= FNetworkSince + kNetworkMemory) {
      FNetworkSince = now;
      FNetworkSpent = std::chrono::milliseconds(0);
      FNetworkMisses.clear();
    }
    if (FNetworkMisses.count(name) != 0 || InterruptionSignal() != 0) return false;
    const std::chrono::milliseconds left = kNetworkBound - FNetworkSpent;
    bool found = false;
    if (left > std::chrono::milliseconds(0)) {
      found = LookOnNetwork(http, name, left);
      FNetworkSpent +=
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - now);
    }
    if (!found && InterruptionSignal() == 0) FNetworkMisses[name] = FNetworkSpent >= kNetworkBound;
    return found;
  }

  // One lookup on the network (DNS-SD) for at most `within`; a printer found gets a queue of the server as
  // the library describes it for the first time (the server's temporary queue).
  bool LookOnNetwork(http_t* http, const std::string& name, std::chrono::milliseconds within) {
    if (const std::optional<TNetworkPrinterStub> stub = NetworkPrinterStub(); stub && stub->name == name) {
      const auto until = std::chrono::steady_clock::now() + std::min(stub->lookup, within);
      while (InterruptionSignal() == 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      return false;
    }
    struct Search {
      const std::string& name;
      cups_dest_t* found = nullptr;
    } search{name};
    Cups().cupsEnumDests(
        CUPS_DEST_FLAGS_NONE, static_cast<int>(within.count()), InterruptionCancelFlag(),
        CUPS_PRINTER_DISCOVERED, CUPS_PRINTER_DISCOVERED,
        [](void* data, unsigned flags, cups_dest_t* dest) -> int {
          Search& s = *static_cast<Search*>(data);
          if ((flags & CUPS_DEST_FLAGS_REMOVED) != 0 || dest->name == nullptr || s.name != dest->name)
            return 1;
          Cups().cupsCopyDest(dest, 0, &s.found);
          return 0;
        },
        &search);
    if (search.found == nullptr) return false;
    Arm(TRequestKind::Question);
    InfoPtr info(Cups().cupsCopyDestInfo(http, search.found));
    Cups().cupsFreeDests(1, search.found);
    Cut();
    return info != nullptr;
  }

  // The state reasons CUPS gives ("media-empty,offline-report"), as "media-empty, offline-report", without
  // "none" and without the one the message already says; empty when none is left.
  static std::string Reasons(const std::string& reasons, std::string_view restated) {
    std::string kept;
    std::size_t start = 0;
    while (start <= reasons.size()) {
      const std::size_t comma = std::min(reasons.find(',', start), reasons.size());
      const std::string reason = reasons.substr(start, comma - start);
      if (!reason.empty() && reason != "none" && reason != restated)
        kept += (kept.empty() ? "" : ", ") + reason;
      start = comma + 1;
    }
    return kept;
  }

  // "aborted: reasons" or "canceled: reasons" when CUPS has already dropped the job, else empty.
  std::string DroppedState(http_t* http, int jobId) {
    ipp_t* request = Cups().ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    Cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d",
                            jobId);
    Cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    Cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                        Cups().cupsUser());
    static const char* const kWanted[] = {"job-state", "job-state-reasons"};
    Cups().ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                         kWanted);
    Arm(TRequestKind::Question);
    ipp_t* response = Cups().cupsDoRequest(http, request, "/");
    std::string result;
    if (response != nullptr) {
      ipp_attribute_t* state = Cups().ippFindAttribute(response, "job-state", IPP_TAG_ENUM);
      const int value = state ? Cups().ippGetInteger(state, 0) : 0;
      if (value == IPP_JSTATE_ABORTED || value == IPP_JSTATE_CANCELED) {
        result = value == IPP_JSTATE_ABORTED ? "aborted" : "canceled";
        if (ipp_attribute_t* reasons =
                Cups().ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD)) {
          for (int i = 0; i < Cups().ippGetCount(reasons); ++i) {
            if (const char* r = Cups().ippGetString(reasons, i, nullptr))
              result += std::string(i == 0 ? ": " : ", ") + r;
          }
        }
      }
      Cups().ippDelete(response);
    }
    return result;
  }

  static const CupsPaper* FindPaper(const CupsDriver& d, std::int16_t code) {
    for (const CupsPaper& p : d.papers) {
      if (p.code == code) return &p;
    }
    return nullptr;
  }
  static const CupsBin* FindBin(const CupsDriver& d, std::int16_t code) {
    for (const CupsBin& b : d.bins) {
      if (b.code == code) return &b;
    }
    return nullptr;
  }

  void WritePrivatePart(const CupsDriver& driver, std::span<std::uint8_t> block) {
    std::vector<std::pair<std::string, std::string>> options;
    const CupsPaper* paper = FindPaper(driver, ReadBlockI16(block, devmode::dmPaperSize).value_or(0));
    const CupsBin* bin = FindBin(driver, ReadBlockI16(block, devmode::dmDefaultSource).value_or(0));
    if (driver.fromPpd) {
      if (paper) options.emplace_back("PageSize", paper->keyword);
      if (bin) options.emplace_back("InputSlot", bin->keyword);
    } else {
      if (paper) options.emplace_back("media", paper->keyword);
      if (bin) options.emplace_back("media-source", bin->keyword);
    }
    std::memcpy(block.data() + devmode::kPublicSize, "TSCP", 4);
    WriteBlockU16(block, devmode::kPublicSize + 4, 1);
    WriteBlockText(block, kOptionsOffset, kOptionsSize, Cp932String::FromBytes(OptionsText(options)));
  }

  // The driver's description of a queue, or nothing when CUPS does not have the queue. CUPS is asked once
  // per queue until the printer list is read again; a server that cannot be reached is asked again next
  // time, and so is one whose answer was neither the queue nor "not found".
  const CupsDriver* Driver(const Cp932String& device) {
    if (device.IsEmpty()) return nullptr;
    const std::string name = device.ToUtf8();
    if (auto it = FQueues.find(name); it != FQueues.end()) return it->second ? &*it->second : nullptr;
    if (FDirect && !FIppOnly) {
      // The queue's PPD, fetched by the program itself; a queue without one, or a name the scheduler has
      // no queue for, is left to the library.
      if (std::chrono::steady_clock::now() < FQuietUntil || InterruptionSignal() != 0) return nullptr;
      const TPpdAnswer answer = AskPpd(*FDirect, name);
      if (!DirectAnswered(answer.outcome) && answer.outcome != TQuestionOutcome::Other) return nullptr;
      if (answer.outcome == TQuestionOutcome::Answered) {
        if (std::optional<TPpdFile> ppd = ReadPpd(answer.text)) {
          return &*FQueues.emplace(name, DriverFromPpd(*ppd)).first->second;
        }
      }
    }
    http_t* http = Connect();
    if (!http) return nullptr;
    DestPtr dest = NamedDest(http, device);
    if (!dest) {
      if (FQueueMissing) {
        FQueues.emplace(name, std::nullopt);
      } else {
        DropConnection();
      }
      return nullptr;
    }
    // An answer cut short is no answer, however much of it came (a PPD whose end is missing describes papers
    // wrongly).
    std::optional<CupsDriver> driver;
    if (!FIppOnly) {
      Arm(TRequestKind::Question);
      driver = LoadFromPpd(http, name);
      if (Cut() != TCut::None) return nullptr;
    }
    if (!driver) {
      Arm(TRequestKind::Question);
      driver = LoadFromIpp(http, dest.get());
      if (Cut() != TCut::None) return nullptr;
    }
    if (!driver) {
      DropConnection();
      return nullptr;
    }
    return &*FQueues.emplace(name, std::move(driver)).first->second;
  }

  void ForgetPrinterDetails() override {
    FQueues.clear();
    FCaps.clear();
    FDefaults.clear();
  }

  // The queue's PPD, fetched over the connection given (the library's own fetch may open a connection of its
  // own, without deadlines, when the server names itself differently); nothing for a queue without one.
  static std::optional<CupsDriver> LoadFromPpd(http_t* http, const std::string& name) {
    char uri[HTTP_MAX_URI], scheme[32], user[256], host[256], resource[HTTP_MAX_URI];
    int port = 0;
    Cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                            Cups().ippPort(), "/printers/%s.ppd", name.c_str());
    if (Cups().httpSeparateURI(HTTP_URI_CODING_NONE, uri, scheme, sizeof scheme, user, sizeof user, host,
                               sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK) {
      return std::nullopt;
    }
    char file[1024];
    const int fd = Cups().cupsTempFd(file, sizeof file);
    if (fd < 0) return std::nullopt;
    const std::string path = file;
    const bool fetched = Cups().cupsGetFd(http, resource, fd) == HTTP_STATUS_OK;
    ::close(fd);
    std::optional<TPpdFile> ppd;
    if (fetched) {
      QFile file(QString::fromStdString(path));
      // A description larger than this is not one the reader takes; none comes near it.
      constexpr qint64 kMaxPpdBytes = 16 * 1024 * 1024;
      if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxPpdBytes) {
        const QByteArray bytes = file.readAll();
        ppd = ReadPpd(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      }
    }
    ::unlink(path.c_str());
    if (!ppd) return std::nullopt;
    return DriverFromPpd(*ppd);
  }

  // The driver a PPD describes.
  static CupsDriver DriverFromPpd(const TPpdFile& ppd) {
    CupsDriver d;
    d.fromPpd = true;
    // The reader gives its texts in UTF-8, whatever the file's encoding.
    auto text = [](const std::string& utf8) { return Cp932String::FromUtf8(utf8); };
    d.makeModel = text(ppd.nickname ? *ppd.nickname : ppd.modelname.value_or(std::string()));

    const TPpdOption* pageSize = ppd.FindOption("PageSize");
    std::vector<std::int16_t> wanted;
    for (const TPpdSize& s : ppd.sizes) {
      if (s.name == "Custom" || s.width <= 0 || s.length <= 0) continue;
      CupsPaper p;
      p.keyword = s.name;
      p.name = Cp932String::FromUtf8(s.name);
      if (pageSize) {
        for (const TPpdChoice& c : pageSize->choices) {
          if (c.choice == s.name) p.name = text(c.text);
        }
      }
      p.width = s.width;
      p.length = s.length;
      p.left = s.left;
      p.bottom = s.bottom;
      p.right = s.right;
      p.top = s.top;
      std::int16_t code = PaperCodeForKeyword(s.name);
      if (code == 0 && s.name.find('.') == std::string::npos) code = PaperCodeForSize(s.width, s.length);
      wanted.push_back(code);
      d.papers.push_back(std::move(p));
    }
    AssignCodes(d.papers, wanted, DMPAPER_USER);
    for (const CupsPaper& p : d.papers) {
      if (pageSize && p.keyword == pageSize->defchoice) d.defaultPaper = p.code;
    }
    if (d.defaultPaper == 0 && !d.papers.empty()) d.defaultPaper = d.papers.front().code;

    if (const TPpdOption* slot = ppd.FindOption("InputSlot")) {
      std::vector<std::int16_t> bins;
      for (const TPpdChoice& c : slot->choices) {
        d.bins.push_back({0, text(c.text), c.choice});
        bins.push_back(BinCodeForKeyword(c.choice));
      }
      AssignCodes(d.bins, bins, DMBIN_USER);
      for (const CupsBin& b : d.bins) {
        if (b.keyword == slot->defchoice) d.defaultBin = b.code;
      }
      if (d.defaultBin == 0 && !d.bins.empty()) d.defaultBin = d.bins.front().code;
    }

    if (const TPpdOption* duplex = ppd.FindOption("Duplex")) {
      for (const TPpdChoice& c : duplex->choices) {
        if (c.choice == "DuplexNoTumble" || c.choice == "DuplexTumble") d.duplex = true;
      }
    }

    bool haveResolution = false;
    if (const TPpdOption* res = ppd.FindOption("Resolution")) {
      haveResolution = ParseResolution(res->defchoice.c_str(), d.dpiX, d.dpiY);
    }
    if (!haveResolution) {
      if (const TPpdAttribute* attr = ppd.FindAttribute("DefaultResolution")) {
        haveResolution = ParseResolution(attr->value.c_str(), d.dpiX, d.dpiY);
      }
    }
    if (!haveResolution) d.dpiX = d.dpiY = 300;  // what CUPS itself reports for a PPD without one
    return d;
  }

  static std::optional<CupsDriver> LoadFromIpp(http_t* http, cups_dest_t* dest) {
    InfoPtr info(Cups().cupsCopyDestInfo(http, dest));
    if (!info) return std::nullopt;
    CupsDriver d;
    if (const char* model =
            Cups().cupsGetOption("printer-make-and-model", dest->num_options, dest->options)) {
      d.makeModel = Cp932String::FromUtf8(model);
    }
    const unsigned flags = CUPS_MEDIA_FLAGS_DEFAULT;
    int count = Cups().cupsGetDestMediaCount(http, dest, info.get(), flags);
    std::vector<std::int16_t> wanted;
    for (int i = 0; i < count; ++i) {
      cups_size_t size{};
      if (!Cups().cupsGetDestMediaByIndex(http, dest, info.get(), i, flags, &size)) continue;
      if (size.width <= 0 || size.length <= 0) continue;
      CupsPaper p;
      p.keyword = size.media;
      const char* text = Cups().cupsLocalizeDestMedia(http, dest, info.get(), flags, &size);
      p.name = Cp932String::FromUtf8(text ? text : size.media);
      // cups_size_t is in hundredths of a millimetre, with margins rather than edges.
      auto pt = [](int hmm) { return hmm * 72.0 / 2540.0; };
      p.width = pt(size.width);
      p.length = pt(size.length);
      p.left = pt(size.left);
      p.bottom = pt(size.bottom);
      p.right = pt(size.width - size.right);
      p.top = pt(size.length - size.top);
      wanted.push_back(PaperCodeForSize(p.width, p.length));
      d.papers.push_back(std::move(p));
    }
    AssignCodes(d.papers, wanted, DMPAPER_USER);
    cups_size_t def{};
    if (Cups().cupsGetDestMediaDefault(http, dest, info.get(), flags, &def)) {
      for (const CupsPaper& p : d.papers) {
        if (p.keyword == def.media) d.defaultPaper = p.code;
      }
    }
    if (d.defaultPaper == 0 && !d.papers.empty()) d.defaultPaper = d.papers.front().code;

    if (ipp_attribute_t* sources = Cups().cupsFindDestSupported(http, dest, info.get(), "media-source")) {
      std::vector<std::int16_t> bins;
      for (int i = 0; i < Cups().ippGetCount(sources); ++i) {
        const char* keyword = Cups().ippGetString(sources, i, nullptr);
        if (keyword == nullptr) continue;
        const char* text = Cups().cupsLocalizeDestValue(http, dest, info.get(), "media-source", keyword);
        d.bins.push_back({0, Cp932String::FromUtf8(text ? text : keyword), keyword});
        bins.push_back(BinCodeForKeyword(keyword));
      }
      AssignCodes(d.bins, bins, DMBIN_USER);
      ipp_attribute_t* defaultSource = Cups().cupsFindDestDefault(http, dest, info.get(), "media-source");
      const char* keyword = defaultSource ? Cups().ippGetString(defaultSource, 0, nullptr) : nullptr;
      for (const CupsBin& b : d.bins) {
        if (keyword && b.keyword == keyword) d.defaultBin = b.code;
      }
      if (d.defaultBin == 0 && !d.bins.empty()) d.defaultBin = d.bins.front().code;
    }
    if (ipp_attribute_t* sides = Cups().cupsFindDestSupported(http, dest, info.get(), "sides")) {
      for (int i = 0; i < Cups().ippGetCount(sides); ++i) {
        const char* keyword = Cups().ippGetString(sides, i, nullptr);
        if (keyword && std::strncmp(keyword, "two-sided-", 10) == 0) d.duplex = true;
      }
    }
    if (ipp_attribute_t* res = Cups().cupsFindDestDefault(http, dest, info.get(), "printer-resolution")) {
      int y = 0;
      ipp_res_t units = IPP_RES_PER_INCH;
      int x = Cups().ippGetResolution(res, 0, &y, &units);
      if (units == IPP_RES_PER_CM) {
        x = static_cast<int>(std::lround(x * 2.54));
        y = static_cast<int>(std::lround(y * 2.54));
      }
      if (x > 0 && y > 0) {
        d.dpiX = x;
        d.dpiY = y;
      }
    }
    return d;
  }

  std::string FServer;  // as given; empty for the one libcups names
  // The server libcups is asked on; empty until the library is loaded (LibraryReady).
  std::string FHost;
  int FPort = 631;
  bool FIppOnly = false;
  std::unique_ptr<TSchedulerConnection> FDirect;  // the scheduler asked without the library, when it may be
  std::chrono::steady_clock::time_point FQuietUntil{};
  HttpPtr FHttp;  // the connection every request goes over
  // The request being made: when its answer is due, whether an interruption ends it, and what cut it short.
  std::chrono::steady_clock::time_point FDeadline{};
  bool FInterruptible = true;
  TCut FCut = TCut::None;
  bool FQueueMissing = false;  // the last NamedDest found no queue of that name
  int FJobsCreated = 0;
  // Lookups on the network since FNetworkSince: the time they took, and the printers not found (true: the
  // bound cut the lookup short).
  std::chrono::steady_clock::time_point FNetworkSince{};
  std::chrono::milliseconds FNetworkSpent{0};
  std::map<std::string, bool> FNetworkMisses;
  // What CUPS said of each queue asked for since the printer list was last read: its driver's description,
  // or nothing for a queue it does not have.
  std::map<std::string, std::optional<CupsDriver>> FQueues;
  // Device capabilities by queue name and settings block, and each queue's default settings block.
  std::map<std::string, TDeviceCaps> FCaps;
  std::map<std::string, std::vector<std::uint8_t>> FDefaults;
};

// Whether a PDF made by the job is whole: the file's header and end marker, and one page object for each page
// drawn (the writer stores its page dictionaries uncompressed).
bool PdfIsWhole(const QByteArray& pdf, int pages) {
  if (!pdf.startsWith("%PDF-") || pdf.lastIndexOf("%%EOF") < pdf.size() - 1024) return false;
  int found = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
    if (pdf.mid(at, 12) != "/Type /Pages") ++found;
  }
  return found == pages;
}

// A job created on its queue when it starts, drawn into a PDF file at the printer's resolution (one PDF
// page per printed page) and sent as the job's document when it ends. Withdrawn, or dropped unfinished, it
// is cancelled.
class CupsPrintJob : public TPrintJob {
 public:
  CupsPrintJob(CupsPrinterSystem& system, Cp932String printer, Cp932String title, std::string options,
               const TDeviceCaps& caps)
      : FSystem(system),
        FPrinter(std::move(printer)),
        FTitle(std::move(title)),
        FOptions(std::move(options)),
        FCaps(caps) {}

  ~CupsPrintJob() override {
    try {
      Withdraw();
    } catch (...) {
    }
  }

  // False when the document cannot be opened; throws EPrinterError when CUPS does not take the job.
  bool Start() {
    if (!FFile.open()) return false;
    // The document's text layer and font names are put right as the exported PDFs' are.
    FDevice = std::make_unique<TPdfOutputDevice>([this](const char* data, std::size_t size) {
      return FFile.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    });
    FWriter = std::make_unique<QPdfWriter>(FDevice.get());
    FWriter->setTitle(QString::fromStdString(FTitle.ToUtf8()));
    FWriter->setCreator("Tessarine");
    FWriter->setResolution(FCaps.logPixelsX);
    // The page is the paper itself; the canvas origin is the printable area's corner.
    QSizeF sizePt(FCaps.physicalWidth * 72.0 / FCaps.logPixelsX,
                  FCaps.physicalHeight * 72.0 / FCaps.logPixelsY);
    FWriter->setPageLayout(QPageLayout(QPageSize(sizePt, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                       QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    FPainter = std::make_unique<QPainter>();
    if (!FPainter->begin(FWriter.get())) return false;
    PreparePage();
    FCanvas = MakePainterCanvas(*FPainter, DescribePrinter(FCaps), &FDevice->DrawnCharacters());
    FJobId = FSystem.CreateJob(FPrinter, FTitle, FOptions);
    FOrdinal = FSystem.JobsCreated();
    return true;
  }

  TCanvas* Canvas() override { return FCanvas.get(); }

  void NewPage() override {
    if (!FPainter) return;
    FWriter->newPage();
    ++FPages;
    PreparePage();
  }

  void End() override {
    if (!FPainter) throw EPrinterError(MessageCp932("printing.job-not-started"));
    FCanvas.reset();
    const bool finished = FPainter->end() && FDevice->Finish();
    FPainter.reset();
    FWriter.reset();
    FFile.flush();
    FFile.seek(0);
    QByteArray pdf = FFile.readAll();
    FFile.close();
    if (!finished || !PdfIsWhole(pdf, FPages)) {
      FSystem.CancelJob(FPrinter, std::exchange(FJobId, 0));
      throw EPrinterError(MessageCp932("printing.document-incomplete", {FPrinter}));
    }
    PauseForTest("before-document", FOrdinal);
    ThrowIfInterrupted();  // the job is withdrawn as this one goes
    const int jobId = std::exchange(FJobId, 0);
    FSystem.SendDocument(FPrinter, jobId, FTitle, FOptions, pdf);
    PauseForTest("after-document", FOrdinal);
    FSystem.CheckNotDropped(FPrinter, jobId);
  }

  void Abort() override { Withdraw(); }

 private:
  // Drops the document and cancels the job. Not virtual: the destructor calls it too.
  void Withdraw() {
    FCanvas.reset();
    if (FPainter) FPainter->end();
    FPainter.reset();
    FWriter.reset();
    FFile.close();
    FSystem.CancelJob(FPrinter, std::exchange(FJobId, 0));
  }

  void PreparePage() {
    FPainter->resetTransform();
    // Printer dots: the writer's device units are dots at logPixelsX; the vertical axis is scaled when the
    // resolutions differ.
    FPainter->scale(1.0, static_cast<double>(FCaps.logPixelsX) / FCaps.logPixelsY);
    FPainter->translate(FCaps.physicalOffsetX, FCaps.physicalOffsetY);
  }

  CupsPrinterSystem& FSystem;
  Cp932String FPrinter;
  Cp932String FTitle;
  std::string FOptions;
  TDeviceCaps FCaps;
  int FJobId = 0;    // the job on its queue, until its document was sent or it was cancelled
  int FOrdinal = 0;  // how many jobs the system had created with this one
  int FPages = 1;
  QTemporaryFile FFile;
  std::unique_ptr<TPdfOutputDevice> FDevice;  // writes to FFile
  std::unique_ptr<QPdfWriter> FWriter;
  std::unique_ptr<QPainter> FPainter;
  std::unique_ptr<TCanvas> FCanvas;  // destroyed before the painter it draws on
};

// The job options beyond paper and source: copies (with their collation) and, where the printer prints on
// both sides, the sides.
std::string JobOptions(std::span<const std::uint8_t> block, bool duplex) {
  const int copies = std::clamp<int>(ReadBlockI16(block, devmode::dmCopies).value_or(1), 1, kMaxCopies);
  std::string text = "copies=" + std::to_string(copies);
  if (copies > 1) {
    const bool collate = ReadBlockI16(block, devmode::dmCollate).value_or(DMCOLLATE_TRUE) != DMCOLLATE_FALSE;
    text += collate ? " collate=true" : " collate=false";
  }
  if (duplex) {
    switch (ReadBlockI16(block, devmode::dmDuplex).value_or(DMDUP_SIMPLEX)) {
      case DMDUP_VERTICAL:
        text += " sides=two-sided-long-edge";
        break;
      case DMDUP_HORIZONTAL:
        text += " sides=two-sided-short-edge";
        break;
      default:
        text += " sides=one-sided";
        break;
    }
  }
  return text;
}

std::unique_ptr<TPrintJob> CupsPrinterSystem::StartJob(const TPrinterRecord& printer,
                                                       std::span<const std::uint8_t> block,
                                                       const Cp932String& title) {
  const CupsDriver* driver = Driver(printer.name);
  if (driver == nullptr) ThrowNoQueue(printer.name);
  const TDeviceCaps caps = Caps(Geometry(*driver, block));
  if (caps.logPixelsX <= 0 || caps.logPixelsY <= 0 || caps.physicalWidth <= 0) return nullptr;
  std::string options = ReadBlockText(block, kOptionsOffset, kOptionsSize).Bytes();
  options += (options.empty() ? "" : " ") + JobOptions(block, driver->duplex);
  auto job = std::make_unique<CupsPrintJob>(*this, printer.name, title, options, caps);
  if (!job->Start()) return nullptr;
  return job;
}

}  // namespace

std::unique_ptr<TPrinterSystem> CreateCupsPrinterSystem(const std::string& server, bool ippOnly) {
  return CreateCupsPrinterSystemAround(server, ippOnly, ProcessSurroundings());
}

std::unique_ptr<TPrinterSystem> CreateCupsPrinterSystemAround(const std::string& server, bool ippOnly,
                                                              const TClientSurroundings& around) {
  // Where the program asks the scheduler itself, libcups waits for the first request that needs it.
  std::optional<TSchedulerAddress> direct = PlainScheduler(server, around);
  std::string why;
  if (!direct && CupsLibrary(&why) == nullptr) {
    return CreateNoPrinterSystem(Cp932String::FromUtf8(Message("printing.no-cups-library", {why})));
  }
  return std::make_unique<CupsPrinterSystem>(server, ippOnly, std::move(direct));
}

}  // namespace tess

// The questions the program asks the print scheduler itself: when it may, how the exchanges hold up against
// a scheduler that closes, stalls or talks nonsense, and that a real scheduler's answers come out as the
// client library's.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/printing/IppMessage.h"
#include "platform/printing/Printers.h"
#include "platform/printing/SchedulerAddress.h"
#include "platform/printing/SchedulerQuestions.h"
#include "platform/printing/internal/CupsSystem.h"
#include "tests/support/CupsPdf.h"
#include "tests/support/CupsQueueLock.h"

namespace tess {
namespace {

using namespace std::chrono_literals;

// ---- When the program may ask the scheduler itself

struct TFakeMachine {
  std::map<std::string, std::string> variables;
  std::set<std::string> files;
  TClientSurroundings Surroundings() const {
    return {[this](const char* name) -> const char* {
              auto it = variables.find(name);
              return it == variables.end() ? nullptr : it->second.c_str();
            },
            [this](const std::string& path) { return files.count(path) != 0; }};
  }
};

TSchedulerAddress Socket(const std::string& path) {
  TSchedulerAddress a;
  a.socketPath = path;
  return a;
}

TSchedulerAddress Host(const std::string& host, int port) {
  TSchedulerAddress a;
  a.host = host;
  a.port = port;
  return a;
}

TEST(PlainScheduler, OnlyWhereTheLibraryWouldAskTheSchedulerAlone) {
  TFakeMachine machine;
  machine.variables["HOME"] = "/home/t";
  ASSERT_EQ(PlainScheduler("", machine.Surroundings()), Host("localhost", 631));
  machine.files.insert("/run/cups/cups.sock");
  ASSERT_EQ(PlainScheduler("", machine.Surroundings()), Socket("/run/cups/cups.sock"));
  EXPECT_EQ(PlainScheduler("127.0.0.1:8631", machine.Surroundings()), Host("127.0.0.1", 8631));
  EXPECT_EQ(PlainScheduler("[::1]:631", machine.Surroundings()), Host("::1", 631));
  EXPECT_EQ(PlainScheduler("/tmp/s.sock", machine.Surroundings()), Socket("/tmp/s.sock"));
  for (const char* server : {"localhost:0", "localhost:x", "print.example:631", "localhost/version=1.1"}) {
    EXPECT_FALSE(PlainScheduler(server, machine.Surroundings())) << server;
  }
  machine.variables["CUPS_SERVER"] = "localhost:8631";
  EXPECT_EQ(PlainScheduler("", machine.Surroundings()), Host("localhost", 8631));
  machine.variables.erase("CUPS_SERVER");
  // The user's default printer: LPDEST before PRINTER, which the library takes for none when it is "lp".
  machine.variables["PRINTER"] = "lp";
  EXPECT_EQ(PlainScheduler("", machine.Surroundings())->userDefault, std::nullopt);
  machine.variables["PRINTER"] = "b";
  EXPECT_EQ(PlainScheduler("", machine.Surroundings())->userDefault, "b");
  machine.variables["LPDEST"] = "a/x";
  EXPECT_EQ(PlainScheduler("", machine.Surroundings())->userDefault, "a/x");

  // Each of these makes the library's answers differ from the scheduler's, or its connection.
  const std::vector<std::function<void(TFakeMachine&)>> changes = {
      [](TFakeMachine& m) { m.variables["CUPS_SERVER"] = "print.example"; },
      [](TFakeMachine& m) { m.variables["CUPS_ENCRYPTION"] = "Required"; },
      [](TFakeMachine& m) { m.variables["CUPS_USER"] = "other"; },
      [](TFakeMachine& m) { m.files.insert("/etc/cups/client.conf"); },
      [](TFakeMachine& m) { m.files.insert("/etc/cups/lpoptions"); },
      [](TFakeMachine& m) { m.files.insert("/home/t/.cups/lpoptions"); },
      [](TFakeMachine& m) { m.files.insert("/home/t/.cups/client.conf"); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    TFakeMachine changed = machine;
    changes[i](changed);
    EXPECT_FALSE(PlainScheduler("", changed.Surroundings())) << "change " << i;
  }
  // The library looks on the network only with a DNS-SD daemon it can reach on the system bus.
  EXPECT_FALSE(PlainScheduler("", machine.Surroundings())->networkLookup);
  machine.files.insert("/run/avahi-daemon/pid");
  EXPECT_FALSE(PlainScheduler("", machine.Surroundings())->networkLookup);
  machine.files.insert("/run/dbus/system_bus_socket");
  EXPECT_TRUE(PlainScheduler("", machine.Surroundings())->networkLookup);
  machine.files.erase("/run/avahi-daemon/pid");
  EXPECT_FALSE(PlainScheduler("", machine.Surroundings())->networkLookup);
}

TEST(PlainScheduler, ResourceNamesAreEncoded) {
  EXPECT_EQ(EncodePathSegment("Tess_PDF-1.x~"), "Tess_PDF-1.x~");
  EXPECT_EQ(EncodePathSegment("a b/c%\xE3\x81\x82"), "a%20b%2Fc%25%E3%81%82");
}

// ---- A scheduler that answers as a test says: on a local socket, each connection served on a thread of its
// own; for each request it reads, `answer` (called by one thread at a time) gives the bytes to send back and
// whether to close the connection after them.

class TFakeScheduler {
 public:
  struct TAnswer {
    std::string bytes;
    bool close = false;
    std::chrono::milliseconds delay{0};
  };
  using TAnswerer = std::function<TAnswer(const std::string& request)>;

  explicit TFakeScheduler(TAnswerer answer) : FAnswer(std::move(answer)) {
    FPath = "/tmp/tess-fake-scheduler-" + std::to_string(::getpid()) + ".sock";
    ::unlink(FPath.c_str());
    FListener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, FPath.c_str(), sizeof a.sun_path - 1);
    EXPECT_EQ(::bind(FListener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(FListener, 4), 0);
    FThread = std::thread([this] { Serve(); });
  }
  // The clients close their connections first.
  ~TFakeScheduler() {
    ::shutdown(FListener, SHUT_RDWR);
    ::close(FListener);
    FThread.join();
    for (std::thread& t : FServing) t.join();
    ::unlink(FPath.c_str());
  }
  TSchedulerAddress Address() const { return Socket(FPath); }
  int Connections() const { return FConnections; }

 private:
  void Serve() {
    for (;;) {
      const int c = ::accept(FListener, nullptr, nullptr);
      if (c < 0) return;
      ++FConnections;
      FServing.emplace_back([this, c] { ServeConnection(c); });
    }
  }

  void ServeConnection(int c) {
    std::string pending;
    char buffer[4096];
    bool open = true;
    bool continued = false;
    while (open) {
      // A request is its head and the body its Content-Length announces.
      const std::size_t headEnd = pending.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        std::size_t length = 0;
        if (const std::size_t at = pending.find("Content-Length: ");
            at != std::string::npos && at < headEnd) {
          length = std::strtoul(pending.c_str() + at + 16, nullptr, 10);
        }
        // The client library waits for leave to send the body.
        const std::size_t expect = pending.find("Expect: 100-continue");
        if (expect != std::string::npos && expect < headEnd && !continued) {
          (void)!::send(c, "HTTP/1.1 100 Continue\r\n\r\n", 25, MSG_NOSIGNAL);
          continued = true;
        }
        if (pending.size() >= headEnd + 4 + length) {
          const std::string request = pending.substr(0, headEnd + 4 + length);
          pending.erase(0, request.size());
          continued = false;
          TAnswer answer;
          {
            const std::lock_guard<std::mutex> one(FAnswering);
            answer = FAnswer(request);
          }
          std::this_thread::sleep_for(answer.delay);
          (void)!::send(c, answer.bytes.data(), answer.bytes.size(), MSG_NOSIGNAL);
          if (answer.close) break;
          continue;
        }
      }
      const ssize_t got = ::recv(c, buffer, sizeof buffer, 0);
      if (got <= 0)
        open = false;
      else
        pending.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(c);
  }

  TAnswerer FAnswer;
  std::string FPath;
  int FListener = -1;
  std::thread FThread;
  std::vector<std::thread> FServing;  // touched by FThread alone until it is joined
  std::mutex FAnswering;
  std::atomic<int> FConnections{0};
};

std::string HttpOk(const std::vector<std::uint8_t>& body, const char* type = "application/ipp") {
  return "HTTP/1.1 200 OK\r\nContent-Type: " + std::string(type) +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body.begin(), body.end());
}

// The answer to an IPP request: its request id echoed, with printer groups named as given.
std::string IppAnswer(const std::string& request, std::uint16_t status,
                      const std::vector<std::string>& printers) {
  const std::size_t body = request.find("\r\n\r\n") + 4;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.data()) + body;
  std::optional<ipp::Message> asked = ipp::Decode({bytes, request.size() - body});
  ipp::Message m;
  m.code = status;
  m.requestId = asked ? asked->requestId : 0;
  m.groups.push_back(
      {ipp::GroupTag::Operation, {{"attributes-charset", {ipp::Text(ipp::ValueTag::Charset, "utf-8")}}}});
  for (const std::string& name : printers) {
    m.groups.push_back({ipp::GroupTag::Printer,
                        {{"printer-name", {ipp::Text(ipp::ValueTag::NameWithoutLanguage, name)}},
                         {"printer-type", {ipp::Integer(ipp::ValueTag::Enum, 2)}},
                         {"printer-is-shared", {ipp::Integer(ipp::ValueTag::Boolean, 1)}}}});
  }
  return HttpOk(ipp::Encode(m));
}

bool AsksForDefault(const std::string& request) {
  const std::size_t body = request.find("\r\n\r\n") + 4;
  return request.size() > body + 3 && static_cast<unsigned char>(request[body + 2]) == 0x40 &&
         request[body + 3] == 0x01;
}

TEST(SchedulerConnection, ListInTheLibrarysOrderOverOneConnectionAndAgainAfterAClose) {
  int answered = 0;
  TFakeScheduler scheduler([&](const std::string& request) {
    ++answered;
    TFakeScheduler::TAnswer a;
    a.bytes = AsksForDefault(request) ? IppAnswer(request, 0, {"beta"})
                                      : IppAnswer(request, 0, {"beta", "Alpha", "BETA"});
    a.close = answered == 2;  // after the first list's second question
    return a;
  });
  TSchedulerConnection connection(scheduler.Address(), 1000ms, 1000ms);
  for (int round = 0; round < 2; ++round) {
    const TPrinterListAnswer list = AskPrinterList(connection, "teacher");
    ASSERT_EQ(list.outcome, TQuestionOutcome::Answered) << round;
    ASSERT_EQ(list.printers.size(), 2u);
    EXPECT_EQ(list.printers[0].name, "Alpha");
    EXPECT_FALSE(list.printers[0].isDefault);
    EXPECT_EQ(list.printers[1].name, "beta");
    EXPECT_TRUE(list.printers[1].isDefault);
    EXPECT_TRUE(list.printers[1].shared);
    EXPECT_EQ(list.printers[1].type, 2u);
  }
  EXPECT_EQ(scheduler.Connections(), 2);

  // A user's default is taken before the scheduler's, which is not asked then; one naming an instance
  // or a printer the list does not hold makes none the default.
  const int before = answered;
  const TPrinterListAnswer mine = AskPrinterList(connection, "teacher", "ALPHA");
  ASSERT_EQ(mine.printers.size(), 2u);
  EXPECT_TRUE(mine.printers[0].isDefault);
  EXPECT_FALSE(mine.printers[1].isDefault);
  EXPECT_EQ(answered, before + 1);
  for (const char* none : {"Alpha/copy", "gamma"}) {
    const TPrinterListAnswer list = AskPrinterList(connection, "teacher", none);
    EXPECT_FALSE(list.printers[0].isDefault || list.printers[1].isDefault) << none;
  }
}

TEST(SchedulerConnection, StallsNonsenseAndRefusalsAreToldApart) {
  std::string mode;
  TFakeScheduler scheduler([&](const std::string& request) {
    TFakeScheduler::TAnswer a;
    if (mode == "stall") a.delay = 600ms, a.bytes = IppAnswer(request, 0, {});
    if (mode == "nonsense") a.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nabcd";
    if (mode == "cut") a.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\nabcd", a.close = true;
    if (mode == "error") a.bytes = IppAnswer(request, 0x0500, {});
    if (mode == "forbidden") a.bytes = "HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n";
    if (mode == "ppd") a.bytes = HttpOk({'*', 'P', 'P', 'D'}, "text/plain");
    if (mode == "no-ppd") a.bytes = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    return a;
  });
  TSchedulerConnection connection(scheduler.Address(), 1000ms, 300ms);
  mode = "ppd";
  const TPpdAnswer ppd = AskPpd(connection, "q");
  EXPECT_EQ(ppd.outcome, TQuestionOutcome::Answered);
  EXPECT_EQ(ppd.text, "*PPD");
  mode = "no-ppd";
  EXPECT_EQ(AskPpd(connection, "q").outcome, TQuestionOutcome::Other);
  // The stall last: the scheduler is still asleep in it after the deadline.
  const std::vector<std::pair<std::string, TQuestionOutcome>> expected = {
      {"nonsense", TQuestionOutcome::Other}, {"cut", TQuestionOutcome::Other},
      {"error", TQuestionOutcome::Other},    {"forbidden", TQuestionOutcome::Other},
      {"stall", TQuestionOutcome::Expired},
  };
  for (const auto& [m, outcome] : expected) {
    mode = m;
    EXPECT_EQ(AskPrinterList(connection, "t").outcome, outcome) << m;
  }

  TSchedulerConnection nowhere(Socket("/nonexistent/tess.sock"), 300ms, 300ms);
  EXPECT_EQ(AskPrinterList(nowhere, "t").outcome, TQuestionOutcome::Unreachable);
}

// Where the library would look for printers on the network, the start's list (and the default printer's
// PPD) are asked by the program itself, and the list read later by the library, which looks there too.
TEST(SchedulerConnection, WithANetworkLookupOnlyTheStartsQuestionsAreTheProgramsOwn) {
  const std::string ppd =
      "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageVersion: English\n*LanguageEncoding: "
      "ISOLatin1\n"
      "*ModelName: \"Fake\"\n*NickName: \"Fake Printer\"\n*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
      "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
      "*ImageableArea A4/A4: \"18 36 577 806\"\n*PaperDimension A4/A4: \"595 842\"\n";
  std::vector<std::string> asked;  // who asked what: "own GET", "library POST", ...
  TFakeScheduler scheduler([&](const std::string& request) {
    const bool library = request.find("User-Agent: CUPS") != std::string::npos;
    asked.push_back(std::string(library ? "library " : "own ") + request.substr(0, request.find(' ')));
    TFakeScheduler::TAnswer a;
    if (request.rfind("GET ", 0) == 0) {
      a.bytes = request.rfind("GET /printers/Alpha.ppd ", 0) == 0
                    ? HttpOk({ppd.begin(), ppd.end()}, "text/plain")
                    : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    } else {
      a.bytes = IppAnswer(request, 0, {"Alpha"});
    }
    return a;
  });
  TFakeMachine machine;
  machine.files = {"/run/dbus/system_bus_socket", "/run/avahi-daemon/pid"};
  std::unique_ptr<TPrinterSystem> system =
      CreateCupsPrinterSystemAround(scheduler.Address().socketPath, false, machine.Surroundings());
  system->AskStartQuestions();
  EXPECT_EQ(system->PrinterRecords().size(), 1u);
  EXPECT_EQ(system->Papers("Alpha").size(), 1u);
  const std::vector<std::string> start = asked;
  EXPECT_EQ(start, (std::vector<std::string>{"own POST", "own POST", "own GET"}));
  const std::vector<TPrinterRecord> later = system->EnumPrinters();
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].name, Cp932String("Alpha"));
  ASSERT_GT(asked.size(), start.size());
  EXPECT_EQ(asked.back(), "library POST");
}

// ---- A real scheduler: the program's own answers against the library's.

// The printer system the library answers for: the same server, with a variable the program leaves to it.
std::unique_ptr<TPrinterSystem> LibrarySystem() {
  ::setenv("CUPS_USER", RequestingUser().c_str(), 1);
  std::unique_ptr<TPrinterSystem> system = CreateCupsPrinterSystem();
  ::unsetenv("CUPS_USER");
  return system;
}

// The program's list, papers, sources and default settings against the library's, for every queue.
void ExpectTheLibrarysAnswers(TPrinterSystem& own, TPrinterSystem& library) {
  // The start's list: the program's own also where the library's later lists look on the network.
  own.AskStartQuestions();
  const std::vector<TPrinterRecord> ownList = own.PrinterRecords();
  const std::vector<TPrinterRecord> libraryList = library.EnumPrinters();
  ASSERT_EQ(ownList.size(), libraryList.size());
  ASSERT_FALSE(ownList.empty());
  for (std::size_t i = 0; i < ownList.size(); ++i) {
    const Cp932String& name = ownList[i].name;
    EXPECT_EQ(name, libraryList[i].name);
    EXPECT_EQ(ownList[i].port, libraryList[i].port) << name.ToUtf8();
    EXPECT_EQ(ownList[i].attributes, libraryList[i].attributes) << name.ToUtf8();
    const std::vector<TPaperEntry> ownPapers = own.Papers(name), libraryPapers = library.Papers(name);
    ASSERT_EQ(ownPapers.size(), libraryPapers.size()) << name.ToUtf8();
    for (std::size_t p = 0; p < ownPapers.size(); ++p) {
      EXPECT_EQ(ownPapers[p].code, libraryPapers[p].code);
      EXPECT_EQ(ownPapers[p].name, libraryPapers[p].name);
    }
    EXPECT_EQ(own.Bins(name).size(), library.Bins(name).size()) << name.ToUtf8();
    own.SetPrinterIndex(static_cast<int>(i));
    library.SetPrinterIndex(static_cast<int>(i));
    const TCurrentDevice ownDevice = own.GetPrinter(), libraryDevice = library.GetPrinter();
    EXPECT_EQ(ownDevice.driver, libraryDevice.driver) << name.ToUtf8();
    const std::span<std::uint8_t> a = own.LockDevMode(ownDevice.devMode);
    const std::span<std::uint8_t> b = library.LockDevMode(libraryDevice.devMode);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << name.ToUtf8();
    own.UnlockDevMode(ownDevice.devMode);
    library.UnlockDevMode(libraryDevice.devMode);
  }
  EXPECT_EQ(own.ServiceProblem(), Cp932String());
}

TEST(SchedulerQuestionsCups, ListDefaultAndPpdsAreTheLibrarys) {
  if (!test::CupsPdfQueueExists()) GTEST_SKIP() << "no CUPS-PDF queue (needs root and CUPS)";
  if (!PlainScheduler("", ProcessSurroundings()))
    GTEST_SKIP() << "this machine leaves the questions to the library";
  test::TCupsQueueLock lock{test::TCupsQueueLock::UsesQueues};
  const char* kept = std::getenv("LPDEST");
  const std::optional<std::string> before = kept ? std::optional<std::string>(kept) : std::nullopt;
  for (const char* userDefault :
       {"", test::kCupsPdfQueue, "tessarinepdf", "TessarinePDF/copy", "NoSuchQueue"}) {
    SCOPED_TRACE(userDefault);
    if (*userDefault != 0)
      ::setenv("LPDEST", userDefault, 1);
    else
      ::unsetenv("LPDEST");
    std::unique_ptr<TPrinterSystem> own = CreateCupsPrinterSystem();
    std::unique_ptr<TPrinterSystem> library = LibrarySystem();
    ExpectTheLibrarysAnswers(*own, *library);
    EXPECT_EQ(own->PrinterIndex(), library->PrinterIndex());
  }
  if (before)
    ::setenv("LPDEST", before->c_str(), 1);
  else
    ::unsetenv("LPDEST");
}

}  // namespace
}  // namespace tess

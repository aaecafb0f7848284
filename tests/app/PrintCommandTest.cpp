// The print command: `--copies` is checked; on a real CUPS each worksheet gets its own number and every job
// asks for the copies; CUPS that cannot be reached (refusing, or taking connections and never answering,
// also from the middle of a run) is said as such within seconds; without --printer and without a default
// printer the printers are listed, and --printer finds its queue in any letter case. Every printer is asked
// for A4: on a Letter queue the printout is the export's A4 page, on a queue without A4 the page is printed
// whole, scaled and centred, and the class is told so in one line. A run interrupted while it makes a job
// cancels that job and ends as the signal; a job whose document CUPS refuses is cancelled, and one CUPS
// cancels at once is an error; a printer only listed from the network is looked for once and briefly.
#include <gtest/gtest.h>

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/CommandLine.h"
#include "app/WorksheetBatch.h"
#include "platform/core/Messages.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "preview/PreviewHost.h"
#include "tests/platform/DrawingTestUtil.h"
#include "tests/support/CupsJobs.h"
#include "tests/support/PdfFile.h"
#include "tests/support/PdfPages.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"
#include "tests/support/Terminal.h"

namespace tess {
namespace {

test::TShellResult RunTessarine(const std::string& arguments, const std::string& environment = {}) {
  return test::RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen " + environment + " " +
                        std::string(TESSARINE_EXE) + " " + arguments + " 2>&1");
}

// A socket of this process on 127.0.0.1 that takes connections (the system completes them) but never answers;
// closed, its port refuses connections.
class SilentServer {
 public:
  SilentServer() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(fd_, 8) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~SilentServer() { Close(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int Port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

// A connection to the scheduler the CUPS clients of this machine use (its local socket, or host:port).
int ConnectToScheduler() {
  std::string server = test::Shell("lpstat -H 2>/dev/null");
  server.erase(std::remove_if(server.begin(), server.end(), [](char c) { return std::isspace(c) != 0; }),
               server.end());
  if (server.empty()) server = "localhost:631";
  if (server.front() == '/') {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    server.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
  }
  const std::size_t colon = server.rfind(':');
  const std::string host = server.substr(0, colon),
                    port = colon == std::string::npos ? "631" : server.substr(colon + 1);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  ::freeaddrinfo(found);
  return fd;
}

// A go-between on 127.0.0.1 for the scheduler: it passes every connection on until Silence(), and from then
// on keeps the connections open and passes nothing, as a scheduler that stopped answering.
class SilencingProxy {
 public:
  SilencingProxy() : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ >= 0 && ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::listen(listener_, 16) == 0 &&
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
      port_ = ntohs(address.sin_port);
      thread_ = std::thread([this] { Pass(); });
    }
  }
  ~SilencingProxy() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    for (const auto& [a, b] : pairs_) {
      ::close(a);
      ::close(b);
    }
    if (listener_ >= 0) ::close(listener_);
  }
  int Port() const { return port_; }
  void Silence() { silent_ = true; }

 private:
  void Pass() {
    while (!stop_) {
      std::vector<pollfd> fds{{listener_, POLLIN, 0}};
      if (!silent_) {
        for (const auto& [a, b] : pairs_) {
          fds.push_back({a, POLLIN, 0});
          fds.push_back({b, POLLIN, 0});
        }
      }
      if (::poll(fds.data(), fds.size(), 50) <= 0 || silent_) continue;
      if (fds[0].revents & POLLIN) {
        const int client = ::accept(listener_, nullptr, nullptr);
        const int server = client >= 0 ? ConnectToScheduler() : -1;
        if (server >= 0) {
          pairs_.emplace_back(client, server);
        } else if (client >= 0) {
          ::close(client);
        }
      }
      std::vector<bool> closed(pairs_.size(), false);
      for (std::size_t i = 1; i < fds.size(); ++i) {
        const std::size_t p = (i - 1) / 2;
        if (fds[i].revents == 0 || closed[p]) continue;
        const int from = fds[i].fd, to = from == pairs_[p].first ? pairs_[p].second : pairs_[p].first;
        char buffer[65536];
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        bool open = n > 0;
        for (ssize_t sent = 0; open && sent < n;) {
          const ssize_t w = ::write(to, buffer + sent, static_cast<std::size_t>(n - sent));
          open = w > 0;
          sent += w;
        }
        closed[p] = !open;
      }
      // A connection one side has ended is ended on both.
      for (std::size_t p = pairs_.size(); p-- > 0;) {
        if (!closed[p]) continue;
        ::close(pairs_[p].first);
        ::close(pairs_[p].second);
        pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(p));
      }
    }
  }

  int listener_;
  int port_ = 0;
  std::atomic<bool> stop_{false}, silent_{false};
  std::vector<std::pair<int, int>> pairs_;  // client, scheduler
  std::thread thread_;
};

// Waits until CUPS keeps `count` jobs of the queue (at most a minute).
bool WaitForJobsOn(const std::string& queue, std::size_t count) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (test::CupsJobsOn(queue).size() < count) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(PrintCommand, CopiesAreANumberFromOneTo999) {
  ParsedCommand ok = ParseCommandLine({"print", "--copies", "999"});
  ASSERT_TRUE(ok.command);
  EXPECT_EQ(ok.command->copies, 999);
  SetMessageLanguage(TLanguage::English);
  for (const char* bad : {"0", "1000", "two", "-1"}) {
    ParsedCommand p = ParseCommandLine({"print", "--copies", bad});
    ASSERT_TRUE(p.error) << bad;
    EXPECT_NE(p.error->message.find("copies"), std::string::npos) << p.error->message;
  }
  EXPECT_TRUE(ParseCommandLine({"export", "--copies", "2", "--format", "pdf", "--output", "a.pdf"}).error);
  const test::TShellResult run = RunTessarine("print --copies 0");
  EXPECT_EQ(run.exitCode, 2) << run.output;
}

TEST(PrintCommand, EachWorksheetHasItsOwnNumberAndEveryJobAsksForTheCopies) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  test::TestQueue queue("Command");
  ASSERT_TRUE(queue.Exists());
  const test::TShellResult run =
      RunTessarine("print --number 7 --count 3 --copies 2 --seed 3 --printer " + queue.Name());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "");  // no progress where nobody watches
  const std::vector<test::CupsJob> jobs = test::CupsJobsOn(queue.Name());
  ASSERT_EQ(jobs.size(), 3u);
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    EXPECT_EQ(jobs[i].copies, 2);
    const std::string number = "問題No." + std::to_string(7 + i);
    const std::string text = test::JobDocumentText(jobs[i].id);
    EXPECT_NE(text.find(number + "\n"), std::string::npos) << text;  // on both pages of the worksheet
    EXPECT_NE(text.find(number + "\n", text.find(number + "\n") + 1), std::string::npos) << text;
    EXPECT_EQ(test::WaitForJobEnd(jobs[i].id).state, "completed");
    EXPECT_EQ(test::PdfPageCount(test::JobOutputPdf(jobs[i].id)), 4);  // two copies of two pages
  }
}

// A worksheet printed on a queue of the test's own (the printout found by its job's id) rendered at 50 dpi,
// and exported with that queue as the default printer, rendered at `exportDpi`. Empty pages when something
// failed.
struct PrintedAndExported {
  std::string pageSize;  // of the printout
  std::vector<TBitmap24> printed, exported;
  std::string output;  // what the print command said
};

PrintedAndExported PrintAndExport(const test::TestQueue& queue, const std::string& options,
                                  double exportDpi = 50) {
  PrintedAndExported result;
  const test::TShellResult run = RunTessarine("print " + options + " --printer " + queue.Name(), "LANG=C");
  result.output = run.output;
  const std::vector<test::CupsJob> jobs = test::CupsJobsOn(queue.Name());
  EXPECT_EQ(run.exitCode, 0) << run.output;
  if (jobs.empty()) return result;
  EXPECT_EQ(test::WaitForJobEnd(jobs.front().id).state, "completed");
  const std::filesystem::path printout = test::JobOutputPdf(jobs.front().id);
  const std::filesystem::path exported =
      std::filesystem::temp_directory_path() / ("tessarine-export-" + queue.Name() + ".pdf");
  const test::TShellResult exportRun =
      RunTessarine("export " + options + " --count 1 --format pdf --output " + exported.string(),
                   "LPDEST=" + queue.Name());
  EXPECT_EQ(exportRun.exitCode, 0) << exportRun.output;
  result.pageSize = test::PdfPageSize(printout);
  result.printed = test::RenderPdfPages(printout, 50);
  result.exported = test::RenderPdfPages(exported, exportDpi);
  std::filesystem::remove(exported);
  return result;
}

// A page that is not blank: at least 1 % of it inked.
bool Inked(const TBitmap24& page) {
  const long long all = static_cast<long long>(page.Width()) * page.Height();
  return all - testing::CountPixels(page, 0xFFFFFFu, 64) > all / 100;
}

TEST(PrintCommand, OnALetterQueueTheWorksheetIsPrintedOnA4AsItsExport) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  test::TestQueue queue("Letter", "-o PageSize=Letter");
  ASSERT_TRUE(queue.Exists());
  const PrintedAndExported pages = PrintAndExport(queue, "--size 4 --level 1 --seed 5 --number 3");
  EXPECT_EQ(pages.pageSize, "595 x 842");  // A4
  ASSERT_EQ(pages.printed.size(), 2u);
  ASSERT_EQ(pages.exported.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(Inked(pages.printed[i])) << "page " << i + 1;
    // The rasterisers smooth glyph edges differently; a cut or shifted page differs in far more.
    EXPECT_LT(testing::MismatchShare(pages.printed[i], pages.exported[i], 1, 96), 0.002) << "page " << i + 1;
  }
  EXPECT_EQ(pages.output.find("A4"), std::string::npos) << pages.output;
}

TEST(PrintCommand, OnAQueueWithoutA4TheWholePageIsScaledCentredAndTheClassToldOnce) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  const std::filesystem::path ppd = test::CupsPdfPpdWithoutA4(
      std::filesystem::temp_directory_path() / ("tessarine-no-a4-" + std::to_string(::getpid()) + ".ppd"));
  test::TestQueue queue("NoA4", "", ppd);
  std::filesystem::remove(ppd);
  ASSERT_TRUE(queue.Exists());
  // The export's A4 page shrunk to the Letter height (CUPS-PDF prints to the paper's edges) and centred.
  const double scale = 792 / 841.89;
  const PrintedAndExported pages =
      PrintAndExport(queue, "--count 2 --size 4 --level 1 --seed 5 --number 3", 50 * scale);
  EXPECT_EQ(test::CupsJobsOn(queue.Name()).size(), 2u);
  std::istringstream lines(pages.output);
  int told = 0;
  for (std::string line; std::getline(lines, line);)
    told += line.find("has no A4 paper") != std::string::npos;
  EXPECT_EQ(told, 1) << pages.output;
  EXPECT_EQ(pages.pageSize, "612 x 792");  // Letter
  ASSERT_EQ(pages.printed.size(), 2u);
  ASSERT_EQ(pages.exported.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const TBitmap24& printed = pages.printed[i];
    EXPECT_TRUE(Inked(printed)) << "page " << i + 1;
    const TBitmap24 expected = test::Centred(pages.exported[i], printed.Width(), printed.Height());
    EXPECT_LT(testing::MismatchShare(printed, expected, 1, 96), 0.002) << "page " << i + 1;
  }
}

TEST(PrintCommand, AClassOnAPrinterWithoutA4IsToldInOneLineAndEveryWorksheetIsFitted) {
  auto system = std::make_unique<TVirtualPrinterSystem>();
  TVirtualPrinter letter = TVirtualPrinterSystem::StandardPrinter("Letter Only");
  letter.papers = {{DMPAPER_LETTER, "Letter", 2159, 2794}};
  letter.defaultPaper = DMPAPER_LETTER;
  letter.dpiX = letter.dpiY = 100;
  letter.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  system->AddPrinter(letter);
  TVirtualPrinterSystem* printers = system.get();
  TScopedPrinterSystem scope(std::move(system));
  const TMessageBoxHook hook = Application().SetMessageBoxHook(nullptr);
  std::ostringstream out, err;
  const int code =
      RunWorksheetBatch(*ParseCommandLine({"print", "--count", "35", "--seed", "4"}).command, out, err);
  Application().SetMessageBoxHook(hook);
  SetPreviewHost(nullptr);
  EXPECT_EQ(code, kExitOk) << err.str();
  ASSERT_EQ(printers->Jobs().size(), 35u);
  for (const TVirtualJobRecord& job : printers->Jobs()) {
    EXPECT_EQ(ReadBlockI16(job.devMode, devmode::dmPaperSize), DMPAPER_LETTER);
    EXPECT_EQ(job.pageCount, 2);
  }
  std::istringstream lines(err.str());
  int told = 0;
  for (std::string line; std::getline(lines, line);) told += line.find("Letter Only") != std::string::npos;
  EXPECT_EQ(told, 1) << err.str();
}

// The document a job sends reads as the exported PDF does: its fonts named as subsets, its text the
// characters printed (～ not 〜, spaces as spaces).
TEST(PrintCommand, PrintedAndExportedPdfsGiveBackTheSameText) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  test::TestQueue queue("Text");
  ASSERT_TRUE(queue.Exists());
  const std::string options = "--seed 3 --number 5 --line1 'A B' --line2 '１～９、Ａ〜Ｚ' ";
  const test::TShellResult run = RunTessarine("print " + options + "--printer " + queue.Name());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<test::CupsJob> jobs = test::CupsJobsOn(queue.Name());
  ASSERT_EQ(jobs.size(), 1u);
  char spool[64];
  std::snprintf(spool, sizeof spool, "/var/spool/cups/d%05d-001", jobs[0].id);
  const std::string exported =
      (std::filesystem::temp_directory_path() / ("tessarine-text-" + std::to_string(::getpid()) + ".pdf"))
          .string();
  ASSERT_EQ(RunTessarine("export " + options + "--format pdf --output " + exported).exitCode, 0);
  const std::string printedText = test::Shell(std::string("pdftotext -q ") + spool + " -");
  const std::string exportedText = test::Shell("pdftotext -q " + exported + " -");
  std::filesystem::remove(exported);
  for (const std::string& text : {printedText, exportedText}) {
    EXPECT_NE(text.find("A B\n"), std::string::npos) << text;
    EXPECT_NE(text.find("１～９、Ａ～Ｚ"), std::string::npos) << text;
    EXPECT_NE(text.find("問題No.5"), std::string::npos) << text;
    EXPECT_EQ(text.find("〜"), std::string::npos) << text;
  }
  EXPECT_EQ(printedText, exportedText);
  const std::string fonts = test::Shell(std::string("pdffonts ") + spool);
  EXPECT_NE(fonts.find("+IPAGothic"), std::string::npos) << fonts;
  EXPECT_EQ(fonts.find(" no  "), std::string::npos) << fonts;
  EXPECT_EQ(test::CrossReferenceProblem(test::ReadFile(spool)), "");
}

TEST(PrintCommand, CupsThatCannotBeReachedIsSaidSo) {
  SilentServer silent;
  SilentServer closed;
  closed.Close();
  ASSERT_NE(silent.Port(), 0);
  for (int port : {closed.Port(), silent.Port()}) {
    const std::string server = "127.0.0.1:" + std::to_string(port);
    const test::TShellResult run = RunTessarine("print", "CUPS_SERVER=" + server);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("CUPS is not reachable at " + server), std::string::npos) << run.output;
  }
}

TEST(PrintCommand, MessagesFollowTheLocale) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  test::TestQueue queue("Refusing");
  ASSERT_TRUE(queue.Exists());
  test::Shell("cupsreject " + queue.Name());
  const std::string missing =
      (std::filesystem::temp_directory_path() / "tessarine-no-such-folder/a.pdf").string();
  struct Case {
    std::string arguments, japanese, english;
    int exitCode;
  };
  const Case cases[] = {
      {"print --printer " + queue.Name(), "プリンタ " + queue.Name() + " は印刷ジョブを受け付けていません．",
       "the printer " + queue.Name() + " is not accepting jobs", 1},
      {"export --size 9 --format pdf --output a.pdf", "サイズ「9」は指定できません．",
       "unknown size '9' (expected 3, 4, 5 or 6)", 2},
      {"export --format pdf --output " + missing, " がありません．", "the folder", 1},
  };
  for (const Case& c : cases) {
    // LANG decides when LC_ALL and LC_MESSAGES are not set.
    for (const char* lang : {"ja_JP.UTF-8", "C"}) {
      const test::TShellResult run =
          test::RunShell("env -u LC_ALL -u LC_MESSAGES LANG=" + std::string(lang) +
                         " QT_QPA_PLATFORM=offscreen " + TESSARINE_EXE + " " + c.arguments + " 2>&1");
      EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
      const std::string& expected = std::string(lang) == "C" ? c.english : c.japanese;
      EXPECT_NE(run.output.find(expected), std::string::npos) << lang << ": " << run.output;
    }
  }
  EXPECT_TRUE(test::CupsJobsOn(queue.Name()).empty());
}

TEST(PrintCommand, WithoutAPrinterNamedNorADefaultOneThePrintersAreListed) {
  if (!test::CupsPdfQueueExists()) GTEST_SKIP() << "no CUPS-PDF queue";
  if (test::Shell("lpstat -d 2>/dev/null").find("system default destination:") != std::string::npos) {
    GTEST_SKIP() << "this system has a default printer";
  }
  // A home of its own: no default printer of the user's either.
  const test::TShellResult run =
      RunTessarine("print", "HOME=" + std::filesystem::temp_directory_path().string());
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_NE(run.output.find("no default printer"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(test::kCupsPdfQueue), std::string::npos) << run.output;
}

// --printer finds its queue whatever the letter case; a name no queue has is a bad value (exit code 2) and
// the printers are listed.
TEST(PrintCommand, ThePrinterNamedIsFoundInAnyLetterCaseAndAnUnknownOneListsThePrinters) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  test::TestQueue queue("Case");
  ASSERT_TRUE(queue.Exists());
  std::string lower = queue.Name();
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  ASSERT_NE(lower, queue.Name());
  test::TShellResult run = RunTessarine("print --printer " + lower);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(test::CupsJobsOn(queue.Name()).size(), 1u);

  run = RunTessarine("print --printer NoSuchTessarinePrinter");
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_NE(run.output.find("unknown printer 'NoSuchTessarinePrinter' (printers: "), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find(queue.Name()), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(test::kCupsPdfQueue), std::string::npos) << run.output;
}

// A run interrupted while it makes a job (held before its document is sent) cancels that job, says so in the
// locale's language and ends as the signal ends a program; the worksheet printed before stays printed, and
// CUPS keeps no job waiting. The job's temporary file goes with it.
TEST(PrintCommand, AnInterruptedRunCancelsTheJobItWasMakingAndEndsAsTheSignal) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  struct Case {
    int signal;
    std::string locale, said;
  };
  for (const Case& c :
       {Case{SIGINT, "C",
             "printing was interrupted: 1 of 3 worksheets were printed, and the print job being "
             "made on %Q was cancelled"},
        Case{SIGTERM, "ja_JP.UTF-8",
             "印刷を中断しました（3 枚のうち 1 枚を印刷しました）．プリンタ %Q で作成中の印刷ジョブは"
             "取り消しました．"}}) {
    test::TestQueue queue("Interrupted");
    ASSERT_TRUE(queue.Exists());
    const std::filesystem::path temporary =
        std::filesystem::temp_directory_path() / ("tessarine-interrupted-" + std::to_string(::getpid()));
    std::filesystem::create_directories(temporary);
    test::TTerminalRun run(TESSARINE_EXE, {"print", "--printer", queue.Name(), "--count", "3"},
                           {"LC_ALL=" + c.locale, "QT_QPA_PLATFORM=offscreen", "TMPDIR=" + temporary.string(),
                            "TESSARINE_TEST_JOB_PAUSE=before-document 2"});
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(WaitForJobsOn(queue.Name(), 2));
    run.Signal(c.signal);
    run.Wait();
    EXPECT_EQ(run.EndingSignal(), c.signal) << run.Shown();
    std::string said = c.said;
    said.replace(said.find("%Q"), 2, queue.Name());
    EXPECT_NE(run.Shown().find("tessarine: " + said + "\r\n"), std::string::npos) << run.Shown();
    const std::vector<test::CupsJob> jobs = test::CupsJobsOn(queue.Name());
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(test::WaitForJobEnd(jobs[0].id).state, "completed");
    EXPECT_EQ(jobs[1].state, "canceled");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temporary)) {
      EXPECT_FALSE(entry.is_regular_file()) << entry.path();
    }
    std::filesystem::remove_all(temporary);
  }
}

// CUPS that stops answering in the middle of a run (a go-between that falls silent once the first job is
// there) ends the run within seconds, saying that CUPS is not reachable, not that the printer went away.
TEST(PrintCommand, CupsThatStopsAnsweringMidRunIsSaidSoWithinSeconds) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  test::TestQueue queue("Silenced");
  ASSERT_TRUE(queue.Exists());
  SilencingProxy proxy;
  ASSERT_NE(proxy.Port(), 0);
  const std::string server = "127.0.0.1:" + std::to_string(proxy.Port());
  test::TTerminalRun run(TESSARINE_EXE, {"print", "--printer", queue.Name(), "--count", "20", "--quiet"},
                         {"LC_ALL=C", "QT_QPA_PLATFORM=offscreen", "CUPS_SERVER=" + server});
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(WaitForJobsOn(queue.Name(), 1));
  proxy.Silence();
  const auto silenced = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Wait(), 1) << run.Shown();
  // A request waits 4 s for its answer, once; then nothing more is asked.
  EXPECT_LT(SecondsSince(silenced), 7.0);
  EXPECT_EQ(run.Shown(),
            "tessarine: CUPS is not reachable at " + server + " (it did not answer within 4 seconds)\r\n");
}

// What CUPS does to a job reaches the command: a job whose document the queue refuses is cancelled, not left
// held; a job CUPS cancels as soon as it has its document (here the test cancels it, on a queue that holds
// its jobs, while the program waits before asking for the job's state) is an error.
TEST(PrintCommand, AJobWhoseDocumentIsRefusedIsCancelledAndOneCupsCancelsIsAnError) {
  if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  test::CupsTurn turn;
  const std::filesystem::path ppd = test::CupsPdfPpdRefusingPdf(
      std::filesystem::temp_directory_path() / ("tessarine-no-pdf-" + std::to_string(::getpid()) + ".ppd"));
  test::TestQueue refusing("NoPdf", "", ppd);
  std::filesystem::remove(ppd);
  ASSERT_TRUE(refusing.Exists());
  test::TShellResult run = RunTessarine("print --printer " + refusing.Name());
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("the print job could not be sent to " + refusing.Name() + " ("),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("); it was cancelled"), std::string::npos) << run.output;
  std::vector<test::CupsJob> jobs = test::CupsJobsOn(refusing.Name());
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].state, "canceled");

  test::TestQueue holding("Holding", "-o job-hold-until-default=indefinite");
  ASSERT_TRUE(holding.Exists());
  test::TTerminalRun held(
      TESSARINE_EXE, {"print", "--printer", holding.Name(), "--quiet"},
      {"LC_ALL=C", "QT_QPA_PLATFORM=offscreen", "TESSARINE_TEST_JOB_PAUSE=after-document 1 5"});
  ASSERT_TRUE(held.Started());
  ASSERT_TRUE(WaitForJobsOn(holding.Name(), 1));
  jobs = test::CupsJobsOn(holding.Name());
  // The document is in the spool once it was sent.
  char spooled[64];
  std::snprintf(spooled, sizeof spooled, "/var/spool/cups/d%05d-001", jobs[0].id);
  for (int i = 0; i < 3000 && !std::filesystem::exists(spooled); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  test::Shell("cancel " + std::to_string(jobs[0].id));
  EXPECT_EQ(held.Wait(), 1) << held.Shown();
  EXPECT_NE(held.Shown().find("tessarine: CUPS dropped the print job on " + holding.Name() + " (canceled"),
            std::string::npos)
      << held.Shown();
}

// A printer listed as found on the network that the scheduler has no queue for (the hook stands in for the
// network lookup, which takes the seconds given and finds nothing) is looked for once in a run, and the
// lookups of a run take 3 s at most, after which the printer is said not to be found.
TEST(PrintCommand, APrinterOnlyOnTheNetworkIsLookedForOnceAndBriefly) {
  if (!test::CupsPdfQueueExists()) GTEST_SKIP() << "no CUPS-PDF queue";
  const std::string name = test::UniqueJobTitle("TessarineNetwork");
  struct Case {
    std::string lookup, said;
    double within;
  };
  // One lookup of 1 s (looked up again for every question, the lookups would use up the whole bound), and
  // one that would take a minute.
  for (const Case& c :
       {Case{"1", "the printer " + name + " is no longer installed", 2.9},
        Case{"60", "the printer " + name + " was not found on the network within 3 seconds", 6.0}}) {
    const auto start = std::chrono::steady_clock::now();
    const test::TShellResult run =
        RunTessarine("print --count 3 --printer " + name,
                     "TESSARINE_TEST_NETWORK_PRINTER='" + name + " " + c.lookup + "'");
    const double seconds = SecondsSince(start);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output, "tessarine: " + c.said + "\n");
    EXPECT_LT(seconds, c.within) << c.lookup;
  }
}

}  // namespace
}  // namespace tess

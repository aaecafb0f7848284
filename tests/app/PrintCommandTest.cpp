// The print command: `--copies` is checked; on a real CUPS each worksheet gets its own number and every job
// asks for the copies; CUPS that cannot be reached (refusing, or taking connections and never answering) is
// said as such; without --printer and without a default printer the printers are listed. Every printer is
// asked for A4: on a Letter queue the printout is the export's A4 page, on a queue without A4 the page is
// printed whole, scaled and centred, and the class is told so in one line.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <filesystem>
#include <sstream>
#include <string>

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

}  // namespace
}  // namespace tess

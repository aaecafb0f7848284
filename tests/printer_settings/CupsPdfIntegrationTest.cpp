// Against a real CUPS: a CUPS-PDF queue (added by scripts/test-steps/50-cups-pdf.sh, which this test runs
// itself when the queue is missing) is found, set to A4, measured against its PPD, and prints a two-page
// job into a PDF file.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/PrintDialogs.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/support/CupsPdf.h"
#include "tests/support/CupsQueueLock.h"

namespace tess {
namespace {

namespace fs = std::filesystem;

using test::Shell;
const char* kQueue = test::kCupsPdfQueue;
bool QueueExists() {
  return test::CupsPdfQueueExists();
}
fs::path OutputFolder() {
  return test::CupsPdfOutputFolder();
}

// What the queue's PPD says about A4 and the default resolution.
struct PpdA4 {
  int dpi = 0;
  double width = 0, length = 0, left = 0, bottom = 0, right = 0, top = 0;
};

// The quoted numbers of a PPD line ("*ImageableArea A4/A4: "0 0 595 842"").
std::vector<double> QuotedNumbers(const std::string& line) {
  std::vector<double> numbers;
  auto open = line.find('"');
  auto close = line.rfind('"');
  if (open == std::string::npos || close <= open) return numbers;
  std::istringstream in(line.substr(open + 1, close - open - 1));
  double v = 0;
  while (in >> v) numbers.push_back(v);
  return numbers;
}

std::optional<PpdA4> ReadPpd() {
  std::ifstream ppd(std::string("/etc/cups/ppd/") + kQueue + ".ppd");
  if (!ppd) return std::nullopt;
  PpdA4 a4;
  std::string line;
  while (std::getline(ppd, line)) {
    if (line.rfind("*DefaultResolution:", 0) == 0) {
      std::sscanf(line.c_str() + 19, "%d", &a4.dpi);  // "600dpi" or "600x600dpi": the first number
    } else if (line.rfind("*PaperDimension A4/", 0) == 0) {
      auto n = QuotedNumbers(line);
      if (n.size() == 2) {
        a4.width = n[0];
        a4.length = n[1];
      }
    } else if (line.rfind("*ImageableArea A4/", 0) == 0) {
      auto n = QuotedNumbers(line);
      if (n.size() == 4) {
        a4.left = n[0];
        a4.bottom = n[1];
        a4.right = n[2];
        a4.top = n[3];
      }
    }
  }
  if (a4.dpi == 0) a4.dpi = 300;  // CUPS reports 300 dpi for a PPD without a resolution
  if (a4.width == 0) return std::nullopt;
  return a4;
}

int Dots(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

class CupsPdfTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QueueExists() && ::geteuid() == 0) {
      // Whether it worked shows in SetUp, which skips without the queue.
      const int made =
          std::system("bash " TESSARINE_SOURCE_DIR "/scripts/test-steps/50-cups-pdf.sh >/dev/null 2>&1");
      (void)made;
    }
  }
  void SetUp() override {
    if (!QueueExists()) GTEST_SKIP() << "no CUPS-PDF queue " << kQueue << " (needs root and CUPS)";
    scope = std::make_unique<TScopedPrinterSystem>(CreateCupsPrinterSystem());
  }
  void TearDown() override { scope.reset(); }
  // Some of these tests add and delete queues: each runs alone among the tests that use CUPS queues.
  test::TCupsQueueLock lock{test::TCupsQueueLock::ChangesQueues};
  std::unique_ptr<TScopedPrinterSystem> scope;
};

TEST_F(CupsPdfTest, QueueIsListedAndItsA4CapsFollowThePpd) {
  std::optional<PpdA4> ppd = ReadPpd();
  ASSERT_TRUE(ppd.has_value());
  TplSetPrinter printer(nullptr);
  ASSERT_GT(printer.PrinterCount(), 0);
  ASSERT_GE(TplSetPrinter::FindPrinterIndex(kQueue), 0);
  printer.SetPrinterName(kQueue);
  EXPECT_EQ(printer.PrinterName(), Cp932String(kQueue));
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_A4));
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
  EXPECT_FALSE(printer.Landscape());
  EXPECT_EQ(printer.DevDataSize(), 156 + 512);

  const int dpi = ppd->dpi;
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchX), dpi);
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchY), dpi);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), Dots(ppd->width, dpi));
  EXPECT_EQ(printer.DeviceCaps(dcPaperHeight), Dots(ppd->length, dpi));
  EXPECT_EQ(printer.DeviceCaps(dcOffsetLeft), Dots(ppd->left, dpi));
  EXPECT_EQ(printer.DeviceCaps(dcOffsetTop), Dots(ppd->length - ppd->top, dpi));
  EXPECT_EQ(printer.DeviceCaps(dcPrintableWidth), Dots(ppd->right, dpi) - Dots(ppd->left, dpi));
  EXPECT_EQ(printer.DeviceCaps(dcPrintableHeight),
            Dots(ppd->length - ppd->bottom, dpi) - Dots(ppd->length - ppd->top, dpi));

  // Other papers of the usual numbering are there too, and the driver's names read back.
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_LETTER));
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), Dots(612, dpi));
  printer.SetPaperName("A4");
  EXPECT_EQ(printer.PaperSize(), DMPAPER_A4);
  printer.SetLandscape(true);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), Dots(ppd->length, dpi));
}

TEST_F(CupsPdfTest, TwoPageJobBecomesATwoPagePdf) {
  ASSERT_FALSE(OutputFolder().empty());
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName(kQueue);
  ASSERT_TRUE(printer.SetPaperSizeChecked(DMPAPER_A4));
  const std::string token = test::UniqueJobTitle("Worksheet");
  Printer().BeginDoc(Cp932String(token.c_str()));
  EXPECT_TRUE(Printer().Printing());
  const int dpi = printer.DeviceCaps(dcPixelsPerInchX);
  auto drawPage = [&](const char* text) {
    TCanvas* canvas = Printer().Canvas();
    ASSERT_NE(canvas, nullptr);
    canvas->Brush().SetStyle(TBrushStyle::bsSolid);  // the canvas keeps its state from page to page
    canvas->Brush().SetColor(0x000000);
    canvas->FillRect(TRect{dpi, dpi, 2 * dpi, 2 * dpi});  // a one-inch square, an inch in
    canvas->Brush().SetStyle(TBrushStyle::bsClear);
    canvas->Font().SetName("DejaVu Sans");
    canvas->Font().SetHeight(-dpi / 4);
    canvas->TextOut(dpi, 3 * dpi, text);
  };
  drawPage("Tessarine page one");
  Printer().NewPage();
  drawPage("Tessarine page two");
  Printer().EndDoc();
  EXPECT_FALSE(Printer().Printing());

  // CUPS-PDF has written the whole file once CUPS reports the job completed.
  const test::TCupsJob job = test::WaitForCupsPdfJob(token);
  ASSERT_EQ(job.State, "completed") << "job " << job.Id << " " << token;
  const fs::path found = job.Pdf;
  ASSERT_FALSE(found.empty()) << "no PDF named for the job title in " << OutputFolder();
  const std::string info = Shell("pdfinfo '" + found.string() + "' 2>/dev/null");
  int pages = 0;
  const auto at = info.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info;
  std::istringstream(info.substr(at + 6)) >> pages;
  EXPECT_EQ(pages, 2);
  EXPECT_NE(info.find("595"), std::string::npos) << info;  // A4 in points
  EXPECT_NE(info.find(token), std::string::npos) << info;  // the job's title
  // Both pages show the inch square an inch from the corner (the PPD's A4 is printable to the edges).
  const std::string prefix = (fs::temp_directory_path() / ("tessarine-cups-" + token)).string();
  Shell("pdftoppm -r 40 -png '" + found.string() + "' '" + prefix + "' 2>/dev/null");
  std::error_code ec;
  for (const char* page : {"-1.png", "-2.png"}) {
    TBitmap24 bitmap;
    ASSERT_TRUE(TBitmap24::LoadFromFile(prefix + page, bitmap).IsOk()) << prefix + page;
    EXPECT_EQ(bitmap.Pixel(60, 60), 0x000000u) << page;
    EXPECT_EQ(bitmap.Pixel(100, 60), 0xFFFFFFu) << page;
    EXPECT_EQ(bitmap.Pixel(60, 100), 0xFFFFFFu) << page;
    fs::remove(prefix + page, ec);
  }
  if (std::getenv("TESSARINE_KEEP_PDF") == nullptr) fs::remove(found, ec);
}

// What CUPS said of a queue is kept until the printer list is read again; a queue removed meanwhile is
// seen there, and a job on it is refused at once.
TEST_F(CupsPdfTest, QueueThatDisappearsIsSeenWhenTheListIsReadAgain) {
  const std::string name = "TessarineGone" + std::to_string(::getpid());
  Shell("lpadmin -p " + name + " -E -v cups-pdf:/ -P /etc/cups/ppd/" + kQueue + ".ppd 2>/dev/null");
  TplSetPrinter printer(nullptr);
  if (TplSetPrinter::FindPrinterIndex(name.c_str()) < 0) GTEST_SKIP() << "could not add a second queue";
  printer.SetPrinterName(name.c_str());
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
  const int width = printer.DeviceCaps(dcPaperWidth);
  EXPECT_GT(width, 0);
  Shell("lpadmin -x " + name + " 2>/dev/null");
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), width);
  EXPECT_THROW(Printer().BeginDoc("gone"), EPrinterError);

  Printer().Refresh();
  EXPECT_LT(TplSetPrinter::FindPrinterIndex(name.c_str()), 0);
  EXPECT_TRUE(Printer().Papers(name.c_str()).empty());
  std::vector<std::uint8_t> block = printer.DevData();
  EXPECT_FALSE(Printer().MergeDevMode(name.c_str(), block));
}

TEST(CupsDown, ServerThatDoesNotAnswerMeansNoPrinters) {
  for (const char* server : {"127.0.0.1:9", "/nonexistent/cups.sock"}) {
    TScopedPrinterSystem scope(CreateCupsPrinterSystem(server));
    TplSetPrinter printer(nullptr);
    EXPECT_EQ(printer.PrinterCount(), 0) << server;
    EXPECT_EQ(printer.PaperName(), Cp932String());
    EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 0);
    EXPECT_TRUE(Printer().Papers("TessarinePDF").empty());
    EXPECT_FALSE(Printer().MergeDevMode("TessarinePDF", {}));
    EXPECT_THROW(Printer().BeginDoc("down"), EPrinterError);
  }
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

// A second queue from the same PPD, given margins, 600 dpi and input slots, to see a PPD's sources and
// imageable area through CUPS.
class CupsTraysTest : public CupsPdfTest {
 protected:
  // Test processes may run side by side: each has its own queue.
  const std::string trays = "TessarineTrays" + std::to_string(::getpid());
  const char* Trays() const { return trays.c_str(); }
  void SetUp() override {
    CupsPdfTest::SetUp();
    if (IsSkipped()) return;
    std::ifstream in(std::string("/etc/cups/ppd/") + kQueue + ".ppd");
    std::stringstream ppd;
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("*DefaultResolution:", 0) == 0) line = "*DefaultResolution: 600dpi";
      if (line.rfind("*ImageableArea A4/", 0) == 0) line = "*ImageableArea A4/A4: \"18 36 577 806\"";
      if (line.rfind("*CloseGroup: General", 0) == 0) {
        ppd << "*OpenUI *InputSlot/Media Source: PickOne\n"
               "*OrderDependency: 20 AnySetup *InputSlot\n"
               "*DefaultInputSlot: Tray1\n"
               "*InputSlot Auto/Automatically Select: \"\"\n"
               "*InputSlot Tray1/Tray 1: \"\"\n"
               "*InputSlot Manual/Manual Feed: \"\"\n"
               "*InputSlot Tractor/Continuous Tractor Feed Unit: \"\"\n"
               "*InputSlot Cassette2/Cassette 2: \"\"\n"
               "*CloseUI: *InputSlot\n";
      }
      ppd << line << "\n";
    }
    path = fs::temp_directory_path() / (trays + ".ppd");
    std::ofstream(path) << ppd.str();
    Shell(std::string("lpadmin -p ") + Trays() + " -E -v cups-pdf:/ -P " + path.string() + " 2>/dev/null");
    if (Shell(std::string("lpstat -p ") + Trays() + " 2>/dev/null").find(Trays()) == std::string::npos) {
      GTEST_SKIP() << "could not add the queue " << Trays();
    }
  }
  void TearDown() override {
    Shell(std::string("lpadmin -x ") + Trays() + " 2>/dev/null");
    std::error_code ec;
    fs::remove(path, ec);
    CupsPdfTest::TearDown();
  }
  fs::path path;
};

TEST_F(CupsTraysTest, InputSlotsAreSourcesAndMarginsAreOffsets) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName(Trays());
  ASSERT_EQ(printer.PrinterName(), Cp932String(Trays()));
  EXPECT_EQ(printer.PaperBin(), DMBIN_UPPER);  // the PPD's default, Tray1
  EXPECT_EQ(printer.PaperBinName(), Cp932String("Tray 1"));
  printer.SetPaperBinName("Manual Feed");
  EXPECT_EQ(printer.PaperBin(), DMBIN_MANUAL);
  printer.SetPaperBin(DMBIN_TRACTOR);
  EXPECT_EQ(printer.PaperBinName(),
            Cp932String("Continuous Tractor Feed "));  // 24 bytes, as the driver lists
  const auto bins = Printer().Bins(Trays());
  ASSERT_EQ(bins.size(), 5u);
  EXPECT_EQ(bins[0].code, DMBIN_AUTO);
  EXPECT_EQ(bins[4].code, DMBIN_USER);  // Cassette2 has no usual code
  // The options the job will carry are in the block's private part.
  const auto& data = printer.DevData();
  const std::string options(reinterpret_cast<const char*>(data.data()) + 162);
  EXPECT_EQ(options, "PageSize=A4 InputSlot=Tractor");

  ASSERT_TRUE(printer.SetPaperSizeChecked(DMPAPER_A4));
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchX), 600);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 4958);   // 595 pt
  EXPECT_EQ(printer.DeviceCaps(dcPaperHeight), 7017);  // 842 pt
  EXPECT_EQ(printer.DeviceCaps(dcOffsetLeft), 150);    // 18 pt
  EXPECT_EQ(printer.DeviceCaps(dcOffsetTop), 300);     // 842 - 806 pt
  EXPECT_EQ(printer.DeviceCaps(dcPrintableWidth), 4808 - 150);
  EXPECT_EQ(printer.DeviceCaps(dcPrintableHeight), 6717 - 300);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetRight), 4808);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetBottom), 6717);
  printer.SetLandscape(true);  // turned a quarter counter-clockwise
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 7017);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetLeft), 300);  // the portrait bottom margin, 36 pt
  EXPECT_EQ(printer.DeviceCaps(dcOffsetTop), 150);   // the portrait left margin, 18 pt
  EXPECT_EQ(printer.DeviceCaps(dcPrintableWidth), 6717 - 300);
  EXPECT_EQ(printer.DeviceCaps(dcPrintableHeight), 4808 - 150);
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

// The same queue described from its IPP attributes alone, as a driverless queue is.
TEST_F(CupsPdfTest, IppAttributesDescribeTheQueueLikeItsPpd) {
  std::optional<PpdA4> ppd = ReadPpd();
  ASSERT_TRUE(ppd.has_value());
  TScopedPrinterSystem ipp(CreateCupsPrinterSystem({}, true));
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName(kQueue);
  ASSERT_EQ(printer.PrinterName(), Cp932String(kQueue));
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_A4));
  EXPECT_FALSE(printer.PaperName().IsEmpty());
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_LETTER));
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_A4));
  const int dpi = ppd->dpi;
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchX), dpi);
  // IPP sizes are in hundredths of a millimetre: within a dot of the PPD's points.
  EXPECT_NEAR(printer.DeviceCaps(dcPaperWidth), Dots(ppd->width, dpi), 1);
  EXPECT_NEAR(printer.DeviceCaps(dcPaperHeight), Dots(ppd->length, dpi), 1);
  EXPECT_NEAR(printer.DeviceCaps(dcPrintableWidth), Dots(ppd->right, dpi) - Dots(ppd->left, dpi), 2);
  const auto& data = printer.DevData();
  ASSERT_GT(data.size(), 162u);
  const std::string options(reinterpret_cast<const char*>(data.data()) + 162);
  EXPECT_EQ(options.rfind("media=iso_a4", 0), 0u) << options;
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

TEST_F(CupsTraysTest, IppMediaSourcesAndResolutionOfThePpdQueue) {
  TScopedPrinterSystem ipp(CreateCupsPrinterSystem({}, true));
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName(Trays());
  ASSERT_EQ(printer.PrinterName(), Cp932String(Trays()));
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchX), 600);
  const auto bins = Printer().Bins(Trays());
  ASSERT_FALSE(bins.empty());
  std::string names;
  for (const TBinEntry& b : bins) names += b.name.ToUtf8() + "=" + std::to_string(b.code) + " ";
  // CUPS lists the PPD's slots by their IPP keywords but names no default source: the first one stands.
  EXPECT_EQ(bins[0].code, DMBIN_AUTO) << names;
  EXPECT_EQ(bins[1].code, DMBIN_UPPER) << names;  // tray-1
  EXPECT_EQ(printer.PaperBin(), DMBIN_AUTO) << names;
  printer.SetPaperBin(DMBIN_MANUAL);
  EXPECT_EQ(printer.PaperBin(), DMBIN_MANUAL) << names;
  const auto& data = printer.DevData();
  const std::string options(reinterpret_cast<const char*>(data.data()) + 162);
  EXPECT_NE(options.find("media-source=manual"), std::string::npos) << options;
}

}  // namespace
}  // namespace tess

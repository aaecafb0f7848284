// Against a real CUPS: the preview component prints a recorded document on the CUPS-PDF queue that the
// suite step scripts/test-steps/50-cups-pdf.sh adds, and the words land where the page put them, in
// millimetres from the paper's corner, shifted 5 mm by PrintOffsetX 50. Skipped where there is no queue.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/CupsPdf.h"
#include "tests/support/CupsQueueLock.h"

namespace tess {
namespace {

namespace fs = std::filesystem;

using test::Shell;
const char* kQueue = test::kCupsPdfQueue;

// The box of the dark pixels of one page, rasterised at 254 dpi: one pixel is 0.1 mm, a page unit.
struct TInkBox {
  int left = -1, top = -1, right = -1, bottom = -1;
};

TInkBox InkOf(const fs::path& pdf, int page) {
  const fs::path stem = fs::temp_directory_path() / ("preview-cups-" + std::to_string(::getpid()));
  Shell("pdftoppm -r 254 -gray -singlefile -f " + std::to_string(page) + " -l " + std::to_string(page) +
        " '" + pdf.string() + "' '" + stem.string() + "' 2>/dev/null");
  const fs::path pgm = stem.string() + ".pgm";
  std::ifstream in(pgm, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  TInkBox box;
  if (magic != "P5" || width <= 0 || height <= 0 || maxValue != 255) return box;
  std::vector<unsigned char> row(static_cast<std::size_t>(width));
  for (int y = 0; y < height && in.read(reinterpret_cast<char*>(row.data()), width); ++y) {
    for (int x = 0; x < width; ++x) {
      if (row[static_cast<std::size_t>(x)] >= 128) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (box.top < 0) box.top = y;
      box.right = std::max(box.right, x);
      box.bottom = y;
    }
  }
  std::error_code ec;
  fs::remove(pgm, ec);
  return box;
}

TEST(PreviewCupsPdf, PagesPrintAtTheirPlaceOnThePaperAndTheOffsetMovesThemFiveMillimetres) {
  test::TCupsQueueLock lock(test::TCupsQueueLock::UsesQueues);
  if (!test::CupsPdfQueueExists()) GTEST_SKIP() << "no CUPS-PDF queue " << kQueue;
  ASSERT_FALSE(test::CupsPdfOutputFolder().empty());
  TScopedPrinterSystem scope(CreateCupsPrinterSystem());
  test::TRecordingHost host;
  TComponent form(nullptr);
  TplPrev preview(&form);
  auto* settings = new TplSetPrinter(&form);
  settings->SetName("plSetPrinter1");
  settings->SetPrinterName(kQueue);
  ASSERT_TRUE(settings->SetPaperSizeChecked(DMPAPER_A4));
  preview.SetplSetPrinter(settings);

  preview.BeginDoc();
  preview.Canvas()->Font().SetName("Tahoma");
  preview.Canvas()->Font().SetHeight(-50);
  preview.TextOutLeft(400, 500, "PAGEONE");
  preview.NewPage();
  preview.TextOutLeft(400, 500, "PAGETWO");
  preview.EndDoc();

  const std::string token = test::UniqueJobTitle("Preview");
  preview.SetTitle(Cp932String((token + "a").c_str()));
  preview.SetPrintFromPage(0);
  preview.SetPrintToPage(0);
  preview.Print();
  preview.SetTitle(Cp932String((token + "b").c_str()));
  preview.SetPrintOffsetX(50);
  preview.Print();
  ASSERT_TRUE(host.Boxes.empty());

  const test::TCupsJob first = test::WaitForCupsPdfJob(token + "a");
  const test::TCupsJob second = test::WaitForCupsPdfJob(token + "b");
  ASSERT_EQ(first.State, "completed") << "job " << first.Id << " " << token << "a";
  ASSERT_EQ(second.State, "completed") << "job " << second.Id << " " << token << "b";
  const fs::path plain = first.Pdf, shifted = second.Pdf;
  ASSERT_FALSE(plain.empty()) << "no PDF for job " << first.Id << " in " << test::CupsPdfOutputFolder();
  ASSERT_FALSE(shifted.empty()) << "no PDF for job " << second.Id << " in " << test::CupsPdfOutputFolder();
  EXPECT_NE(Shell("pdfinfo '" + plain.string() + "'").find("Pages:           2"), std::string::npos);

  // Each page holds one word whose cell starts 40 mm from the left edge and 50 mm from the top: its ink
  // starts just right of and below that corner (the glyph's side bearing and the space above capitals).
  TInkBox one = InkOf(plain, 1);
  TInkBox two = InkOf(plain, 2);
  EXPECT_GE(one.left, 400);
  EXPECT_LE(one.left, 412);
  EXPECT_GE(one.top, 500);
  EXPECT_LE(one.top, 520);
  EXPECT_NEAR(two.left, one.left, 1);
  EXPECT_NEAR(two.top, one.top, 1);
  TInkBox moved = InkOf(shifted, 1);
  EXPECT_NEAR(moved.left - one.left, 50, 1);
  EXPECT_NEAR(moved.right - one.right, 50, 1);
  EXPECT_NEAR(moved.top, one.top, 1);
}

}  // namespace
}  // namespace tess

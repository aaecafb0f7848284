// What you see is what prints: a worksheet printed on a real CUPS-PDF queue, rasterised, matches the
// preview's rendering of the same pages at the same resolution; and every printed page advanced the
// problem number. Skipped where there is no CUPS-PDF queue (the suite step that adds one needs root).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "tests/platform/DrawingTestUtil.h"
#include "tests/support/CupsPdf.h"
#include "tests/support/CupsQueueLock.h"
#include "worksheet/Random.h"
#include "worksheet/WorksheetDialog.h"

namespace tess {
namespace {

namespace fs = std::filesystem;
using test::Shell;
const char* kQueue = test::kCupsPdfQueue;

class PrintedPage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::CupsPdfQueueExists() || test::CupsPdfOutputFolder().empty()) {
      GTEST_SKIP() << "no CUPS-PDF queue " << kQueue;
    }
    scope_ = std::make_unique<TScopedPrinterSystem>(CreateCupsPrinterSystem());
    Application().Initialize();
    Application().SetTitle("Tessarine");
    form_ = std::make_unique<TForm1>(nullptr);
    form_->plSetPrinter1->SetPrinterName(kQueue);
    form_->FormShow(form_.get());
  }
  void TearDown() override {
    form_.reset();
    scope_.reset();
  }

  test::TCupsQueueLock lock_{test::TCupsQueueLock::UsesQueues};
  std::unique_ptr<TScopedPrinterSystem> scope_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(PrintedPage, PrintedPagesMatchThePreviewAndAdvanceTheNumber) {
  form_->edtPrintNum->SetText("7");
  RandSeed(3);
  form_->btnPreviewClick(form_->btnPreview);  // no window layer here: the document is built, nothing opens
  TplPrev& doc = *form_->plPrev1;
  ASSERT_EQ(doc.PageCount(), 2);

  // The preview's rendering of both pages at 100 dpi, before printing changes anything.
  const int dpi = 100;
  const int width = static_cast<int>(doc.PaperWidth() * dpi / 254.0 + 0.5);
  const int height = static_cast<int>(doc.PaperHeight() * dpi / 254.0 + 0.5);
  std::vector<TBitmap24> screen;
  for (int page = 1; page <= 2; ++page) {
    screen.push_back(testing::Play(*doc.RenderPage(page), dpi, width, height, {0, 0, width, height}));
  }

  const std::string title = test::UniqueJobTitle("tessarine-wysiwyg-");
  doc.SetTitle(Cp932String::FromBytes(title));
  doc.Print();
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("8"));
  const test::TCupsJob job = test::WaitForCupsPdfJob(title);
  ASSERT_EQ(job.State, "completed") << "job " << job.Id << " " << title;
  const fs::path pdf = job.Pdf;
  ASSERT_FALSE(pdf.empty()) << "no PDF for job " << job.Id << " in " << test::CupsPdfOutputFolder();

  const fs::path work = fs::temp_directory_path() / ("tessarine-printed-" + std::to_string(::getpid()));
  fs::create_directories(work);
  Shell("pdftoppm -q -r " + std::to_string(dpi) + " -png '" + pdf.string() + "' '" + (work / "p").string() +
        "'");
  for (int page = 1; page <= 2; ++page) {
    TBitmap24 printed;
    TResult loaded =
        TBitmap24::LoadFromFile((work / ("p-" + std::to_string(page) + ".png")).string(), printed);
    ASSERT_TRUE(loaded.IsOk()) << loaded.Message();
    ASSERT_NEAR(printed.Width(), width, 1);
    ASSERT_NEAR(printed.Height(), height, 1);
    TBitmap24 same(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        same.SetPixel(x, y, x < printed.Width() && y < printed.Height() ? printed.Pixel(x, y) : 0xFFFFFFu);
      }
    }
    // A blank page would pass a comparison of mostly white pages: the ink must be there.
    const long long ink = static_cast<long long>(width) * height - testing::CountPixels(same, 0xFFFFFFu, 64);
    EXPECT_GT(ink, static_cast<long long>(width) * height / 100) << "page " << page;
    // Glyph edges are smoothed differently by the two rasterisers; the drawing must be the same.
    EXPECT_LT(testing::MismatchShare(same, screen[static_cast<std::size_t>(page - 1)], 1, 96), 0.005)
        << "page " << page;
  }
  fs::remove_all(work);
}

}  // namespace
}  // namespace tess

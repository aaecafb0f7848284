// A class set from the dialog on a real CUPS: the dialog opened with options, "プレビュー", 印刷 with the
// print dialog's defaults gives one job with every worksheet's two pages, page for page the ink of `export`
// with the same options, and the problem number ready for the next set. Skipped without CUPS-PDF or root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FormOptions.h"
#include "platform/core/Messages.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "platform/ui/PrintDialogs.h"
#include "preview/PreviewHost.h"
#include "preview_window/PreviewWindowHost.h"
#include "tests/platform/DrawingTestUtil.h"
#include "tests/support/CupsJobs.h"
#include "tests/support/PdfPages.h"

namespace tess::test {
namespace {

TEST(ClassSetPrint, ThreeWorksheetsFromTheDialogAreOneJobOfTheExportsPages) {
  if (!CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
  CupsTurn turn;
  TestQueue queue("ClassSet");
  ASSERT_TRUE(queue.Exists());
  const std::string options = "--count 3 --seed 5 --number 20 --size 4 --level 2";
  const std::filesystem::path exported =
      std::filesystem::temp_directory_path() / (UniqueJobTitle("tessarine-class-set") + ".pdf");
  const TShellResult run =
      RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen LPDEST=" + queue.Name() + " " + TESSARINE_EXE +
               " export " + options + " --format pdf --output " + exported.string() + " 2>&1");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // The queue the user's default, as for the export.
  setenv("LPDEST", queue.Name().c_str(), 1);
  {
    TScopedPrinterSystem cups(CreateCupsPrinterSystem());
    Application().Initialize();
    InstallPreviewWindowHost();
    SetMessageLanguage(TLanguage::English);
    std::istringstream words(options);
    std::vector<std::string> args;
    for (std::string word; words >> word;) args.push_back(word);
    const ParsedCommand parsed = ParseCommandLine(args);
    ASSERT_TRUE(parsed.command);
    auto form = std::make_unique<TForm1>(nullptr);
    form->FormShow(form.get());
    std::ostringstream err;
    ASSERT_EQ(FillDialog(*form, parsed.command->worksheet, err), kExitOk) << err.str();
    form->BuildDocument();
    form->plPrev1->ShowPreview();
    Application().ProcessMessages();
    SetPrintDialogScript([](TPrintDialog&) { return true; });  // 印刷 with the dialog's defaults
    form->plPrev1->PrintButtonClick();
    SetPrintDialogScript(nullptr);
    EXPECT_EQ(form->edtPrintNum->Text(), Cp932String("23"));  // ready for the next set
    form->plPrev1->ClosePreview();
    form.reset();
    Application().ProcessMessages();
    SetPreviewHost(nullptr);
  }
  unsetenv("LPDEST");

  const std::vector<CupsJob> jobs = CupsJobsOn(queue.Name());
  ASSERT_EQ(jobs.size(), 1u);
  ASSERT_EQ(WaitForJobEnd(jobs[0].id).state, "completed");
  const std::filesystem::path printed = JobOutputPdf(jobs[0].id);
  EXPECT_EQ(PdfPageCount(printed), 6);
  EXPECT_EQ(PdfPageSize(printed), "595 x 842");
  const std::vector<TBitmap24> printedPages = RenderPdfPages(printed, 50);
  const std::vector<TBitmap24> exportedPages = RenderPdfPages(exported, 50);
  std::filesystem::remove(exported);
  ASSERT_EQ(printedPages.size(), 6u);
  ASSERT_EQ(exportedPages.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_LT(testing::MismatchShare(printedPages[i], exportedPages[i], 1, 96), 0.002) << "page " << i + 1;
  }
}

}  // namespace
}  // namespace tess::test

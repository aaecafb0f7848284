// Printing from the preview window on a real CUPS, with the print dialog played by a script: the printer
// chosen is the one printed on (also a queue added after the list was first read; a queue removed meanwhile
// is an error and no job anywhere), every choice of the dialog reaches the job (the side of two-sided
// printing too), a job whose document fails is cancelled, a paused or rejecting queue is reported, and the
// queue chosen is asked for the document's paper (a Letter queue prints the export's A4 pages) or gets the
// pages fitted (once told). Then with the real print dialog worked through simulated input: its choices
// reach the job, and pages the document does not have are refused while the dialog stays open. Skipped
// without CUPS-PDF or root.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/emf/Exports.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "platform/ui/PrintDialogInput.h"
#include "platform/ui/PrintDialogs.h"
#include "preview/PreviewDocument.h"
#include "preview_window/PreviewWindowForm.h"
#include "preview_window/PreviewWindowHost.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/platform/DrawingTestUtil.h"
#include "tests/support/CupsJobs.h"
#include "tests/support/PdfPages.h"

namespace tess::test {
namespace {

class PreviewWindowCups : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
    turn_ = std::make_unique<CupsTurn>();
    scope_ = std::make_unique<TScopedPrinterSystem>(CreateCupsPrinterSystem());
    InstallPreviewWindowHost();
    savedHook_ = Application().SetMessageBoxHook([this](const TMessageBoxRequest& r) {
      Boxes.push_back(r.Text.ToUtf8());
      return mrOk;
    });
    owner_ = std::make_unique<TComponent>(nullptr);
    preview_ = new TplPrev(owner_.get());
    preview_->SetName("plPrev1");
    auto* settings = new TplSetPrinter(owner_.get());
    settings->SetName("plSetPrinter1");
    settings->SetPrinterName(kCupsPdfQueue);
    preview_->SetplSetPrinter(settings);
    // Three pages, each with its name in words that the document's text gives back.
    preview_->BeginDoc();
    for (int k = 1; k <= 3; ++k) {
      if (k > 1) preview_->NewPage();
      preview_->Canvas()->Font().SetName("DejaVu Sans");
      preview_->Canvas()->Font().SetHeight(-60);
      preview_->TextOutLeft(300, 300, Cp932String(("PAGE" + std::to_string(k)).c_str()));
    }
    preview_->EndDoc();
    preview_->ShowPreview();
    Application().ProcessMessages();
    form_ = dynamic_cast<TplPrevForm*>(preview_->PreviewForm());
    ASSERT_NE(form_, nullptr);
  }

  void TearDown() override {
    SetPrintDialogScript(nullptr);
    SetPrintDialogDriver(nullptr);
    if (form_ != nullptr && form_->Visible()) form_->Hide();
    owner_.reset();
    Application().ProcessMessages();
    Application().SetMessageBoxHook(savedHook_);
    SetPreviewHost(nullptr);
    scope_.reset();
  }

  // Prints from the window with the dialog's choices made by `choose`, as a job with a title of its own;
  // answers that title.
  std::string PrintWith(const std::function<void(TPrintDialog&)>& choose) {
    const std::string title = UniqueJobTitle("PreviewWindowCups");
    preview_->SetTitle(Cp932String(title.c_str()));
    SetPrintDialogScript([&](TPrintDialog& dialog) {
      choose(dialog);
      return true;
    });
    form_->PrintBtnClick(form_->PrintBtn);
    return title;
  }

  // The same with the real print dialog, worked by `driver`.
  std::string PrintThroughDialog(const TPrintDialogDriver& driver) {
    const std::string title = UniqueJobTitle("PreviewWindowDialog");
    preview_->SetTitle(Cp932String(title.c_str()));
    SetPrintDialogScript(nullptr);
    SetPrintDialogDriver(driver);
    form_->PrintBtnClick(form_->PrintBtn);
    SetPrintDialogDriver(nullptr);
    return title;
  }

  // The one job of that title, on the queue.
  CupsJob OnlyJob(const std::string& title, const std::string& queue) {
    const std::vector<CupsJob> jobs = CupsJobsNamed(title);
    EXPECT_EQ(jobs.size(), 1u) << title;
    if (jobs.size() != 1) return {};
    EXPECT_EQ(jobs[0].queue, queue) << title;
    return jobs[0];
  }

  std::vector<std::string> Boxes;
  std::unique_ptr<CupsTurn> turn_;
  std::unique_ptr<TScopedPrinterSystem> scope_;
  TMessageBoxHook savedHook_;
  std::unique_ptr<TComponent> owner_;
  TplPrev* preview_ = nullptr;
  TplPrevForm* form_ = nullptr;
};

std::string PageWords(const std::string& text) {
  std::string words;
  for (std::size_t at = text.find("PAGE"); at != std::string::npos; at = text.find("PAGE", at + 1)) {
    words += text.substr(at, 5) + " ";
  }
  return words;
}

TEST_F(PreviewWindowCups, TheQueueChosenIsTheOnePrintedOnAndOneRemovedMeanwhileIsAnError) {
  ASSERT_FALSE(Printer().PrinterRecords().empty());  // the list was read before the new queue came
  TestQueue added("Added");
  ASSERT_TRUE(added.Exists());
  for (const TPrinterRecord& r : Printer().PrinterRecords()) ASSERT_NE(r.name.ToUtf8(), added.Name());
  std::string title = PrintWith([&](TPrintDialog& d) { d.ChoosePrinter(added.Name().c_str()); });
  EXPECT_TRUE(Boxes.empty()) << Boxes.front();
  OnlyJob(title, added.Name());

  TestQueue gone("Gone");
  title = PrintWith([&](TPrintDialog& d) {
    d.ChoosePrinter(gone.Name().c_str());
    gone.Remove();  // while the dialog is open
  });
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "プリンタ " + gone.Name() + " はもうインストールされていません．");
  EXPECT_TRUE(CupsJobsNamed(title).empty());  // nothing printed elsewhere
}

TEST_F(PreviewWindowCups, CopiesPagesOrderAndPageSetReachTheJob) {
  TestQueue own("Choices");
  const std::string queue = own.Name();
  std::string title = PrintWith([&](TPrintDialog& d) {
    d.ChoosePrinter(queue.c_str());
    d.SetCopies(2);
    d.SetCollate(true);
  });
  CupsJob copies = OnlyJob(title, queue);
  EXPECT_EQ(copies.copies, 2);
  EXPECT_EQ(PageWords(JobDocumentText(copies.id)), "PAGE1 PAGE2 PAGE3 ");

  title = PrintWith([&](TPrintDialog& d) {
    d.ChoosePrinter(queue.c_str());
    d.SetReverse(true);
  });
  EXPECT_EQ(PageWords(JobDocumentText(OnlyJob(title, queue).id)), "PAGE3 PAGE2 PAGE1 ");
  title = PrintWith([&](TPrintDialog& d) {
    d.ChoosePrinter(queue.c_str());
    d.SetPageSet(TPrintPageSet::psOdd);
  });
  EXPECT_EQ(PageWords(JobDocumentText(OnlyJob(title, queue).id)), "PAGE1 PAGE3 ");
  title = PrintWith([&](TPrintDialog& d) {
    d.ChoosePrinter(queue.c_str());
    d.SetPageSet(TPrintPageSet::psEven);
  });
  EXPECT_EQ(PageWords(JobDocumentText(OnlyJob(title, queue).id)), "PAGE2 ");
  title = PrintWith([&](TPrintDialog& d) {
    d.ChoosePrinter(queue.c_str());
    d.SetPrintRange(TPrintRange::prPageNums);
    d.SetFromPage(1);
    d.SetToPage(1);
    d.SetPageList({{1, 1}});
  });
  CupsJob first = OnlyJob(title, queue);
  EXPECT_EQ(PageWords(JobDocumentText(first.id)), "PAGE1 ");
  EXPECT_TRUE(Boxes.empty());

  // What the printer made of them: two copies of three pages, and page 1 alone.
  for (const auto& [job, pages] : {std::pair{copies, 6}, std::pair{first, 1}}) {
    EXPECT_EQ(WaitForJobEnd(job.id).state, "completed") << job.id;
    const std::filesystem::path pdf = JobOutputPdf(job.id);
    ASSERT_FALSE(pdf.empty()) << "no PDF for job " << job.id;
    EXPECT_EQ(PdfPageCount(pdf), pages) << pdf;
  }
}

// The side chosen for two-sided printing reaches the job as CUPS's sides: the long edge, the short edge, or
// one side only.
TEST_F(PreviewWindowCups, TheSidesChosenReachTheJob) {
  TestQueue own("Sides", TestQueue::TwoSided);
  const std::pair<std::int16_t, const char*> choices[] = {{DMDUP_VERTICAL, "two-sided-long-edge"},
                                                          {DMDUP_HORIZONTAL, "two-sided-short-edge"},
                                                          {DMDUP_SIMPLEX, "one-sided"}};
  for (const auto& [duplex, sides] : choices) {
    const std::string title = PrintWith([&](TPrintDialog& d) {
      d.ChoosePrinter(own.Name().c_str());
      d.SetDuplex(duplex);
    });
    EXPECT_EQ(OnlyJob(title, own.Name()).sides, sides) << duplex;
  }
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(PreviewWindowCups, AJobWhoseDocumentFailsIsCancelled) {
  preview_->OnBeforeView = [](TComponent*, int page) {
    if (page == 2) throw Exception(Cp932String("page two failed"));
  };
  const std::string title = PrintWith([](TPrintDialog&) {});
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("page two failed"), std::string::npos) << Boxes[0];
  // The job was created when printing began; it is cancelled, not left waiting for its document.
  EXPECT_EQ(OnlyJob(title, kCupsPdfQueue).state, "canceled");
}

TEST_F(PreviewWindowCups, APausedOrRejectingQueueIsReportedAndGetsNoJob) {
  TestQueue queue("Held");
  ASSERT_TRUE(queue.Exists());
  Shell("cupsdisable " + queue.Name());
  std::string title = PrintWith([&](TPrintDialog& d) { d.ChoosePrinter(queue.Name().c_str()); });
  ASSERT_EQ(Boxes.size(), 1u);
  // In Japanese, and without CUPS's own "paused" reason said a second time.
  EXPECT_EQ(Boxes[0], "プリンタ " + queue.Name() + " は一時停止しています．");
  EXPECT_TRUE(CupsJobsNamed(title).empty());

  Shell("cupsenable " + queue.Name() + " && cupsreject " + queue.Name());
  title = PrintWith([&](TPrintDialog& d) { d.ChoosePrinter(queue.Name().c_str()); });
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1], "プリンタ " + queue.Name() + " は印刷ジョブを受け付けていません．");
  EXPECT_TRUE(CupsJobsNamed(title).empty());
}

TEST_F(PreviewWindowCups, TheRealDialogsChoicesReachTheJob) {
  TestQueue own("Dialog", TestQueue::TwoSided);
  const std::string queue = own.Name();
  std::string title = PrintThroughDialog([&](TPrintDialogWindow& dialog) {
    EXPECT_TRUE(SimulateBoxChoice(dialog, queue));
    SimulateCopiesEntry(dialog, "2");
    EXPECT_TRUE(SimulateButtonClick(dialog, "丁合い"));  // on as the dialog opens: now off
    SimulatePagesEntry(dialog, "2-3");
    EXPECT_TRUE(SimulateButtonClick(dialog, "逆順"));
    EXPECT_TRUE(SimulateButtonClick(dialog, "長辺綴じ"));
    SimulatePrintClick(dialog);
    EXPECT_FALSE(PrintDialogShowing(dialog));
  });
  EXPECT_TRUE(Boxes.empty()) << Boxes.front();
  const CupsJob job = OnlyJob(title, queue);
  EXPECT_EQ(job.copies, 2);
  EXPECT_EQ(job.collate, "false");
  EXPECT_EQ(job.sides, "two-sided-long-edge");
  EXPECT_EQ(PageWords(JobDocumentText(job.id)), "PAGE3 PAGE2 ");

  title = PrintThroughDialog([&](TPrintDialogWindow& dialog) {
    EXPECT_TRUE(SimulateBoxChoice(dialog, queue));
    EXPECT_TRUE(SimulateButtonClick(dialog, "すべて印刷"));  // it opens on the last range's kind: from-to
    EXPECT_TRUE(SimulateBoxChoice(dialog, "偶数ページ"));
    EXPECT_TRUE(SimulateButtonClick(dialog, "短辺綴じ"));
    SimulatePrintClick(dialog);
  });
  const CupsJob even = OnlyJob(title, queue);
  EXPECT_EQ(even.sides, "two-sided-short-edge");
  EXPECT_EQ(PageWords(JobDocumentText(even.id)), "PAGE2 ");
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(PreviewWindowCups, TheRealDialogRefusesPagesTheDocumentLacksAndStaysOpenForAnotherEntry) {
  TestQueue own("Refusal");
  bool shownAgain = false;
  std::string kept;
  const std::string title = PrintThroughDialog([&](TPrintDialogWindow& dialog) {
    EXPECT_TRUE(SimulateBoxChoice(dialog, own.Name()));
    SimulatePagesEntry(dialog, "5");
    SimulatePrintClick(dialog);
    shownAgain = PrintDialogShowing(dialog);
    kept = PrintDialogPagesEntry(dialog);
    SimulatePagesEntry(dialog, "2");
    SimulatePrintClick(dialog);
  });
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "「5」には，この文書にないページがあります．\n印刷できるのは1～3ページです．");
  EXPECT_TRUE(shownAgain);
  EXPECT_EQ(kept, "5");
  EXPECT_EQ(PageWords(JobDocumentText(OnlyJob(title, own.Name()).id)), "PAGE2 ");
}

TEST_F(PreviewWindowCups, TheQueueChosenIsAskedForTheDocumentPaperOrGetsThePagesFittedOnceTold) {
  // Two pages with a frame near the paper's edges and a band along the bottom, which a Letter paper cuts off.
  preview_->SetDocumentPaper(DMPAPER_A4);
  preview_->BeginDoc();
  for (int k = 1; k <= 2; ++k) {
    if (k > 1) preview_->NewPage();
    TCanvas& c = *preview_->Canvas();
    c.Pen().SetWidth(10);
    c.Rectangle(120, 120, 1980, 2850);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clBlack);
    c.FillRect(Rect(300, 2650, 1800, 2800));
    c.FillRect(Rect(300, 300, 400 + 300 * k, 600));
  }
  preview_->EndDoc();
  // The program's own export of the pages, at 50 dpi and at the size a Letter page leaves (CUPS-PDF prints
  // to the paper's edges).
  const std::filesystem::path exported =
      std::filesystem::temp_directory_path() / ("tessarine-window-" + std::to_string(::getpid()) + ".pdf");
  std::vector<const TMetafile*> recorded;
  for (int i = 0; i < preview_->PageCount(); ++i) recorded.push_back(preview_->Pages(i));
  ASSERT_TRUE(ExportPdf(recorded, exported.string()).IsOk());
  const std::vector<TBitmap24> a4 = RenderPdfPages(exported, 50);
  const std::vector<TBitmap24> shrunk = RenderPdfPages(exported, 50 * 792 / 841.89);
  std::filesystem::remove(exported);
  ASSERT_EQ(a4.size(), 2u);
  const long long sheet = static_cast<long long>(a4[0].Width()) * a4[0].Height();
  ASSERT_GT(sheet - testing::CountPixels(a4[0], 0xFFFFFFu, 64), sheet / 20);  // a twentieth of it inked
  const auto printout = [&](const std::string& title, const std::string& queue) {
    const CupsJob job = OnlyJob(title, queue);
    EXPECT_EQ(WaitForJobEnd(job.id).state, "completed") << job.id;
    return JobOutputPdf(job.id);
  };

  TestQueue letter("WindowLetter", "-o PageSize=Letter");
  std::string title = PrintWith([&](TPrintDialog& d) { d.ChoosePrinter(letter.Name().c_str()); });
  std::filesystem::path pdf = printout(title, letter.Name());
  EXPECT_EQ(PdfPageSize(pdf), "595 x 842");
  std::vector<TBitmap24> printed = RenderPdfPages(pdf, 50);
  ASSERT_EQ(printed.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_LT(testing::MismatchShare(printed[i], a4[i], 1, 96), 0.002) << "page " << i + 1;
  }
  EXPECT_TRUE(Boxes.empty());

  const std::filesystem::path ppd = CupsPdfPpdWithoutA4(
      std::filesystem::temp_directory_path() / ("tessarine-window-" + std::to_string(::getpid()) + ".ppd"));
  TestQueue noA4("WindowNoA4", "", ppd);
  std::filesystem::remove(ppd);
  title = PrintWith([&](TPrintDialog& d) { d.ChoosePrinter(noA4.Name().c_str()); });
  PrintWith([&](TPrintDialog& d) { d.ChoosePrinter(noA4.Name().c_str()); });
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].rfind("プリンタ「" + noA4.Name() + "」にはA4の用紙がないので，", 0), 0u) << Boxes[0];
  pdf = printout(title, noA4.Name());
  EXPECT_EQ(PdfPageSize(pdf), "612 x 792");
  printed = RenderPdfPages(pdf, 50);
  ASSERT_EQ(printed.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const TBitmap24 expected = Centred(shrunk[i], printed[i].Width(), printed[i].Height());
    EXPECT_LT(testing::MismatchShare(printed[i], expected, 1, 96), 0.002) << "page " << i + 1;
  }
}

}  // namespace
}  // namespace tess::test

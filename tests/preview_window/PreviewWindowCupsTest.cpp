// Printing from the preview window on a real CUPS, with the print dialog played by a script: the printer
// chosen is the one printed on (also a queue added after the list was first read; a queue removed meanwhile
// is an error and no job anywhere), every choice of the dialog reaches the job, a job whose document fails is
// cancelled, and a paused or rejecting queue is reported. Then with the real print dialog worked through
// simulated input: its choices reach the job, and pages the document does not have are refused while the
// dialog stays open. Skipped without CUPS-PDF or root.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "platform/ui/PrintDialogInput.h"
#include "platform/ui/PrintDialogs.h"
#include "preview/PreviewDocument.h"
#include "preview_window/PreviewWindowForm.h"
#include "preview_window/PreviewWindowHost.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/support/CupsJobs.h"

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

}  // namespace
}  // namespace tess::test

// Printing and printer setup from the preview window on a virtual printer, with the print dialogs played by
// scripts; and the window without any printer installed.
#include <stdexcept>

#include "tests/preview_window/PreviewWindowSupport.h"

namespace tess::test {
namespace {

Cp932String U(const char* text) {
  return Cp932String::FromUtf8(text);
}

using PreviewWindowPrint = PreviewWindowFixture;

TEST_F(PreviewWindowPrint, DialogOffersTheCurrentPageAndCancelPrintsNothing) {
  Record(3);
  TplPrevForm* form = ShowModeless();
  form->NextPageBtnClick(form->NextPageBtn);
  TPrintDialog* seen = nullptr;
  int from = 0, to = 0, min = 0, max = 0;
  SetPrintDialogScript([&](TPrintDialog& d) {
    seen = &d;
    from = d.FromPage();
    to = d.ToPage();
    min = d.MinPage();
    max = d.MaxPage();
    return false;
  });
  form->PrintBtn->Click();
  EXPECT_EQ(seen, form->PrintDialog1);
  EXPECT_EQ(from, 2);
  EXPECT_EQ(to, 2);
  EXPECT_EQ(min, 1);
  EXPECT_EQ(max, 3);
  EXPECT_TRUE(Printers->Jobs().empty());
  EXPECT_EQ(Preview->PrintFromPage(), 0);
  EXPECT_EQ(Preview->PrintToPage(), 0);
  EXPECT_TRUE(form->PrintBtn->Enabled());
}

TEST_F(PreviewWindowPrint, AllPagesPrintsTheWholeDocumentAndRestoresThePage) {
  Record(3);
  TplPrevForm* form = ShowModeless();
  form->LastPageBtnClick(form->LastPageBtn);
  std::vector<int> printed;
  Preview->OnPrint = [&](TComponent*, int page) { printed.push_back(page); };
  SetPrintDialogScript([](TPrintDialog& d) {
    d.SetPrintRange(TPrintRange::prAllPages);
    return true;
  });
  form->PrintBtnClick(form->PrintBtn);
  ASSERT_EQ(Printers->Jobs().size(), 1u);
  EXPECT_EQ(Printers->Jobs()[0].pageCount, 3);
  EXPECT_TRUE(Printers->Jobs()[0].ended);
  EXPECT_EQ(printed, (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(Printers->Pages.size(), 3u);
  int ink = 0;
  for (int y = 0; y < Printers->Pages[2].Height(); ++y) {
    for (int x = 0; x < Printers->Pages[2].Width(); ++x) ink += Printers->Pages[2].Pixel(x, y) == 0;
  }
  EXPECT_GT(ink, 1000);  // the frame and the big number 3
  EXPECT_EQ(Preview->PrintFromPage(), 1);
  EXPECT_EQ(Preview->PrintToPage(), 3);
  EXPECT_EQ(Preview->CurrentPage(), 3);
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  3/3  A4"));
  EXPECT_TRUE(form->PrintBtn->Enabled());
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(PreviewWindowPrint, PageRangePrintsTheNumbersEntered) {
  Record(4);
  TplPrevForm* form = ShowModeless();
  SetPrintDialogScript([](TPrintDialog& d) {
    d.SetPrintRange(TPrintRange::prPageNums);
    d.SetFromPage(2);
    d.SetToPage(3);
    return true;
  });
  form->PrintBtnClick(form->PrintBtn);
  ASSERT_EQ(Printers->Jobs().size(), 1u);
  EXPECT_EQ(Printers->Jobs()[0].pageCount, 2);
  EXPECT_EQ(Preview->PrintFromPage(), 2);
  EXPECT_EQ(Preview->PrintToPage(), 3);
}

TEST_F(PreviewWindowPrint, ComponentsPrintButtonClickRunsTheWindowsPrint) {
  Record(2);
  ShowModeless();
  SetPrintDialogScript([](TPrintDialog&) { return true; });
  Preview->PrintButtonClick();
  EXPECT_EQ(Printers->Jobs().size(), 1u);
}

TEST_F(PreviewWindowPrint, PrintButtonEventMayRefuse) {
  Record(2);
  TplPrevForm* form = ShowModeless();
  bool asked = false;
  Preview->OnPrintButtonClick = [&](TComponent* sender, bool& canPrint) {
    EXPECT_EQ(sender, form);
    EXPECT_TRUE(canPrint);
    asked = true;
    canPrint = false;
  };
  bool dialog = false;
  SetPrintDialogScript([&](TPrintDialog&) { return dialog = true; });
  form->PrintBtnClick(form->PrintBtn);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(dialog);
  EXPECT_TRUE(Printers->Jobs().empty());
}

TEST_F(PreviewWindowPrint, FailureWhilePrintingIsReportedAfterTheWindowIsRestored) {
  Record(3);
  TplPrevForm* form = ShowModeless();
  form->NextPageBtnClick(form->NextPageBtn);
  const Cp932String settings = Preview->PrinterSettingsText();
  Preview->OnPrint = [&](TComponent*, int page) {
    Preview->SetCurrentPage(3);
    if (page == 1) throw Exception(U("用紙がありません"));
  };
  SetPrintDialogScript([](TPrintDialog&) { return true; });
  form->PrintBtn->Click();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text.ToUtf8(), "用紙がありません.");
  EXPECT_EQ(Boxes[0].Icon, TMsgIcon::Error);
  ASSERT_EQ(Printers->Jobs().size(), 1u);
  EXPECT_TRUE(Printers->Jobs()[0].ended || Printers->Jobs()[0].aborted);
  // Restored all the same: the page of before, its view, the settings and the cursor.
  EXPECT_EQ(Preview->CurrentPage(), 2);
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  2/3  A4"));
  EXPECT_EQ(Preview->PrinterSettingsText(), settings);
  EXPECT_TRUE(form->PrintBtn->Enabled());
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_FALSE(Preview->Printing());
}

TEST_F(PreviewWindowPrint, PrinterSetupTakesThePaperAndRefitsTheWholePage) {
  Preview->SetBtnOptions(kAllPrevButtons);
  TplPrevForm* form = ShowModeless();
  ASSERT_TRUE(form->PrinterSetBtn->Visible());
  int setups = 0;
  Preview->OnPrinterSetupDialog = [&](TComponent* sender) {
    EXPECT_EQ(sender, form);
    ++setups;
  };
  SetPrinterSetupDialogScript([](TPrinterSetupDialog&) { return false; });
  form->PrinterSetBtnClick(form->PrinterSetBtn);
  EXPECT_EQ(setups, 0);

  SetPrinterSetupDialogScript([](TPrinterSetupDialog& d) {
    d.SetPaperText(Cp932String("A5"));
    return true;
  });
  Preview->SetZoomType(TplPrevZoomType::ztPageWidth);
  form->PrinterSetBtnClick(form->PrinterSetBtn);
  EXPECT_EQ(setups, 1);
  EXPECT_EQ(Preview->PageWidth(), Preview->PaperWidth());
  EXPECT_EQ(Preview->PageHeight(), Preview->PaperHeight());
  EXPECT_NEAR(Preview->PaperWidth(), 1480, 1);
  EXPECT_EQ(Preview->PrinterSettingsText(), Preview->PrinterSettingsToText());
  EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztWholePage);
}

TEST_F(PreviewWindowPrint, APageFittedToAPrinterWithoutTheDocumentPaperIsToldOnceAndOnTheStatusBar) {
  TVirtualPrinter letterOnly = SmallLaser("Letter Only");
  letterOnly.papers = {{DMPAPER_LETTER, "Letter", 2159, 2794}};
  letterOnly.defaultPaper = DMPAPER_LETTER;
  Printers->AddPrinter(letterOnly);
  LoadMainFormPaper(*Preview);
  Preview->SetDocumentPaper(DMPAPER_A4);
  Printer().SetPrinterIndex(TplSetPrinter::FindPrinterIndex("Letter Only"));
  Record(2);
  TplPrevForm* form = ShowModeless();
  const Cp932String status = U(" Page  1/2  Letter（A4のページを用紙に合わせて印刷）");
  EXPECT_EQ(form->StatusBar->Panel(0).Text, status);
  SetPrintDialogScript([](TPrintDialog&) { return true; });
  form->PrintBtnClick(form->PrintBtn);
  form->PrintBtnClick(form->PrintBtn);
  EXPECT_EQ(Printers->Jobs().size(), 2u);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(
      Boxes[0].Text,
      U("プリンタ「Letter Only」にはA4の用紙がないので，A4のページをLetterの用紙の中央に91％の大きさで印刷"
        "しました．"));
  EXPECT_EQ(form->StatusBar->Panel(0).Text, status);
}

using PreviewWindowNoPrinter = PreviewWindowNoPrinterFixture;

TEST_F(PreviewWindowNoPrinter, PrintAndSetupOnlyExplainAndTheStatusNamesTheStoredPaper) {
  ASSERT_TRUE(Preview->NoPrinter());
  Record(2);
  TplPrevForm* form = ShowModeless();
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  1/2  A4"));
  bool dialog = false;
  SetPrintDialogScript([&](TPrintDialog&) { return dialog = true; });
  form->PrintBtnClick(form->PrintBtn);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text.ToUtf8(), "プリンタがインストールされていないので印刷できません．　　");
  EXPECT_EQ(Boxes[0].Caption.ToUtf8(), "　印刷");
  EXPECT_EQ(Boxes[0].Icon, TMsgIcon::Information);
  EXPECT_FALSE(dialog);

  form->PrinterSetBtnClick(form->PrinterSetBtn);
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1].Text.ToUtf8(), "プリンタがインストールされていないので設定できません．　　");
  EXPECT_EQ(Boxes[1].Caption.ToUtf8(), "　プリンタと用紙の設定");

  // An event that keeps CanPrint False ends Print silently.
  Preview->OnPrintButtonClick = [](TComponent*, bool& canPrint) { EXPECT_FALSE(canPrint); };
  form->PrintBtnClick(form->PrintBtn);
  EXPECT_EQ(Boxes.size(), 2u);
}

}  // namespace
}  // namespace tess::test

// The preview component on virtual printers: paper geometry from the printer, the settings link, stored
// paper values, and printing (range, new pages, OnPrint, title, the turned page, the print offset, the
// Control-key mark of ACROBAT printers).
#include <gtest/gtest.h>

#include <cmath>

#include "platform/components/StoredDesign.h"
#include "platform/core/PlatformFamily.h"
#include "platform/gfx/Bitmap.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/PixelPrinterSystem.h"

namespace tess {
namespace {

using test::TPixelPrinterSystem;
using test::TRecordingHost;

// A 100 dpi printer (small pixel pages) with unequal strips: 20 dots left, 10 top, 30 right, 40 bottom.
TVirtualPrinter SmallPrinter(const Cp932String& name) {
  TVirtualPrinter p = TVirtualPrinterSystem::StandardPrinter(name, "USB001:");
  p.dpiX = 100;
  p.dpiY = 100;
  p.marginLeft = 20;
  p.marginTop = 10;
  p.marginRight = 30;
  p.marginBottom = 40;
  return p;
}

class PreviewPrinter : public ::testing::Test {
 protected:
  void SetUp() override {
    auto system = std::make_unique<TPixelPrinterSystem>();
    virt = system.get();
    TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter("Laser", "LPT1:");
    laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    virt->AddPrinter(laser);
    virt->AddPrinter(SmallPrinter("Small"));
    TVirtualPrinter acrobat = SmallPrinter("Adobe Acrobat PDF");
    virt->AddPrinter(acrobat);
    scope = std::make_unique<TScopedPrinterSystem>(std::move(system));
  }
  void TearDown() override {
    SetPlatformFamily(TPlatformFamily::WindowsNT);
    scope.reset();
  }
  // A preview whose settings are a component on the form standing for `printer`.
  std::unique_ptr<TplPrev> PreviewOn(const char* printer) {
    auto preview = std::make_unique<TplPrev>(&form);
    auto* settings = new TplSetPrinter(&form);
    settings->SetName("plSetPrinter" + std::to_string(++settingsCount));
    settings->SetPrinterName(printer);
    preview->SetplSetPrinter(settings);
    return preview;
  }
  // Pages of `count` pages; page k draws a filled black square (300, 300)-(500, 500) and k small marks.
  static void Record(TplPrev& preview, int count) {
    preview.BeginDoc();
    for (int k = 1; k <= count; ++k) {
      if (k > 1) preview.NewPage();
      TCanvas& c = *preview.Canvas();
      c.Brush().SetStyle(TBrushStyle::bsSolid);
      c.Brush().SetColor(clBlack);
      c.FillRect(Rect(300, 300, 500, 500));
    }
    preview.EndDoc();
  }
  // First column from the left whose pixel in row y is dark, or -1.
  static int FirstDarkColumn(const TBitmap24& page, int y) {
    for (int x = 0; x < page.Width(); ++x) {
      if ((page.Pixel(x, y) & 0xFF) < 128) return x;
    }
    return -1;
  }
  static int FirstDarkRow(const TBitmap24& page, int x) {
    for (int y = 0; y < page.Height(); ++y) {
      if ((page.Pixel(x, y) & 0xFF) < 128) return y;
    }
    return -1;
  }
  static int LastDarkColumn(const TBitmap24& page, int y) {
    for (int x = page.Width() - 1; x >= 0; --x) {
      if ((page.Pixel(x, y) & 0xFF) < 128) return x;
    }
    return -1;
  }

  TRecordingHost host;
  TPixelPrinterSystem* virt = nullptr;
  std::unique_ptr<TScopedPrinterSystem> scope;
  TComponent form{nullptr};
  int settingsCount = 0;
};

TEST_F(PreviewPrinter, WorkedValuesOfA600DpiPrinter) {
  // A4 at 600 dpi is 4961 dots wide; strips of 83 dots (left) and 74 (top).
  TplPrev preview(&form);
  EXPECT_FALSE(preview.NoPrinter());
  EXPECT_EQ(preview.DefaultSetPrinter()->PrinterName(), "Laser");
  preview.UpdatePaperGeometry();
  EXPECT_EQ(preview.ResolutionX(), 600);
  EXPECT_EQ(preview.DevicePageWidth(), 4961);
  EXPECT_EQ(preview.DeviceOffsetX(), 83);
  EXPECT_EQ(preview.PaperWidth(), 2100);
  EXPECT_EQ(preview.PrintableLeft(), 36);     // Ceil(35.14)
  EXPECT_EQ(preview.PrintableTop(), 32);      // Ceil(31.33)
  EXPECT_EQ(preview.PaperHeight(), 2970);     // Trunc(7016 * 254 / 600 = 2970.1)
  EXPECT_EQ(preview.PrintableWidth(), 2039);  // Trunc(4818 * 254 / 600 = 2039.6)
  EXPECT_EQ(preview.PrintableRight(), 36 + 2039);
  EXPECT_EQ(preview.PrintableBottom(), preview.PrintableTop() + preview.PrintableHeight());
}

TEST_F(PreviewPrinter, TurnedPrintTakesThePrintableCornerFromTheFarStrips) {
  TplPrev preview(&form);
  preview.SetInversePrint(true);
  EXPECT_EQ(preview.PrintableLeft(), 0);  // no recomputation until the next update
  preview.UpdatePaperGeometry();
  EXPECT_EQ(preview.DeviceOffsetX(), 60);   // right strip
  EXPECT_EQ(preview.DeviceOffsetY(), 100);  // bottom strip
  EXPECT_EQ(preview.PrintableLeft(), 26);   // Ceil(25.4)
  EXPECT_EQ(preview.PrintableTop(), 43);    // Ceil(42.33)
}

TEST_F(PreviewPrinter, DesignModePushesTheMarginsOutOfTheUnprintableStrips) {
  TplPrev preview(&form);
  preview.SetHeaderMargin(100);
  preview.SetFooterMargin(100);
  preview.SetDesigning(true);
  preview.UpdatePaperGeometry();
  EXPECT_EQ(preview.TopMargin(), 32);
  EXPECT_EQ(preview.LeftMargin(), 36);
  EXPECT_EQ(preview.RightMargin(), 2100 - 2075);
  EXPECT_EQ(preview.BottomMargin(), 2970 - preview.PrintableBottom());
  EXPECT_EQ(preview.HeaderMargin(), 32);
  EXPECT_EQ(preview.FooterMargin(), preview.BottomMargin());
}

TEST_F(PreviewPrinter, PagesAreRecordedAgainstThePrinter) {
  TplPrev preview(&form);
  Record(preview, 1);
  emf::EmrHeader header = preview.Pages(0)->Header();
  EXPECT_EQ(header.szlDevice.cx, 4961 - 83 - 60);
  EXPECT_EQ(header.szlDevice.cy, 7016 - 74 - 100);
  EXPECT_EQ(header.rclFrame.right - header.rclFrame.left, 21000);
}

TEST_F(PreviewPrinter, ALinkedSettingsComponentIsSelectedAndSnapshotAtBeginDoc) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  EXPECT_EQ(preview->plSetPrinter()->Name(), "plSetPrinter1");
  Printer().SetPrinterIndex(0);
  preview->BeginDoc();
  EXPECT_EQ(Printer().Printers()[static_cast<std::size_t>(Printer().PrinterIndex())].Bytes().substr(0, 5),
            "Small");
  EXPECT_EQ(preview->ResolutionX(), 100);
  EXPECT_NE(preview->PrinterSettingsText().Bytes().find("plSetPrinter1"), std::string::npos);
  preview->EndDoc();
  // The snapshot puts the settings back into the component in use.
  preview->plSetPrinter()->SetPrinterName("Laser");
  preview->UpdatePaperGeometry();
  EXPECT_EQ(preview->plSetPrinter()->PrinterName(), "Small");
  EXPECT_EQ(preview->ResolutionX(), 100);
  // Destroying the linked component selects the built-in settings and forgets the snapshot.
  delete preview->plSetPrinter();
  EXPECT_EQ(preview->plSetPrinter(), preview->DefaultSetPrinter());
  EXPECT_TRUE(preview->PrinterSettingsText().IsEmpty());
}

TEST_F(PreviewPrinter, ASettingsComponentPutOnTheFormInDesignModeIsLinked) {
  TComponent designer(nullptr);
  designer.SetDesigning(true);
  TplPrev preview(&designer);
  // A form creates the component first, then places it.
  auto* settings = new TplSetPrinter(nullptr);
  designer.InsertComponent(settings);
  EXPECT_EQ(preview.plSetPrinter(), settings);
  // At run time placing one changes nothing.
  TplPrev running(&form);
  auto* other = new TplSetPrinter(nullptr);
  form.InsertComponent(other);
  EXPECT_EQ(running.plSetPrinter(), running.DefaultSetPrinter());
}

TEST_F(PreviewPrinter, ATractorFeedSourceOfThePrinterGetsItsMarksOnTheScreenOnly) {
  TVirtualPrinter dotMatrix = SmallPrinter("Dot Matrix");
  dotMatrix.bins = {{DMBIN_TRACTOR, Cp932String::FromUtf8("ﾄﾗｸﾀ")}, {DMBIN_MANUAL, "Manual"}};
  dotMatrix.defaultBin = DMBIN_TRACTOR;
  virt->AddPrinter(dotMatrix);
  std::unique_ptr<TplPrev> preview = PreviewOn("Dot Matrix");
  Record(*preview, 1);
  EXPECT_FALSE(test::RectRecords(*preview->RenderPage(1), emf::EMR_ELLIPSE).empty());
  EXPECT_EQ(preview->StoredBinName(), Cp932String::FromUtf8("ﾄﾗｸﾀ"));
  // The printer never gets them: the left hole's printable part (around paper x 7 mm, y 6 mm) stays white.
  preview->Print();
  ASSERT_EQ(virt->Pages.size(), 1u);
  EXPECT_EQ(virt->Pages[0].Pixel(7, 13), 0xFFFFFFu);
  preview->plSetPrinter()->SetPaperBinName("Manual");
  EXPECT_TRUE(test::RectRecords(*preview->RenderPage(1), emf::EMR_ELLIPSE).empty());
}

TEST_F(PreviewPrinter, AcrobatAnywhereInTheNameInAnyCaseMakesAnAcrobatPrinter) {
  EXPECT_TRUE(PreviewOn("Adobe Acrobat PDF")->IsAcrobatPrinter());
  virt->AddPrinter(SmallPrinter("pdf via acrobat"));
  EXPECT_TRUE(PreviewOn("pdf via acrobat")->IsAcrobatPrinter());
  EXPECT_FALSE(PreviewOn("Laser")->IsAcrobatPrinter());
  TplPrev preview(&form);
  EXPECT_FALSE(preview.IsAcrobatPrinter());
}

TEST_F(PreviewPrinter, DesignPaperValueTakesThePrinterValuesAndReadsBackAllThirteen) {
  std::unique_ptr<TplPrev> a = PreviewOn("Small");
  std::string text = ComponentToText(*a);
  EXPECT_NE(text.find(R"(["Small","A4","Auto",2100,2969,100,100,0,51,)"), std::string::npos) << text;
  TComponent other(nullptr);
  TplPrev b(&other);
  ComponentFromText(b, text);
  EXPECT_EQ(b.StoredPrinterName(), a->StoredPrinterName());
  EXPECT_EQ(b.StoredPaperName(), a->StoredPaperName());
  EXPECT_EQ(b.StoredBinName(), a->StoredBinName());
  EXPECT_EQ(b.PaperWidth(), a->PaperWidth());
  EXPECT_EQ(b.PaperHeight(), a->PaperHeight());
  EXPECT_EQ(b.ResolutionY(), a->ResolutionY());
  EXPECT_EQ(b.ResolutionX(), a->ResolutionX());
  EXPECT_EQ(b.StoredLandscape(), a->StoredLandscape());
  EXPECT_EQ(b.PrintableLeft(), a->PrintableLeft());
  EXPECT_EQ(b.PrintableRight(), a->PrintableRight());
  EXPECT_EQ(b.PrintableTop(), a->PrintableTop());
  EXPECT_EQ(b.PrintableBottom(), a->PrintableBottom());
  EXPECT_EQ(b.StoredPaperSize(), 9);
}

TEST_F(PreviewPrinter, APrinterWithoutAResolutionIsAClearError) {
  virt->FindPrinter("Small")->dpiX = 0;
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  EXPECT_THROW(preview->UpdatePaperGeometry(), Exception);
}

struct RangeCase {
  int pages, from, to, first, last;
};

TEST_F(PreviewPrinter, PrintRangesAreOrderedAndCutToTheDocument) {
  for (RangeCase c : {RangeCase{4, 0, 0, 1, 4}, RangeCase{6, 5, 2, 2, 5}, RangeCase{6, 3, 0, 1, 3},
                      RangeCase{4, 2, 9, 2, 4}}) {
    std::unique_ptr<TplPrev> preview = PreviewOn("Small");
    Record(*preview, c.pages);
    std::vector<std::pair<int, bool>> printed;  // page, whether its job had been handed over
    preview->OnPrint = [&](TComponent* sender, int page) {
      EXPECT_EQ(sender, preview.get());
      printed.emplace_back(page, virt->Jobs().back().ended);
    };
    preview->SetPrintFromPage(c.from);
    preview->SetPrintToPage(c.to);
    std::size_t jobs = virt->Jobs().size();
    preview->Print();
    ASSERT_EQ(virt->Jobs().size(), jobs + 1);
    const TVirtualJobRecord& job = virt->Jobs().back();
    int count = c.last - c.first + 1;
    EXPECT_EQ(job.pageCount, count) << c.from << "/" << c.to;  // count - 1 new pages
    EXPECT_TRUE(job.ended);
    ASSERT_EQ(printed.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      // Each page counts, in order, once its job was handed over.
      EXPECT_EQ(printed[static_cast<std::size_t>(i)], std::make_pair(c.first + i, true));
    }
  }
}

TEST_F(PreviewPrinter, AWholeDocumentStartsPageCountMinusOneNewPagesWithTheTitleAndCursor) {
  host.SetScreenCursor(-2);
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  Record(*preview, 3);
  preview->SetPrintFromPage(0);
  preview->SetPrintToPage(0);
  int messagesBefore = 0;
  preview->OnPrint = [&](TComponent*, int) {
    EXPECT_TRUE(preview->Printing());
    EXPECT_EQ(host.ScreenCursor(), plprev::crHourGlass);
    messagesBefore = host.MessageRuns;
  };
  preview->Print();
  EXPECT_GT(messagesBefore, 0);
  EXPECT_EQ(virt->Jobs().back().pageCount, 3);
  EXPECT_EQ(virt->Jobs().back().title.ToUtf8(), "印刷プレビュー[Mr.QUILL]");
  EXPECT_EQ(virt->Pages.size(), 3u);
  EXPECT_FALSE(preview->Printing());
  EXPECT_EQ(host.ScreenCursor(), -2);
  // Without a title the job is named after the application.
  preview->SetTitle("");
  host.Title = "Tessarine";
  preview->Print();
  EXPECT_EQ(virt->Jobs().back().title.ToUtf8(), "Tessarine印刷");
}

TEST_F(PreviewPrinter, TheImageLandsOnThePaperAndPrintOffsetXMovesItFiveMillimetresRight) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  Record(*preview, 1);
  preview->Print();
  preview->SetPrintOffsetX(50);
  preview->Print();
  ASSERT_EQ(virt->Pages.size(), 2u);
  // 1 unit = 100/254 dots; the bitmap's origin is the printable corner (20, 10 dots into the paper).
  const double scale = 827.0 / 2100.0;
  ASSERT_EQ(preview->DevicePageWidth(), 827);
  int row = static_cast<int>(400 * (1169.0 / 2969.0)) - 10;
  int left = FirstDarkColumn(virt->Pages[0], row);
  EXPECT_NEAR(left, 300 * scale - 20, 1.5);
  EXPECT_NEAR(LastDarkColumn(virt->Pages[0], row), 500 * scale - 20, 1.5);
  int shifted = FirstDarkColumn(virt->Pages[1], row);
  EXPECT_NEAR(shifted - left, 50 * scale, 1.0);
  // PrintOffsetY moves it down the same way.
  preview->SetPrintOffsetX(0);
  preview->SetPrintOffsetY(30);
  preview->Print();
  ASSERT_EQ(virt->Pages.size(), 3u);
  const double scaleY = 1169.0 / 2969.0;
  int column = static_cast<int>(400 * scale) - 20;
  int top = FirstDarkRow(virt->Pages[0], column);
  EXPECT_NEAR(top, 300 * scaleY - 10, 1.5);
  EXPECT_NEAR(FirstDarkRow(virt->Pages[2], column) - top, 30 * scaleY, 1.0);
}

TEST_F(PreviewPrinter, ATurnedPageIsTheFirstPageRotatedAndTheOffsetStillMovesItRightOnThePage) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  preview->SetInversePrint(true);
  Record(*preview, 2);
  preview->SetPrintFromPage(1);
  preview->SetPrintToPage(1);
  preview->Print();
  preview->SetPrintOffsetX(50);
  preview->Print();
  ASSERT_EQ(virt->Pages.size(), 2u);
  const double scale = 827.0 / 2100.0;
  // Turned: the square (300..500) appears at paper x 1600..1800, seen from the printer's side.
  ASSERT_EQ(preview->DevicePageHeight(), 1169);
  int row = static_cast<int>((2969 - 400) * (1169.0 / 2969.0)) - 10;
  int left = FirstDarkColumn(virt->Pages[0], row);
  EXPECT_NEAR(left, (2100 - 500) * scale - 20, 1.5);
  EXPECT_NEAR(LastDarkColumn(virt->Pages[0], row), (2100 - 300) * scale - 20, 1.5);
  // On the turned sheet "right" is towards the printer's left edge.
  int shifted = FirstDarkColumn(virt->Pages[1], row);
  EXPECT_NEAR(left - shifted, 50 * scale, 1.0);
}

TEST_F(PreviewPrinter, TheOlderFamilyTurnsThePageThroughItsPixels) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  preview->SetInversePrint(true);
  Record(*preview, 1);
  preview->Print();
  SetPlatformFamily(TPlatformFamily::Windows9x);
  preview->Print();
  ASSERT_EQ(virt->Pages.size(), 2u);
  int row = static_cast<int>((2969 - 400) * (1169.0 / 2969.0)) - 10;
  EXPECT_NEAR(FirstDarkColumn(virt->Pages[1], row), FirstDarkColumn(virt->Pages[0], row), 2);
  EXPECT_NEAR(LastDarkColumn(virt->Pages[1], row), LastDarkColumn(virt->Pages[0], row), 2);
}

TEST_F(PreviewPrinter, TheControlKeyIsMarkedForAnAcrobatJobAndPutBackAfterItFailedOrNot) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Adobe Acrobat PDF");
  Record(*preview, 2);
  TKeyboardState keys{};
  keys[plprev::VK_CONTROL] = 0x01;
  host.SetKeyboardState(keys);
  std::vector<std::uint8_t> during;
  preview->OnPrint = [&](TComponent*, int) { during.push_back(host.GetKeyboardState()[plprev::VK_CONTROL]); };
  preview->Print();
  EXPECT_EQ(during, (std::vector<std::uint8_t>{0x81, 0x81}));
  EXPECT_EQ(host.GetKeyboardState()[plprev::VK_CONTROL], 0x01);
  // A job that fails in the middle is withdrawn, and the key is put back too.
  preview->OnBeforeView = [&](TComponent*, int) { throw std::runtime_error("paper jam"); };
  EXPECT_THROW(preview->Print(), std::runtime_error);
  EXPECT_TRUE(virt->Jobs().back().aborted);
  EXPECT_FALSE(preview->Printing());
  EXPECT_EQ(host.GetKeyboardState()[plprev::VK_CONTROL], 0x01);
  preview->OnBeforeView = nullptr;
  // A job that cannot even start puts it back as well.
  virt->RefuseJobs = true;
  EXPECT_THROW(preview->Print(), EPrinterError);
  EXPECT_FALSE(preview->Printing());
  EXPECT_EQ(host.GetKeyboardState()[plprev::VK_CONTROL], 0x01);
  virt->RefuseJobs = false;
  // Other printers leave the keyboard alone.
  std::unique_ptr<TplPrev> plain = PreviewOn("Small");
  Record(*plain, 1);
  plain->OnPrint = [&](TComponent*, int) { during.push_back(host.GetKeyboardState()[plprev::VK_CONTROL]); };
  plain->Print();
  EXPECT_EQ(during.back(), 0x01);
}

TEST_F(PreviewPrinter, AnAcrobatPrinterPrintsAtOnceInsteadOfPreviewingAndCannotBeClosed) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Adobe Acrobat PDF");
  int windows = 0;
  host.CreateWindow = [&](TComponent*) -> IplPrevWindow* {
    ++windows;
    return nullptr;
  };
  preview->Preview();  // nothing recorded: nothing printed, no window
  EXPECT_TRUE(virt->Jobs().empty());
  Record(*preview, 1);
  preview->Preview();
  preview->ShowPreview();
  EXPECT_EQ(virt->Jobs().size(), 2u);
  EXPECT_EQ(windows, 0);
  preview->ClosePreview();
  EXPECT_TRUE(host.Boxes.empty());
}

TEST_F(PreviewPrinter, AFailingPageWithdrawsTheJobCountsNoPageAndReachesTheCaller) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Small");
  Record(*preview, 3);
  preview->OnBeforeView = [&](TComponent*, int page) {
    if (page == 2) throw std::runtime_error("page failed");
  };
  int counted = 0;
  preview->OnPrint = [&](TComponent*, int) { ++counted; };
  host.SetScreenCursor(-2);
  EXPECT_THROW(preview->Print(), std::runtime_error);
  EXPECT_TRUE(virt->Jobs().back().aborted);
  EXPECT_FALSE(virt->Jobs().back().ended);
  EXPECT_EQ(counted, 0);
  EXPECT_FALSE(Printer().Printing());
  EXPECT_FALSE(preview->Printing());
  EXPECT_EQ(host.ScreenCursor(), preview->SavedCursor());
}

// The pages a page choice prints, last page first when it says so.
struct ChoiceCase {
  std::vector<std::pair<int, int>> ranges;
  TplPageSet pageSet;
  bool reverse;
  std::vector<int> pages;
};

TEST_F(PreviewPrinter, ThePageChoiceNarrowsAndOrdersThePagesPrinted) {
  const ChoiceCase cases[] = {
      {{}, TplPageSet::psAll, true, {5, 4, 3, 2, 1}},           // every page, last first
      {{}, TplPageSet::psOdd, false, {1, 3, 5}},                // the odd pages
      {{}, TplPageSet::psEven, true, {4, 2}},                   // the even pages, last first
      {{{1, 1}, {4, 5}}, TplPageSet::psAll, false, {1, 4, 5}},  // "1,4-5"
      {{{2, 4}}, TplPageSet::psOdd, false, {3}},                // the odd pages of "2-4"
      {{{1, 1}}, TplPageSet::psEven, false, {}},                // nothing left to print
  };
  for (const ChoiceCase& c : cases) {
    std::unique_ptr<TplPrev> preview = PreviewOn("Small");
    Record(*preview, 5);
    preview->SetPageChoice({c.ranges, c.pageSet, c.reverse});
    std::vector<int> counted;
    preview->OnPrint = [&](TComponent*, int page) { counted.push_back(page); };
    const std::size_t jobs = virt->Jobs().size();
    preview->Print();
    EXPECT_EQ(counted, c.pages);
    // Nothing left to print starts no job.
    ASSERT_EQ(virt->Jobs().size(), jobs + (c.pages.empty() ? 0 : 1));
    if (!c.pages.empty()) {
      EXPECT_EQ(virt->Jobs().back().pageCount, static_cast<int>(c.pages.size()));
    }
  }
}

}  // namespace
}  // namespace tess

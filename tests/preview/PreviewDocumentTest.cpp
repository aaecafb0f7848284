// The preview document without a printer: creation, stored data, setters, the page life cycle and what
// the page recordings hold.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/components/StoredDesign.h"
#include "platform/core/Exceptions.h"
#include "platform/gfx/Bitmap.h"
#include "preview/PreviewDocument.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/preview/PreviewTestSupport.h"

namespace tess {
namespace {

using test::LoadMainFormPaper;
using test::TRecordingHost;

// An owner that publishes methods for stored event bindings, as a form does.
class TPublishingForm : public TComponent, public TPublishedMethods {
 public:
  TPublishingForm() : TComponent(nullptr) {}
};

class PreviewDocument : public ::testing::Test {
 protected:
  TRecordingHost host;
  test::TNoPrinters noPrinters;
  TComponent form{nullptr};
};

TEST_F(PreviewDocument, CreationGivesTheStartingState) {
  host.SetScreenCursor(-2);
  TplPrev preview(&form);
  EXPECT_EQ(preview.DocState(), TplPrevDocState::dsEmpty);
  EXPECT_EQ(preview.Title().ToUtf8(), "印刷プレビュー[Mr.QUILL]");
  EXPECT_EQ(preview.PageCount(), 1);
  EXPECT_EQ(preview.CurrentPage(), 1);
  EXPECT_EQ(preview.PrintFromPage(), 0);
  EXPECT_EQ(preview.PrintToPage(), 0);
  EXPECT_EQ(preview.PageWidth(), 0);
  EXPECT_EQ(preview.PageHeight(), 0);
  EXPECT_TRUE(preview.ViewClip());
  EXPECT_EQ(preview.PaperColor(), clWhite);
  EXPECT_EQ(preview.FormColor(), clBtnFace);
  EXPECT_EQ(preview.ZoomType(), TplPrevZoomType::ztWholePage);
  EXPECT_EQ(preview.Cursor(), plprev::crHourGlass);
  EXPECT_EQ(preview.SavedCursor(), -2);
  EXPECT_EQ(preview.BtnOptions(), kAllPrevButtons & ~BtnBit(boPrinterSetBtn));
  EXPECT_EQ(preview.FormLeft(), 20);
  EXPECT_EQ(preview.FormTop(), 20);
  TDeviceDescription screen = TDeviceDescription::Screen();
  EXPECT_EQ(preview.FormWidth(), screen.WidthPixels * 2 / 3);
  EXPECT_EQ(preview.FormHeight(), screen.HeightPixels * 2 / 3);
  EXPECT_EQ(preview.FormBorderIcons(), plprev::biSystemMenu | plprev::biMinimize | plprev::biMaximize);
  EXPECT_EQ(preview.FormBorderStyle(), plprev::TFormBorderStyle::bsSizeable);
  EXPECT_EQ(preview.FormPosition(), plprev::TPosition::poDefault);
  EXPECT_TRUE(preview.ImageDrag() && preview.ImageShade() && preview.FormIconBar() &&
              preview.FormStatusBar());
  EXPECT_TRUE(preview.FormIcon().empty());
  EXPECT_TRUE(preview.Ready());
  EXPECT_EQ(preview.Canvas(), nullptr);
  ASSERT_NE(preview.DefaultSetPrinter(), nullptr);
  EXPECT_EQ(preview.DefaultSetPrinter()->Name(), "Default");
  EXPECT_EQ(preview.DefaultSetPrinter()->Owner(), &preview);
  EXPECT_EQ(preview.plSetPrinter(), preview.DefaultSetPrinter());
}

TEST_F(PreviewDocument, DefaultsOfImageDragImageShadeAndFormColorAreNotStoredOthersAlwaysAre) {
  TplPrev preview(&form);
  std::string text = ComponentToText(preview);
  EXPECT_EQ(text.find("ImageDrag"), std::string::npos);
  EXPECT_EQ(text.find("ImageShade"), std::string::npos);
  EXPECT_EQ(text.find("FormColor"), std::string::npos);
  for (const char* always :
       {"\"LeftMargin\"", "\"PageCount\"", "\"Title\"", "\"ViewClip\"", "\"InversePrint\"",
        "\"PrintOffsetX\"", "\"FormName\"", "\"DesignPaperValue\""}) {
    EXPECT_NE(text.find(always), std::string::npos) << always;
  }
  preview.SetImageDrag(false);
  preview.SetFormColor(clWhite);
  text = ComponentToText(preview);
  EXPECT_NE(text.find("ImageDrag"), std::string::npos);
  EXPECT_NE(text.find("FormColor"), std::string::npos);
}

TEST_F(PreviewDocument, PublishedPropertiesSurviveAStoredRoundTrip) {
  TplPrev a(&form);
  a.SetTitle(Cp932String::FromUtf8("印刷プレビュー[TSRN]"));
  a.SetLeftMargin(35);
  a.SetTopMargin(31);
  a.SetRightMargin(33);
  a.SetBottomMargin(49);
  a.SetPageCount(3);
  a.SetFormWidth(853);
  a.SetFormHeight(533);
  a.SetFormName("plPrevForm");
  a.SetFormIcon(std::string("\x00\x01\xFFicon", 7));
  a.SetFormBorderStyle(plprev::TFormBorderStyle::bsDialog);
  a.SetFormWindowState(TplPrevFormWindowState::fwWorkArea);
  a.SetZoomType(TplPrevZoomType::ztPageWidth);
  a.SetBtnOptions(BtnBit(boPrintBtn) | BtnBit(boCloseBtn));
  a.SetPaperColor(RGB(1, 2, 3));
  a.SetImageShade(false);
  a.SetInversePrint(true);
  a.SetPrintOffsetX(50);
  a.SetEventMethodName(7, "plPrev1Print");
  std::string text = ComponentToText(a);

  // The event is bound to the method the owning form publishes under that name.
  TPublishingForm other;
  std::vector<int> printed;
  other.PublishMethod<TplPrevPageEvent>("plPrev1Print",
                                        [&](TComponent*, int page) { printed.push_back(page); });
  TplPrev b(&other);
  DesignReadReport report = ComponentFromText(b, text);
  EXPECT_TRUE(report.Clean()) << (report.problems.empty() ? "" : report.problems[0]);
  EXPECT_EQ(b.Title(), a.Title());
  EXPECT_EQ(b.LeftMargin(), 35);
  EXPECT_EQ(b.TopMargin(), 31);
  EXPECT_EQ(b.RightMargin(), 33);
  EXPECT_EQ(b.BottomMargin(), 49);
  EXPECT_EQ(b.PageCount(), 3);
  EXPECT_EQ(b.FormWidth(), 853);
  EXPECT_EQ(b.FormName(), "plPrevForm");
  EXPECT_EQ(b.FormIcon(), a.FormIcon());
  EXPECT_EQ(b.FormBorderStyle(), plprev::TFormBorderStyle::bsDialog);
  EXPECT_EQ(b.FormWindowState(), TplPrevFormWindowState::fwWorkArea);
  EXPECT_EQ(b.ZoomType(), TplPrevZoomType::ztPageWidth);
  EXPECT_EQ(b.BtnOptions(), BtnBit(boPrintBtn) | BtnBit(boCloseBtn));
  EXPECT_EQ(b.PaperColor(), RGB(1, 2, 3));
  EXPECT_FALSE(b.ImageShade());
  EXPECT_TRUE(b.InversePrint());
  EXPECT_EQ(b.PrintOffsetX(), 50);
  EXPECT_EQ(b.EventMethodName(7), "plPrev1Print");
  ASSERT_TRUE(b.OnPrint);
  b.OnPrint(&b, 3);
  EXPECT_EQ(printed, std::vector<int>{3});
  // An icon with digits that are not hexadecimal is a problem of the read and leaves the icon as it was.
  EXPECT_FALSE(ComponentFromText(b, R"({"class":"TplPrev","properties":{"FormIcon":"00ZZ"}})").Clean());
  EXPECT_EQ(b.FormIcon(), a.FormIcon());
  // A method the form does not publish stays a name, for a form that binds its handlers itself.
  TPublishingForm bare;
  TplPrev c(&bare);
  EXPECT_TRUE(ComponentFromText(c, text).Clean());
  EXPECT_FALSE(c.OnPrint);
  EXPECT_EQ(c.EventMethodName(7), "plPrev1Print");
  // A published method of another event type is a problem of the read.
  TPublishingForm wrong;
  wrong.PublishMethod<TNotifyEvent>("plPrev1Print", [](TComponent*) {});
  TplPrev d(&wrong);
  EXPECT_FALSE(ComponentFromText(d, text).Clean());
  EXPECT_FALSE(d.OnPrint);
}

// Thirteen different values, so that any two read or written in each other's place show.
TEST_F(PreviewDocument, DesignPaperValueIsReadInTheListedOrderAndWrittenBackTheSame) {
  TplPrev a(&form);
  ComponentFromText(a, R"({"class":"TplPrev","name":"x","properties":{"DesignPaperValue":)"
                       R"(["P","B5","Tray 2",1820,2570,300,360,1,11,1800,12,2550,13]}})");
  std::string text = ComponentToText(a);
  EXPECT_NE(text.find(R"(["P","B5","Tray 2",1820,2570,300,360,1,11,1800,12,2550,13])"), std::string::npos)
      << text;
  TComponent other(nullptr);
  TplPrev b(&other);
  ComponentFromText(b, text);
  EXPECT_EQ(b.StoredPrinterName(), "P");
  EXPECT_EQ(b.StoredPaperName(), "B5");
  EXPECT_EQ(b.StoredBinName(), "Tray 2");
  EXPECT_EQ(b.PaperWidth(), 1820);
  EXPECT_EQ(b.PaperHeight(), 2570);
  EXPECT_EQ(b.ResolutionY(), 300);
  EXPECT_EQ(b.ResolutionX(), 360);
  EXPECT_EQ(b.StoredLandscape(), 1);
  EXPECT_EQ(b.PrintableLeft(), 11);
  EXPECT_EQ(b.PrintableRight(), 1800);
  EXPECT_EQ(b.PrintableTop(), 12);
  EXPECT_EQ(b.PrintableBottom(), 2550);
  EXPECT_EQ(b.StoredPaperSize(), 13);
  // The printable size follows from the stored edges.
  EXPECT_EQ(b.PrintableWidth(), 1800 - 11);
  EXPECT_EQ(b.PrintableHeight(), 2550 - 12);
}

TEST_F(PreviewDocument, DamagedDesignPaperValueKeepsWhatWasReadAndLoadsTheRest) {
  TplPrev preview(&form);
  DesignReadReport report = ComponentFromText(
      preview, R"({"class":"TplPrev","name":"x","properties":{"Title":"T","DesignPaperValue":)"
               R"(["FinePrint","A4","",2100,"oops",600]}})");
  EXPECT_TRUE(report.Clean());
  EXPECT_EQ(preview.Title(), "T");
  EXPECT_EQ(preview.StoredPaperName(), "A4");
  EXPECT_EQ(preview.PaperWidth(), 2100);
  EXPECT_EQ(preview.PaperHeight(), 0);
  EXPECT_EQ(preview.ResolutionY(), 0);
  // A list cut short and a value that is no list at all are swallowed the same way.
  TplPrev shortList(&form);
  EXPECT_TRUE(ComponentFromText(shortList,
                                R"({"class":"TplPrev","name":"y","properties":{"DesignPaperValue":)"
                                R"(["FinePrint","A4"]}})")
                  .Clean());
  EXPECT_EQ(shortList.StoredPaperName(), "A4");
  TplPrev notAList(&form);
  EXPECT_TRUE(
      ComponentFromText(notAList, R"({"class":"TplPrev","name":"z","properties":{"DesignPaperValue":7}})")
          .Clean());
}

TEST_F(PreviewDocument, PageCountIsStoredBeforeTheFirstDocumentOnly) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.SetPageCount(5);
  EXPECT_EQ(preview.PageCount(), 5);
  preview.SetPageCount(0);
  preview.SetPageCount(-3);
  EXPECT_EQ(preview.PageCount(), 5);
  preview.BeginDoc();
  preview.EndDoc();
  preview.SetPageCount(4);
  EXPECT_EQ(preview.PageCount(), 1);
}

TEST_F(PreviewDocument, PageSizeWritesIgnoreNegativesAndZeroTakesThePaper) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.SetPageWidth(1000);
  preview.SetPageWidth(-1);
  preview.SetPageHeight(-5);
  EXPECT_EQ(preview.PageWidth(), 1000);
  EXPECT_EQ(preview.PageHeight(), 0);
  EXPECT_NEAR(preview.PageAspect(), 2970.0 / 2100.0, 1e-12);  // one side 0: the paper decides
  preview.SetPageHeight(1500);
  EXPECT_DOUBLE_EQ(preview.PageAspect(), 1.5);
  preview.SetPageWidth(0);
  preview.SetPageHeight(0);
  EXPECT_NEAR(preview.PageAspect(), 1.4142857, 1e-7);
  preview.BeginDoc();
  EXPECT_EQ(preview.PageWidth(), 2100);
  EXPECT_EQ(preview.PageHeight(), 2970);
  preview.EndDoc();
  // Without any paper known there is no aspect (rather than a division by zero).
  TplPrev bare(&form);
  EXPECT_EQ(bare.PageAspect(), 0.0);
}

TEST_F(PreviewDocument, MarginsAreClampedToThePrintableAreaInDesignModeOnly) {
  TplPrev atRunTime(&form);
  LoadMainFormPaper(atRunTime);
  atRunTime.SetTopMargin(10);
  atRunTime.SetHeaderMargin(20);
  atRunTime.SetBottomMargin(3);
  atRunTime.SetLeftMargin(1);
  atRunTime.SetRightMargin(2);
  EXPECT_EQ(atRunTime.TopMargin(), 10);
  EXPECT_EQ(atRunTime.HeaderMargin(), 20);
  EXPECT_EQ(atRunTime.BottomMargin(), 3);

  TComponent designer(nullptr);
  designer.SetDesigning(true);
  TplPrev designed(&designer);
  LoadMainFormPaper(designed);
  designed.SetTopMargin(10);
  EXPECT_EQ(designed.TopMargin(), 31);
  designed.SetHeaderMargin(40);
  EXPECT_EQ(designed.HeaderMargin(), 31);
  designed.SetBottomMargin(3);
  EXPECT_EQ(designed.BottomMargin(), 49);  // 2970 - 2921
  designed.SetFooterMargin(60);
  EXPECT_EQ(designed.FooterMargin(), 49);
  designed.SetLeftMargin(1);
  EXPECT_EQ(designed.LeftMargin(), 35);
  designed.SetRightMargin(2);
  EXPECT_EQ(designed.RightMargin(), 33);  // 2100 - 2067
  // Raising the top margin later does not raise the header; lowering it cuts the header.
  designed.SetTopMargin(100);
  designed.SetHeaderMargin(90);
  designed.SetTopMargin(50);
  EXPECT_EQ(designed.HeaderMargin(), 50);
}

TEST_F(PreviewDocument, WithoutAPrinterTheLinkedSettingsAreStoodInForByTheBuiltInOnes) {
  TplPrev preview(&form);
  auto* settings = new TplSetPrinter(&form);
  settings->SetName("plSetPrinter1");
  preview.SetPageWidth(100);
  preview.SetplSetPrinter(settings);
  EXPECT_EQ(preview.plSetPrinter(), preview.DefaultSetPrinter());
  EXPECT_EQ(preview.DefaultSetPrinter()->Name(), "plSetPrinter1");
  EXPECT_EQ(preview.PageWidth(), 0);
  preview.SetplSetPrinter(nullptr);
  EXPECT_EQ(preview.plSetPrinter(), preview.DefaultSetPrinter());
}

TEST_F(PreviewDocument, OnePageDocumentStoresOnePageAndPutsTheCursorBack) {
  host.SetScreenCursor(-2);
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  host.Cursors.clear();
  preview.BeginDoc();
  ASSERT_NE(preview.Canvas(), nullptr);
  EXPECT_EQ(preview.DocState(), TplPrevDocState::dsRecorded);
  EXPECT_EQ(preview.PrintFromPage(), 1);
  EXPECT_EQ(preview.BtnOptions() & BtnBit(boPrinterSetBtn), 0u);
  preview.Canvas()->MoveTo(100, 100);
  preview.Canvas()->LineTo(500, 500);
  preview.EndDoc();
  EXPECT_EQ(preview.Canvas(), nullptr);
  EXPECT_EQ(preview.PageCount(), 1);
  EXPECT_EQ(preview.CurrentPage(), 1);
  EXPECT_EQ(preview.PrintToPage(), 1);
  ASSERT_EQ(preview.StoredPageCount(), 1);
  ASSERT_NE(preview.Pages(0), nullptr);
  EXPECT_EQ(test::RecordsOfType(*preview.Pages(0), emf::EMR_LINETO).size(), 1u);
  EXPECT_EQ(host.Cursors, (std::vector<plprev::TCursor>{plprev::crHourGlass, -2}));
  EXPECT_GT(host.MessageRuns, 0);
}

TEST_F(PreviewDocument, PagesAreRecordedInTenthsOfAMillimetreOnTheScreenWithoutAPrinter) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.BeginDoc();
  preview.EndDoc();
  const TMetafile& page = *preview.Pages(0);
  emf::EmrHeader header = page.Header();
  TDeviceDescription screen = TDeviceDescription::Screen();
  EXPECT_EQ(header.szlDevice.cx, screen.WidthPixels);
  EXPECT_EQ(header.rclFrame.right - header.rclFrame.left, 21000);
  EXPECT_EQ(header.rclFrame.bottom - header.rclFrame.top, 29700);
  EXPECT_EQ(preview.FrameWidth(), page.Width());
  auto records = test::ReadRecords(page);
  // Mapping first: anisotropic, window = the page in 0.1 mm, viewport = the frame in reference pixels.
  bool anisotropic = false;
  for (const auto& r : records) {
    if (r.Type == emf::EMR_SETMAPMODE) anisotropic = test::As<emf::EmrOneValue>(r).value == MM_ANISOTROPIC;
    if (r.Type == emf::EMR_SETWINDOWEXTEX) {
      auto p = test::As<emf::EmrPoint>(r).point;
      EXPECT_EQ(p.x, 2100);
      EXPECT_EQ(p.y, 2970);
    }
    if (r.Type == emf::EMR_SETVIEWPORTEXTEX) {
      auto p = test::As<emf::EmrPoint>(r).point;
      EXPECT_EQ(p.x, preview.FrameWidth());
      EXPECT_EQ(p.y, preview.FrameHeight());
    }
  }
  EXPECT_TRUE(anisotropic);
}

TEST_F(PreviewDocument, TheFontOfOnePageCarriesIntoTheNextAndANewDocumentStartsAtMinus37) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.BeginDoc();
  EXPECT_EQ(preview.Canvas()->Font().Height(), -37);
  EXPECT_EQ(preview.Canvas()->Font().PixelsPerInch(), 600);
  preview.Canvas()->Font().SetHeight(60);
  preview.Canvas()->Font().SetName("Tahoma");
  preview.Canvas()->Pen().SetWidth(7);
  preview.Canvas()->SetCopyMode(PATCOPY);
  preview.Canvas()->SetTextFlags(ETO_CLIPPED);
  preview.TextOutLeft(100, 100, "A");
  preview.NewPage();
  EXPECT_EQ(preview.Canvas()->Font().Height(), 60);
  EXPECT_EQ(preview.Canvas()->Font().Name(), "Tahoma");
  EXPECT_EQ(preview.Canvas()->Pen().Width(), 7);
  EXPECT_EQ(preview.Canvas()->CopyMode(), PATCOPY);
  EXPECT_EQ(preview.Canvas()->TextFlags(), ETO_CLIPPED);
  EXPECT_EQ(preview.Canvas()->Brush().Style(), TBrushStyle::bsClear);
  preview.TextOutLeft(100, 100, "B");
  preview.EndDoc();
  ASSERT_EQ(preview.StoredPageCount(), 2);
  auto fonts = test::FontRecords(*preview.Pages(1));
  ASSERT_FALSE(fonts.empty());
  EXPECT_EQ(fonts.front().lfHeight, 60);
  EXPECT_EQ(std::u16string(fonts.front().lfFaceName), u"Tahoma");

  preview.BeginDoc();
  EXPECT_EQ(preview.Canvas()->Font().Height(), -37);
  preview.TextOutLeft(100, 100, "C");
  preview.EndDoc();
  fonts = test::FontRecords(*preview.Pages(0));
  ASSERT_FALSE(fonts.empty());
  EXPECT_EQ(fonts.front().lfHeight, -37);
  EXPECT_EQ(preview.StoredPageCount(), 1);
}

TEST_F(PreviewDocument, AStoredPageDoesNotChangeWhenTheWorkingRecordingDoes) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.BeginDoc();
  preview.TextOutLeft(100, 100, "1");
  preview.NewPage();
  const std::vector<std::uint8_t> page1 = preview.Pages(0)->Bytes();
  preview.TextOutLeft(100, 100, "2");
  preview.Circle(500, 500, 40);
  preview.EndDoc();
  EXPECT_EQ(preview.Pages(0)->Bytes(), page1);
  const std::vector<std::uint8_t> page2 = preview.Pages(1)->Bytes();
  TMetafile* rendered = preview.RenderPage(1);
  ASSERT_NE(rendered, nullptr);
  EXPECT_EQ(rendered, preview.WorkMetafile());
  EXPECT_EQ(preview.Pages(0)->Bytes(), page1);
  EXPECT_EQ(preview.Pages(1)->Bytes(), page2);
  EXPECT_NE(rendered->Bytes(), page1);
}

TEST_F(PreviewDocument, TheClipToThePrintableAreaIsRecordedSoNothingOutsideItReachesThePage) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.BeginDoc();
  preview.Canvas()->Brush().SetStyle(TBrushStyle::bsSolid);
  preview.Canvas()->Brush().SetColor(clBlack);
  preview.Canvas()->FillRect(Rect(0, 0, 2100, 2970));
  preview.EndDoc();
  const TMetafile& page = *preview.Pages(0);
  auto clips = test::RectRecords(page, emf::EMR_INTERSECTCLIPRECT);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0], Rect(35, 31, 2067, 2921));

  // Played at 1 pixel per millimetre: the strips outside the printable area stay white.
  TBitmap24 bitmap(210, 297);
  ASSERT_TRUE(bitmap.Canvas().StretchDraw(Rect(0, 0, 210, 297), page).IsOk());
  bitmap.ReleaseCanvas();
  EXPECT_EQ(bitmap.Pixel(1, 150), 0xFFFFFFu);    // left strip (3.5 mm)
  EXPECT_EQ(bitmap.Pixel(105, 1), 0xFFFFFFu);    // top strip (3.1 mm)
  EXPECT_EQ(bitmap.Pixel(208, 150), 0xFFFFFFu);  // right strip (3.3 mm)
  EXPECT_EQ(bitmap.Pixel(105, 295), 0xFFFFFFu);  // bottom strip (4.9 mm)
  EXPECT_EQ(bitmap.Pixel(105, 150), 0x000000u);

  preview.SetViewClip(false);
  preview.BeginDoc();
  preview.EndDoc();
  EXPECT_TRUE(test::RectRecords(*preview.Pages(0), emf::EMR_INTERSECTCLIPRECT).empty());
}

TEST_F(PreviewDocument, NoPaperBackgroundIsRecordedIntoAPage) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  int calls = 0;
  preview.OnNoPrintDraw = [&](TComponent*, int) { ++calls; };
  preview.BeginDoc();
  preview.NewPage();
  preview.EndDoc();
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(test::RecordsOfType(*preview.Pages(0), emf::EMR_BITBLT).empty());
  EXPECT_TRUE(test::RecordsOfType(*preview.Pages(1), emf::EMR_BITBLT).empty());
}

TEST_F(PreviewDocument, PageOperationsWithoutAnOpenPageAreRefusedClearly) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  EXPECT_THROW(preview.NewPage(), EAssertionFailed);
  EXPECT_THROW(preview.EndDoc(), EAssertionFailed);
  EXPECT_THROW(preview.TextOutLeft(0, 0, "x"), EAssertionFailed);
  EXPECT_THROW(preview.Circle(0, 0, 4), EAssertionFailed);
  preview.BeginDoc();
  EXPECT_THROW(preview.RenderPage(1), EAssertionFailed);
  // A second BeginDoc while a page is open starts over cleanly.
  preview.BeginDoc();
  preview.EndDoc();
  EXPECT_EQ(preview.StoredPageCount(), 1);
}

TEST_F(PreviewDocument, ClearPagesFreesThePagesAndTheWorkingRecording) {
  TplPrev preview(&form);
  LoadMainFormPaper(preview);
  preview.BeginDoc();
  preview.NewPage();
  preview.EndDoc();
  EXPECT_EQ(preview.StoredPageCount(), 2);
  preview.ClearPages();
  EXPECT_EQ(preview.StoredPageCount(), 0);
  EXPECT_EQ(preview.WorkMetafile(), nullptr);
  // Rendering afterwards finds no page to draw and still gives a (blank) rendering.
  EXPECT_NE(preview.RenderPage(1), nullptr);
}

}  // namespace
}  // namespace tess

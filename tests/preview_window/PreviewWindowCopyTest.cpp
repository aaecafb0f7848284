// The preview window's context menu on the offscreen platform: the page copy (vector page with PNG and SVG
// renderings beside it), the screen copy, and the hard copy with its print dialog, geometry and restore.
#include <algorithm>

#include "platform/ui/Clipboard.h"
#include "platform/ui/InputSimulation.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/preview_window/PreviewWindowSupport.h"

namespace tess::test {
namespace {

bool Offers(const std::string& format) {
  std::vector<std::string> formats = Clipboard().Formats();
  return std::find(formats.begin(), formats.end(), format) != formats.end();
}

std::u16string PageTexts(const TMetafile& page) {
  std::u16string all;
  for (const TTextRecord& t : TextRecords(page)) all += t.Text + u"|";
  return all;
}

using PreviewWindowCopy = PreviewWindowFixture;

TEST_F(PreviewWindowCopy, PageCopyHoldsExactlyTheCurrentPageWithPngAndSvgBesideIt) {
  Record(5);
  TplPrevForm* form = ShowModeless();
  Preview->ShowPage(3);
  Clipboard().Clear();
  form->ActionPageCopyExecute(form->N1);
  TMetafile copied;
  ASSERT_TRUE(Clipboard().GetMetafile(copied));
  std::u16string texts = PageTexts(copied);
  EXPECT_NE(texts.find(u"ページ 3"), std::u16string::npos);
  for (char16_t other : {u'1', u'2', u'4', u'5'}) {
    EXPECT_EQ(texts.find(std::u16string(u"ページ ") + other), std::u16string::npos);
  }
  // The page at its recorded size (A4 in hundredths of a millimetre).
  EXPECT_EQ(copied.MMWidth(), Preview->PageWidth() * 10);
  EXPECT_EQ(copied.MMHeight(), Preview->PageHeight() * 10);
  EXPECT_EQ(Preview->CurrentPage(), 3);

  EXPECT_TRUE(Offers("image/x-emf"));
  ASSERT_TRUE(Offers("image/png"));
  EXPECT_EQ(Clipboard().Data("image/png").substr(1, 3), "PNG");
  ASSERT_TRUE(Offers("image/svg+xml"));
  std::string svg = Clipboard().Data("image/svg+xml");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("mm\""), std::string::npos);  // sized in millimetres
  ASSERT_TRUE(Clipboard().HasBitmap());
  EXPECT_GT(Clipboard().GetBitmap().Width(), 700);  // A4 at 96 dpi is 793 pixels wide
}

TEST_F(PreviewWindowCopy, PageCopyBeforeAnyDocumentDoesNothing) {
  TplPrevForm* form = ShowModeless();
  Clipboard().SetBitmap(TBitmap24(3, 3));
  form->ActionPageCopyExecute(form->N1);
  EXPECT_FALSE(Clipboard().HasMetafile());
  EXPECT_TRUE(Clipboard().HasBitmap());
}

TEST_F(PreviewWindowCopy, RightClickOpensTheMenuAtThePointerAndCancelOnlyClosesIt) {
  Record(2);
  TplPrevForm* form = ShowModeless();
  TPoint at{};
  std::vector<bool> enabled;
  TPopupMenu::TPopupHook saved = TPopupMenu::SetPopupHook([&](TPopupMenu* menu, TPoint where) {
    at = where;
    for (int i = 0; i < menu->Count(); ++i) enabled.push_back(menu->Items(i)->Enabled());
    menu->Items(3)->Click();  // キャンセル
  });
  Clipboard().SetBitmap(TBitmap24(3, 3));
  SimulateMouseDown(*form->Image1, TMouseButton::mbRight, 20, 30);
  SimulateMouseUp(*form->Image1, TMouseButton::mbRight, 20, 30);
  TPopupMenu::SetPopupHook(saved);
  EXPECT_EQ(at, form->Image1->ClientToScreen(TPoint{20, 30}));
  EXPECT_EQ(enabled, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(form->DragStartX(), 20);
  EXPECT_FALSE(form->IsDragging());
  EXPECT_FALSE(Clipboard().HasMetafile());  // cancel did nothing
  EXPECT_TRUE(Printers->Jobs().empty());
}

TEST_F(PreviewWindowCopy, ScreenCopyPutsAPictureOfTheWindowOnTheClipboard) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  Clipboard().Clear();
  form->ActionDispCopyExecute(form->N2);
  ASSERT_TRUE(Clipboard().HasBitmap());
  TBitmap24 shot = Clipboard().GetBitmap();
  EXPECT_EQ(shot.Width(), form->ClientWidth());
  EXPECT_EQ(shot.Height(), form->ClientHeight());
}

TEST(PreviewWindowHardCopy, GeometryKeepsTheCapturesProportionsOnEightyPercentOfTheWidth) {
  EXPECT_EQ(TplPrevForm::HardCopyRect(800, 1024, 768), (TRect{80, 40, 720, 520}));
  // The height is rounded half to even: 640 x 5 / 256 = 12.5 gives 12, 640 x 7 / 256 = 17.5 gives 18.
  EXPECT_EQ(TplPrevForm::HardCopyRect(800, 256, 5).Bottom, 40 + 12);
  EXPECT_EQ(TplPrevForm::HardCopyRect(800, 256, 7).Bottom, 40 + 18);
  EXPECT_EQ(TplPrevForm::HardCopyRect(805, 4, 1).Bottom, 40 + 161);  // m = 80; 645 / 4 = 161.25
  EXPECT_EQ(TplPrevForm::HardCopyRect(10, 2, 1), (TRect{1, 0, 9, 4}));
}

class PreviewWindowHardCopyPrint : public PreviewWindowFixture {
 protected:
  // A window of 1024 x 768 client pixels: its capture is that large.
  TplPrevForm* ShowWindowOf1024By768() {
    TplPrevForm* form = ShowModeless();
    form->SetClientWidth(1024);
    form->SetClientHeight(768);
    return form;
  }
};

TEST_F(PreviewWindowHardCopyPrint, PrintsTheCaptureOnTheChosenPrinterWhateverItsNameAndRestores) {
  Record(2);
  TplPrevForm* form = ShowWindowOf1024By768();
  ASSERT_EQ(form->ClientWidth(), 1024);
  ASSERT_EQ(form->ClientHeight(), 768);
  form->NextPageBtnClick(form->NextPageBtn);
  const Cp932String settings = Preview->PrinterSettingsText();
  SetPrintDialogScript([](TPrintDialog& d) {
    d.SetPrinterChoice(1);  // "Office Writer PDF": no ACROBAT in its name
    return true;
  });
  form->ActionHardCopyExecute(form->N3);
  EXPECT_TRUE(Boxes.empty());
  ASSERT_EQ(Printers->Jobs().size(), 1u);
  EXPECT_EQ(Printers->Jobs()[0].printer.Bytes().substr(0, 17), "Office Writer PDF");
  EXPECT_EQ(Printers->Jobs()[0].pageCount, 1);
  EXPECT_TRUE(Printers->Jobs()[0].ended);
  ASSERT_EQ(Printers->Jobs()[0].caps.horzRes, 800);
  ASSERT_EQ(Printers->Pages.size(), 1u);
  const TBitmap24& page = Printers->Pages[0];
  const std::uint32_t white = 0xFFFFFF;
  // The capture spans x 80..720 and y 40..520: its grey tool bar at the top, nothing outside.
  EXPECT_NE(page.Pixel(80, 40), white);
  EXPECT_NE(page.Pixel(719, 519), white);
  EXPECT_EQ(page.Pixel(79, 100), white);
  EXPECT_EQ(page.Pixel(720, 100), white);
  EXPECT_EQ(page.Pixel(300, 39), white);
  EXPECT_EQ(page.Pixel(300, 520), white);
  // Restored: the settings of before the dialog and the page shown.
  EXPECT_EQ(Preview->PrinterSettingsText(), settings);
  EXPECT_EQ(Preview->plSetPrinter()->PrinterName().Bytes().substr(0, 5), "Laser");
  EXPECT_EQ(form->StatusBar->Panel(0).Text, Cp932String::FromUtf8(" Page  2/2  A4"));
}

TEST_F(PreviewWindowHardCopyPrint, CancelledDialogPrintsNothingAndStillRestores) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  int views = 0;
  Preview->OnAfterView = [&](TComponent*, int) { ++views; };
  SetPrintDialogScript([](TPrintDialog&) { return false; });
  form->ActionHardCopyExecute(form->N3);
  EXPECT_TRUE(Printers->Jobs().empty());
  EXPECT_EQ(views, 1);  // the window shows its page again
}

using PreviewWindowCopyNoPrinter = PreviewWindowNoPrinterFixture;

TEST_F(PreviewWindowCopyNoPrinter, ScreenCopiesAreDisabledAndThePageCopyWorks) {
  Record(2);
  TplPrevForm* form = ShowModeless();
  std::vector<bool> enabled;
  TPopupMenu::TPopupHook saved = TPopupMenu::SetPopupHook([&](TPopupMenu* menu, TPoint) {
    for (int i = 0; i < menu->Count(); ++i) enabled.push_back(menu->Items(i)->Enabled());
    menu->Items(1)->Click();  // disabled: nothing happens
    menu->Items(0)->Click();
  });
  Clipboard().Clear();
  form->Image1MouseDown(form->Image1, TMouseButton::mbRight, 0, 5, 5);
  TPopupMenu::SetPopupHook(saved);
  EXPECT_EQ(enabled, (std::vector<bool>{true, false, false, true}));
  TMetafile copied;
  ASSERT_TRUE(Clipboard().GetMetafile(copied));
  EXPECT_NE(PageTexts(copied).find(u"ページ 1"), std::u16string::npos);
}

}  // namespace
}  // namespace tess::test

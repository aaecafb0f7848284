// The document's paper on virtual printers: a printer chosen after the document was made is asked for it
// and maps the page with its own resolution and strips; a printer without it gets the whole page scaled to
// fit, centred, never enlarged, the user told once per printer; a printer reporting no room for the page
// is a clear error. (A page on the paper it was made for maps as it always did: PreviewPrinterTest.)
#include <gtest/gtest.h>

#include <climits>

#include "platform/core/Messages.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/PixelPrinterSystem.h"

namespace tess {
namespace {

using test::TPixelPrinterSystem;

// A 100 dpi printer (small pixel pages) with unequal strips: 20 dots left, 10 top, 30 right, 40 bottom.
TVirtualPrinter HundredDpi(const char* name, std::vector<TVirtualPaper> papers, std::int16_t defaultPaper) {
  TVirtualPrinter p = TVirtualPrinterSystem::StandardPrinter(name);
  if (!papers.empty()) p.papers = std::move(papers);
  p.defaultPaper = defaultPaper;
  p.dpiX = p.dpiY = 100;
  p.marginLeft = 20;
  p.marginTop = 10;
  p.marginRight = 30;
  p.marginBottom = 40;
  return p;
}

const TVirtualPaper kLetter{DMPAPER_LETTER, "Letter", 2159, 2794};
const TVirtualPaper kA3{DMPAPER_A3, "A3", 2970, 4200};

// The dark pixels' bounding box, inclusive.
struct Ink {
  int left = -1, top = -1, right = -1, bottom = -1;
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

Ink InkOf(const TBitmap24& page) {
  Ink ink;
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) {
      if ((page.Pixel(x, y) & 0xFF) >= 128) continue;
      if (ink.left < 0 || x < ink.left) ink.left = x;
      if (x > ink.right) ink.right = x;
      if (ink.top < 0) ink.top = y;
      ink.bottom = y;
    }
  }
  return ink;
}

class PreviewDocumentPaper : public ::testing::Test {
 protected:
  void SetUp() override {
    auto system = std::make_unique<TPixelPrinterSystem>();
    virt = system.get();
    TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter("Laser");
    laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    virt->AddPrinter(laser);
    virt->AddPrinter(HundredDpi("A4 First", {}, DMPAPER_A4));
    virt->AddPrinter(HundredDpi("Letter First", {}, DMPAPER_LETTER));
    virt->AddPrinter(HundredDpi("Letter Only", {kLetter}, DMPAPER_LETTER));
    virt->AddPrinter(HundredDpi("Letter Only 2", {kLetter}, DMPAPER_LETTER));
    virt->AddPrinter(HundredDpi("A3 Only", {kA3}, DMPAPER_A3));
    scope = std::make_unique<TScopedPrinterSystem>(std::move(system));
  }

  // A preview for `paper` whose settings are a component on the form standing for `printer`.
  std::unique_ptr<TplPrev> PreviewOn(const char* printer, int paper) {
    auto preview = std::make_unique<TplPrev>(&form);
    auto* settings = new TplSetPrinter(&form);
    settings->SetName("plSetPrinter" + std::to_string(++settingsCount));
    settings->SetPrinterName(printer);
    preview->SetplSetPrinter(settings);
    preview->SetDocumentPaper(paper);
    return preview;
  }
  // One page with a black square (300, 300)-(500, 500), or black all over.
  static void Record(TplPrev& preview, bool wholePage = false) {
    preview.BeginDoc();
    TCanvas& c = *preview.Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clBlack);
    c.FillRect(wholePage ? Rect(0, 0, preview.PageWidth(), preview.PageHeight()) : Rect(300, 300, 500, 500));
    preview.EndDoc();
  }
  static std::int16_t JobPaper(const TVirtualJobRecord& job) {
    return ReadBlockI16(job.devMode, devmode::dmPaperSize).value_or(0);
  }
  // The page's ink on the paper of the last job: gaps to the paper's edges in dots.
  struct Gaps {
    int left, right, top, bottom;
  };
  Gaps GapsOf(const Ink& ink) const {
    const TDeviceCaps& caps = virt->Jobs().back().caps;
    return {ink.left + caps.physicalOffsetX, caps.physicalWidth - (ink.right + 1 + caps.physicalOffsetX),
            ink.top + caps.physicalOffsetY, caps.physicalHeight - (ink.bottom + 1 + caps.physicalOffsetY)};
  }

  test::TRecordingHost host;
  TPixelPrinterSystem* virt = nullptr;
  std::unique_ptr<TScopedPrinterSystem> scope;
  TComponent form{nullptr};
  int settingsCount = 0;
};

TEST_F(PreviewDocumentPaper, APrinterChosenAfterTheDocumentWasMadeIsAskedForItAndMappedWithItsOwnNumbers) {
  // Made on the 600 dpi laser, printed on a 100 dpi printer whose own paper is Letter: it prints what the
  // same printer with A4 as its default prints of a document made on it.
  std::unique_ptr<TplPrev> later = PreviewOn("Laser", DMPAPER_A4);
  Record(*later);
  later->plSetPrinter()->SetPrinterName("Letter First");
  later->Print();
  EXPECT_EQ(JobPaper(virt->Jobs().back()), DMPAPER_A4);
  std::unique_ptr<TplPrev> direct = PreviewOn("A4 First", 0);
  Record(*direct);
  direct->Print();
  ASSERT_EQ(virt->Pages.size(), 2u);
  const Ink a = InkOf(virt->Pages[0]), b = InkOf(virt->Pages[1]);
  ASSERT_GE(b.left, 0);
  EXPECT_NEAR(a.left, b.left, 1);
  EXPECT_NEAR(a.right, b.right, 1);
  EXPECT_NEAR(a.top, b.top, 1);
  EXPECT_NEAR(a.bottom, b.bottom, 1);
  EXPECT_TRUE(host.Boxes.empty());
}

TEST_F(PreviewDocumentPaper, WithoutThePaperTheWholePageIsScaledToFitCentredAndTheUserToldOncePerPrinter) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Letter Only", DMPAPER_A4);
  test::LoadMainFormPaper(*preview);
  preview->SetViewClip(false);
  Record(*preview, true);
  // Laid out on the stored A4 values, not on the Letter paper.
  EXPECT_TRUE(preview->FitsPage());
  EXPECT_EQ(preview->PageWidth(), 2100);
  EXPECT_EQ(preview->PageHeight(), 2970);
  EXPECT_EQ(preview->PrintableLeft(), 35);
  EXPECT_EQ(preview->PrintableBottom(), 2921);

  preview->Print();
  EXPECT_EQ(JobPaper(virt->Jobs().back()), DMPAPER_LETTER);
  const Ink ink = InkOf(virt->Pages.back());
  const Gaps gaps = GapsOf(ink);
  // Centred on the paper, the page reaching the nearer printable edge (the 40-dot bottom strip), whole.
  EXPECT_NEAR(gaps.left, gaps.right, 1);
  EXPECT_NEAR(gaps.top, 40, 1);
  EXPECT_NEAR(gaps.bottom, 40, 1);
  EXPECT_NEAR(static_cast<double>(ink.Width()) / ink.Height(), 2100.0 / 2970.0, 0.003);

  preview->Print();
  ASSERT_EQ(host.Boxes.size(), 1u);
  EXPECT_NE(host.Boxes[0].Text.find("Letter Only"), std::string::npos) << host.Boxes[0].Text;
  EXPECT_NE(host.Boxes[0].Text.find("A4"), std::string::npos) << host.Boxes[0].Text;
  preview->plSetPrinter()->SetPrinterName("Letter Only 2");
  preview->Print();
  preview->Print();
  ASSERT_EQ(host.Boxes.size(), 2u);
  EXPECT_NE(host.Boxes[1].Text.find("Letter Only 2"), std::string::npos) << host.Boxes[1].Text;
}

TEST_F(PreviewDocumentPaper, ABiggerPaperGetsThePageAtItsOwnSizeCentred) {
  std::unique_ptr<TplPrev> preview = PreviewOn("A3 Only", DMPAPER_A4);
  preview->SetViewClip(false);
  Record(*preview, true);
  preview->Print();
  const Ink ink = InkOf(virt->Pages.back());
  const Gaps gaps = GapsOf(ink);
  EXPECT_NEAR(ink.Width(), 827, 1);  // 210 mm at 100 dpi
  EXPECT_NEAR(ink.Height(), 1169, 1);
  EXPECT_NEAR(gaps.left, gaps.right, 1);
  EXPECT_NEAR(gaps.top, gaps.bottom, 1);
  ASSERT_EQ(host.Boxes.size(), 1u);
  EXPECT_NE(host.Boxes[0].Text.find("100"), std::string::npos) << host.Boxes[0].Text;
}

TEST_F(PreviewDocumentPaper, WithoutStoredValuesOfThePaperTheLayoutIsItsStandardSize) {
  std::unique_ptr<TplPrev> preview = PreviewOn("Letter Only", DMPAPER_A4);
  Record(*preview);
  EXPECT_TRUE(preview->FitsPage());
  EXPECT_EQ(preview->PageWidth(), 2100);
  EXPECT_EQ(preview->PageHeight(), 2970);
  EXPECT_EQ(preview->PrintableLeft(), 0);
  EXPECT_EQ(preview->PrintableRight(), 2100);
  EXPECT_EQ(preview->DocumentPaperLayout().PaperName, Cp932String("A4"));
}

TEST_F(PreviewDocumentPaper, APrinterWithNoRoomForThePageIsAClearErrorAndAbsurdValuesStayInRange) {
  virt->FindPrinter("Letter Only")->marginLeft = 20000000;  // nothing of the paper is printable
  std::unique_ptr<TplPrev> preview = PreviewOn("Letter Only", DMPAPER_A4);
  Record(*preview);
  try {
    preview->Print();
    ADD_FAILURE() << "printed without a printable area";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), MessageCp932("preview.printer-geometry"));
  }
  EXPECT_TRUE(virt->Jobs().empty());
  EXPECT_FALSE(preview->Printing());

  const TplDeviceGeometry absurd{1, 1, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, 0};
  const TplPrintMapping asIs = preview->PrintMappingFor(absurd, false);
  EXPECT_EQ(asIs.WindowWidth, INT_MAX);
  EXPECT_EQ(asIs.ViewportLeft, INT_MAX);
  EXPECT_THROW(preview->PrintMappingFor(absurd, true), Exception);  // the paper's centre is not printable
  EXPECT_THROW(preview->PrintMappingFor({0, 600, 4961, 7016, 4818, 6842, 83, 74}, false), Exception);
}

}  // namespace
}  // namespace tess

// The real worksheet recorded on the 9x family (text re-recorded character by character) renders like the
// same worksheet recorded on the NT family.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/core/PlatformFamily.h"
#include "platform/gfx/Bitmap.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/preview/RenderComparison.h"
#include "worksheet/CatalogueGenerator.h"
#include "worksheet/Random.h"
#include "worksheet/WorksheetPage.h"

namespace tess {
namespace {

std::vector<TBitmap24> BuildAndRender(TPlatformFamily family, int sizeIndex, int dpi) {
  SetPlatformFamily(family);
  std::array<TStringList, 4> catalogues;
  for (int n = 3; n <= 6; ++n) FillCatalogue(catalogues[static_cast<std::size_t>(n - 3)], n);
  std::vector<TBitmap24> pages;
  {
    test::TRecordingHost host;
    TComponent form{nullptr};
    TplPrev preview{&form};
    WorksheetSettings settings;
    settings.sizeIndex = sizeIndex;
    settings.level = 3;
    settings.dateLine = true;
    settings.line1 = Cp932String::FromUtf8("１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角");
    settings.line2 = Cp932String::FromUtf8("形の中の指定された数になるように入れなさい。");
    RandSeed(21);  // the same puzzles and hints for both families
    BuildWorksheets(preview, settings, {35, 31, 2032}, -3, 1,
                    {&catalogues[0], &catalogues[1], &catalogues[2], &catalogues[3]}, {});
    for (int i = 0; i < preview.StoredPageCount(); ++i) {
      const TMetafile& page = *preview.Pages(i);
      TBitmap24 bitmap(page.MMWidth() * dpi / 2540, page.MMHeight() * dpi / 2540);
      EXPECT_TRUE(
          bitmap.Canvas(dpi, dpi).StretchDraw(TRect{0, 0, bitmap.Width(), bitmap.Height()}, page).IsOk());
      bitmap.ReleaseCanvas();
      pages.push_back(std::move(bitmap));
    }
  }
  SetPlatformFamily(TPlatformFamily::WindowsNT);
  return pages;
}

TEST(WorksheetNinexRendering, BothFamiliesPrintTheSameWorksheet) {
  auto system = std::make_unique<TVirtualPrinterSystem>();
  TVirtualPrinter printer = TVirtualPrinterSystem::StandardPrinter("Laser");
  printer.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  system->AddPrinter(printer);
  TScopedPrinterSystem scope(std::move(system));
  for (int sizeIndex : {0, 3}) {
    std::vector<TBitmap24> nt = BuildAndRender(TPlatformFamily::WindowsNT, sizeIndex, 150);
    std::vector<TBitmap24> ninex = BuildAndRender(TPlatformFamily::Windows9x, sizeIndex, 150);
    ASSERT_EQ(nt.size(), 2u);
    ASSERT_EQ(ninex.size(), 2u);
    for (std::size_t i = 0; i < nt.size(); ++i) {
      SCOPED_TRACE("size " + std::to_string(sizeIndex) + " page " + std::to_string(i + 1));
      ASSERT_EQ(nt[i].Width(), ninex[i].Width());
      test::TDifference d = test::Compare(nt[i], ninex[i]);
      ASSERT_GT(d.Ink, 10000);
      EXPECT_EQ(d.Lost, 0) << "changed " << d.Changed;
      EXPECT_EQ(d.Added, 0) << "changed " << d.Changed;
    }
  }
}

}  // namespace
}  // namespace tess

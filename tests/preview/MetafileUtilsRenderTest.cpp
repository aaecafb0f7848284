// A worksheet-like document recorded through the preview component once as the NT family and once as the
// 9x family: the pages must look the same when rendered, whatever records carry the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/PlatformFamily.h"
#include "platform/gfx/Bitmap.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/preview/RenderComparison.h"
#include "tests/support/SamplePage.h"

namespace tess {
namespace {

// Page 1 of a worksheet: header line, instructions, date blanks, and figures of circles with numbers.
void DrawWorksheetPage(TplPrev& p, bool answers) {
  TCanvas& c = *p.Canvas();
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
  c.Font().SetHeight(-37);
  p.TextOutLeft(150, 120, Cp932String::FromUtf8("問題No.1234"));
  p.TextOutRight(2000, 120, Cp932String::FromUtf8("　　月　　日　　分　　秒"));
  c.Font().SetName(Cp932String::FromUtf8("ＭＳ Ｐゴシック"));
  c.Font().SetHeight(-60);
  p.TextOutCenter(1050, 260, Cp932String::FromUtf8(answers ? "たし算の星（答え）" : "たし算の星"));
  c.Font().SetHeight(-45);
  p.TextOutLeft(150, 360, Cp932String::FromUtf8("１～９の数を１回ずつ使って、四角形の頂点の数の合計が"));
  p.TextOutLeft(150, 420, Cp932String::FromUtf8("中の数になるようにしましょう。"));
  c.Pen().SetWidth(4);
  c.MoveTo(150, 500);
  c.LineTo(1950, 500);
  for (int f = 0; f < 4; ++f) {
    const int cx = 550 + (f % 2) * 1000, cy = 1050 + (f / 2) * 950;
    c.Pen().SetWidth(6);
    for (int k = 0; k < 4; ++k) {
      const int x = cx + (k % 2 == 0 ? -280 : 280), y = cy + (k / 2 == 0 ? -280 : 280);
      c.MoveTo(cx, cy);
      c.LineTo(x, y);
      c.MoveTo(x, cy);
      c.LineTo(x, y);
    }
    c.Pen().SetWidth(3);
    c.Font().SetName(Cp932String::FromUtf8("Tahoma"));
    for (int k = 0; k < 5; ++k) {
      const int x = k == 0 ? cx : cx + (k % 2 == 1 ? -280 : 280);
      const int y = k == 0 ? cy : cy + (k <= 2 ? -280 : 280);
      p.Circle(x, y, 110);
      if (answers || k % 2 == 0) {
        c.Font().SetHeight(-50);
        p.TextOutCenter(x, y, IntToStr((k * 7 + f) % 9 + 1));
      }
    }
    c.Font().SetName(Cp932String::FromUtf8("ＭＳ ゴシック"));
    c.Font().SetHeight(-80);
    p.TextOutCenter(cx - 140, cy - 420, IntToStr(20 + f * 3));
    c.Font().SetHeight(-30);
    p.TextOutCenter(cx + 140, cy + 400, Cp932String::FromUtf8("合計２６"));
  }
  c.Font().SetHeight(-120);
  p.TextOutCenter(1050, 2700, Cp932String::FromUtf8("がんばろう！ 1234567890"));
}

struct TRendered {
  std::vector<TBitmap24> Pages;
  std::vector<std::size_t> TextRecords;
};

TRendered RecordAndRender(TPlatformFamily family, int dpi) {
  SetPlatformFamily(family);
  TRendered out;
  {
    test::TRecordingHost host;
    TComponent form{nullptr};
    TplPrev preview{&form};
    preview.BeginDoc();
    DrawWorksheetPage(preview, false);
    preview.NewPage();
    DrawWorksheetPage(preview, true);
    preview.NewPage();
    // Every canvas operation, opaque text on a coloured background included.
    testing::DrawSamplePage(*preview.Canvas());
    preview.EndDoc();
    for (int i = 0; i < preview.StoredPageCount(); ++i) {
      const TMetafile& page = *preview.Pages(i);
      out.TextRecords.push_back(test::RecordsOfType(page, emf::EMR_EXTTEXTOUTA).size() +
                                test::RecordsOfType(page, emf::EMR_EXTTEXTOUTW).size());
      TBitmap24 bitmap(static_cast<int>(page.MMWidth() * dpi / 2540),
                       static_cast<int>(page.MMHeight() * dpi / 2540));
      TResult r = bitmap.Canvas(dpi, dpi).StretchDraw(TRect{0, 0, bitmap.Width(), bitmap.Height()}, page);
      EXPECT_TRUE(r.IsOk()) << r.Message();
      bitmap.ReleaseCanvas();
      out.Pages.push_back(std::move(bitmap));
    }
  }
  SetPlatformFamily(TPlatformFamily::WindowsNT);
  return out;
}

// A 600 dpi printer is the reference device of the pages, as on a real print.
TEST(MetafileFixRendering, NinexPagesRenderLikeNtPages) {
  auto system = std::make_unique<TVirtualPrinterSystem>();
  TVirtualPrinter printer = TVirtualPrinterSystem::StandardPrinter("Laser");
  printer.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  system->AddPrinter(printer);
  TScopedPrinterSystem scope(std::move(system));

  const int dpi = 150;
  TRendered nt = RecordAndRender(TPlatformFamily::WindowsNT, dpi);
  TRendered ninex = RecordAndRender(TPlatformFamily::Windows9x, dpi);
  ASSERT_EQ(nt.Pages.size(), 3u);
  ASSERT_EQ(ninex.Pages.size(), 3u);
  for (std::size_t i = 0; i < nt.Pages.size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(i + 1));
    // The 9x pages really hold the split text.
    EXPECT_GT(ninex.TextRecords[i], 2 * nt.TextRecords[i]);
    ASSERT_EQ(nt.Pages[i].Width(), ninex.Pages[i].Width());
    ASSERT_EQ(nt.Pages[i].Height(), ninex.Pages[i].Height());
    test::TDifference d = test::Compare(nt.Pages[i], ninex.Pages[i]);
    ASSERT_GT(d.Ink, 10000);
    // Nothing moves by more than a pixel, appears or disappears.
    EXPECT_EQ(d.Lost, 0) << "changed " << d.Changed << ", max channel difference " << d.MaxChannel;
    EXPECT_EQ(d.Added, 0) << "changed " << d.Changed << ", max channel difference " << d.MaxChannel;
    if (const char* dir = std::getenv("TESSARINE_RENDER_DUMP")) {
      (void)nt.Pages[i].SaveToPng(std::string(dir) + "/nt-" + std::to_string(i + 1) + ".png");
      (void)ninex.Pages[i].SaveToPng(std::string(dir) + "/9x-" + std::to_string(i + 1) + ".png");
    }
    RecordProperty("page" + std::to_string(i + 1) + "_changed", std::to_string(d.Changed));
    std::printf("page %zu: ink %lld, changed %lld, max channel difference %d\n", i + 1, d.Ink, d.Changed,
                d.MaxChannel);
  }
}

}  // namespace
}  // namespace tess

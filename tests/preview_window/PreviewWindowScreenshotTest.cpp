// Pictures of the preview window for a person to look at: whole page, page width, zoomed in and page 2 of a
// two-page worksheet-like document. Runs only when TESSARINE_SCREENSHOTS names a folder (under a real or
// virtual display); otherwise skipped.
#include <cstdlib>
#include <string>

#include "platform/ui/Clipboard.h"
#include "tests/preview_window/PreviewWindowSupport.h"
#include "tests/support/SamplePage.h"

namespace tess::test {
namespace {

using PreviewWindowScreenshots = PreviewWindowFixture;

TEST_F(PreviewWindowScreenshots, WholePagePageWidthZoomedAndPageTwo) {
  const char* folder = std::getenv("TESSARINE_SCREENSHOTS");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "TESSARINE_SCREENSHOTS not set";
  Preview->SetTitle(Cp932String::FromUtf8("印刷プレビュー[TSRN]"));
  Preview->SetFormWidth(853);
  Preview->SetFormHeight(533);
  Preview->BeginDoc();
  for (int page = 1; page <= 2; ++page) {
    if (page > 1) Preview->NewPage();
    testing::DrawSamplePage(*Preview->Canvas());
    Preview->Canvas()->Font().SetHeight(-120);
    Preview->Canvas()->Font().SetColor(RGB(160, 0, 0));
    Preview->TextOutRight(2000, 2750, Cp932String::FromUtf8("ページ ") + IntToStr(page));
  }
  Preview->EndDoc();
  TplPrevForm* form = ShowModeless();
  ASSERT_NE(form, nullptr);
  auto shoot = [&](const char* name) {
    for (int i = 0; i < 5; ++i) Application().ProcessMessages();
    CaptureToClipboard(form);
    TResult saved = Clipboard().GetBitmap().SaveToPng(std::string(folder) + "/" + name + ".png");
    EXPECT_TRUE(saved.IsOk()) << saved.Message();
  };
  shoot("preview-whole-page");
  form->PageWidthBtnClick(form->PageWidthBtn);
  shoot("preview-page-width");
  form->PageWholeBtnClick(form->PageWholeBtn);
  for (int i = 0; i < 4; ++i) form->ZoomUpBtnClick(form->ZoomUpBtn);
  form->ScrollBox1->VertScrollBar().SetPosition(200);
  shoot("preview-zoomed-in");
  form->PageWholeBtnClick(form->PageWholeBtn);
  form->NextPageBtnClick(form->NextPageBtn);
  shoot("preview-page-2");
}

}  // namespace
}  // namespace tess::test

// Rendering a stored page for the screen, and the preview-window entry points against a stand-in window.
#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "preview/PreviewDocument.h"
#include "tests/preview/PreviewTestSupport.h"

namespace tess {
namespace {

using test::LoadMainFormPaper;
using test::TRecordingHost;

// A preview window that records what the component asks of it. ShowModal plays a user who looks and
// closes the window at once (running `duringModal` first).
class TStandInWindow : public TComponent, public IplPrevWindow {
  TESS_COMPONENT_CLASS(TStandInWindow, TComponent)
 public:
  explicit TStandInWindow(TComponent* owner, const char* name = "plPrevForm") : TComponent(owner) {
    SetName(name);
    ++alive;
  }
  ~TStandInWindow() override { --alive; }
  TComponent& WindowComponent() override { return *this; }
  void AttachPreview(TCustomplPrev* p) override {
    preview = p;
    log.push_back("attach");
  }
  bool Visible() const override { return visible; }
  void ShowModal() override {
    log.push_back("modal");
    visible = true;
    if (duringModal) duringModal();
    visible = false;
    if (preview != nullptr) preview->PreviewWindowClosed();
  }
  void Show() override {
    log.push_back("show");
    visible = true;
  }
  void ShowCurrentPage() override { log.push_back("page " + std::to_string(preview->CurrentPage())); }
  void PrintButtonAction(TComponent* sender) override {
    log.push_back(sender == preview ? "print button" : "print button (other sender)");
  }
  void CloseButtonAction() override { log.push_back("close button"); }

  TCustomplPrev* preview = nullptr;
  bool visible = false;
  std::vector<std::string> log;
  std::function<void()> duringModal;
  static inline int alive = 0;
};

// A window class designed by deriving from the preview window class.
class TDesignedPreview : public TStandInWindow {
 public:
  using TStandInWindow::TStandInWindow;
  const char* ClassParentName() const override { return "TplPrevForm"; }
};

class TCountingPreview : public TplPrev {
 public:
  using TplPrev::TplPrev;
  void PreparePages() override { ++prepared; }
  int prepared = 0;
};

class PreviewView : public ::testing::Test {
 protected:
  void SetUp() override {
    preview.SetName("plPrev1");
    LoadMainFormPaper(preview);
  }
  // A document whose page k shows the text "Pk".
  void Record(int pages) {
    preview.BeginDoc();
    for (int k = 1; k <= pages; ++k) {
      if (k > 1) preview.NewPage();
      preview.TextOutLeft(200, 200, Cp932String("P") + IntToStr(k));
    }
    preview.EndDoc();
  }
  static std::u16string RenderedText(const TMetafile& m) {
    std::u16string all;
    for (const auto& t : test::TextRecords(m)) all += t.Text;
    return all;
  }

  TRecordingHost host;
  test::TNoPrinters noPrinters;
  TComponent form{nullptr};
  TCountingPreview preview{&form};
};

TEST_F(PreviewView, RenderingNeedsADocumentAndClampsThePage) {
  EXPECT_EQ(preview.RenderPage(1), nullptr);
  Record(3);
  preview.SetCurrentPage(2);
  EXPECT_EQ(RenderedText(*preview.RenderPage(0)), u"P1");
  EXPECT_EQ(RenderedText(*preview.RenderPage(99)), u"P3");
  EXPECT_EQ(RenderedText(*preview.RenderPage(2)), u"P2");
  EXPECT_EQ(preview.CurrentPage(), 2);
  EXPECT_EQ(preview.Canvas(), nullptr);
}

TEST_F(PreviewView, DrawingOfOnBeforeViewGoesIntoTheRenderingOnly) {
  Record(2);
  const std::vector<std::uint8_t> stored = preview.Pages(1)->Bytes();
  std::vector<int> pages;
  preview.OnBeforeView = [&](TComponent* sender, int page) {
    EXPECT_EQ(sender, &preview);
    pages.push_back(page);
    preview.Canvas()->TextOut(100, 1000, "note");
  };
  TMetafile* rendered = preview.RenderPage(5);
  EXPECT_EQ(pages, std::vector<int>{2});
  EXPECT_EQ(RenderedText(*rendered), u"P2note");
  EXPECT_EQ(preview.Pages(1)->Bytes(), stored);
  // A failing handler still closes the rendering.
  preview.OnBeforeView = [](TComponent*, int) { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(preview.RenderPage(1), std::runtime_error);
  EXPECT_EQ(preview.Canvas(), nullptr);
}

TEST_F(PreviewView, AScreenRenderingGetsThePaperColourAndCallsOnNoPrintDrawWithTheCurrentPage) {
  Record(2);
  preview.SetPaperColor(RGB(255, 255, 0));
  preview.SetCurrentPage(2);
  std::vector<int> pages;
  preview.OnNoPrintDraw = [&](TComponent*, int page) { pages.push_back(page); };
  TMetafile* rendered = preview.RenderPage(1);
  EXPECT_EQ(pages, std::vector<int>{2});
  TBitmap24 bitmap(210, 297);
  ASSERT_TRUE(bitmap.Canvas().StretchDraw(Rect(0, 0, 210, 297), *rendered).IsOk());
  bitmap.ReleaseCanvas();
  // The paper covers the whole sheet, the unprintable strips too.
  EXPECT_EQ(bitmap.Pixel(1, 1), static_cast<std::uint32_t>(RGB(255, 255, 0)));
  EXPECT_EQ(bitmap.Pixel(105, 150), static_cast<std::uint32_t>(RGB(255, 255, 0)));
  EXPECT_TRUE(test::RectRecords(*rendered, emf::EMR_ELLIPSE).empty());  // no tractor marks
}

TEST_F(PreviewView, TractorFeedPaperNamedInHalfWidthKatakanaGetsItsMarks) {
  // The stored paper source "ﾄﾗｸﾀｰ" in half-width katakana.
  ComponentFromText(preview, R"({"class":"TplPrev","name":"plPrev1","properties":{"DesignPaperValue":)"
                             R"(["P","A4","ﾄﾗｸﾀｰ",2100,2970,600,600,0,35,2067,31,2921,9]}})");
  ASSERT_EQ(preview.StoredBinName().Length(), 5u);
  Record(1);
  TMetafile* rendered = preview.RenderPage(1);
  auto holes = test::RectRecords(*rendered, emf::EMR_ELLIPSE);
  // y = 40, 167, ..., 3088: the last row is the first that is not above the page's height (2970).
  ASSERT_EQ(holes.size(), 50u);
  EXPECT_EQ(holes[0], Rect(40, 40, 80, 80));
  EXPECT_EQ(holes[1], Rect(2020, 40, 2060, 80));
  EXPECT_EQ(holes[48], Rect(40, 3088, 80, 3128));
  bool dotted = false;
  for (const auto& r : test::RecordsOfType(*rendered, emf::EMR_CREATEPEN)) {
    auto pen = test::As<emf::EmrCreatePen>(r);
    if (pen.lopnStyle == PS_DOT) dotted = true;
  }
  EXPECT_TRUE(dotted);
  auto lines = test::RecordsOfType(*rendered, emf::EMR_LINETO);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(test::As<emf::EmrPoint>(lines[0]).point.x, 127);
  EXPECT_EQ(test::As<emf::EmrPoint>(lines[1]).point.x, 2100 - 127);
}

TEST_F(PreviewView, PreviewCreatesItsOwnWindowShowsItModallyAndDestroysItAfterwards) {
  Record(1);
  TStandInWindow* created = nullptr;
  host.CreateWindow = [&](TComponent* owner) -> IplPrevWindow* {
    EXPECT_EQ(owner, &form);
    created = new TStandInWindow(owner);
    created->duringModal = [&] {
      EXPECT_TRUE(preview.FormShowing());
      EXPECT_EQ(preview.FormName(), "plPrevForm__plPrev1");
      // A nested call while the window is up is ignored.
      preview.Preview();
      preview.ShowPreview();
    };
    return created;
  };
  preview.SetPageWidth(2100);
  preview.Preview();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(TStandInWindow::alive, 0);
  EXPECT_EQ(preview.prepared, 1);
  EXPECT_TRUE(host.Boxes.empty());
  EXPECT_FALSE(preview.FormShowing());
  EXPECT_FALSE(preview.OwnsForm());
  EXPECT_EQ(preview.FormName(), "");
  EXPECT_EQ(preview.PreviewForm(), nullptr);
  EXPECT_EQ(preview.PageWidth(), 0);
  EXPECT_TRUE(preview.Ready());
}

TEST_F(PreviewView, ModalPreviewOfAShownWindowIsAContradictionAndShowPreviewBringsItForward) {
  Record(1);
  auto* window = new TDesignedPreview(&form, "MyPreview");
  host.AppComponents = {{window, window}};
  preview.ShowPreview();
  EXPECT_EQ(preview.FormName(), "MyPreview");
  EXPECT_TRUE(preview.FormShowing());
  EXPECT_EQ(window->log, (std::vector<std::string>{"attach", "show"}));
  preview.Preview();
  ASSERT_EQ(host.Boxes.size(), 1u);
  EXPECT_EQ(host.Boxes[0].Caption, "印刷プレビュー制御コンポーネント");
  EXPECT_EQ(host.Boxes[0].Text, "表示中のフォームをモーダル表示で開くことはできません(矛盾)．　　");
  EXPECT_EQ(host.Boxes[0].Icon, TPreviewMsgIcon::Warning);
  preview.ShowPreview();
  EXPECT_EQ(window->log.back(), "show");
  EXPECT_EQ(window->log.size(), 3u);
  // Pages are shown only within 1 .. PageCount, and only while the window is visible.
  EXPECT_FALSE(preview.ShowPage(0));
  EXPECT_FALSE(preview.ShowPage(2));
  EXPECT_TRUE(preview.ShowPage(1));
  EXPECT_EQ(window->log.back(), "page 1");
  window->visible = false;
  EXPECT_FALSE(preview.ShowPage(1));
  preview.PrintButtonClick();
  EXPECT_EQ(window->log.back(), "print button");
  preview.ClosePreview();
  EXPECT_EQ(window->log.back(), "close button");
  // A window the application designed is not the component's to destroy.
  delete window;
  EXPECT_EQ(preview.PreviewForm(), nullptr);
}

TEST_F(PreviewView, AWindowIsFoundByItsNameAmongTheOpenForms) {
  Record(1);
  TStandInWindow other(&form, "Other");
  TStandInWindow named(&form, "Named");
  host.Forms = {{&other, &other}, {&named, &named}};
  preview.SetFormName("Named");
  EXPECT_TRUE(preview.FindPreviewForm());
  EXPECT_EQ(preview.PreviewForm(), &named);
  EXPECT_EQ(named.preview, &preview);
  EXPECT_EQ(other.preview, nullptr);
  preview.SetFormName("Missing");
  EXPECT_FALSE(preview.FindPreviewForm());
}

TEST_F(PreviewView, AFormOfTheGivenNameThatIsNoPreviewWindowIsShownWithItsMessagesObserved) {
  Record(1);
  TComponent foreign(&form);
  foreign.SetName("Foreign");
  host.Forms = {{&foreign, nullptr}};
  host.ForeignModal = [&](TComponent*, const std::function<void(TForeignMessage)>& after) {
    after(TForeignMessage::ShowWindow);
    EXPECT_TRUE(preview.FormShowing());
    after(TForeignMessage::Close);
  };
  preview.SetFormName("Foreign");
  preview.SetPageWidth(2100);
  preview.Preview();
  ASSERT_EQ(host.ForeignShown.size(), 1u);
  EXPECT_EQ(host.ForeignShown[0], &foreign);
  EXPECT_FALSE(preview.FormShowing());
  EXPECT_EQ(preview.PageWidth(), 0);
  EXPECT_EQ(preview.prepared, 1);
  // Failures on that path are swallowed, and the component is ready again.
  host.ForeignModal = [](TComponent*, const std::function<void(TForeignMessage)>&) {
    throw std::runtime_error("foreign failure");
  };
  EXPECT_NO_THROW(preview.Preview());
  EXPECT_TRUE(preview.Ready());
  // No form of that name at all: nothing is shown (not the form found under the earlier name either).
  preview.SetFormName("Nowhere");
  host.ForeignShown.clear();
  preview.Preview();
  EXPECT_TRUE(host.ForeignShown.empty());
  EXPECT_EQ(preview.PreviewForm(), nullptr);
}

TEST_F(PreviewView, StretchBitmapDrawsThePixelsOntoTheOpenPageMirroredByAReversedRectangle) {
  preview.BeginDoc();
  preview.StretchBitmap(Rect(0, 0, 100, 100), nullptr);
  TBitmap24 empty;
  preview.StretchBitmap(Rect(0, 0, 100, 100), &empty);
  TBitmap24 bitmap(4, 3);
  bitmap.SetPixel(0, 0, 0x0000FF);
  preview.StretchBitmap(Rect(200, 300, 100, 100), &bitmap);
  preview.EndDoc();
  auto blits = test::RecordsOfType(*preview.Pages(0), emf::EMR_STRETCHDIBITS);
  ASSERT_EQ(blits.size(), 1u);
  auto r = test::As<emf::EmrStretchDIBits>(blits[0]);
  EXPECT_EQ(r.xDest, 200);
  EXPECT_EQ(r.yDest, 300);
  EXPECT_EQ(r.cxDest, -100);
  EXPECT_EQ(r.cyDest, -200);
  EXPECT_EQ(r.cxSrc, 4);
  EXPECT_EQ(r.cySrc, 3);
  EXPECT_EQ(r.dwRop, SRCCOPY);
}

TEST_F(PreviewView, PrintWithoutADocumentOrWithoutAPrinterSaysSoAndPrintsNothing) {
  preview.Print();
  ASSERT_EQ(host.Boxes.size(), 1u);
  EXPECT_EQ(host.Boxes[0].Caption, "印刷プレビュー制御コンポーネント");
  EXPECT_EQ(host.Boxes[0].Text, "Canvasへの描画コードが見つかりません．　　");
  EXPECT_EQ(host.Boxes[0].Icon, TPreviewMsgIcon::Warning);
  EXPECT_EQ(preview.prepared, 1);  // no window is visible
  Record(1);
  preview.Print();
  ASSERT_EQ(host.Boxes.size(), 2u);
  EXPECT_EQ(host.Boxes[1].Caption, " 印刷");
  EXPECT_EQ(host.Boxes[1].Text, "プリンタがインストールされていないので印刷できません．　　");
  EXPECT_EQ(host.Boxes[1].Icon, TPreviewMsgIcon::Information);
  EXPECT_FALSE(preview.Printing());
}

}  // namespace
}  // namespace tess

// The preview window on the offscreen platform with a fixed window size: its stored design, attaching and
// the component's window settings, the first layout, the fits and zoom steps, navigation, the status text,
// wheel and drag, resizing and moving, closing and the component's bookkeeping.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/ui/InputSimulation.h"
#include "tests/preview_window/PreviewWindowSupport.h"

namespace tess::test {
namespace {

Cp932String U(const char* text) {
  return Cp932String::FromUtf8(text);
}

using PreviewWindowDesign = PreviewWindowFixture;

TEST_F(PreviewWindowDesign, StoredDesignGivesEveryControlItsCaptionHintWidthAndState) {
  TplPrevForm form(Owner.get());
  EXPECT_TRUE(form.DesignReport().Clean());
  EXPECT_EQ(form.Name(), "plPrevForm");
  EXPECT_EQ(form.ClientWidth(), 654);
  EXPECT_EQ(form.ClientHeight(), 398);
  EXPECT_EQ(form.Caption(), U("plPrevForm"));
  EXPECT_EQ(form.Font().Name, U("ＭＳ Ｐゴシック"));
  EXPECT_EQ(form.Font().Height, -12);
  EXPECT_EQ(form.ActiveControl(), form.ScrollBox1);

  struct Button {
    TSpeedButton* button;
    int width;
    const char* caption;
    const char* hint;
    bool visible, enabled;
  };
  const Button buttons[] = {
      {form.PrintBtn, 90, "印刷 (&P)", "印刷", true, false},
      {form.PrinterSetBtn, 86, "プリンタ・用紙", "プリンタと用紙の設定保存", false, false},
      {form.Space10, 15, "", "", false, false},
      {form.FirstPageBtn, 46, "先頭頁", "先頭頁", true, false},
      {form.PriorPageBtn, 46, "前頁", "前頁", true, false},
      {form.NextPageBtn, 46, "次頁", "次頁", true, false},
      {form.LastPageBtn, 46, "最終頁", "最終頁", true, false},
      {form.Space20, 15, "", "", false, false},
      {form.ZoomDownBtn, 46, "縮小", "縮小", true, false},
      {form.ZoomUpBtn, 46, "拡大", "拡大", true, false},
      {form.PageWholeBtn, 46, "全体", "全体表示", true, false},
      {form.PageWidthBtn, 46, "頁幅", "横幅基準表示", true, false},
      {form.Space30, 15, "", "", false, false},
      {form.CloseBtn, 104, "閉じる(&X)", "閉じる", true, true},
  };
  int x = 0;
  int index = 0;
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.caption);
    ASSERT_NE(b.button, nullptr);
    EXPECT_EQ(form.IconBar->Controls(index++), b.button);  // left to right in this order
    EXPECT_EQ(b.button->Width(), b.width);
    EXPECT_EQ(b.button->Caption(), U(b.caption));
    EXPECT_EQ(b.button->Hint(), U(b.hint));
    EXPECT_EQ(b.button->Visible(), b.visible);
    EXPECT_EQ(b.button->Enabled(), b.enabled);
    if (b.visible) {
      EXPECT_EQ(b.button->Left(), x);  // invisible buttons take no room
      x += b.width;
      EXPECT_EQ(b.button->Layout(),
                b.button == form.CloseBtn ? TButtonLayout::blGlyphLeft : TButtonLayout::blGlyphTop);
    }
  }
  EXPECT_EQ(form.IconBar->Height(), 39);
  EXPECT_EQ(form.IconBar->ButtonHeight(), 40);
  EXPECT_TRUE(form.IconBar->ShowHint());
  EXPECT_FALSE(form.IconBar->Wrapable());

  ASSERT_EQ(form.StatusBar->PanelCount(), 2);
  EXPECT_EQ(form.StatusBar->Panel(0).Width, 300);
  EXPECT_EQ(form.StatusBar->Panel(1).Width, 50);
  EXPECT_EQ(form.StatusBar->Height(), 26);
  EXPECT_EQ(form.ScrollBox1->Color(), clBtnFace);
  EXPECT_FALSE(form.ScrollBox1->AutoScroll());

  // Inside the scroll box: shadow, page, frame, bottom to top.
  ASSERT_EQ(form.ScrollBox1->ControlCount(), 3);
  EXPECT_EQ(form.ScrollBox1->Controls(0), form.Shape2);
  EXPECT_EQ(form.ScrollBox1->Controls(1), form.Image1);
  EXPECT_EQ(form.ScrollBox1->Controls(2), form.Shape1);
  EXPECT_EQ(form.Shape2->BrushColor(), static_cast<TColor>(0x747474));
  EXPECT_EQ(form.Shape2->PenStyle(), TPenStyle::psClear);
  EXPECT_EQ(form.Shape1->BrushStyle(), TBrushStyle::bsClear);
  EXPECT_EQ(form.Shape1->PenWidth(), 0);
  EXPECT_FALSE(form.Shape1->Visible());
  EXPECT_FALSE(form.Shape2->Visible());

  ASSERT_EQ(form.PopupMenu1->Count(), 4);
  EXPECT_EQ(form.PopupMenu1->AutoHotkeys(), TMenuAutoHotkeys::maManual);
  const char* items[] = {"現在の頁をコピー", "画面をコピー", "画面ハードコピー", "キャンセル"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.PopupMenu1->Items(i)->Caption(), U(items[i]));
  EXPECT_FALSE(static_cast<bool>(form.N4->OnClick));

  // Created: hidden, picture hidden, no component, not ready for resizes.
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Image1->Visible());
  EXPECT_EQ(form.PreviewComponent(), nullptr);
  EXPECT_FALSE(form.ResizeReady());
}

TEST_F(PreviewWindowDesign, ASecondWindowOfTheSameOwnerTakesTheNextName) {
  TplPrevForm first(Owner.get());
  TplPrevForm second(Owner.get());
  EXPECT_EQ(second.Name(), "plPrevForm_1");
}

using PreviewWindowAttach = PreviewWindowFixture;

TEST_F(PreviewWindowAttach, AttachAppliesTitleBorderBarsAndDesignedBounds) {
  Preview->SetTitle({});
  Preview->SetFormStatusBar(false);
  Preview->SetFormBorderIcons(plprev::biSystemMenu);
  TplPrevForm form(Owner.get());
  form.AttachPreview(nullptr);
  EXPECT_EQ(form.PreviewComponent(), nullptr);
  form.AttachPreview(Preview);
  EXPECT_EQ(form.PreviewComponent(), Preview);
  EXPECT_EQ(Preview->Title(), U("印刷プレビュー"));
  EXPECT_EQ(form.Caption(), U("印刷プレビュー"));
  EXPECT_EQ(form.BorderIcons(), biSystemMenu);
  EXPECT_FALSE(form.StatusBar->Visible());
  EXPECT_TRUE(form.IconBar->Visible());
  EXPECT_EQ(form.Position(), TPosition::poDesigned);
  EXPECT_EQ(form.BoundsRect(), Bounds(0, 0, kWindowWidth, kWindowHeight));
}

TEST_F(PreviewWindowAttach, WindowStatesPlaceTheWindow) {
  TplPrevForm form(Owner.get());
  Preview->SetFormWindowState(TplPrevFormWindowState::fwWorkArea);
  form.AttachPreview(Preview);
  TRect work = Screen().WorkAreaRect();
  EXPECT_EQ(form.BoundsRect(), work);

  Preview->SetFormWindowState(TplPrevFormWindowState::fwFullScreen);
  form.AttachPreview(Preview);
  EXPECT_EQ(form.BorderStyle(), TFormBorderStyle::bsSingle);
  EXPECT_EQ(form.BoundsRect(), Bounds(0, 0, Screen().Width(), Screen().Height()));

  Preview->SetFormWindowState(TplPrevFormWindowState::fwMaximized);
  form.AttachPreview(Preview);
  EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
  Preview->SetFormWindowState(TplPrevFormWindowState::fwMinimized);
  form.AttachPreview(Preview);
  EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);

  // Normal with a placement rule: the rule places the window.
  Preview->SetFormWindowState(TplPrevFormWindowState::fwNormal);
  Preview->SetFormPosition(plprev::TPosition::poScreenCenter);
  form.AttachPreview(Preview);
  EXPECT_EQ(form.Position(), TPosition::poScreenCenter);
}

TEST_F(PreviewWindowAttach, WorkAreaAppliesAlsoWhenTheUserMayNotResize) {
  Preview->SetFormCanResize(false);
  Preview->SetFormWindowState(TplPrevFormWindowState::fwWorkArea);
  TplPrevForm form(Owner.get());
  form.AttachPreview(Preview);
  EXPECT_EQ(form.BoundsRect(), Screen().WorkAreaRect());
  EXPECT_FALSE(form.StatusBar->SizeGrip());
}

TEST_F(PreviewWindowAttach, ButtonOptionsSetVisibilityAndPrinterSetupNeedsAnEmptyDocument) {
  Preview->SetBtnOptions(kAllPrevButtons & ~BtnBit(boZoomUpBtn) & ~BtnBit(boCloseBtn));
  TplPrevForm form(Owner.get());
  form.AttachPreview(Preview);
  EXPECT_FALSE(form.ZoomUpBtn->Visible());
  EXPECT_FALSE(form.CloseBtn->Visible());
  EXPECT_TRUE(form.PrinterSetBtn->Visible());  // nothing recorded yet
  EXPECT_TRUE(form.PrintBtn->Visible());

  Record(1);
  Preview->SetBtnOptions(kAllPrevButtons);
  form.AttachPreview(Preview);
  EXPECT_FALSE(form.PrinterSetBtn->Visible());
  EXPECT_TRUE(form.CloseBtn->Visible());
}

TEST_F(PreviewWindowAttach, ScrollAreaTakesFormColorOnlyWhileItHasItsDefaultColour) {
  Preview->SetFormColor(RGB(10, 20, 30));
  TplPrevForm form(Owner.get());
  form.AttachPreview(Preview);
  EXPECT_EQ(form.ScrollBox1->Color(), RGB(10, 20, 30));
  Preview->SetFormColor(RGB(1, 2, 3));
  form.AttachPreview(Preview);
  EXPECT_EQ(form.ScrollBox1->Color(), RGB(10, 20, 30));
}

TEST_F(PreviewWindowAttach, ComponentPlacedOnTheWindowIsFoundAtCreation) {
  TplPrevForm form(Owner.get());
  auto* own = new TplPrev(&form);
  own->SetName("plPrevOwn");
  own->SetTitle(U("自前のプレビュー"));
  form.FormCreate(&form);
  EXPECT_EQ(form.PreviewComponent(), own);
  EXPECT_EQ(own->FormName(), form.Name());
  EXPECT_EQ(own->PreviewForm(), &form);
  EXPECT_FALSE(own->OwnsForm());
  EXPECT_EQ(form.Caption(), U("自前のプレビュー"));
}

using PreviewWindowLayout = PreviewWindowFixture;

TEST_F(PreviewWindowLayout, FirstShowingFitsTheWholePageAndShowsPageOneWithItsStatus) {
  Record(2);
  int afterView = 0, resized = 0, shown = 0;
  Preview->OnAfterView = [&](TComponent*, int page) { afterView = page; };
  Preview->OnResize = [&](TComponent*, int) { ++resized; };
  Preview->OnFormShow = [&](TComponent*) { ++shown; };
  Preview->SetStatusBarText(U("問題No.1"));
  TplPrevForm* form = ShowModeless();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(Preview->FormShowing());
  EXPECT_TRUE(form->ResizeReady());
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(afterView, 1);
  EXPECT_GT(resized, 0);
  EXPECT_EQ(form->Caption(), Preview->Title());
  EXPECT_TRUE(form->Image1->Visible());
  EXPECT_TRUE(form->Image1->HasPicture());
  EXPECT_TRUE(form->ScrollBox1->AutoScroll());
  EXPECT_EQ(form->ScrollBox1->VertScrollBar().Margin(), 10);

  // The client area (650 x 494 in the 654 x 498 window) less tool bar (39), status bar (26) and the
  // panel's 1-pixel border: a 648 x 427 scroll box.
  EXPECT_EQ(form->ClientWidth(), 650);
  EXPECT_EQ(form->ClientHeight(), 494);
  EXPECT_EQ(form->ScrollBox1->BoundsRect(), Bounds(1, 1, 648, 427));
  // The whole page: the printer's A4 page (2100 x 2969) is relatively taller than the box, so the height
  // fits: 427 - 30 = 397 high, 397 x 2100 / 2969 = 280.80 wide, cut to 280, and (648 - 280) / 2 = 184 from
  // the left. The shadow lies 2 pixels down and right, the frame one pixel round the picture.
  EXPECT_EQ(form->Image1->BoundsRect(), Bounds(184, 15, 280, 397));
  EXPECT_EQ(form->Shape2->BoundsRect(), Bounds(186, 17, 282, 399));
  EXPECT_EQ(form->Shape1->BoundsRect(), Bounds(183, 14, 281, 398));
  EXPECT_EQ(form->Shape1->PenColor(), clBlack);
  EXPECT_TRUE(form->Shape2->Visible());
  EXPECT_FALSE(form->ScrollBox1->VertScrollBar().Visible());

  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  1/2  A4"));
  EXPECT_EQ(form->StatusBar->Panel(1).Text, U("問題No.1"));
  EXPECT_TRUE(form->PrintBtn->Enabled());
  EXPECT_TRUE(form->ZoomUpBtn->Enabled());
  EXPECT_TRUE(form->PageWidthBtn->Enabled());
  EXPECT_FALSE(form->FirstPageBtn->Enabled());
  EXPECT_FALSE(form->PriorPageBtn->Enabled());
  EXPECT_TRUE(form->NextPageBtn->Enabled());
  EXPECT_TRUE(form->LastPageBtn->Enabled());
}

TEST_F(PreviewWindowLayout, WholePageOfAWidePageFitsTheWidth) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  // A page about twice as wide as high is relatively wider than the box: the width fits, centred
  // vertically.
  Preview->SetPageWidth(2970);
  Preview->SetPageHeight(1480);
  form->PageWholeBtnClick(nullptr);
  // In the 648 x 427 box: 648 - 30 = 618 wide, 618 x 1480 / 2970 = 307.96 high, cut to 307, and
  // (427 - 307) / 2 = 60 from the top.
  EXPECT_EQ(form->Image1->BoundsRect(), Bounds(15, 60, 618, 307));
}

TEST_F(PreviewWindowLayout, PageWidthIsLaidOutTwiceForTheScrollBarItBringsUp) {
  Record(2);
  TplPrevForm* form = ShowModeless();
  form->PageWidthBtnClick(form->PageWidthBtn);
  EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztPageWidth);
  // The page is taller than the box: the vertical bar shows and the second layout uses the narrower width.
  const int clientWidth = form->ScrollBox1->ClientWidth();
  ASSERT_LT(clientWidth, form->ScrollBox1->Width());
  EXPECT_EQ(form->Image1->Left(), 15);
  EXPECT_EQ(form->Image1->Top(), 15);
  EXPECT_EQ(form->Image1->Width(), clientWidth - 30);
  EXPECT_EQ(form->Image1->Height(), static_cast<int>(Preview->PageAspect() * (clientWidth - 30)));
  EXPECT_EQ(form->ScrollBox1->VertScrollBar().Position(), 0);
}

TEST_F(PreviewWindowLayout, NoRecordedPageLeavesEverythingButCloseDisabled) {
  TplPrevForm* form = ShowModeless();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(form->Image1->Visible());
  form->ShowCurrentPage();
  EXPECT_FALSE(form->PrintBtn->Enabled());
  EXPECT_FALSE(form->NextPageBtn->Enabled());
  EXPECT_TRUE(form->CloseBtn->Enabled());
  EXPECT_EQ(form->StatusBar->Panel(0).Text, Cp932String());
}

TEST_F(PreviewWindowLayout, ZoomStepsTruncateAndStopAtTheirLimits) {
  Record(2);
  TplPrevForm* form = ShowModeless();
  auto size = [form] { return std::pair{form->Image1->Width(), form->Image1->Height()}; };
  // The printer's A4 page is 2100 x 2969, the scroll box 648 x 427 and the screen 800 x 800 here.
  ASSERT_EQ(Preview->PageWidth(), 2100);
  ASSERT_EQ(Preview->PageHeight(), 2969);
  ASSERT_EQ(form->ScrollBox1->Height(), 427);
  ASSERT_EQ(Screen().Width(), 800);
  // The whole page is 427 - 30 = 397 high and 397 x 2100 / 2969 = 280.80 wide, cut to 280.
  EXPECT_EQ(size(), (std::pair{280, 397}));

  // A step makes the width 10/9 or 9/10 of itself and the height the new width times 2969 / 2100, each cut
  // toward zero: 280 -> 311.11 (439.69 high), 345.56 (487.76), then 310.50 (438.28), 279.00 (394.45).
  // Rounding would give 311 x 440, 346 x 489, 311 x 440, 280 x 396.
  form->ZoomUpBtnClick(form->ZoomUpBtn);
  EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztOther);
  EXPECT_EQ(size(), (std::pair{311, 439}));
  form->ZoomUpBtnClick(form->ZoomUpBtn);
  EXPECT_EQ(size(), (std::pair{345, 487}));
  form->ZoomDownBtnClick(form->ZoomDownBtn);
  EXPECT_EQ(size(), (std::pair{310, 438}));
  form->ZoomDownBtnClick(form->ZoomDownBtn);
  EXPECT_EQ(size(), (std::pair{279, 394}));
  EXPECT_TRUE(form->ZoomDownBtn->Enabled());
  EXPECT_TRUE(form->ZoomUpBtn->Enabled());

  // Zooming out goes on while the picture is wider than 100 pixels: 251, 225, 202, 181, 162, 145, 130, 117,
  // 105 and 94 (132 high), where the next step is refused and leaves the picture as it is.
  for (int width : {251, 225, 202, 181, 162, 145, 130, 117, 105, 94}) {
    form->ZoomDownBtnClick(form->ZoomDownBtn);
    EXPECT_EQ(form->Image1->Width(), width);
  }
  EXPECT_EQ(size(), (std::pair{94, 132}));
  EXPECT_TRUE(form->ZoomDownBtn->Enabled());
  form->ZoomDownBtnClick(form->ZoomDownBtn);
  EXPECT_FALSE(form->ZoomDownBtn->Enabled());
  EXPECT_EQ(size(), (std::pair{94, 132}));
  EXPECT_TRUE(form->ZoomUpBtn->Enabled());

  // Zooming in goes on while the picture is narrower than twice the screen and lower than three times it:
  // from 94 in 28 steps (104, 115, 127, ... 1397, 1552) to 1724 x 2437, where the next step is refused.
  for (int step = 0; step < 28; ++step) form->ZoomUpBtnClick(form->ZoomUpBtn);
  EXPECT_EQ(size(), (std::pair{1724, 2437}));
  EXPECT_TRUE(form->ZoomUpBtn->Enabled());
  form->ZoomUpBtnClick(form->ZoomUpBtn);
  EXPECT_FALSE(form->ZoomUpBtn->Enabled());
  EXPECT_EQ(size(), (std::pair{1724, 2437}));
  EXPECT_TRUE(form->ZoomDownBtn->Enabled());
}

TEST_F(PreviewWindowLayout, ResizingRefitsTheFitsAndLeavesAZoomAlone) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  form->SetBounds(0, 0, 800, 560);
  Application().ProcessMessages();
  const int height = form->ScrollBox1->Height() - 30;
  EXPECT_EQ(form->Image1->Height(), height);

  form->ZoomUpBtnClick(form->ZoomUpBtn);
  const TRect zoomed = form->Image1->BoundsRect();
  form->SetBounds(0, 0, 700, 500);
  Application().ProcessMessages();
  EXPECT_EQ(form->Image1->BoundsRect(), zoomed);
}

TEST_F(PreviewWindowLayout, WindowCannotBeMadeSmallerThan300AndResizeFollowsFormCanResize) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  int minW = 0, minH = 0, maxW = 5, maxH = 5;
  form->FormConstrainedResize(form, minW, minH, maxW, maxH);
  EXPECT_EQ(minW, 300);
  EXPECT_EQ(minH, 300);
  EXPECT_EQ(maxW, 0);
  EXPECT_EQ(maxH, 0);

  Preview->SetFormCanResize(false);
  form->SetBounds(0, 0, 700, 520);
  EXPECT_EQ(form->Width(), kWindowWidth);
  EXPECT_FALSE(form->StatusBar->SizeGrip());
}

TEST_F(PreviewWindowLayout, MoveCommandIsSwallowedOnlyWhenTheWindowMayNotMove) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  auto command = [&](unsigned c) {
    bool handled = false;
    form->SystemCommand(c, handled);
    return handled;
  };
  EXPECT_FALSE(command(SC_MOVE));
  Preview->SetFormCanMove(false);
  EXPECT_TRUE(command(SC_MOVE));
  EXPECT_TRUE(command(SC_MOVE | 2));  // the title bar's move carries low bits
  EXPECT_FALSE(command(SC_SIZE));
  EXPECT_FALSE(command(SC_CLOSE));
}

TEST_F(PreviewWindowLayout, WheelScrollsAFifthOfItsDelta) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  form->PageWidthBtnClick(form->PageWidthBtn);
  TControlScrollBar& bar = form->ScrollBox1->VertScrollBar();
  bar.SetPosition(100);
  auto wheel = [&](int delta) {
    bool handled = false;
    form->ScrollBox1MouseWheel(form->ScrollBox1, 0, delta, TPoint{10, 10}, handled);
    EXPECT_TRUE(handled);
  };
  wheel(120);
  EXPECT_EQ(bar.Position(), 76);  // away from the user: up
  wheel(-120);
  EXPECT_EQ(bar.Position(), 100);
  wheel(4);
  EXPECT_EQ(bar.Position(), 100);
  // Through the scroll box's own wheel event.
  SimulateMouseWheel(*form->ScrollBox1, -120, 20, 20);
  EXPECT_EQ(bar.Position(), 124);
}

TEST_F(PreviewWindowLayout, DragMovesPictureFrameAndShadowByThePointerDeltas) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  const TRect image = form->Image1->BoundsRect();
  const TRect frame = form->Shape1->BoundsRect();
  const TRect shadow = form->Shape2->BoundsRect();
  const int storedLeft = form->ImageLeft(), storedTop = form->ImageTop();

  form->Image1MouseDown(form->Image1, TMouseButton::mbLeft, 0, 40, 50);
  EXPECT_TRUE(form->IsDragging());
  EXPECT_EQ(form->DragStartX(), 40);
  EXPECT_EQ(form->DragStartY(), 50);
  bool accept = false;
  form->Image1DragOver(form->Image1, form->Image1, 47, 41, TDragState::dsDragMove, accept);
  EXPECT_TRUE(accept);
  auto moved = [](TRect r, int dx, int dy) { return Bounds(r.Left + dx, r.Top + dy, r.Width(), r.Height()); };
  EXPECT_EQ(form->Image1->BoundsRect(), moved(image, 7, -9));
  EXPECT_EQ(form->Shape1->BoundsRect(), moved(frame, 7, -9));
  EXPECT_EQ(form->Shape2->BoundsRect(), moved(shadow, 7, -9));

  // Something other than a picture is not accepted.
  TComponent stranger(nullptr);
  accept = true;
  form->Image1DragOver(form->Image1, &stranger, 60, 60, TDragState::dsDragMove, accept);
  EXPECT_FALSE(accept);
  EXPECT_EQ(form->Image1->BoundsRect(), moved(image, 7, -9));

  form->Image1DragDrop(form->Image1, form->Image1, 38, 52);
  EXPECT_FALSE(form->IsDragging());
  EXPECT_EQ(form->Image1->BoundsRect(), moved(image, 5, -7));
  // A drag changes neither the stored position nor the zoom.
  EXPECT_EQ(form->ImageLeft(), storedLeft);
  EXPECT_EQ(form->ImageTop(), storedTop);
  EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztWholePage);
  // Zoom out returns the picture to the stored position.
  form->ZoomDownBtnClick(form->ZoomDownBtn);
  EXPECT_EQ(form->Image1->Left(), storedLeft);

  // Without ImageDrag a press starts nothing.
  Preview->SetImageDrag(false);
  form->Image1MouseDown(form->Image1, TMouseButton::mbLeft, 0, 10, 10);
  EXPECT_FALSE(form->IsDragging());
}

TEST_F(PreviewWindowLayout, DragThroughTheMouseFollowsThePointer) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  const TRect image = form->Image1->BoundsRect();
  SimulateMouseDown(*form->Image1, TMouseButton::mbLeft, 30, 30);
  ASSERT_TRUE(form->IsDragging());
  SimulateMouseMove(*form->Image1, 50, 20);
  // The picture has followed the pointer: the pointer is over the press point of the picture again.
  SimulateMouseUp(*form->Image1, TMouseButton::mbLeft, 30, 30);
  EXPECT_FALSE(form->IsDragging());
  EXPECT_EQ(form->Image1->Left(), image.Left + 20);
  EXPECT_EQ(form->Image1->Top(), image.Top - 10);
}

// Where a control's top-left corner is on the screen.
TPoint OnScreen(const TControl& control) {
  return control.ClientToScreen(TPoint{0, 0});
}

// Drags the picture through the mouse by (dx, dy) in three moves, as a hand does: the picture follows the
// pointer, so the pointer stays over the press point of the picture (one that stays in view).
void DragPicture(TplPrevForm& form, int dx, int dy) {
  const int x = std::min(form.Image1->Width() / 2, 200), y = std::min(form.Image1->Height() / 2, 200);
  SimulateMouseDown(*form.Image1, TMouseButton::mbLeft, x, y);
  for (int i = 0; i < 3; ++i) SimulateMouseMove(*form.Image1, x + dx / 3, y + dy / 3);
  SimulateMouseUp(*form.Image1, TMouseButton::mbLeft, x, y);
}

TEST_F(PreviewWindowLayout, DraggedPageScrollsBackFullyIntoViewInEveryDirection) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  TScrollBox& box = *form->ScrollBox1;
  struct Case {
    const char* name;
    bool zoomed;  // page width and two steps in: larger than the view both ways
    int dx, dy;
  };
  const Case cases[] = {{"whole page up", false, 0, -150},
                        {"up", true, 0, -150},
                        {"left", true, -150, 0},
                        {"up and left", true, -150, -150},
                        {"down and right beyond the edge", true, 150, 150}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.zoomed) {
      form->PageWidthBtnClick(form->PageWidthBtn);
      form->ZoomUpBtnClick(form->ZoomUpBtn);
      form->ZoomUpBtnClick(form->ZoomUpBtn);
    } else {
      form->PageWholeBtnClick(form->PageWholeBtn);
    }
    const int storedLeft = form->ImageLeft(), storedTop = form->ImageTop();
    const TPoint before = OnScreen(*form->Image1);
    DragPicture(*form, c.dx, c.dy);
    ASSERT_FALSE(form->IsDragging());
    // The picture stays where the user put it, and the drag is not a layout.
    EXPECT_EQ(OnScreen(*form->Image1), (TPoint{before.X + c.dx, before.Y + c.dy}));
    EXPECT_EQ(form->ImageLeft(), storedLeft);
    EXPECT_EQ(form->ImageTop(), storedTop);

    const TPoint view = form->DisplayPanel->ClientToScreen(TPoint{box.Left(), box.Top()});
    // Scrolled back to the start, the frame's top and left edges show.
    box.HorzScrollBar().SetPosition(-100000);
    box.VertScrollBar().SetPosition(-100000);
    const TPoint frame = OnScreen(*form->Shape1);
    EXPECT_GE(frame.X, view.X);
    EXPECT_GE(frame.Y, view.Y);
    // Scrolled to the end, the range ends at the shadow's far edges plus the margin: nothing is lost and no
    // empty band lies beyond. A page smaller than the view stays whole in it.
    box.HorzScrollBar().SetPosition(100000);
    box.VertScrollBar().SetPosition(100000);
    const TPoint shadow = OnScreen(*form->Shape2);
    const int right = shadow.X + form->Shape2->Width(), bottom = shadow.Y + form->Shape2->Height();
    if (c.zoomed) {
      EXPECT_EQ(view.X + box.ClientWidth(), right + 10);
      EXPECT_EQ(view.Y + box.ClientHeight(), bottom + 10);
    } else {
      EXPECT_EQ(OnScreen(*form->Shape1), frame);
      EXPECT_LE(bottom, view.Y + box.ClientHeight());
    }
  }
}

using PreviewWindowNavigation = PreviewWindowFixture;

TEST_F(PreviewWindowNavigation, ButtonsFollowFirstMiddleAndLastPage) {
  Record(3);
  TplPrevForm* form = ShowModeless();
  const TRect bounds = form->Image1->BoundsRect();
  form->NextPageBtnClick(form->NextPageBtn);
  EXPECT_EQ(Preview->CurrentPage(), 2);
  EXPECT_TRUE(form->FirstPageBtn->Enabled());
  EXPECT_TRUE(form->PriorPageBtn->Enabled());
  EXPECT_TRUE(form->NextPageBtn->Enabled());
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  2/3  A4"));
  EXPECT_EQ(form->Image1->BoundsRect(), bounds);  // only the content changes

  form->LastPageBtnClick(form->LastPageBtn);
  EXPECT_EQ(Preview->CurrentPage(), 3);
  EXPECT_FALSE(form->NextPageBtn->Enabled());
  EXPECT_FALSE(form->LastPageBtn->Enabled());
  form->NextPageBtnClick(form->NextPageBtn);
  form->LastPageBtnClick(form->LastPageBtn);
  EXPECT_EQ(Preview->CurrentPage(), 3);

  form->PriorPageBtnClick(form->PriorPageBtn);
  EXPECT_EQ(Preview->CurrentPage(), 2);
  form->FirstPageBtnClick(form->FirstPageBtn);
  EXPECT_EQ(Preview->CurrentPage(), 1);
  EXPECT_FALSE(form->FirstPageBtn->Enabled());
  EXPECT_FALSE(form->PriorPageBtn->Enabled());
  form->PriorPageBtnClick(form->PriorPageBtn);
  EXPECT_EQ(Preview->CurrentPage(), 1);
}

TEST_F(PreviewWindowNavigation, OnePageDocumentDisablesAllFourAndKeepsStatusBarTextWhenEmpty) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  form->StatusBar->SetPanelText(1, U("前から"));
  form->ShowCurrentPage();
  EXPECT_FALSE(form->FirstPageBtn->Enabled());
  EXPECT_FALSE(form->PriorPageBtn->Enabled());
  EXPECT_FALSE(form->NextPageBtn->Enabled());
  EXPECT_FALSE(form->LastPageBtn->Enabled());
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  1/1  A4"));
  EXPECT_EQ(form->StatusBar->Panel(1).Text, U("前から"));
}

TEST_F(PreviewWindowNavigation, ShowPageOfTheComponentShowsThatPage) {
  Record(3);
  TplPrevForm* form = ShowModeless();
  EXPECT_TRUE(Preview->ShowPage(3));
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  3/3  A4"));
  EXPECT_FALSE(Preview->ShowPage(4));
}

TEST_F(PreviewWindowNavigation, PageFlipShowsTheStoredPageWithoutRecording) {
  Record(2);
  TplPrevForm* form = ShowModeless();
  const std::vector<std::uint8_t> work = Preview->WorkMetafile()->Bytes();
  form->NextPageBtnClick(form->NextPageBtn);
  EXPECT_EQ(form->Image1->Picture().Bytes(), Preview->Pages(1)->Bytes());
  EXPECT_EQ(form->Image1->PaperColor(), clWhite);
  form->ZoomUpBtnClick(form->ZoomUpBtn);
  EXPECT_EQ(Preview->WorkMetafile()->Bytes(), work);  // nothing was recorded
  // An event that draws into the rendering makes the window show the rendering instead.
  int before = 0;
  Preview->OnBeforeView = [&](TComponent*, int page) { before = page; };
  form->PriorPageBtnClick(form->PriorPageBtn);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(form->Image1->Picture().Bytes(), Preview->WorkMetafile()->Bytes());
  EXPECT_FALSE(form->Image1->HasPaper());
}

TEST_F(PreviewWindowNavigation, PictureIsPlayedAtTheScreensDevicePixels) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  const int w = form->Image1->Width(), h = form->Image1->Height();
  TBitmap24 dense = form->Image1->Render(2.0);
  ASSERT_EQ(dense.Width(), 2 * w);
  ASSERT_EQ(dense.Height(), 2 * h);
  // The same as the page played at twice the size, not the small picture magnified.
  form->Image1->SetBounds(form->Image1->Left(), form->Image1->Top(), 2 * w, 2 * h);
  TBitmap24 large = form->Image1->Render(1.0);
  int differing = 0;
  for (int y = 0; y < dense.Height(); ++y) {
    for (int x = 0; x < dense.Width(); ++x) differing += dense.Pixel(x, y) != large.Pixel(x, y);
  }
  EXPECT_EQ(differing, 0);
  TBitmap24 small = form->Image1->Render(0.5);
  EXPECT_EQ(small.Width(), w);
}

using PreviewWindowKeys = PreviewWindowFixture;

TEST_F(PreviewWindowKeys, PageKeysTurnPagesAsTheButtonsDoAndArrowsScroll) {
  Record(3);
  std::vector<int> viewed;
  Preview->OnAfterView = [&](TComponent*, int page) { viewed.push_back(page); };
  TplPrevForm* form = ShowModeless();
  viewed.clear();
  const TRect bounds = form->Image1->BoundsRect();
  SimulateKey(*form, VK_NEXT);
  EXPECT_EQ(Preview->CurrentPage(), 2);
  EXPECT_EQ(form->StatusBar->Panel(0).Text, U(" Page  2/3  A4"));
  EXPECT_TRUE(form->FirstPageBtn->Enabled());
  EXPECT_TRUE(form->PriorPageBtn->Enabled());
  SimulateKey(*form, VK_END);
  EXPECT_EQ(Preview->CurrentPage(), 3);
  EXPECT_FALSE(form->NextPageBtn->Enabled());
  EXPECT_FALSE(form->LastPageBtn->Enabled());
  SimulateKey(*form, VK_NEXT);
  SimulateKey(*form, VK_END);
  EXPECT_EQ(Preview->CurrentPage(), 3);
  SimulateKey(*form, VK_PRIOR);
  EXPECT_EQ(Preview->CurrentPage(), 2);
  SimulateKey(*form, VK_HOME, ssCtrl);
  EXPECT_EQ(Preview->CurrentPage(), 1);
  EXPECT_FALSE(form->PriorPageBtn->Enabled());
  // One showing per page turned, none where the button has nothing to do; the picture keeps its place.
  EXPECT_EQ(viewed, (std::vector<int>{2, 3, 2, 1}));
  EXPECT_EQ(form->Image1->BoundsRect(), bounds);

  // A busy (disabled) button's action does not run, nor that of a button the options leave out.
  form->NextPageBtn->SetEnabled(false);
  SimulateKey(*form, VK_NEXT);
  form->LastPageBtn->SetVisible(false);
  SimulateKey(*form, VK_END);
  EXPECT_EQ(Preview->CurrentPage(), 1);

  // The arrow keys scroll the picture as a wheel notch does.
  form->PageWidthBtnClick(form->PageWidthBtn);
  TControlScrollBar& bar = form->ScrollBox1->VertScrollBar();
  SimulateKey(*form, VK_DOWN);
  SimulateKey(*form, VK_DOWN);
  EXPECT_EQ(bar.Position(), 48);
  SimulateKey(*form, VK_UP);
  EXPECT_EQ(bar.Position(), 24);
  EXPECT_EQ(Preview->CurrentPage(), 1);
}

TEST_F(PreviewWindowKeys, PlusMinusAndCtrlWheelZoomByTheZoomButtonsStep) {
  Record(1);
  TplPrevForm* form = ShowModeless();
  // What one press of each zoom button makes of the whole page.
  auto pressed = [&](TSpeedButton* button) {
    form->PageWholeBtnClick(form->PageWholeBtn);
    SimulateClick(*button, 10, 10);
    return form->Image1->BoundsRect();
  };
  const TRect in = pressed(form->ZoomUpBtn), out = pressed(form->ZoomDownBtn);
  ASSERT_GT(in.Width(), out.Width());
  struct Way {
    const char* name;
    std::function<void()> act;
    bool zoomsIn;
  };
  TScrollBox& box = *form->ScrollBox1;
  const Way ways[] = {
      {"+", [&] { SimulateKey(*form, VK_OEM_PLUS, ssShift); }, true},
      {"keypad +", [&] { SimulateKey(*form, VK_ADD); }, true},
      {"-", [&] { SimulateKey(*form, VK_OEM_MINUS); }, false},
      {"keypad -", [&] { SimulateKey(*form, VK_SUBTRACT); }, false},
      {"Ctrl + wheel away", [&] { SimulateMouseWheel(box, 120, 20, 20, ssCtrl); }, true},
      {"Ctrl + wheel towards", [&] { SimulateMouseWheel(box, -120, 20, 20, ssCtrl); }, false},
      {"Ctrl + two half notches",
       [&] {
         SimulateMouseWheel(box, 60, 20, 20, ssCtrl);
         SimulateMouseWheel(box, 60, 20, 20, ssCtrl);
       },
       true},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    form->PageWholeBtnClick(form->PageWholeBtn);
    way.act();
    EXPECT_EQ(form->Image1->BoundsRect(), way.zoomsIn ? in : out);
    EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztOther);
  }
  // A disabled zoom button's step does not run.
  form->PageWholeBtnClick(form->PageWholeBtn);
  form->ZoomDownBtn->SetEnabled(false);
  SimulateKey(*form, VK_OEM_MINUS);
  SimulateMouseWheel(box, -120, 20, 20, ssCtrl);
  EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztWholePage);
}

TEST_F(PreviewWindowKeys, TabReachesTheToolbarAndEnterOrSpacePressesTheButton) {
  Record(4);
  TplPrevForm* form = ShowModeless();
  ASSERT_EQ(FocusedControl(*form), form->ScrollBox1);
  SimulateKey(*form, VK_TAB);
  EXPECT_TRUE(form->PrintBtn->Focused());
  SimulateKey(*form, VK_TAB);  // past the first and prior page buttons, disabled on page 1
  EXPECT_TRUE(form->NextPageBtn->Focused());
  SimulateKey(*form, VK_RETURN);
  EXPECT_EQ(Preview->CurrentPage(), 2);
  // The button keeps the focus though its action disabled it for a while: the next key turns one more page.
  EXPECT_TRUE(form->NextPageBtn->Focused());
  SimulateKey(*form, VK_SPACE);
  EXPECT_EQ(Preview->CurrentPage(), 3);
  SimulateKey(*form, VK_TAB, ssShift);
  SimulateKey(*form, VK_TAB, ssShift);
  EXPECT_TRUE(form->FirstPageBtn->Focused());
  SimulateKey(*form, VK_TAB);
  SimulateKey(*form, VK_TAB);
  // End disables the focused next-page button for good: the focus goes back to the page, and Enter presses
  // nothing (not the zoom button next in line).
  SimulateKey(*form, VK_END);
  EXPECT_EQ(Preview->CurrentPage(), 4);
  EXPECT_EQ(FocusedControl(*form), form->ScrollBox1);
  SimulateKey(*form, VK_RETURN);
  EXPECT_EQ(Preview->ZoomType(), TplPrevZoomType::ztWholePage);
}

using PreviewWindowClosing = PreviewWindowFixture;

TEST_F(PreviewWindowClosing, CloseResetsThePageFrameAndFreesAnOwnedWindow) {
  Record(2);
  bool queried = false, closed = false, destroyed = false;
  Preview->OnFormCloseQuery = [&](TComponent*, bool&) { queried = true; };
  Preview->OnFormClose = [&](TComponent*, plprev::TCloseAction&) { closed = true; };
  Preview->OnFormDestroy = [&](TComponent*) { destroyed = true; };
  TplPrevForm* form = ShowModeless();
  ASSERT_TRUE(Preview->OwnsForm());
  EXPECT_EQ(Preview->FormName(), "plPrevForm__plPrev1");
  EXPECT_GT(Preview->PageWidth(), 0);
  form->CloseBtnClick(form->CloseBtn);
  EXPECT_TRUE(queried);
  EXPECT_TRUE(closed);
  EXPECT_EQ(Preview->PageWidth(), 0);
  EXPECT_EQ(Preview->PageHeight(), 0);
  EXPECT_FALSE(Preview->FormShowing());
  EXPECT_FALSE(form->Image1->HasPicture());
  Application().ProcessMessages();  // the window is freed after its close
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Preview->PreviewForm(), nullptr);
  EXPECT_FALSE(Preview->OwnsForm());
  EXPECT_EQ(Preview->FormName(), "");

  // The next preview creates a new window.
  TplPrevForm* again = ShowModeless();
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->Visible());
  EXPECT_TRUE(Preview->OwnsForm());
  EXPECT_EQ(again->StatusBar->Panel(0).Text, U(" Page  1/2  A4"));
  // The handlers hold this test's flags, which are gone once it returns; the window the fixture frees
  // afterwards must not call them.
  Preview->OnFormCloseQuery = nullptr;
  Preview->OnFormClose = nullptr;
  Preview->OnFormDestroy = nullptr;
}

TEST_F(PreviewWindowClosing, RefusedCloseKeepsWindowAndPageFrame) {
  Record(1);
  Preview->OnFormCloseQuery = [](TComponent*, bool& canClose) { canClose = false; };
  TplPrevForm* form = ShowModeless();
  const int width = Preview->PageWidth();
  form->CloseBtnClick(form->CloseBtn);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(Preview->PageWidth(), width);
}

TEST_F(PreviewWindowClosing, ModalPreviewReturnsWhenTheWindowClosesAndTheNextCreatesANewOne) {
  Record(2);
  int shows = 0;
  Preview->OnFormShow = [&](TComponent* sender) {
    ++shows;
    auto* form = dynamic_cast<TplPrevForm*>(sender);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(Preview->FormShowing());
    // The user closes it with the accelerator's button.
    form->CloseBtn->Click();
  };
  Preview->Preview();
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(Preview->FormShowing());
  Application().ProcessMessages();
  EXPECT_EQ(Preview->PreviewForm(), nullptr);
  Preview->Preview();
  EXPECT_EQ(shows, 2);
  Application().ProcessMessages();
  EXPECT_EQ(Preview->PreviewForm(), nullptr);
}

}  // namespace
}  // namespace tess::test

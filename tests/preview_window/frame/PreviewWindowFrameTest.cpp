// The preview window under a window manager that frames it (tests/support/with-window-manager.sh runs
// these tests on a virtual display with one): window bounds count the frame, the work-area and full-screen
// windows fit the screen exactly, the window the system sizes shows the page readably, and a dragged page
// scrolls back with the scroll bars the window system lays out.
#include "platform/ui/InputSimulation.h"
#include "tests/preview_window/PreviewWindowSupport.h"

namespace tess::test {
namespace {

class PreviewWindowFrame : public PreviewWindowFixture {
 protected:
  // Shows the preview of a one-page document and waits until the window manager has framed the window.
  TplPrevForm* ShowFramed() {
    Record(1);
    TplPrevForm* form = ShowModeless();
    if (form == nullptr) return nullptr;
    EXPECT_TRUE(form->WaitUntilFramed(30000)) << "the window was never shown on the display";
    EXPECT_GT(form->Height() - form->ClientHeight(), 0)
        << "the window has no frame: these tests need a window manager "
           "(tests/support/with-window-manager.sh)";
    return form;
  }
};

TEST_F(PreviewWindowFrame, DesignedBoundsAreTheOuterFrame) {
  Preview->SetFormLeft(40);
  Preview->SetFormTop(30);
  Preview->SetFormWidth(800);
  Preview->SetFormHeight(600);
  TplPrevForm* form = ShowFramed();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->BoundsRect(), Bounds(40, 30, 800, 600));
  EXPECT_LT(form->ClientHeight(), 600);
}

TEST_F(PreviewWindowFrame, WorkAreaWindowLiesWithinTheWorkAreaWithItsStatusBarShowing) {
  Preview->SetFormWindowState(TplPrevFormWindowState::fwWorkArea);
  TplPrevForm* form = ShowFramed();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->BoundsRect(), Screen().WorkAreaRect());
  EXPECT_EQ(form->StatusBar->Top() + form->StatusBar->Height(), form->ClientHeight());
}

TEST_F(PreviewWindowFrame, FullScreenWindowCoversTheScreenExactly) {
  Preview->SetFormWindowState(TplPrevFormWindowState::fwFullScreen);
  TplPrevForm* form = ShowFramed();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->BoundsRect(), Bounds(0, 0, Screen().Width(), Screen().Height()));
}

TEST_F(PreviewWindowFrame, WindowTheSystemSizesShowsThePageReadably) {
  Preview->SetFormPosition(plprev::TPosition::poDefault);
  TplPrevForm* form = ShowFramed();
  ASSERT_NE(form, nullptr);
  TRect work = Screen().WorkAreaRect();
  TRect bounds = form->BoundsRect();
  EXPECT_GE(bounds.Left, work.Left);
  EXPECT_GE(bounds.Top, work.Top);
  EXPECT_LE(bounds.Right, work.Right);
  EXPECT_LE(bounds.Bottom, work.Bottom);
  EXPECT_NEAR(bounds.Left - work.Left, work.Right - bounds.Right, 1);  // centred
  // The whole page, about half as wide as the work area is high (600 pixels on a 1200-pixel screen).
  EXPECT_GE(form->Image1->Width(), work.Height() / 2);
  EXPECT_GE(form->Image1->Left(), 0);
  EXPECT_LE(form->Image1->Left() + form->Image1->Width(), form->ScrollBox1->Width());
  EXPECT_LE(form->Image1->Top() + form->Image1->Height(), form->ScrollBox1->Height());
}

TEST_F(PreviewWindowFrame, PageDraggedUpScrollsBackWithTheBarAsItIsLaidOutOnTheScreen) {
  Preview->SetFormPosition(plprev::TPosition::poDefault);
  TplPrevForm* form = ShowFramed();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(WaitUntilOnTop(*form->Image1, 10000)) << "another window covers the page";
  const TPoint before = form->Image1->ClientToScreen(TPoint{0, 0});
  const int x = form->Image1->Width() / 2, y = form->Image1->Height() / 2;
  SimulateMouseDown(*form->Image1, TMouseButton::mbLeft, x, y);
  for (int i = 0; i < 5; ++i) {
    SimulateMouseMove(*form->Image1, x, y - 30);
    Application().ProcessMessages();
  }
  SimulateMouseUp(*form->Image1, TMouseButton::mbLeft, x, y);
  Application().ProcessMessages();
  // Where it was dropped, with the scroll bars laid out by the window system around it.
  EXPECT_EQ(form->Image1->ClientToScreen(TPoint{0, 0}).Y, before.Y - 150);
  form->ScrollBox1->VertScrollBar().SetPosition(-100000);
  Application().ProcessMessages();
  // Back at the top the whole page shows again, its frame below the top of the view.
  const TPoint view =
      form->DisplayPanel->ClientToScreen(TPoint{form->ScrollBox1->Left(), form->ScrollBox1->Top()});
  const TPoint frame = form->Shape1->ClientToScreen(TPoint{0, 0});
  EXPECT_GE(frame.Y, view.Y);
  EXPECT_LE(frame.Y + form->Shape2->Height(), view.Y + form->ScrollBox1->ClientHeight());
}

}  // namespace
}  // namespace tess::test

// Mouse input through the same event path as the user's: clicks, the context menu, dragging a control,
// the wheel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Image.h"
#include "platform/ui/InputSimulation.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/ScrollBox.h"

namespace tess {
namespace {

class TPlainForm : public TForm {
  TESS_COMPONENT_CLASS(TPlainForm, TForm)
 public:
  TPlainForm() : TForm(nullptr) {
    SetClientWidth(300);
    SetClientHeight(200);
    DoCreate();
  }
};

TEST(MouseInput, ClickingARadioButtonSelectsItsItem) {
  Application().Initialize();
  TPlainForm form;
  auto* group = new TRadioGroup(&form);
  group->SetBounds(10, 10, 200, 66);
  group->SetColumns(2);
  group->SetItems({"a", "b", "c", "d"});
  group->SetItemIndex(0);
  int clicks = 0;
  group->OnClick = [&](TComponent*) { ++clicks; };
  form.Show();
  TRect third = group->ItemBounds(2);
  SimulateClick(*group, third.Left + 8, third.Top + third.Height() / 2);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
}

TEST(MouseInput, ButtonClickAndMouseDownReachTheirEvents) {
  Application().Initialize();
  TPlainForm form;
  auto* button = new TButton(&form);
  button->SetBounds(10, 10, 80, 25);
  int clicks = 0;
  button->OnClick = [&](TComponent*) { ++clicks; };
  auto* image = new TImage(&form);
  image->SetBounds(100, 50, 120, 100);
  std::vector<std::string> presses;
  image->OnMouseDown = [&](TComponent* sender, TMouseButton b, TShiftState shift, int x, int y) {
    EXPECT_EQ(sender, image);
    presses.push_back(std::to_string(static_cast<int>(b)) + "@" + std::to_string(x) + "," +
                      std::to_string(y) + ((shift & ssShift) ? "+shift" : ""));
  };
  form.Show();
  SimulateClick(*button, 20, 12);
  EXPECT_EQ(clicks, 1);
  SimulateMouseDown(*image, TMouseButton::mbLeft, 5, 7, ssShift);
  SimulateMouseUp(*image, TMouseButton::mbLeft, 5, 7);
  SimulateMouseDown(*image, TMouseButton::mbRight, 30, 40);
  SimulateMouseUp(*image, TMouseButton::mbRight, 30, 40);
  EXPECT_EQ(presses, (std::vector<std::string>{"0@5,7+shift", "1@30,40"}));
}

TEST(MouseInput, RightPressOpensTheControlsPopupMenuAtThePointer) {
  Application().Initialize();
  TPlainForm form;
  auto* image = new TImage(&form);
  image->SetBounds(100, 50, 120, 100);
  auto* menu = new TPopupMenu(&form);
  image->SetPopupMenu(menu);
  form.Show();
  std::vector<TPoint> opened;
  auto previous = TPopupMenu::SetPopupHook([&](TPopupMenu* m, TPoint at) {
    EXPECT_EQ(m, menu);
    opened.push_back(at);
  });
  SimulateMouseDown(*image, TMouseButton::mbRight, 30, 40);
  SimulateMouseUp(*image, TMouseButton::mbRight, 30, 40);
  SimulateMouseDown(*image, TMouseButton::mbLeft, 30, 40);
  SimulateMouseUp(*image, TMouseButton::mbLeft, 30, 40);
  TPopupMenu::SetPopupHook(previous);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], image->ClientToScreen(TPoint{30, 40}));
}

TEST(MouseInput, DraggedControlGetsDragOverAndDropInItsOwnCoordinates) {
  Application().Initialize();
  TPlainForm form;
  auto* image = new TImage(&form);
  image->SetBounds(50, 40, 100, 100);
  std::vector<std::string> log;
  image->OnMouseDown = [&](TComponent*, TMouseButton b, TShiftState, int, int) {
    if (b == TMouseButton::mbLeft) image->BeginDrag(true);
  };
  image->OnDragOver = [&](TComponent* sender, TComponent* source, int x, int y, TDragState state,
                          bool& accept) {
    accept = source == image;
    if (state != TDragState::dsDragLeave) {
      log.push_back("over " + std::to_string(x) + "," + std::to_string(y));
      // The picture follows the pointer, as the preview's drag does.
      auto* c = static_cast<TControl*>(sender);
      c->SetBounds(c->Left() + x - 10, c->Top() + y - 20, c->Width(), c->Height());
    }
  };
  image->OnDragDrop = [&](TComponent*, TComponent* source, int x, int y) {
    log.push_back("drop " + std::to_string(x) + "," + std::to_string(y) + (source == image ? " self" : ""));
  };
  form.Show();
  Application().ProcessMessages();
  SimulateMouseDown(*image, TMouseButton::mbLeft, 10, 20);
  EXPECT_TRUE(image->Dragging());
  SimulateMouseMove(*image, 25, 30);
  EXPECT_EQ(image->Left(), 65);
  EXPECT_EQ(image->Top(), 50);
  SimulateMouseUp(*image, TMouseButton::mbLeft, 10, 20);
  EXPECT_FALSE(image->Dragging());
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "over 25,30");
  EXPECT_EQ(log[1], "over 10,20");
  EXPECT_EQ(log[2], "drop 10,20 self");
}

TEST(MouseInput, WheelGoesToTheScrollBoxHandler) {
  Application().Initialize();
  TPlainForm form;
  auto* box = new TScrollBox(&form);
  box->SetBounds(0, 0, 300, 200);
  auto* image = new TImage(&form);
  image->SetParent(box);
  image->SetBounds(15, 15, 200, 800);
  std::vector<int> deltas;
  box->OnMouseWheel = [&](TComponent* sender, TShiftState, int delta, TPoint, bool& handled) {
    EXPECT_EQ(sender, box);
    deltas.push_back(delta);
    auto* b = static_cast<TScrollBox*>(sender);
    b->VertScrollBar().SetPosition(b->VertScrollBar().Position() - delta / 5);
    handled = true;
  };
  form.Show();
  SimulateMouseWheel(*image, -120, 20, 20);
  SimulateMouseWheel(*image, -120, 20, 20);
  SimulateMouseWheel(*image, 120, 20, 20);
  EXPECT_EQ(deltas, (std::vector<int>{-120, -120, 120}));
  EXPECT_EQ(box->VertScrollBar().Position(), 24);
}

}  // namespace
}  // namespace tess

// Forms and controls as components: ownership, stored designs, the general handler, modal showing and
// closing, the keys a form sees.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Forms.h"
#include "platform/ui/InputSimulation.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "tests/support/MessageBoxCapture.h"

namespace tess {
namespace {

Cp932String J(const char* utf8) {
  return Cp932String::FromUtf8(utf8);
}

class CountedLabel : public TLabel {
  TESS_COMPONENT_CLASS(CountedLabel, TLabel)
 public:
  using TLabel::TLabel;
  ~CountedLabel() override { ++destroyed; }
  static inline int destroyed = 0;
};

// A form read from a design given as text, with one published method.
class TTestForm : public TForm {
  TESS_COMPONENT_CLASS(TTestForm, TForm)
 public:
  explicit TTestForm(TComponent* owner, std::string_view design = {}) : TForm(owner) {
    PublishMethod<TNotifyEvent>("ButtonClick", [this](TComponent*) { ++clicks; });
    if (!design.empty()) ReadDesign(design);
    DoCreate();
  }
  int clicks = 0;
};

class CapturedBoxes : public ::testing::Test {
 protected:
  void SetUp() override { Application().Initialize(); }
  test::TMessageBoxCapture captured;
  std::vector<TMessageBoxRequest>& boxes = captured.Boxes;
};

TEST(FormsAndControls, AFormFreesItsControls) {
  CountedLabel::destroyed = 0;
  auto* form = new TTestForm(nullptr);
  auto* a = new CountedLabel(form);
  auto* b = new CountedLabel(form);
  EXPECT_EQ(a->Parent(), form);
  EXPECT_EQ(form->ControlCount(), 2);
  delete b;
  EXPECT_EQ(form->ControlCount(), 1);
  EXPECT_EQ(CountedLabel::destroyed, 1);
  delete form;
  EXPECT_EQ(CountedLabel::destroyed, 2);
}

TEST(FormsAndControls, ControlsMoveBetweenParentsAndAlign) {
  TTestForm form(nullptr);
  form.SetClientWidth(300);
  form.SetClientHeight(200);
  auto* panel = new TPanel(&form);
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  EXPECT_EQ(form.ControlCount(), 1);
  EXPECT_EQ(panel->ControlCount(), 1);
  auto* top = new TPanel(&form);
  top->SetHeight(39);
  top->SetAlign(TAlign::alTop);
  auto* bottom = new TPanel(&form);
  bottom->SetHeight(26);
  bottom->SetAlign(TAlign::alBottom);
  panel->SetAlign(TAlign::alClient);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 39));
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 174, 300, 26));
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 39, 300, 135));
  form.SetClientHeight(300);
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 274, 300, 26));
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 39, 300, 235));
}

TEST(FormsAndControls, StoredDesignRoundTrip) {
  TTestForm form(nullptr);
  form.SetName("TestForm");
  form.SetCaption(J("テスト"));
  form.SetClientWidth(200);
  form.SetClientHeight(120);
  form.SetBorderStyle(TFormBorderStyle::bsSingle);
  form.SetBorderIcons(biSystemMenu | biMinimize);
  auto* group = new TRadioGroup(&form);
  group->SetName("Group");
  group->SetBounds(5, 6, 100, 60);
  group->SetCaption(J("種類"));
  group->SetColumns(2);
  group->SetItems({J("足し算"), J("掛け算")});
  group->SetItemIndex(1);
  group->SetTabOrder(1);
  auto* edit = new TEdit(&form);
  edit->SetName("Edit");
  edit->SetBounds(5, 70, 80, 21);
  edit->SetMaxLength(62);
  edit->SetText(J("問題"));
  edit->SetTabOrder(0);
  auto* button = new TButton(&form);
  button->SetName("Button");
  button->SetCaption(J("実行(&R)"));
  button->SetEnabled(false);
  std::string json = WriteComponentDesign(form);

  RegisterControlClasses();
  TTestForm copy(nullptr, json);
  EXPECT_TRUE(copy.DesignReport().Clean());
  EXPECT_EQ(copy.Caption(), J("テスト"));
  EXPECT_EQ(copy.ClientWidth(), 200);
  EXPECT_EQ(copy.ClientHeight(), 120);
  EXPECT_EQ(copy.BorderStyle(), TFormBorderStyle::bsSingle);
  EXPECT_EQ(copy.BorderIcons(), biSystemMenu | biMinimize);
  auto* g = dynamic_cast<TRadioGroup*>(copy.FindComponent("Group"));
  auto* e = dynamic_cast<TEdit*>(copy.FindComponent("Edit"));
  auto* b = dynamic_cast<TButton*>(copy.FindComponent("Button"));
  ASSERT_TRUE(g && e && b);
  EXPECT_EQ(g->BoundsRect(), Bounds(5, 6, 100, 60));
  EXPECT_EQ(g->Items(), (std::vector<Cp932String>{J("足し算"), J("掛け算")}));
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_EQ(g->Columns(), 2);
  EXPECT_EQ(g->TabOrder(), 1);
  EXPECT_EQ(e->Text(), J("問題"));
  EXPECT_EQ(e->MaxLength(), 62);
  EXPECT_EQ(b->Caption(), J("実行(&R)"));
  EXPECT_FALSE(b->Enabled());
  copy.SetName("TestForm");
  EXPECT_EQ(WriteComponentDesign(copy), json);
}

TEST(FormsAndControls, AFormsWholeFontRoundTripsStyleIncluded) {
  TTestForm form(nullptr);
  TControlFont font;
  font.Name = J("ＭＳ Ｐゴシック");
  font.Height = -12;
  font.Style = fsBold | fsUnderline;
  font.Color = clNavy;
  font.Charset = 128;
  form.SetFont(font);
  TTestForm copy(nullptr, WriteComponentDesign(form));
  EXPECT_TRUE(copy.DesignReport().Clean());
  EXPECT_EQ(copy.Font(), font);
}

TEST(FormsAndControls, DesignBindsEventsToPublishedMethods) {
  TTestForm form(nullptr, R"({"class":"TTestForm","name":"F","components":[
    {"class":"TButton","name":"B","properties":{"Caption":"Go","OnClick":"ButtonClick"}}]})");
  ASSERT_TRUE(form.DesignReport().Clean());
  auto* b = dynamic_cast<TButton*>(form.FindComponent("B"));
  ASSERT_NE(b, nullptr);
  b->Click();
  EXPECT_EQ(form.clicks, 1);
}

TEST_F(CapturedBoxes, WrongPropertiesAreReportedNotShownAndTheRestLoads) {
  TTestForm form(nullptr, R"({"class":"TTestForm","name":"F","properties":{"Caption":"Still read"},
    "components":[{"class":"TEdit","name":"E","properties":{"Left":"ten","Top":7,"Text":"kept",
      "OnChange":"NoSuchMethod"}},
    {"class":"TRadioGroup","name":"G","properties":{"Items":["a",2],"Columns":2}},
    {"class":"TNoSuchControl","name":"X"}]})");
  auto* e = dynamic_cast<TEdit*>(form.FindComponent("E"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(form.Caption(), Cp932String("Still read"));
  EXPECT_EQ(e->Top(), 7);
  EXPECT_EQ(e->Left(), 0);
  EXPECT_EQ(e->Text(), Cp932String("kept"));
  EXPECT_FALSE(e->OnChange);
  auto* g = dynamic_cast<TRadioGroup*>(form.FindComponent("G"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Columns(), 2);
  EXPECT_EQ(form.DesignReport().problems.size(), 4u);  // Left, OnChange, Items, the unknown class
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CapturedBoxes, ExtremeValuesInADesignDoNotBreakTheControls) {
  TTestForm form(nullptr, R"({"class":"TTestForm","name":"F","properties":{"Font.Height":-2147483648},
    "components":[{"class":"TRadioGroup","name":"G","properties":{"Width":-5,"Height":3,"Columns":0,
      "Items":["a","b","c"],"ItemIndex":9}},
    {"class":"TEdit","name":"E","properties":{"MaxLength":-1,"Text":"x"}},
    {"class":"TLabel","name":"L","properties":{"Font.Height":2147483647,"Caption":"big"}}]})");
  EXPECT_TRUE(form.DesignReport().Clean());
  auto* g = dynamic_cast<TRadioGroup*>(form.FindComponent("G"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Width(), 0);
  EXPECT_EQ(g->Columns(), 1);
  EXPECT_EQ(g->ItemIndex(), 2);  // held to the last item
  auto* e = dynamic_cast<TEdit*>(form.FindComponent("E"));
  EXPECT_EQ(e->MaxLength(), 0);
  e->TypeText("yz");  // no limit; an assigned text leaves the caret at its beginning
  EXPECT_EQ(e->Text(), Cp932String("yzx"));
  form.Show();
  EXPECT_TRUE(boxes.empty());
}

TEST(FormsAndControls, BrokenDesignIsAnErrorNotAnEmptyForm) {
  EXPECT_THROW(TTestForm(nullptr, R"({"class":"TTestForm","name":"F","components":[)"), EReadError);
}

TEST_F(CapturedBoxes, GeneralHandlerShowsTheMessageWithAFullStopUnderTheTitle) {
  Application().SetTitle("Tessarine");
  TTestForm form(nullptr);
  auto* button = new TButton(&form);
  button->OnClick = [](TComponent*) { StrToInt(Cp932String("abc")); };
  button->Click();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, Cp932String("Tessarine"));
  EXPECT_EQ(boxes[0].Text, J("'abc' は整数ではありません."));
  EXPECT_EQ(boxes[0].Icon, TMsgIcon::Error);
  EXPECT_EQ(boxes[0].Buttons, TMsgButtons::Ok);

  // Messages of other exceptions too; one that already ends with a full stop keeps just that one.
  button->OnClick = [](TComponent*) { throw std::runtime_error("Disk full."); };
  button->Click();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].Text, Cp932String("Disk full."));
  // A Japanese sentence ends with its own full stop; "堰D" ends in the bytes of "．" (0x81 0x44) without
  // ending in that character.
  button->OnClick = [](TComponent*) { throw Exception(J("プリンタ X は一時停止しています．")); };
  button->Click();
  button->OnClick = [](TComponent*) { throw Exception(J("堰D")); };
  button->Click();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[2].Text, J("プリンタ X は一時停止しています．"));
  EXPECT_EQ(boxes[3].Text, J("堰D."));
}

TEST_F(CapturedBoxes, OnExceptionReplacesTheErrorBox) {
  std::string seen;
  Application().OnException = [&](TComponent*, const std::exception& e) { seen = e.what(); };
  TTestForm form(nullptr);
  auto* group = new TRadioGroup(&form);
  group->SetItems({"a", "b"});
  group->OnClick = [](TComponent*) { throw Exception("bad"); };
  group->ClickItem(1);
  Application().OnException = nullptr;
  EXPECT_EQ(seen, "bad");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(group->ItemIndex(), 1);
}

TEST_F(CapturedBoxes, MessageBoxPassesCaptionTextAndIcon) {
  Application().MessageBox(J("プリンタがありません"), J("　印刷"), TMsgIcon::Information);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, J("　印刷"));
  EXPECT_EQ(boxes[0].Text, J("プリンタがありません"));
  EXPECT_EQ(boxes[0].Icon, TMsgIcon::Information);
}

TEST(FormsAndControls, ShowModalReturnsTheModalResultWhenTheFormCloses) {
  Application().Initialize();
  TTestForm form(nullptr);
  auto* ok = new TButton(&form);
  ok->SetModalResult(mrOk);
  std::vector<std::string> log;
  form.OnShow = [&](TComponent*) {
    log.push_back("show");
    ok->Click();
  };
  form.OnCloseQuery = [&](TComponent*, bool& canClose) {
    log.push_back("query");
    canClose = true;
  };
  form.OnClose = [&](TComponent*, TCloseAction& action) {
    log.push_back("close");
    EXPECT_EQ(action, TCloseAction::caHide);
  };
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(log, (std::vector<std::string>{"show", "query", "close"}));
}

TEST(FormsAndControls, CloseActionDecidesWhatHappensToTheWindow) {
  Application().Initialize();
  TTestForm form(nullptr);
  form.Show();
  EXPECT_TRUE(form.Visible());
  bool allow = false;
  form.OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = allow; };
  form.Close();
  EXPECT_TRUE(form.Visible());  // the close query said no
  allow = true;
  TCloseAction next = TCloseAction::caNone;
  form.OnClose = [&](TComponent*, TCloseAction& action) { action = next; };
  form.Close();
  EXPECT_TRUE(form.Visible());  // caNone keeps it open
  next = TCloseAction::caHide;
  form.Close();
  EXPECT_FALSE(form.Visible());
}

TEST(FormsAndControls, ReleasedFormIsFreedAfterTheCurrentEvent) {
  Application().Initialize();
  CountedLabel::destroyed = 0;
  auto* form = new TTestForm(&Application());
  new CountedLabel(form);
  form->OnClose = [](TComponent*, TCloseAction& action) { action = TCloseAction::caFree; };
  form->Show();
  form->Close();
  EXPECT_EQ(CountedLabel::destroyed, 0);
  Application().ProcessMessages();
  EXPECT_EQ(CountedLabel::destroyed, 1);
}

TEST(FormsAndControls, KeyPreviewShowsTheFormEveryKeyFirstAndAKeyItTakesGoesNoFurther) {
  Application().Initialize();
  TTestForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetBounds(10, 10, 120, 24);
  std::vector<int> seen;
  form.OnKeyDown = [&](TComponent* sender, int& key, TShiftState) {
    EXPECT_EQ(sender, &form);
    seen.push_back(key);
    if (key == 'B' || key == VK_NEXT) key = 0;
  };
  form.Show();
  edit->SetFocus();
  // Without KeyPreview the form sees only what the edit box leaves: not the letter it types.
  SimulateKey(form, 'A');
  SimulateKey(form, VK_NEXT);
  EXPECT_EQ(seen, std::vector<int>{VK_NEXT});
  EXPECT_EQ(edit->Text(), "a");
  seen.clear();
  form.SetKeyPreview(true);
  SimulateKey(form, 'A');
  SimulateKey(form, 'B');  // taken by the form
  SimulateKey(form, VK_SUBTRACT);
  EXPECT_EQ(seen, (std::vector<int>{'A', 'B', VK_SUBTRACT}));
  EXPECT_EQ(edit->Text(), "aa-");
}

TEST(FormsAndControls, SwallowedMoveCommandDoesNotReachTheDefault) {
  class Fixed : public TTestForm {
   public:
    using TTestForm::TTestForm;
    std::vector<unsigned> commands;

   protected:
    void SystemCommand(unsigned command, bool& handled) override {
      commands.push_back(command);
      handled = (command & 0xFFF0u) == SC_MOVE;
    }
  };
  Application().Initialize();
  Fixed form(nullptr);
  form.Show();
  form.PerformSystemCommand(SC_MOVE | 2);
  EXPECT_TRUE(form.Visible());
  form.PerformSystemCommand(SC_CLOSE);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(form.commands, (std::vector<unsigned>{SC_MOVE | 2, SC_CLOSE}));
}

TEST(FormsAndControls, FormBoundsAreOuterAndClientSizeIsInside) {
  Application().Initialize();
  TTestForm form(nullptr);
  form.SetBounds(20, 20, 853, 533);
  EXPECT_EQ(form.Width(), 853);
  EXPECT_EQ(form.Height(), 533);
  EXPECT_LE(form.ClientWidth(), 853);
  bool allow = false;
  form.OnCanResize = [&](TComponent*, int&, int&, bool& resize) { resize = allow; };
  form.SetBounds(20, 20, 400, 300);
  EXPECT_EQ(form.Width(), 853);  // refused
  allow = true;
  form.SetBounds(20, 20, 400, 300);
  EXPECT_EQ(form.Width(), 400);
}

TEST(FormsAndControls, FramedWindowKeepsTheOuterBoundsSetAndTheClientSizeAskedFor) {
  Application().Initialize();
  TTestForm outer(nullptr);
  outer.SetBounds(30, 40, 500, 400);
  outer.Show();
  ASSERT_TRUE(outer.WaitUntilFramed(30000));
  EXPECT_EQ(outer.BoundsRect(), Bounds(30, 40, 500, 400));
  const int frameWidth = 500 - outer.ClientWidth(), frameHeight = 400 - outer.ClientHeight();

  TTestForm client(nullptr);
  client.SetClientWidth(300);
  client.SetClientHeight(200);
  client.Show();
  ASSERT_TRUE(client.WaitUntilFramed(30000));
  EXPECT_EQ(client.ClientWidth(), 300);
  EXPECT_EQ(client.Width(), 300 + frameWidth);
  EXPECT_EQ(client.Height(), 200 + frameHeight);
}

TEST(FormsAndControls, DefaultPositionCentresTheSizeTheFormAsksForWithinTheWorkArea) {
  Application().Initialize();
  class TSizedForm : public TTestForm {
   public:
    using TTestForm::TTestForm;
    TSize asked;
    TSize DefaultSize(const TRect&) const override { return asked; }
  };
  TRect work = Screen().WorkAreaRect();
  TSizedForm form(nullptr);
  form.SetPosition(TPosition::poDefault);
  form.asked = {work.Width() / 2, work.Height() * 2};
  form.Show();
  EXPECT_EQ(form.BoundsRect(), Bounds(work.Left + (work.Width() - work.Width() / 2) / 2, work.Top,
                                      work.Width() / 2, work.Height()));
}

TEST(Screen, SizesAndCursor) {
  Application().Initialize();
  EXPECT_GT(Screen().Width(), 0);
  EXPECT_GT(Screen().Height(), 0);
  TRect work = Screen().WorkAreaRect();
  EXPECT_GT(work.Width(), 0);
  EXPECT_LE(work.Width(), Screen().Width());
  Screen().SetCursor(crHourGlass);
  EXPECT_EQ(Screen().Cursor(), crHourGlass);
  Screen().SetCursor(crDefault);
  EXPECT_EQ(Screen().Cursor(), crDefault);
}

TEST(Screen, ListsTheOpenForms) {
  int before = Screen().FormCount();
  {
    TTestForm a(nullptr);
    EXPECT_EQ(Screen().FormCount(), before + 1);
    EXPECT_EQ(Screen().Forms(before), &a);
  }
  EXPECT_EQ(Screen().FormCount(), before);
}

}  // namespace
}  // namespace tess

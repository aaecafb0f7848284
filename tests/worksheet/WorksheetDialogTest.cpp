// The worksheet dialog built from its stored design: defaults, layout, instruction texts, typing limit,
// closing, and the validity of every design the program holds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/components/EmbeddedDesign.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/InputSimulation.h"
#include "tests/support/MessageBoxCapture.h"
#include "worksheet/CatalogueGenerator.h"
#include "worksheet/WorksheetDialog.h"

namespace tess {
namespace {

Cp932String J(const char* utf8) {
  return Cp932String::FromUtf8(utf8);
}

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().Initialize();
    Application().SetTitle("Tessarine");
    form_ = std::make_unique<TForm1>(nullptr);
  }
  void TearDown() override { form_.reset(); }
  test::TMessageBoxCapture captured_;
  std::vector<TMessageBoxRequest>& boxes_ = captured_.Boxes;
  std::unique_ptr<TForm1> form_;
};

TEST_F(Form1Test, StartsWithTheDefaultsOfTheDesign) {
  TForm1& f = *form_;
  EXPECT_EQ(f.SquareNums->ItemIndex(), 0);
  EXPECT_EQ(f.SquareNums->Items()[0], J("３つ"));
  EXPECT_EQ(f.LevelType->ItemIndex(), 0);
  EXPECT_EQ(f.LevelType->Items()[0], J("周囲 (簡単)"));
  EXPECT_EQ(f.rgOpe->ItemIndex(), 0);
  EXPECT_EQ(f.rgOpe->Items()[0], J("足し算"));
  EXPECT_EQ(f.rgDate->ItemIndex(), 0);
  EXPECT_EQ(f.rgDate->Items()[0], J("なし"));
  EXPECT_EQ(f.edtPrintNum->Text(), Cp932String("1"));
  EXPECT_FALSE(f.chkOneAnswer->Checked());
  EXPECT_FALSE(f.CurrentSettings().oneAnswer);
  EXPECT_EQ(f.edtQuestMes1->Text(), J("１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角"));
  EXPECT_EQ(f.edtQuestMes2->Text(), J("形の中の指定された数になるように入れなさい。"));
  EXPECT_TRUE(boxes_.empty());
}

// The catalogues are made for the first worksheet, not while the window is being created; lines a
// catalogue already holds are kept.
TEST_F(Form1Test, CataloguesAreMadeForTheFirstWorksheet) {
  TForm1& f = *form_;
  EXPECT_EQ(f.Square3->Strings().Count(), 0);
  TStringList kept;
  kept.Add(Cp932String("12,1,4,5,2,7,3,6"));
  f.Square4->SetStrings(&kept);
  const CatalogueSet catalogues = f.Catalogues();
  for (int n : {3, 5, 6}) {
    TStringList expected;
    FillCatalogue(expected, n);
    const TStringList& made = *catalogues[static_cast<std::size_t>(n - 3)];
    ASSERT_EQ(made.Count(), expected.Count()) << n;
    for (int i = 0; i < made.Count(); ++i) ASSERT_EQ(made[i], expected[i]) << n << " line " << i;
  }
  ASSERT_EQ(catalogues[1]->Count(), 1);
  EXPECT_EQ((*catalogues[1])[0], Cp932String("12,1,4,5,2,7,3,6"));
}

TEST_F(Form1Test, WindowMatchesTheDesign) {
  TForm1& f = *form_;
  EXPECT_EQ(f.Name(), "Form1");
  EXPECT_EQ(f.Caption(), Cp932String("Tessarine"));
  EXPECT_EQ(f.ClientWidth(), 374);
  EXPECT_EQ(f.ClientHeight(), 295);
  EXPECT_EQ(f.BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(f.Position(), TPosition::poDesktopCenter);
  EXPECT_EQ(f.Color(), clBtnFace);
  EXPECT_EQ(f.Font().Name, Cp932String("Tahoma"));
  EXPECT_EQ(f.Font().Height, -11);
  EXPECT_EQ(f.Font().Color, clWindowText);
  EXPECT_TRUE(f.Label1->WordWrap());
  EXPECT_EQ(f.Label1->Caption(), Cp932String("Tessarine Ver.1.10"));
  EXPECT_EQ(f.BitBtn1->Kind(), TBitBtnKind::bkClose);
  EXPECT_TRUE(f.BitBtn1->HasGlyph());
  EXPECT_EQ(f.edtQuestMes1->MaxLength(), 62);
  EXPECT_EQ(f.edtQuestMes2->MaxLength(), 62);
  EXPECT_EQ(f.edtPrintNum->MaxLength(), 0);
  // Every control takes its font from the form.
  EXPECT_TRUE(f.Label3->ParentFont());
  EXPECT_EQ(f.rgOpe->Font().Name, Cp932String("Tahoma"));
}

struct ControlRow {
  const char* name;
  int left, top, width, height;
  const char* caption;  // UTF-8; nullptr for edits
  int tabOrder;         // -1 for controls without one
  std::vector<const char*> items;
};

TEST_F(Form1Test, ControlsSitWhereTheControlTableSays) {
  const std::vector<ControlRow> rows = {
      {"Label1", 10, 8, 354, 13, "Tessarine Ver.1.10", -1, {}},
      {"Bevel1", 8, 71, 355, 180, "", -1, {}},
      {"Label3", 17, 78, 48, 13, "問題番号", -1, {}},
      {"edtPrintNum", 71, 78, 26, 21, nullptr, 6, {}},
      {"rgDate", 107, 77, 104, 34, "月日の有無", 7, {"なし", "あり"}},
      {"rgOpe", 224, 78, 129, 33, "演算の種類", 8, {"足し算", "掛け算"}},
      {"Label2", 17, 105, 36, 13, "問題文", -1, {}},
      {"edtQuestMes1", 17, 120, 336, 21, nullptr, 4, {}},
      {"edtQuestMes2", 17, 148, 336, 21, nullptr, 5, {}},
      {"SquareNums", 17, 176, 120, 66, "四角形の数", 0, {"３つ", "４つ", "５つ", "６つ"}},
      {"LevelType",
       143,
       176,
       210,
       66,
       "記入済みの数字の数",
       1,
       {"周囲 (簡単)", "周囲 (普通)", "３つ (ランダム)", "４つ (ランダム)"}},
      {"btnPreview", 184, 262, 86, 25, "プレビュー", 3, {}},
      {"BitBtn1", 288, 262, 75, 25, "閉じる(&C)", 2, {}},
      {"chkOneAnswer", 17, 266, 160, 17, "答えが一つの問題だけ", 9, {}},
  };
  for (const ControlRow& row : rows) {
    SCOPED_TRACE(row.name);
    auto* c = dynamic_cast<TControl*>(form_->FindComponent(row.name));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->BoundsRect(), Bounds(row.left, row.top, row.width, row.height));
    EXPECT_EQ(c->Parent(), form_.get());
    if (row.caption != nullptr) {
      EXPECT_EQ(c->Caption(), J(row.caption));
    }
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      EXPECT_EQ(w->TabOrder(), row.tabOrder);
    }
    if (auto* g = dynamic_cast<TRadioGroup*>(c)) {
      EXPECT_EQ(g->Columns(), 2);
      ASSERT_EQ(g->Items().size(), row.items.size());
      for (std::size_t i = 0; i < row.items.size(); ++i) EXPECT_EQ(g->Items()[i], J(row.items[i]));
    }
  }
}

TEST_F(Form1Test, RadioGroupItemsRunDownTwoColumns) {
  // Four items in two columns: 0 and 1 in the left column, 2 and 3 in the right, rows sharing the height.
  TRadioGroup* g = form_->SquareNums;
  TRect r0 = g->ItemBounds(0), r1 = g->ItemBounds(1), r2 = g->ItemBounds(2), r3 = g->ItemBounds(3);
  EXPECT_EQ(r0.Left, 8);
  EXPECT_EQ(r1.Left, 8);
  EXPECT_EQ(r2.Left, 8 + (120 - 10) / 2);
  EXPECT_EQ(r0.Top, r2.Top);
  EXPECT_EQ(r1.Top, r3.Top);
  EXPECT_GT(r1.Top, r0.Top);
  EXPECT_LE(r1.Bottom, 66);
}

struct TextRow {
  int ope, size;
  const char* line1;
  const char* line2;
};

const std::vector<TextRow> kTextTable = {
    {0, 0, "１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角",
     "形の中の指定された数になるように入れなさい。"},
    {0, 1, "１～９の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角",
     "形の中の指定された数になるように入れなさい。"},
    {0, 2, "１～１１の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四",
     "角形の中の指定された数になるように入れなさい。"},
    {0, 3, "１～１３の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四",
     "角形の中の指定された数になるように入れなさい。"},
    {1, 0, "１～７の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角形",
     "の中の指定された数になるように入れなさい。"},
    {1, 1, "１～９の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角形",
     "の中の指定された数になるように入れなさい。"},
    {1, 2, "１～１１の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角",
     "形の中の指定された数になるように入れなさい。"},
    {1, 3, "１～１３の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角",
     "形の中の指定された数になるように入れなさい。"},
};

TEST_F(Form1Test, ClickingEitherRadioGroupWritesTheTextPairOfTheTable) {
  for (const TextRow& row : kTextTable) {
    SCOPED_TRACE(std::to_string(row.ope) + "/" + std::to_string(row.size));
    EXPECT_EQ(J(row.line1).Length(), 62u);
    // The figure size last: SquareNums' click writes the texts.
    form_->SquareNums->ClickItem((row.size + 1) % 4);
    form_->rgOpe->ClickItem(row.ope);
    form_->edtQuestMes1->SetText("typed by the user");
    form_->SquareNums->ClickItem(row.size);
    EXPECT_EQ(form_->edtQuestMes1->Text(), J(row.line1));
    EXPECT_EQ(form_->edtQuestMes2->Text(), J(row.line2));
    // The operation last: rgOpe's click does the same.
    form_->rgOpe->ClickItem(1 - row.ope);
    form_->edtQuestMes2->SetText("typed by the user");
    form_->rgOpe->ClickItem(row.ope);
    EXPECT_EQ(form_->edtQuestMes1->Text(), J(row.line1));
    EXPECT_EQ(form_->edtQuestMes2->Text(), J(row.line2));
  }
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Form1Test, ProgramChangesOfTheSelectionUpdateTheTextsToo) {
  form_->SquareNums->SetItemIndex(2);
  EXPECT_EQ(form_->edtQuestMes1->Text(), J("１～１１の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四"));
  EXPECT_EQ(form_->edtQuestMes2->Text(), J("角形の中の指定された数になるように入れなさい。"));
}

TEST_F(Form1Test, LevelAndDateLeaveTheTextsAlone) {
  form_->edtQuestMes1->SetText(J("自分の問題文"));
  form_->edtQuestMes2->SetText(J("二行目"));
  for (int i : {1, 2, 3, 0}) form_->LevelType->ClickItem(i);
  form_->rgDate->ClickItem(1);
  form_->rgDate->ClickItem(0);
  EXPECT_EQ(form_->edtQuestMes1->Text(), J("自分の問題文"));
  EXPECT_EQ(form_->edtQuestMes2->Text(), J("二行目"));
  EXPECT_EQ(form_->LevelType->ItemIndex(), 0);
}

TEST_F(Form1Test, TypingLimitCountsCodePage932Bytes) {
  TEdit* e = form_->edtQuestMes1;
  e->SetText("");
  e->TypeText(J("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよ"));
  EXPECT_EQ(e->Text().Length(), 62u);  // 31 full-width characters fill the limit
  EXPECT_EQ(e->Text(), J("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま"));
  e->TypeText(J("あ"));
  EXPECT_EQ(e->Text().Length(), 62u);

  e->SetText("");
  e->TypeText(Cp932String(std::string(70, 'x').c_str()));
  EXPECT_EQ(e->Text(), Cp932String(std::string(62, 'x').c_str()));  // 62 half-width ones too

  // A full-width character never splits: with one byte left it is refused.
  e->SetText(Cp932String(std::string(61, 'y').c_str()));
  e->TypeText(J("漢"));
  EXPECT_EQ(e->Text().Length(), 61u);
  e->TypeText("z");
  EXPECT_EQ(e->Text().Length(), 62u);
}

TEST_F(Form1Test, CharactersWithoutACodeCannotBeEntered) {
  TEdit* e = form_->edtQuestMes1;
  e->SetText("");
  SimulateTextInput(*e, "a😀b한〜c");
  EXPECT_EQ(e->Text(), J("ab～c"));  // the JIS wave dash is the code page's ～
  SimulateTextInput(*e, "😀");
  EXPECT_EQ(e->Text(), J("ab～c"));
}

TEST_F(Form1Test, AssignedTextsLongerThanTheLimitStayWhole) {
  TEdit* e = form_->edtQuestMes2;
  Cp932String longText =
      J("この文は六十二バイトより長い問題文で、プログラムが入れたものなので切られません。");
  ASSERT_GT(longText.Length(), 62u);
  e->SetText(longText);
  EXPECT_EQ(e->Text(), longText);
  // Typing into a text already over the limit adds nothing.
  e->TypeText("!");
  EXPECT_EQ(e->Text(), longText);
}

TEST_F(Form1Test, CloseButtonAndCloseBoxEndTheProgram) {
  Application().SetMainForm(form_.get());
  form_->BitBtn1->Click();
  EXPECT_TRUE(Application().Terminated());
  Application().Initialize();  // clears the termination for the next run
  EXPECT_FALSE(Application().Terminated());
  form_->PerformSystemCommand(SC_CLOSE);
  EXPECT_TRUE(Application().Terminated());
  Application().Initialize();
  Application().SetMainForm(nullptr);
}

TEST_F(Form1Test, UserClicksOnTheDialogWorkLikeTheHandlersSay) {
  form_->Show();
  form_->edtQuestMes1->SetText("typed");
  TRect five = form_->SquareNums->ItemBounds(2);
  SimulateClick(*form_->SquareNums, five.Left + 6, five.Top + five.Height() / 2);
  EXPECT_EQ(form_->SquareNums->ItemIndex(), 2);
  EXPECT_EQ(form_->edtQuestMes1->Text(), J("１～１１の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四"));
  TRect product = form_->rgOpe->ItemBounds(1);
  SimulateClick(*form_->rgOpe, product.Left + 6, product.Top + product.Height() / 2);
  EXPECT_EQ(form_->edtQuestMes1->Text(), J("１～１１の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角"));
  EXPECT_EQ(form_->edtQuestMes2->Text(), J("形の中の指定された数になるように入れなさい。"));

  // The check box ticks and clears with the user's clicks.
  SimulateClick(*form_->chkOneAnswer, 8, 8);
  EXPECT_TRUE(form_->chkOneAnswer->Checked());
  EXPECT_TRUE(form_->CurrentSettings().oneAnswer);
  SimulateClick(*form_->chkOneAnswer, 8, 8);
  EXPECT_FALSE(form_->chkOneAnswer->Checked());

  Application().SetMainForm(form_.get());
  SimulateClick(*form_->BitBtn1, 30, 12);
  EXPECT_TRUE(Application().Terminated());
  Application().Initialize();
  Application().SetMainForm(nullptr);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Form1Test, TabKeyVisitsTheControlsInTabOrder) {
  form_->Show();
  std::vector<std::string> visited;
  for (int i = 0; i < 12; ++i) {
    TWinControl* focused = FocusedControl(*form_);
    visited.push_back(focused != nullptr ? focused->Name() : "none");
    SimulateKey(*form_, VK_TAB);
  }
  // The count of worksheets comes last, after every control that was there before it.
  EXPECT_EQ(visited, (std::vector<std::string>{"SquareNums", "LevelType", "BitBtn1", "btnPreview",
                                               "edtQuestMes1", "edtQuestMes2", "edtPrintNum", "rgDate",
                                               "rgOpe", "chkOneAnswer", "spnCount", "SquareNums"}));
}

TEST_F(Form1Test, ArrowKeysMoveTheSelectionInsideARadioGroup) {
  form_->Show();
  ASSERT_EQ(FocusedControl(*form_), form_->SquareNums);
  SimulateKey(*form_, VK_DOWN);
  EXPECT_EQ(form_->SquareNums->ItemIndex(), 1);
  EXPECT_EQ(form_->edtQuestMes1->Text(), J("１～９の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角"));
  // Tab leaves the group from the newly selected item and comes back to it.
  SimulateKey(*form_, VK_TAB);
  EXPECT_EQ(FocusedControl(*form_), form_->LevelType);
  SimulateKey(*form_, VK_TAB, ssShift);
  EXPECT_EQ(FocusedControl(*form_), form_->SquareNums);
  EXPECT_EQ(form_->SquareNums->ItemIndex(), 1);
}

TEST(InstructionTexts, SelectionsOutsideTheTableGiveNothing) {
  EXPECT_FALSE(InstructionTexts(-1, 0));
  EXPECT_FALSE(InstructionTexts(2, 0));
  EXPECT_FALSE(InstructionTexts(0, 4));
  EXPECT_FALSE(InstructionTexts(0, -1));
  ASSERT_TRUE(InstructionTexts(1, 3));
}

TEST(StoredDesigns, EveryDesignOfTheProgramLoadsCleanly) {
  Application().Initialize();
  bool sawForm1 = false;
  for (const EmbeddedDesign& design : EmbeddedDesigns()) {
    SCOPED_TRACE(design.name);
    sawForm1 |= std::string(design.name) == "WorksheetDialog";
    DesignReadReport report = design.check();
    for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
  }
  EXPECT_TRUE(sawForm1);
}

}  // namespace
}  // namespace tess

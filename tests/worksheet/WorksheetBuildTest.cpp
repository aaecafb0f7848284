// "プレビュー" end to end without a window: the dialog builds the two-page worksheet on plPrev1, and printing
// advances the problem number. Everything is read back from the recorded pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/emf/EmfRecords.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/MessageBoxCapture.h"
#include "worksheet/FigureGeometry.h"
#include "worksheet/PuzzleSolver.h"
#include "worksheet/Random.h"
#include "worksheet/WorksheetDialog.h"

namespace tess {
namespace {

std::string Utf8(const std::u16string& s) {
  return FromUtf16(s).ToUtf8();
}

class WorksheetBuild : public ::testing::Test {
 protected:
  void SetUp() override { StartDialog(false); }
  void TearDown() override {
    form_.reset();
    scope_.reset();
  }

  // A fresh dialog, with or without a printer installed (the printers are counted when it is created).
  void StartDialog(bool withPrinter) {
    std::vector<TVirtualPrinter> printers;
    if (withPrinter) printers.push_back(TVirtualPrinterSystem::StandardPrinter("Laser"));
    StartDialogWith(printers);
  }
  // A fresh dialog with these printers, the first one the default printer.
  void StartDialogWith(std::vector<TVirtualPrinter> printers) {
    form_.reset();
    scope_.reset();  // the previous system goes back before the new one comes in
    auto system = std::make_unique<TVirtualPrinterSystem>();
    for (TVirtualPrinter& printer : printers) {
      if (&printer == &printers.front()) printer.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
      system->AddPrinter(printer);
    }
    printers_ = system.get();
    scope_ = std::make_unique<TScopedPrinterSystem>(std::move(system));
    Application().Initialize();
    Application().SetTitle("Tessarine");
    form_ = std::make_unique<TForm1>(nullptr);
    form_->FormShow(form_.get());
    RandSeed(7);
  }

  // Presses "プレビュー" the way the user does: through the general handler.
  void PressPreview() {
    Application().RunHandler(form_->btnPreview, [this] { form_->btnPreviewClick(form_->btnPreview); });
  }

  std::vector<test::TTextRecord> PageTexts(int page) {
    return test::TextRecords(*form_->plPrev1->Pages(page));
  }
  std::vector<std::string> PageStrings(int page) {
    std::vector<std::string> out;
    for (const test::TTextRecord& t : PageTexts(page)) out.push_back(Utf8(t.Text));
    return out;
  }
  int Discs(int page) {
    return static_cast<int>(test::RectRecords(*form_->plPrev1->Pages(page), emf::EMR_ELLIPSE).size());
  }

  test::TMessageBoxCapture captured_;
  std::vector<TMessageBoxRequest>& boxes_ = captured_.Boxes;
  std::unique_ptr<TScopedPrinterSystem> scope_;
  TVirtualPrinterSystem* printers_ = nullptr;
  std::unique_ptr<TForm1> form_;
};

TEST_F(WorksheetBuild, DefaultWorksheetHasQuestionAndAnswerPages) {
  PressPreview();
  ASSERT_TRUE(boxes_.empty());
  TplPrev& doc = *form_->plPrev1;
  ASSERT_EQ(doc.PageCount(), 2);
  for (int page = 0; page < 2; ++page) {
    std::vector<std::string> texts = PageStrings(page);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], "問題No.1");
    EXPECT_EQ(texts[1], "（　　　　　　　　　　　）");
    EXPECT_EQ(texts[2], "１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角");
    EXPECT_EQ(texts[3], "形の中の指定された数になるように入れなさい。");
    EXPECT_EQ(Discs(page), 6 * 7);  // six figures of seven vertices
  }
  // Questions: three spokes and three values per figure; answers: every number and three values.
  EXPECT_EQ(PageStrings(0).size(), 4u + 6u * (3 + 3));
  EXPECT_EQ(PageStrings(1).size(), 4u + 6u * (7 + 3));
  // The same puzzles on both pages: the given numbers are among the answers of the same figure.
  std::vector<std::string> questions = PageStrings(0), answers = PageStrings(1);
  for (int figure = 0; figure < 6; ++figure) {
    auto q = questions.begin() + 4 + figure * 6;
    auto a = answers.begin() + 4 + figure * 10;
    EXPECT_TRUE(std::equal(q + 3, q + 6, a + 7)) << "values of figure " << figure;
    for (auto given = q; given != q + 3; ++given) EXPECT_NE(std::find(a, a + 7, *given), a + 7);
  }
  EXPECT_EQ(form_->ProblemNo(), 0);  // counted down after page 2's header
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("1"));
}

TEST_F(WorksheetBuild, DateLineIsAddedAndNothingElseMoves) {
  PressPreview();
  std::vector<test::TTextRecord> without = PageTexts(0);
  form_->rgDate->SetItemIndex(1);
  PressPreview();
  std::vector<test::TTextRecord> with = PageTexts(0);
  ASSERT_EQ(with.size(), without.size() + 1);
  EXPECT_EQ(Utf8(with[4].Text), "月　　日　（　　）　　分　　秒");
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(with[i].Reference, without[i].Reference) << i;
    EXPECT_EQ(with[i].Text, without[i].Text);
  }
}

TEST_F(WorksheetBuild, FiguresSitAtTheirSlotsOnBothPages) {
  // The slot centres of the page, by figure size: six for three quadrilaterals, two for the others. Each
  // figure's first disc (160 across, the vertex font's height twice) is its centre's.
  const std::vector<PagePoint> slots[] = {
      {{600, 800}, {1500, 800}, {600, 1650}, {1500, 1650}, {600, 2500}, {1500, 2500}},
      {{1055, 1100}, {1055, 2300}},
      {{1050, 1100}, {1050, 2300}},
      {{1050, 1100}, {1050, 2300}},
  };
  for (int size = 0; size < 4; ++size) {
    SCOPED_TRACE(size);
    form_->SquareNums->SetItemIndex(size);
    form_->SquareNumsClick(form_->SquareNums);
    PressPreview();
    const std::size_t discsPerFigure = 2 * static_cast<std::size_t>(size + 3) + 1;
    for (int page = 0; page < 2; ++page) {
      std::vector<TRect> discs = test::RectRecords(*form_->plPrev1->Pages(page), emf::EMR_ELLIPSE);
      ASSERT_EQ(discs.size(), slots[size].size() * discsPerFigure);
      for (std::size_t k = 0; k < slots[size].size(); ++k) {
        const PagePoint c = slots[size][k];
        EXPECT_EQ(discs[k * discsPerFigure], (TRect{c.x - 80, c.y - 80, c.x + 80, c.y + 80}))
            << "page " << page << " slot " << k;
      }
    }
  }
}

TEST_F(WorksheetBuild, OneAnswerWorksheetsShowTheGivensChosenWithTheirPuzzles) {
  form_->SquareNums->SetItemIndex(3);
  form_->LevelType->SetItemIndex(2);
  form_->chkOneAnswer->SetChecked(true);
  PressPreview();
  ASSERT_TRUE(boxes_.empty());
  // Per figure its three given numbers, then six values.
  const std::vector<std::string> questions = PageStrings(0);
  ASSERT_EQ(questions.size(), 4u + 2u * (3 + 6));
  for (std::size_t slot = 0; slot < 2; ++slot) {
    const TPuzzleData& puzzle = PuzzleData()[slot];
    ASSERT_TRUE(puzzle.Given);
    ASSERT_EQ(puzzle.Given->size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(questions[4 + slot * 9 + i],
                puzzle.NumStr[static_cast<std::size_t>((*puzzle.Given)[i])].ToUtf8());
    }
    EXPECT_EQ(CountAnswers(QuestionOf(puzzle, 6, 0, *puzzle.Given)), 1);
  }
  // Without the choice the drawing picks the given positions itself, as it always has.
  form_->chkOneAnswer->SetChecked(false);
  PressPreview();
  EXPECT_FALSE(PuzzleData()[0].Given);
}

TEST_F(WorksheetBuild, ProblemNumbersKeepTheirSign) {
  for (const char* number : {"0", "-3", "2147483646", "-2147483647"}) {
    form_->edtPrintNum->SetText(number);
    PressPreview();
    EXPECT_EQ(PageStrings(0)[0], std::string("問題No.") + number);
    EXPECT_EQ(PageStrings(1)[0], std::string("問題No.") + number);
  }
}

TEST_F(WorksheetBuild, NoIntegerShowsTheConversionErrorAndChangesNothing) {
  for (const char* bad : {"", "abc", "2147483648"}) {
    boxes_.clear();
    form_->edtPrintNum->SetText(bad);
    PressPreview();
    ASSERT_EQ(boxes_.size(), 1u) << bad;
    EXPECT_EQ(boxes_[0].Text.ToUtf8(), std::string("'") + bad + "' は整数ではありません.");
    EXPECT_EQ(boxes_[0].Caption, Cp932String("Tessarine"));
    EXPECT_EQ(form_->plPrev1->DocState(), TplPrevDocState::dsEmpty);
    EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String(bad));
  }
}

TEST_F(WorksheetBuild, NumbersWhoseNeighboursTheCounterCannotHoldAreRefused) {
  for (const char* bad : {"2147483647", "-2147483648"}) {
    boxes_.clear();
    form_->edtPrintNum->SetText(bad);
    PressPreview();
    ASSERT_EQ(boxes_.size(), 1u) << bad;
    EXPECT_EQ(boxes_[0].Text.ToUtf8(),
              std::string("'") + bad + "' は問題番号の範囲 -2147483647 ～ 2147483646 の外です.");
    EXPECT_EQ(form_->plPrev1->DocState(), TplPrevDocState::dsEmpty);
    EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String(bad));
  }
}

TEST_F(WorksheetBuild, AFailedBuildEndsTheDocumentAndReportsTheError) {
  TStringList broken;
  for (int i = 0; i < 6; ++i) broken.Add("12,1,4,5");
  form_->Square3->SetStrings(&broken);
  PressPreview();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].Text.ToUtf8().find("12,1,4,5"), std::string::npos);
  TplPrev& doc = *form_->plPrev1;
  EXPECT_EQ(doc.DocState(), TplPrevDocState::dsRecorded);
  EXPECT_EQ(doc.PageCount(), 1);  // the header drawn so far was kept as the last page
  EXPECT_EQ(doc.Canvas(), nullptr);
}

TEST_F(WorksheetBuild, EveryPrintedPageAdvancesTheProblemNumber) {
  StartDialog(true);
  form_->edtPrintNum->SetText("7");
  PressPreview();
  ASSERT_EQ(form_->plPrev1->PageCount(), 2);
  form_->plPrev1->Print();
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("8"));
  form_->plPrev1->Print();
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("10"));
  // A job that could not be handed over counts no page.
  printers_->FindPrinter("Laser")->refusesJobs = true;
  EXPECT_THROW(form_->plPrev1->Print(), EPrinterError);
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("10"));
  ASSERT_EQ(printers_->Jobs().size(), 3u);
  EXPECT_EQ(printers_->Jobs()[0].pageCount, 2);
  EXPECT_EQ(printers_->Jobs()[0].title.ToUtf8(), "印刷プレビュー[TSRN]");
  // At the top of the range the count stops instead of wrapping round.
  printers_->FindPrinter("Laser")->refusesJobs = false;
  form_->edtPrintNum->SetText("2147483646");
  PressPreview();
  form_->plPrev1->Print();
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("2147483647"));
  form_->plPrev1->Print();
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("2147483647"));
}

TEST_F(WorksheetBuild, AClassSetIsOneDocumentOfTheWorksheetsSingleBuildsMake) {
  StartDialog(true);
  std::vector<std::vector<std::uint8_t>> single;
  RandSeed(5);
  for (int sheet = 0; sheet < 3; ++sheet) {
    form_->edtPrintNum->SetText(IntToStr(20 + sheet));
    PressPreview();
    for (int page = 0; page < 2; ++page) single.push_back(form_->plPrev1->Pages(page)->Bytes());
  }
  RandSeed(5);
  form_->edtPrintNum->SetText("20");
  form_->spnCount->SetValue(3);
  PressPreview();
  ASSERT_TRUE(boxes_.empty());
  ASSERT_EQ(form_->plPrev1->PageCount(), 6);
  for (int page = 0; page < 6; ++page) {
    EXPECT_EQ(PageStrings(page)[0], "問題No." + std::to_string(20 + page / 2)) << page;
    EXPECT_EQ(form_->plPrev1->Pages(page)->Bytes(), single[static_cast<std::size_t>(page)]) << page;
  }
  EXPECT_EQ(form_->ProblemNo(), 17);  // counted down once per worksheet
  EXPECT_EQ(form_->edtPrintNum->Text(), Cp932String("20"));
}

TEST_F(WorksheetBuild, PrintedPagesOfASetCountOnFromTheNumberBeforeIt) {
  StartDialog(true);
  form_->spnCount->SetValue(3);
  auto build = [this] {
    form_->edtPrintNum->SetText("20");
    PressPreview();
    ASSERT_EQ(form_->plPrev1->PageCount(), 6);
  };
  auto print = [this](TplPageSet set) {
    form_->plPrev1->SetPageChoice({{}, set, false});
    form_->plPrev1->Print();
    return form_->edtPrintNum->Text().ToUtf8();
  };
  build();
  EXPECT_EQ(print(TplPageSet::psAll), "23");  // the whole set once: ready for the next set
  build();
  EXPECT_EQ(print(TplPageSet::psOdd), "20");   // every question page
  EXPECT_EQ(print(TplPageSet::psEven), "23");  // then every answer page
  build();
  form_->plPrev1->SetPrintFromPage(3);
  form_->plPrev1->SetPrintToPage(3);
  EXPECT_EQ(print(TplPageSet::psAll), "18");  // one page only
  ASSERT_EQ(printers_->Jobs().size(), 4u);
  EXPECT_EQ(printers_->Jobs()[0].pageCount, 6);  // one job for the set

  // The set counts down below its first number: that must stay within the counter.
  boxes_.clear();
  form_->edtPrintNum->SetText("-2147483646");
  PressPreview();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].Text.ToUtf8(), "'-2147483646' は問題番号の範囲 -2147483645 ～ 2147483644 の外です.");
  form_->edtPrintNum->SetText("-2147483645");
  PressPreview();
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(form_->ProblemNo(), INT32_MIN);
}

TEST_F(WorksheetBuild, HeaderFollowsThePrintableArea) {
  StartDialog(true);
  // The standard virtual printer: 600 dpi, 83 dots unprintable on the left, 74 on top, 60 on the right.
  const PrintAreaFrame& frame = form_->PrintArea();
  EXPECT_EQ(frame.left, 35);     // 83 * 254 / 600 = 35.13
  EXPECT_EQ(frame.top, 31);      // 74 * 254 / 600 = 31.32
  EXPECT_EQ(frame.width, 2039);  // (4961 - 83 - 60) * 254 / 600 = 2039.6
  PressPreview();
  std::vector<test::TRecord> records = test::RecordsOfType(*form_->plPrev1->Pages(0), emf::EMR_EXTTEXTOUTW);
  ASSERT_GE(records.size(), 2u);
  // The problem number starts at the frame's left edge + 5 mm and 5 mm down.
  auto number = test::As<emf::EmrExtTextOut>(records[0]);
  EXPECT_EQ(number.ptlReference.x, frame.left + 50);
  EXPECT_EQ(number.ptlReference.y, frame.top + 50);
  // The name bracket ends 5 mm inside the right edge of the printable area: its start plus its advances.
  auto bracket = test::As<emf::EmrExtTextOut>(records[1]);
  int width = 0;
  for (std::uint32_t i = 0; i < bracket.nChars; ++i) {
    width += emf::ReadAt<std::int32_t>(records[1].Bytes, bracket.offDx + 4 * i).value_or(0);
  }
  EXPECT_EQ(bracket.ptlReference.x + width, frame.left + frame.width - 50);
  EXPECT_EQ(bracket.ptlReference.y, frame.top + 70);
  // A driver reporting an absurd strip: its dots times 254 pass the int range, the result does not wrap.
  printers_->FindPrinter("Laser")->marginLeft = 20000000;
  form_->FormShow(form_.get());
  EXPECT_EQ(form_->PrintArea().left, 8466666);  // 20000000 * 254 / 600
}

TEST_F(WorksheetBuild, EveryPrinterChosenIsAskedForA4AndOneWithoutItGetsTheStoredA4Layout) {
  TVirtualPrinter letterFirst = TVirtualPrinterSystem::StandardPrinter("Letter First");
  letterFirst.defaultPaper = DMPAPER_LETTER;
  TVirtualPrinter letterOnly = TVirtualPrinterSystem::StandardPrinter("Letter Only");
  letterOnly.papers = {{DMPAPER_LETTER, "Letter", 2159, 2794}};
  letterOnly.defaultPaper = DMPAPER_LETTER;
  StartDialogWith({TVirtualPrinterSystem::StandardPrinter("Laser"), letterFirst, letterOnly});
  // Chosen after start-up, as the print command chooses: the header frame is that printer's A4 area.
  form_->plSetPrinter1->SetPrinterName("Letter First");
  form_->FormShow(form_.get());
  EXPECT_EQ(form_->plSetPrinter1->PaperSize(), DMPAPER_A4);
  EXPECT_EQ(form_->PrintArea().width, 2039);
  // No A4 at all: the worksheet is laid out on the stored A4 values, its header frame with them.
  form_->plSetPrinter1->SetPrinterName("Letter Only");
  form_->FormShow(form_.get());
  EXPECT_EQ(form_->PrintArea().left, 35);
  EXPECT_EQ(form_->PrintArea().top, 31);
  EXPECT_EQ(form_->PrintArea().width, 2032);
  PressPreview();
  ASSERT_TRUE(boxes_.empty());
  EXPECT_TRUE(form_->plPrev1->FitsPage());
  EXPECT_EQ(form_->plPrev1->PageHeight(), 2970);
}

TEST_F(WorksheetBuild, WithoutAPrinterTheHeaderUsesTheStoredPrintableArea) {
  // The main form's stored paper values: printable area 35 .. 2067 across, from 31 down.
  EXPECT_EQ(form_->PrintArea().left, 35);
  EXPECT_EQ(form_->PrintArea().top, 31);
  EXPECT_EQ(form_->PrintArea().width, 2032);
  PressPreview();
  std::vector<test::TRecord> records = test::RecordsOfType(*form_->plPrev1->Pages(0), emf::EMR_EXTTEXTOUTW);
  ASSERT_GE(records.size(), 2u);
  auto bracket = test::As<emf::EmrExtTextOut>(records[1]);
  EXPECT_GT(bracket.ptlReference.x, 1000);  // on the paper, at the right
}

}  // namespace
}  // namespace tess

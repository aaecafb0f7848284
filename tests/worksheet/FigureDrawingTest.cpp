// One puzzle figure drawn on a preview page, checked on the records that reach the page.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/gfx/emf/EmfRecords.h"
#include "preview/PreviewDocument.h"
#include "tests/preview/PreviewTestSupport.h"
#include "worksheet/FigureDrawing.h"
#include "worksheet/FigureGeometry.h"
#include "worksheet/Random.h"

namespace tess {
namespace {

std::string Utf8(const std::u16string& s) {
  return FromUtf16(s).ToUtf8();
}

class FigureDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    test::LoadMainFormPaper(preview);
    preview.BeginDoc();
  }

  // Draws one figure and ends the document.
  const TMetafile& Draw(int kind, const char* line, FigureShowing showing, int cx = 1050, int cy = 1100,
                        int radius = 450) {
    TPuzzleData puzzle;
    UnpackPuzzleLine(line, kind + 3, puzzle);
    DrawPuzzleFigure(preview, {kind, cx, cy, radius, 80, 2}, puzzle, showing);
    preview.EndDoc();
    return *preview.Pages(0);
  }

  std::vector<std::string> Texts(const TMetafile& page) {
    std::vector<std::string> out;
    for (const test::TTextRecord& t : test::TextRecords(page)) out.push_back(Utf8(t.Text));
    return out;
  }

  test::TRecordingHost host;
  test::TNoPrinters noPrinters;
  TComponent form{nullptr};
  TplPrev preview{&form};
};

const char* kLines[] = {"12,1,4,5,2,7,3,6", "14,1,7,5,6,2,9,3,8,4", "16,1,8,6,7,2,11,3,10,4,9,5",
                        "18,1,6,9,7,8,2,13,3,12,4,11,5,10"};

TEST_F(FigureDrawing, DiscsSitOnEveryPointAndTheLinesJoinThem) {
  for (int kind = 0; kind < 4; ++kind) {
    SCOPED_TRACE(kind);
    preview.BeginDoc();
    const TMetafile& page = Draw(kind, kLines[kind], {1, 0, 0}, 1055, 2300, 450);
    const int n = kind + 3;
    FigurePoints expected = ComputeFigurePoints(FigureModel::ForKind(kind), 1055, 2300, 450);

    // One white disc of diameter 160 per position, in position order.
    std::vector<TRect> discs = test::RectRecords(page, emf::EMR_ELLIPSE);
    ASSERT_EQ(discs.size(), static_cast<std::size_t>(2 * n + 1));
    for (int p = 0; p <= 2 * n; ++p) {
      const PagePoint c = expected.position[static_cast<std::size_t>(p)];
      EXPECT_EQ(discs[static_cast<std::size_t>(p)], (TRect{c.x - 80, c.y - 80, c.x + 80, c.y + 80}))
          << "p" << p;
    }

    // The outline p1 -> p2 -> ... -> p2n -> p1, then one line from the centre to every spoke.
    // (Text output moves the current position as well; only the moves that start a line count here.)
    std::vector<PagePoint> moves, lines;
    PagePoint lastMove;
    bool moved = false;
    for (const test::TRecord& r : test::ReadRecords(page)) {
      if (r.Type != emf::EMR_MOVETOEX && r.Type != emf::EMR_LINETO) continue;
      auto point = test::As<emf::EmrPoint>(r);
      const PagePoint p{point.point.x, point.point.y};
      if (r.Type == emf::EMR_MOVETOEX) {
        lastMove = p;
        moved = true;
        continue;
      }
      if (moved) moves.push_back(lastMove);
      moved = false;
      lines.push_back(p);
    }
    const FigureModel& figure = FigureModel::ForKind(kind);
    ASSERT_EQ(moves.size(), static_cast<std::size_t>(1 + n));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(2 * n + n));
    EXPECT_EQ(moves[0], expected.position[1]);
    for (int p = 2; p <= 2 * n; ++p)
      EXPECT_EQ(lines[static_cast<std::size_t>(p - 2)], expected.position[static_cast<std::size_t>(p)]);
    EXPECT_EQ(lines[static_cast<std::size_t>(2 * n - 1)], expected.position[1]);
    for (int s = 0; s < n; ++s) {
      EXPECT_EQ(moves[static_cast<std::size_t>(1 + s)], expected.position[0]);
      EXPECT_EQ(
          lines[static_cast<std::size_t>(2 * n + s)],
          expected.position[static_cast<std::size_t>(figure.SpokePositions()[static_cast<std::size_t>(s)])]);
    }
  }
}

TEST_F(FigureDrawing, AnswerPageShowsEveryNumberThenTheSumsInLabelOrder) {
  // n = 6: 13 numbers, then Q1..Q5 at L1..L5 and Q6 at L0: 18, 19, 20, 21, 22, 23.
  std::vector<std::string> texts = Texts(Draw(3, kLines[3], {1, 0, 0}));
  const std::vector<std::string> expected = {"1",  "6", "9",  "7",  "8",  "2",  "13", "3",  "12", "4",
                                             "11", "5", "10", "18", "19", "20", "21", "22", "23"};
  EXPECT_EQ(texts, expected);
}

TEST_F(FigureDrawing, EasyQuestionsGiveTheSpokesAndNormalOnesTheTips) {
  std::vector<std::string> easy = Texts(Draw(3, kLines[3], {0, 0, 0}));
  // Spokes 1, 3, ..., 11 of "18,1,6,9,7,8,2,13,3,12,4,11,5,10"; never the centre.
  EXPECT_EQ(easy,
            (std::vector<std::string>{"6", "7", "2", "3", "4", "5", "18", "19", "20", "21", "22", "23"}));
  preview.BeginDoc();
  std::vector<std::string> normal = Texts(Draw(1, kLines[1], {0, 1, 0}));
  // Tips 1, 3, 5, 7 of "14,1,7,5,6,2,9,3,8,4" (n = 4).
  EXPECT_EQ(normal, (std::vector<std::string>{"7", "6", "9", "8", "14", "15", "16", "17"}));
}

TEST_F(FigureDrawing, ProductLabelsMultiplyTheFourVertices) {
  std::vector<std::string> texts = Texts(Draw(0, kLines[0], {0, 0, 1}, 600, 800, 300));
  // Spokes 4, 2, 3 then L1 = Q1 = 1*4*5*2, L2 = Q2 = 1*2*7*3, L0 = Q3 = 1*3*6*4.
  EXPECT_EQ(texts, (std::vector<std::string>{"4", "2", "3", "40", "42", "72"}));
}

TEST_F(FigureDrawing, RandomHintsAreDistinctAndTheAnswerPageDrawsNoRandomNumbers) {
  RandSeed(11);
  for (int sheet = 0; sheet < 30; ++sheet) {
    preview.BeginDoc();
    std::vector<std::string> texts = Texts(Draw(0, kLines[0], {0, 3, 0}, 600, 800, 300));
    ASSERT_EQ(texts.size(), 4u + 3u);
    std::set<std::string> numbers(texts.begin(), texts.begin() + 4);
    EXPECT_EQ(numbers.size(), 4u);
  }
  RandSeed(12);
  const int untouched = Random(1000000);
  RandSeed(12);
  preview.BeginDoc();
  Draw(0, kLines[0], {1, 3, 0}, 600, 800, 300);
  EXPECT_EQ(Random(1000000), untouched);
}

TEST_F(FigureDrawing, OtherPagesShowNoVertexNumbersAndLabelsUseThreeQuartersOfTheFont) {
  const TMetafile& page = Draw(0, kLines[0], {2, 0, 0}, 600, 800, 300);
  std::vector<std::string> texts = Texts(page);
  EXPECT_EQ(texts, (std::vector<std::string>{"12", "13", "14"}));
  std::vector<emf::LogFontW> fonts = test::FontRecords(page);
  ASSERT_FALSE(fonts.empty());
  EXPECT_EQ(fonts.back().lfHeight, 60);
}

TEST_F(FigureDrawing, ABaseSumThatIsNoIntegerIsAConversionError) {
  TPuzzleData puzzle;
  UnpackPuzzleLine("12,1,4,5,2,7,3,6", 3, puzzle);
  puzzle.BaseSum = "x";
  EXPECT_THROW(DrawPuzzleFigure(preview, {0, 600, 800, 300, 80, 2}, puzzle, {0, 0, 0}), EConvertError);
  preview.EndDoc();
}

}  // namespace
}  // namespace tess

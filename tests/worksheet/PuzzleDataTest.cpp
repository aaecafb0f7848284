#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "worksheet/CatalogueGenerator.h"
#include "worksheet/PuzzleData.h"
#include "worksheet/PuzzleSolver.h"
#include "worksheet/Random.h"

namespace tess {
namespace {

TStringList Catalogue(int n) {
  TStringList list;
  FillCatalogue(list, n);
  return list;
}

TEST(UnpackPuzzleLine, KeepsTheTextsAndTheirValues) {
  TPuzzleData slot;
  UnpackPuzzleLine("12,1,4,5,2,7,3,6", 3, slot);
  EXPECT_EQ(slot.BaseSum, Cp932String("12"));
  const std::vector<std::string> texts = {"1", "4", "5", "2", "7", "3", "6"};
  for (std::size_t p = 0; p < texts.size(); ++p) {
    EXPECT_EQ(slot.NumStr[p].Bytes(), texts[p]);
    EXPECT_EQ(slot.NumVal[p], std::stoi(texts[p]));
  }
}

TEST(UnpackPuzzleLine, RejectsMalformedLinesNamingThemAndKeepsTheSlot) {
  TPuzzleData slot;
  UnpackPuzzleLine("12,1,4,5,2,7,3,6", 3, slot);
  const TPuzzleData before = slot;
  for (const char* bad : {"", "12", "12,1,4,5,2,7,3", "12,1,4,5,2,7,3,6,9", "x,1,4,5,2,7,3,6",
                          "12,1,4,,2,7,3,6", "12,1,4,5,2,7,3,six", "12,1,4,5,2,7,3,99999999999"}) {
    try {
      UnpackPuzzleLine(bad, 3, slot);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const EPuzzleLineError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("「") + bad + "」"), std::string::npos) << e.what();
    }
    EXPECT_EQ(slot.BaseSum, before.BaseSum);
    EXPECT_EQ(slot.NumVal, before.NumVal);
  }
}

TEST(UnpackPuzzleLine, LeavesPositionsBeyondTheFigureAlone) {
  TPuzzleData slot;
  UnpackPuzzleLine("18,1,6,9,7,8,2,13,3,12,4,11,5,10", 6, slot);
  UnpackPuzzleLine("12,1,4,5,2,7,3,6", 3, slot);
  EXPECT_EQ(slot.NumVal[12], 10);
  EXPECT_EQ(slot.NumStr[7], Cp932String("3"));
}

TEST(MakePuzzleData, ThreeQuadrilateralWorksheetsHoldSixDifferentLines) {
  RandSeed(1);
  TStringList catalogue = Catalogue(3);
  TPuzzleTable table;
  for (int sheet = 0; sheet < 500; ++sheet) {
    MakePuzzleData(catalogue, 0, table);
    std::set<std::string> lines;
    for (const TPuzzleData& slot : table) {
      std::string line = slot.BaseSum.Bytes();
      for (int p = 0; p < 7; ++p) line += "," + slot.NumStr[static_cast<std::size_t>(p)].Bytes();
      lines.insert(line);
    }
    ASSERT_EQ(lines.size(), 6u);
  }
}

TEST(MakePuzzleData, LargerFiguresFillOnlyTheFirstTwoSlots) {
  RandSeed(2);
  TPuzzleTable table;
  table[2].BaseSum = "untouched";
  MakePuzzleData(Catalogue(4), 1, table);
  EXPECT_FALSE(table[0].BaseSum.IsEmpty());
  EXPECT_FALSE(table[1].BaseSum.IsEmpty());
  EXPECT_EQ(table[2].BaseSum, Cp932String("untouched"));
}

// Every line is chosen about equally often in every slot: with 28 lines and 6 slots, 28 000 worksheets give
// 1 000 expected picks per line and slot; a chi-square over all cells stays far below its 0.1 % bound.
TEST(MakePuzzleData, EveryLineIsChosenAboutEquallyOften) {
  RandSeed(3);
  TStringList catalogue = Catalogue(3);
  std::map<std::string, int> index;
  for (int i = 0; i < catalogue.Count(); ++i) index[catalogue[i].Bytes()] = i;
  std::vector<std::vector<int>> picks(6, std::vector<int>(28, 0));
  TPuzzleTable table;
  const int sheets = 28000;
  for (int sheet = 0; sheet < sheets; ++sheet) {
    MakePuzzleData(catalogue, 0, table);
    for (int k = 0; k < 6; ++k) {
      std::string line = table[static_cast<std::size_t>(k)].BaseSum.Bytes();
      for (int p = 0; p < 7; ++p)
        line += "," + table[static_cast<std::size_t>(k)].NumStr[static_cast<std::size_t>(p)].Bytes();
      ++picks[static_cast<std::size_t>(k)][static_cast<std::size_t>(index.at(line))];
    }
  }
  const double expected = sheets / 28.0;
  for (int k = 0; k < 6; ++k) {
    double chi2 = 0;
    for (int c : picks[static_cast<std::size_t>(k)]) chi2 += (c - expected) * (c - expected) / expected;
    EXPECT_LT(chi2, 55.5) << "slot " << k;  // 27 degrees of freedom, p = 0.001
  }
}

TEST(MakePuzzleData, TwoSlotsRepeatAboutOnceInTheCatalogueSize) {
  RandSeed(4);
  TStringList catalogue = Catalogue(4);
  TPuzzleTable table;
  int same = 0;
  const int sheets = 20000;
  for (int sheet = 0; sheet < sheets; ++sheet) {
    MakePuzzleData(catalogue, 1, table);
    if (table[0].NumVal == table[1].NumVal) ++same;
  }
  // Expected 200 (one in 100); the bounds are more than five standard deviations wide.
  EXPECT_GT(same, 130);
  EXPECT_LT(same, 270);
}

TEST(MakePuzzleData, RefusesCataloguesThatCannotFillAWorksheet) {
  TStringList small;
  for (int i = 0; i < 5; ++i) small.Add("12,1,4,5,2,7,3,6");
  TPuzzleTable table;
  EXPECT_THROW(MakePuzzleData(small, 0, table), EPuzzleLineError);
  EXPECT_THROW(MakePuzzleData(TStringList(), 2, table), EPuzzleLineError);
}

std::string LineOf(const TPuzzleData& slot, int n) {
  std::string line = slot.BaseSum.Bytes();
  for (int p = 0; p <= 2 * n; ++p) line += "," + slot.NumStr[static_cast<std::size_t>(p)].Bytes();
  return line;
}

TEST(MakeOneAnswerPuzzleData, EveryFigureHasOneAnswerAtEveryLevel) {
  RandSeed(5);
  for (int kind = 0; kind < 4; ++kind) {
    const int n = kind + 3;
    const FigureModel& figure = FigureModel::ForKind(kind);
    const TStringList catalogue = Catalogue(n);
    for (int op = 0; op < 2; ++op) {
      for (int level = 0; level < 4; ++level) {
        SCOPED_TRACE("n " + std::to_string(n) + " op " + std::to_string(op) + " level " +
                     std::to_string(level));
        for (int sheet = 0; sheet < 5; ++sheet) {
          TPuzzleTable table;
          MakeOneAnswerPuzzleData(catalogue, kind, level, op, table);
          std::set<std::string> lines;
          for (int slot = 0; slot < (n == 3 ? 6 : 2); ++slot) {
            const TPuzzleData& puzzle = table[static_cast<std::size_t>(slot)];
            ASSERT_TRUE(puzzle.Given);
            const std::vector<int>& given = *puzzle.Given;
            if (level < 2) {
              const auto expected = level == 0 ? figure.SpokePositions() : figure.TipPositions();
              EXPECT_TRUE(std::equal(given.begin(), given.end(), expected.begin(), expected.end()));
            } else {
              EXPECT_EQ(given.size(), level == 2 ? 3u : 4u);
              EXPECT_EQ(std::set<int>(given.begin(), given.end()).size(), given.size());
            }
            EXPECT_EQ(CountAnswers(QuestionOf(puzzle, n, op, given)), 1) << LineOf(puzzle, n);
            lines.insert(LineOf(puzzle, n));
          }
          if (n == 3) {
            EXPECT_EQ(lines.size(), 6u);
          }
        }
      }
    }
  }
}

TEST(MakeOneAnswerPuzzleData, FixedGivensNeedAnotherPuzzleRandomOnesAnotherDraw) {
  // Level 1 gives the tips; with them this line has two answers, so only the other line will do.
  const char* twoAnswers = "14,1,9,2,8,3,7,4,6,5";
  const char* oneAnswer = "15,2,7,3,9,1,8,5,4,6";
  TStringList mixed;
  mixed.Add(twoAnswers);
  mixed.Add(oneAnswer);
  RandSeed(6);
  TPuzzleTable table;
  for (int sheet = 0; sheet < 20; ++sheet) {
    MakeOneAnswerPuzzleData(mixed, 1, 1, 0, table);
    EXPECT_EQ(LineOf(table[0], 4), oneAnswer);
    EXPECT_EQ(LineOf(table[1], 4), oneAnswer);
  }
  TStringList hopeless;
  hopeless.Add(twoAnswers);
  EXPECT_THROW(MakeOneAnswerPuzzleData(hopeless, 1, 1, 0, table), EPuzzleLineError);
  // At the random levels the same puzzle keeps being drawn; its given positions are drawn again instead.
  MakeOneAnswerPuzzleData(hopeless, 1, 2, 0, table);
  EXPECT_EQ(LineOf(table[0], 4), twoAnswers);
  EXPECT_EQ(CountAnswers(QuestionOf(table[0], 4, 0, *table[0].Given)), 1);

  // Given spokes always fix the centre and then every tip: level 0 takes the very lines drawn without
  // the choice.
  for (int kind = 0; kind < 4; ++kind) {
    const TStringList catalogue = Catalogue(kind + 3);
    TPuzzleTable plain, unique;
    RandSeed(7);
    MakePuzzleData(catalogue, kind, plain);
    RandSeed(7);
    MakeOneAnswerPuzzleData(catalogue, kind, 0, 1, unique);
    for (std::size_t slot = 0; slot < 6; ++slot) EXPECT_EQ(plain[slot].NumVal, unique[slot].NumVal);
  }
}

TEST(Random, StaysInRangeAndRepeatsForAFixedSeed) {
  RandSeed(42);
  std::vector<int> first;
  for (int m : {1, 2, 7, 13, 28, 1624, 2147483647}) {
    for (int i = 0; i < 1000; ++i) {
      int r = Random(m);
      ASSERT_GE(r, 0);
      ASSERT_LT(r, m);
      first.push_back(r);
    }
  }
  RandSeed(42);
  std::vector<int> second;
  for (int m : {1, 2, 7, 13, 28, 1624, 2147483647}) {
    for (int i = 0; i < 1000; ++i) second.push_back(Random(m));
  }
  EXPECT_EQ(first, second);
  EXPECT_THROW(Random(0), std::invalid_argument);
}

}  // namespace
}  // namespace tess

// The solver against independent answers: the catalogue generator (every placement for a run of sums) and
// trying every permutation.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "worksheet/CatalogueGenerator.h"
#include "worksheet/PuzzleSolver.h"

namespace tess {
namespace {

TPuzzleData Line(const char* line, int n) {
  TPuzzleData puzzle;
  UnpackPuzzleLine(line, n, puzzle);
  return puzzle;
}

std::vector<int> Tips(int n) {
  std::span<const int> tips = FigureModel::ForQuadrilaterals(n).TipPositions();
  return {tips.begin(), tips.end()};
}

Placement PlacementOf(std::initializer_list<int> numbers) {
  Placement p{};
  std::copy(numbers.begin(), numbers.end(), p.begin());
  return p;
}

std::set<Placement> Answers(const PuzzleQuestion& q) {
  std::vector<Placement> found = FindAnswers(q);
  return {found.begin(), found.end()};
}

TEST(PuzzleSolver, FindsBothAnswersOfAFigureWithTwo) {
  // Four quadrilaterals with the tips given: swapping numbers between spokes keeps every sum (or product).
  const PuzzleQuestion sums = QuestionOf(Line("14,1,9,2,8,3,7,4,6,5", 4), 4, 0, Tips(4));
  EXPECT_EQ(sums.values, (std::array<long long, 6>{14, 15, 16, 17, 0, 0}));
  EXPECT_EQ(Answers(sums), (std::set<Placement>{PlacementOf({1, 9, 2, 8, 3, 7, 4, 6, 5}),
                                                PlacementOf({1, 9, 3, 8, 2, 7, 5, 6, 4})}));
  const PuzzleQuestion products = QuestionOf(Line("18,7,9,2,8,1,5,6,4,3", 4), 4, 1, Tips(4));
  EXPECT_EQ(products.values, (std::array<long long, 6>{112, 210, 504, 378, 0, 0}));
  EXPECT_EQ(Answers(products), (std::set<Placement>{PlacementOf({7, 9, 2, 8, 1, 5, 6, 4, 3}),
                                                    PlacementOf({7, 9, 1, 8, 2, 5, 3, 4, 6})}));
  EXPECT_EQ(CountAnswers(products, 1), 1);  // the limit stops the search

  // The spokes given: one answer, the line itself.
  const std::vector<int> spokes = {1, 3, 5};
  const PuzzleQuestion one = QuestionOf(Line("12,1,4,5,2,7,3,6", 3), 3, 1, spokes);
  EXPECT_EQ(one.values, (std::array<long long, 6>{40, 42, 72, 0, 0, 0}));
  EXPECT_EQ(Answers(one), (std::set<Placement>{PlacementOf({1, 4, 5, 2, 7, 3, 6})}));
}

TEST(PuzzleSolver, WithNothingGivenASumQuestionHasEveryCatalogueLineOfItsValues) {
  for (int n = 3; n <= 6; ++n) {
    std::map<int, std::set<Placement>> byT;
    for (const Cp932String& line : GenerateCatalogueLines(n)) {
      const TPuzzleData puzzle = Line(line.Bytes().c_str(), n);
      Placement p{};
      std::copy(puzzle.NumVal.begin(), puzzle.NumVal.begin() + 2 * n + 1, p.begin());
      byT[StrToInt(puzzle.BaseSum)].insert(p);
    }
    for (const auto& [t, lines] : byT) {
      PuzzleQuestion q;
      q.quadrilaterals = n;
      for (int j = 0; j < n; ++j) q.values[static_cast<std::size_t>(j)] = t + j;
      EXPECT_EQ(Answers(q), lines) << "n " << n << " T " << t;
    }
  }
}

// Three quadrilaterals, every line, both operations, every set of given positions: the solver's count
// against every permutation of 1..7 that gives the same values and keeps the given numbers.
TEST(PuzzleSolver, AgreesWithTryingEveryPermutation) {
  const FigureModel& figure = FigureModel::ForQuadrilaterals(3);
  for (const Cp932String& line : GenerateCatalogueLines(3)) {
    const TPuzzleData puzzle = Line(line.Bytes().c_str(), 3);
    for (int op = 0; op < 2; ++op) {
      const PuzzleQuestion open = QuestionOf(puzzle, 3, op, {});
      std::vector<std::array<int, 7>> fitting;
      std::array<int, 7> p{};
      std::iota(p.begin(), p.end(), 1);
      do {
        bool fits = true;
        for (int j = 1; j <= 3 && fits; ++j) {
          long long value = op == 1 ? 1 : 0;
          for (int pos : figure.Quad(j).Positions())
            value =
                op == 1 ? value * p[static_cast<std::size_t>(pos)] : value + p[static_cast<std::size_t>(pos)];
          fits = value == open.values[static_cast<std::size_t>(j - 1)];
        }
        if (fits) fitting.push_back(p);
      } while (std::next_permutation(p.begin(), p.end()));

      for (unsigned mask = 0; mask < 128; ++mask) {
        std::vector<int> given;
        for (int pos = 0; pos < 7; ++pos)
          if ((mask >> pos) & 1) given.push_back(pos);
        const long long expected = std::count_if(fitting.begin(), fitting.end(), [&](const auto& f) {
          return std::all_of(given.begin(), given.end(), [&](int pos) {
            return f[static_cast<std::size_t>(pos)] == puzzle.NumVal[static_cast<std::size_t>(pos)];
          });
        });
        ASSERT_EQ(CountAnswers(QuestionOf(puzzle, 3, op, given)), expected)
            << line.Bytes() << " op " << op << " given mask " << mask;
      }
    }
  }
}

TEST(PuzzleSolver, QuestionsThatCannotBeAnsweredHaveNoAnswers) {
  const TPuzzleData puzzle = Line("12,1,4,5,2,7,3,6", 3);
  PuzzleQuestion q = QuestionOf(puzzle, 3, 0, std::vector<int>{1, 3});
  ASSERT_EQ(CountAnswers(q), 1);
  PuzzleQuestion bad = q;
  bad.given[5] = 4;  // the number printed at position 1 a second time
  EXPECT_EQ(CountAnswers(bad), 0);
  bad = q;
  bad.given[5] = 8;  // beyond 1..7
  EXPECT_EQ(CountAnswers(bad), 0);
  bad = q;
  bad.given[2] = -1;
  EXPECT_EQ(CountAnswers(bad), 0);
  bad = q;
  bad.values[2] = -5;
  EXPECT_EQ(CountAnswers(bad), 0);
  bad = q;
  bad.quadrilaterals = 7;
  EXPECT_EQ(CountAnswers(bad), 0);
  // A broken line's numbers: a product no placement reaches, and a number 0 that is not a blank.
  TPuzzleData broken = puzzle;
  broken.NumVal[2] = 99;
  EXPECT_EQ(CountAnswers(QuestionOf(broken, 3, 1, {})), 0);
  broken.NumVal[2] = 0;
  EXPECT_EQ(CountAnswers(QuestionOf(broken, 3, 0, std::vector<int>{2})), 0);
}

}  // namespace
}  // namespace tess

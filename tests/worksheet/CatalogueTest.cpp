#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "worksheet/CatalogueGenerator.h"
#include "worksheet/FigureModel.h"

namespace tess {
namespace {

std::vector<int> Fields(const Cp932String& line) {
  std::vector<int> out;
  std::stringstream in(line.Bytes());
  std::string field;
  while (std::getline(in, field, ',')) out.push_back(std::stoi(field));
  return out;
}

// The line counts per T, counted independently of the generator.
const std::map<int, std::map<int, int>> kCountsPerT = {
    {3, {{12, 2}, {13, 5}, {14, 3}, {15, 8}, {16, 3}, {17, 5}, {18, 2}}},
    {4, {{14, 4}, {15, 7}, {16, 12}, {17, 12}, {18, 15}, {19, 15}, {20, 12}, {21, 12}, {22, 7}, {23, 4}}},
    {5,
     {{16, 14},
      {17, 19},
      {18, 29},
      {19, 56},
      {20, 50},
      {21, 50},
      {22, 62},
      {23, 50},
      {24, 50},
      {25, 56},
      {26, 29},
      {27, 19},
      {28, 14}}},
    {6,
     {{18, 30},
      {19, 44},
      {20, 47},
      {21, 89},
      {22, 146},
      {23, 178},
      {24, 156},
      {25, 122},
      {26, 122},
      {27, 156},
      {28, 178},
      {29, 146},
      {30, 89},
      {31, 47},
      {32, 44},
      {33, 30}}},
};

class EveryCatalogue : public ::testing::TestWithParam<int> {};

TEST_P(EveryCatalogue, LinesSatisfyBothInvariantsOnceEachInTOrder) {
  const int n = GetParam();
  const FigureModel& figure = FigureModel::ForQuadrilaterals(n);
  std::vector<Cp932String> lines = GenerateCatalogueLines(n);
  std::set<Cp932String> distinct(lines.begin(), lines.end());
  EXPECT_EQ(distinct.size(), lines.size()) << "a line appears twice";

  std::map<int, int> perT;
  int previousT = 0;
  for (const Cp932String& line : lines) {
    std::vector<int> f = Fields(line);
    ASSERT_EQ(f.size(), static_cast<std::size_t>(2 * n + 2)) << line.Bytes();
    const int t = f[0];
    EXPECT_GE(t, previousT) << "not ordered by T";
    previousT = t;
    ++perT[t];
    std::vector<int> numbers(f.begin() + 1, f.end());
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> expected(static_cast<std::size_t>(2 * n + 1));
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(sorted, expected) << "not a permutation: " << line.Bytes();
    for (int j = 1; j <= n; ++j) {
      int sum = 0;
      for (int p : figure.Quad(j).Positions()) sum += numbers[static_cast<std::size_t>(p)];
      EXPECT_EQ(sum, t + j - 1) << "Q" << j << " of " << line.Bytes();
    }
  }
  EXPECT_EQ(perT, kCountsPerT.at(n));
}

INSTANTIATE_TEST_SUITE_P(Catalogues, EveryCatalogue, ::testing::Values(3, 4, 5, 6));

TEST(Catalogue, ThreeQuadrilateralsHoldExactlyTheKnownLines) {
  const std::set<std::string> known = {
      "12,1,4,5,2,7,3,6", "12,1,2,6,3,5,4,7", "13,4,3,5,1,7,2,6", "13,2,3,7,1,5,6,4", "13,4,1,6,2,5,3,7",
      "13,3,1,7,2,4,5,6", "13,2,1,6,4,3,5,7", "14,4,5,2,3,7,1,6", "14,5,4,3,2,7,1,6", "14,4,1,7,2,3,6,5",
      "15,2,5,1,7,3,4,6", "15,6,5,3,1,7,2,4", "15,7,3,4,1,6,2,5", "15,2,3,4,6,1,7,5", "15,6,3,2,4,5,1,7",
      "15,7,1,5,2,4,3,6", "15,1,7,2,5,4,6,3", "15,1,5,3,6,2,7,4", "16,4,3,2,7,1,5,6", "16,3,4,2,7,1,6,5",
      "16,4,7,3,2,5,6,1", "17,6,7,1,3,5,4,2", "17,4,7,1,5,3,6,2", "17,4,5,2,6,1,7,3", "17,5,7,2,3,4,6,1",
      "17,6,5,4,2,3,7,1", "18,7,6,1,4,3,5,2", "18,7,4,2,5,1,6,3"};
  std::set<std::string> generated;
  for (const Cp932String& line : GenerateCatalogueLines(3)) generated.insert(line.Bytes());
  EXPECT_EQ(generated, known);
}

TEST(Catalogue, LargerCataloguesHoldTheKnownFirstAndLastLines) {
  const std::map<int, std::vector<std::string>> ends = {
      {4, {"14,1,7,5,6,2,9,3,8,4", "23,9,4,5,3,6,2,7,1,8"}},
      {5, {"16,1,8,6,7,2,11,3,10,4,9,5", "28,11,5,6,4,7,3,8,2,9,1,10"}},
      {6, {"18,1,6,9,7,8,2,13,3,12,4,11,5,10", "33,13,12,6,7,5,8,4,9,3,10,2,11,1"}},
  };
  for (const auto& [n, lines] : ends) {
    std::set<std::string> generated;
    for (const Cp932String& line : GenerateCatalogueLines(n)) generated.insert(line.Bytes());
    for (const std::string& line : lines) EXPECT_TRUE(generated.count(line)) << line;
  }
}

TEST(Catalogue, LinesMadeBesideTheStartAreTheLinesMadeOnTheSpot) {
  TStringList onTheSpot;
  TakeGeneratedCatalogue(onTheSpot, 4);  // nothing started: made here
  StartCatalogueGeneration();
  StartCatalogueGeneration();  // once only
  for (int n = 3; n <= 6; ++n) {
    TStringList expected, taken;
    FillCatalogue(expected, n);
    TakeGeneratedCatalogue(taken, n);
    EXPECT_EQ(taken, expected) << n;
    if (n == 4) {
      EXPECT_EQ(onTheSpot, expected);
    }
  }
  TStringList again;
  TakeGeneratedCatalogue(again, 3);  // taken lines stay for the next dialog
  EXPECT_EQ(again.Count(), 28);
}

TEST(FigureModel, WorkedSumsAndWrappingQuadrilaterals) {
  // "12,1,4,5,2,7,3,6": Q1 = 1+4+5+2, Q2 = 1+2+7+3, Q3 = 1+3+6+4.
  const FigureModel& three = FigureModel::ForQuadrilaterals(3);
  const std::vector<int> p3 = {1, 4, 5, 2, 7, 3, 6};
  std::vector<int> sums;
  for (int j = 1; j <= 3; ++j) {
    int s = 0;
    for (int p : three.Quad(j).Positions()) s += p3[static_cast<std::size_t>(p)];
    sums.push_back(s);
  }
  EXPECT_EQ(sums, (std::vector<int>{12, 13, 14}));

  // "18,1,6,9,7,8,2,13,3,12,4,11,5,10": Q1 (0,3,4,5) = 18 and Q6 (0,1,2,3) = 23.
  const FigureModel& six = FigureModel::ForQuadrilaterals(6);
  const std::vector<int> p6 = {1, 6, 9, 7, 8, 2, 13, 3, 12, 4, 11, 5, 10};
  auto sum6 = [&](int j) {
    int s = 0;
    for (int p : six.Quad(j).Positions()) s += p6[static_cast<std::size_t>(p)];
    return s;
  };
  EXPECT_EQ(sum6(1), 18);
  EXPECT_EQ(sum6(6), 23);

  // For n = 4 and 5 position 1 is a tip and Qn wraps from 2n through 1 to 2.
  for (int n : {4, 5}) {
    const FigureModel& f = FigureModel::ForQuadrilaterals(n);
    EXPECT_TRUE(f.IsTip(1));
    EXPECT_EQ(f.Quad(n).Positions(), (std::array<int, 4>{0, 2 * n, 1, 2}));
  }
}

TEST(FigureModel, SpokesAndTipsSplitTheRing) {
  for (int n = 3; n <= 6; ++n) {
    const FigureModel& f = FigureModel::ForQuadrilaterals(n);
    std::set<int> ring;
    for (int p : f.SpokePositions()) ring.insert(p);
    for (int p : f.TipPositions()) ring.insert(p);
    EXPECT_EQ(ring.size(), static_cast<std::size_t>(2 * n));
    EXPECT_FALSE(f.IsSpoke(0));
    EXPECT_FALSE(f.IsTip(0));
    // Odd spokes for n = 3 and 6, even spokes for n = 4 and 5.
    const bool oddSpokes = n == 3 || n == 6;
    for (int p : f.SpokePositions()) EXPECT_EQ(p % 2 == 1, oddSpokes) << n << " " << p;
    // Every quadrilateral is centre, spoke, tip, spoke; Q(j+1) starts where Qj ends.
    for (int j = 1; j <= n; ++j) {
      const Quadrilateral& q = f.Quad(j);
      EXPECT_EQ(q.centre, 0);
      EXPECT_TRUE(f.IsSpoke(q.spoke));
      EXPECT_TRUE(f.IsTip(q.tip));
      EXPECT_EQ(q.nextSpoke, f.Quad(j % n + 1).spoke);
    }
  }
  EXPECT_THROW(FigureModel::ForQuadrilaterals(7), std::out_of_range);
}

}  // namespace
}  // namespace tess

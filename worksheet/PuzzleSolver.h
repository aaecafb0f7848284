#pragma once
// Solving a question page's figure: every placement of the numbers 1..2n+1 on the positions 0..2n, each
// number once, whose quadrilaterals give the printed values (sums or products) and which keeps the printed
// numbers where they are. A figure is fair to a pupil when exactly one placement answers it.

#include <array>
#include <functional>
#include <limits>
#include <span>
#include <vector>

#include "worksheet/FigureModel.h"
#include "worksheet/PuzzleData.h"

namespace tess {

// What the question page shows of one figure.
struct PuzzleQuestion {
  int quadrilaterals = kMinQuadrilaterals;  // n
  int operation = 0;                        // rgOpe item: 0 sums, 1 products
  // The value printed in Qj, at index j - 1.
  std::array<long long, kMaxQuadrilaterals> values{};
  // The number printed on each position; 0 where the position is left blank.
  std::array<int, kMaxPositions> given{};
};

// A number for each position 0..2n (entries beyond 2n are 0).
using Placement = std::array<int, kMaxPositions>;

// Calls `onAnswer` for every placement that answers `question`, in a fixed order, until it returns false.
// Returns the number of placements passed to it. A question that cannot be answered (n outside 3..6, a
// printed number outside 1..2n+1 or printed twice) has no answers.
int SolvePuzzle(const PuzzleQuestion& question, const std::function<bool(const Placement&)>& onAnswer);

// The number of answers, counting no further than `limit` (2 tells one answer from several).
int CountAnswers(const PuzzleQuestion& question, int limit = std::numeric_limits<int>::max());

// Every answer, in the solver's order.
std::vector<Placement> FindAnswers(const PuzzleQuestion& question);

// The question the page puts for `puzzle` (n quadrilaterals) with the numbers on `given` printed: sums
// are BaseSum, BaseSum + 1, ... as the drawing writes them; products come from the numbers. A BaseSum that
// is not an integer throws the conversion error, as the drawing does.
PuzzleQuestion QuestionOf(const TPuzzleData& puzzle, int n, int operation, std::span<const int> given);

}  // namespace tess

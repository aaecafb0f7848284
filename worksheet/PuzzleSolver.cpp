#include "worksheet/PuzzleSolver.h"

#include <algorithm>

namespace tess {
namespace {

// Depth-first search round the fan. The centre and a first spoke are tried with every free number; then
// each quadrilateral in turn takes its next spoke, and its value leaves one number for its tip (the value
// less the other three in sum mode, the value divided by them in product mode). The last quadrilateral
// closes on the first spoke, so only its tip is left. The walk starts at the quadrilateral with the most
// printed numbers, where they cut the search soonest.
//
// In sum mode the values also fix the spokes' total: adding up all n quadrilaterals counts the centre n
// times, every spoke twice and every tip once, and spokes and tips together hold every number but the
// centre's. That rules out most centres, bounds every spoke still to place, and leaves one last spoke.
class Search {
 public:
  Search(const PuzzleQuestion& question, const std::function<bool(const Placement&)>& onAnswer)
      : FQ(question), FFigure(FigureModel::ForQuadrilaterals(question.quadrilaterals)), FOnAnswer(onAnswer) {}

  // False when the printed numbers cannot belong to any placement.
  bool Prepare() {
    FNumbers = FFigure.Numbers();
    for (int p = 0; p < FFigure.Positions(); ++p) {
      const int number = FQ.given[static_cast<std::size_t>(p)];
      if (number == 0) continue;
      if (number < 1 || number > FNumbers || (FReserved & Bit(number)) != 0) return false;
      FReserved |= Bit(number);
    }
    // A printed first spoke fixes it; a printed tip ties the next spoke to it.
    int best = -1;
    for (int j = 1; j <= FFigure.Quadrilaterals(); ++j) {
      const Quadrilateral& quad = FFigure.Quad(j);
      const int score = 2 * Printed(quad.spoke) + Printed(quad.tip) + Printed(quad.nextSpoke);
      if (score > best) best = score, FStart = j;
    }
    return true;
  }

  int Run() {
    const int centre = 0;
    const int firstSpoke = QuadAt(1).spoke;
    for (int c = 1; c <= FNumbers && !FStopped; ++c) {
      if (!Place(centre, c)) continue;
      FSpokesLeft = SpokeTotal(c);
      if (!Sums() || SpokesCanReach(0)) {
        for (int s = 1; s <= FNumbers && !FStopped; ++s) {
          if (!Place(firstSpoke, s)) continue;
          FSpokesLeft -= s;
          Step(1);
          FSpokesLeft += s;
          Remove(firstSpoke);
        }
      }
      Remove(centre);
    }
    return FFound;
  }

 private:
  static unsigned Bit(int number) { return 1u << number; }
  bool Sums() const { return FQ.operation != 1; }
  int Printed(int position) const { return FQ.given[static_cast<std::size_t>(position)] != 0 ? 1 : 0; }
  int At(int position) const { return FPlacement[static_cast<std::size_t>(position)]; }
  // The quadrilateral of step k = 1..n of the walk, and its index j (Qj).
  int QuadIndexAt(int k) const { return (FStart + k - 2) % FFigure.Quadrilaterals() + 1; }
  const Quadrilateral& QuadAt(int k) const { return FFigure.Quad(QuadIndexAt(k)); }

  // The spokes' total in sum mode for centre c.
  long long SpokeTotal(int c) const {
    const int n = FFigure.Quadrilaterals();
    long long values = 0;
    for (int j = 0; j < n; ++j) values += FQ.values[static_cast<std::size_t>(j)];
    const long long everyNumber = static_cast<long long>(FNumbers) * (FNumbers + 1) / 2;
    return values - static_cast<long long>(n - 1) * c - everyNumber;
  }

  // Puts `number` on `position` if it may go there: free, and either the printed number of the position
  // or, on a blank position, no printed number of another one.
  bool Place(int position, int number) {
    const int printed = FQ.given[static_cast<std::size_t>(position)];
    if (printed != 0 ? number != printed : (FReserved & Bit(number)) != 0) return false;
    if ((FUsed & Bit(number)) != 0) return false;
    FUsed |= Bit(number);
    FPlacement[static_cast<std::size_t>(position)] = number;
    return true;
  }
  void Remove(int position) {
    FUsed &= ~Bit(FPlacement[static_cast<std::size_t>(position)]);
    FPlacement[static_cast<std::size_t>(position)] = 0;
  }

  // Sum mode, before step k takes its next spoke: can the spokes still to place (the next spokes of steps
  // k..n-1; for k = 0 every spoke) add up to what is left of the total? Printed spokes count as they are;
  // each blank one takes a free number, so the smallest and the largest free numbers bound them.
  bool SpokesCanReach(int k) const {
    long long fixed = 0;
    int blanks = 0;
    for (int step = k; step < FFigure.Quadrilaterals(); ++step) {
      const int spoke = step == 0 ? QuadAt(1).spoke : QuadAt(step).nextSpoke;
      const int printed = FQ.given[static_cast<std::size_t>(spoke)];
      if (printed != 0) {
        fixed += printed;
      } else {
        ++blanks;
      }
    }
    const unsigned taken = FUsed | FReserved;
    long long low = fixed, high = fixed;
    for (int number = 1, left = blanks; number <= FNumbers && left > 0; ++number) {
      if ((taken & Bit(number)) == 0) low += number, --left;
    }
    for (int number = FNumbers, left = blanks; number >= 1 && left > 0; --number) {
      if ((taken & Bit(number)) == 0) high += number, --left;
    }
    return low <= FSpokesLeft && FSpokesLeft <= high;
  }

  // Step k: its quadrilateral's spoke is placed; place its next spoke (unless it closes the fan), then
  // its tip.
  void Step(int k) {
    const int n = FFigure.Quadrilaterals();
    if (k == n) {
      Tip(k);
      return;
    }
    if (Sums() && !SpokesCanReach(k)) return;
    const int nextSpoke = QuadAt(k).nextSpoke;
    // In sum mode the last spoke is the rest of the spokes' total.
    const bool lastSpoke = Sums() && k == n - 1;
    const int first = lastSpoke ? static_cast<int>(std::clamp<long long>(FSpokesLeft, 0, FNumbers + 1)) : 1;
    const int last = lastSpoke ? first : FNumbers;
    for (int s = first; s <= last && !FStopped; ++s) {
      if (s < 1 || s > FNumbers || !Place(nextSpoke, s)) continue;
      FSpokesLeft -= s;
      Tip(k);
      FSpokesLeft += s;
      Remove(nextSpoke);
    }
  }

  // The tip of step k's quadrilateral is what its value leaves once the other three are placed.
  void Tip(int k) {
    const Quadrilateral& quad = QuadAt(k);
    const long long value = FQ.values[static_cast<std::size_t>(QuadIndexAt(k) - 1)];
    const long long c = At(quad.centre), s = At(quad.spoke), t = At(quad.nextSpoke);
    long long tip = 0;
    if (Sums()) {
      tip = value - c - s - t;
    } else {
      const long long product = c * s * t;
      if (value % product != 0) return;
      tip = value / product;
    }
    if (tip < 1 || tip > FNumbers || !Place(quad.tip, static_cast<int>(tip))) return;
    if (k == FFigure.Quadrilaterals()) {
      ++FFound;
      if (!FOnAnswer(FPlacement)) FStopped = true;
    } else {
      Step(k + 1);
    }
    Remove(quad.tip);
  }

  const PuzzleQuestion& FQ;
  const FigureModel& FFigure;
  const std::function<bool(const Placement&)>& FOnAnswer;
  int FNumbers = 0;
  int FStart = 1;             // the quadrilateral the walk starts at
  unsigned FReserved = 0;     // the printed numbers
  unsigned FUsed = 0;         // the numbers placed so far
  long long FSpokesLeft = 0;  // sum mode: what the spokes still to place must add up to
  Placement FPlacement{};
  int FFound = 0;
  bool FStopped = false;
};

}  // namespace

int SolvePuzzle(const PuzzleQuestion& question, const std::function<bool(const Placement&)>& onAnswer) {
  if (question.quadrilaterals < kMinQuadrilaterals || question.quadrilaterals > kMaxQuadrilaterals) return 0;
  Search search(question, onAnswer);
  if (!search.Prepare()) return 0;
  return search.Run();
}

int CountAnswers(const PuzzleQuestion& question, int limit) {
  if (limit <= 0) return 0;
  int count = 0;
  SolvePuzzle(question, [&count, limit](const Placement&) { return ++count < limit; });
  return count;
}

std::vector<Placement> FindAnswers(const PuzzleQuestion& question) {
  std::vector<Placement> answers;
  SolvePuzzle(question, [&answers](const Placement& p) {
    answers.push_back(p);
    return true;
  });
  return answers;
}

PuzzleQuestion QuestionOf(const TPuzzleData& puzzle, int n, int operation, std::span<const int> given) {
  const FigureModel& figure = FigureModel::ForQuadrilaterals(n);
  PuzzleQuestion question;
  question.quadrilaterals = n;
  question.operation = operation;
  if (operation == 1) {
    for (int j = 1; j <= n; ++j) {
      // A number outside 1..2n+1 (a broken line) makes a value that no placement reaches.
      long long product = 1;
      for (int p : figure.Quad(j).Positions()) {
        const int number = puzzle.NumVal[static_cast<std::size_t>(p)];
        product = number >= 1 && number <= figure.Numbers() ? product * number : 0;
      }
      question.values[static_cast<std::size_t>(j - 1)] = product;
    }
  } else {
    const long long base = StrToInt(puzzle.BaseSum);
    for (int j = 1; j <= n; ++j) question.values[static_cast<std::size_t>(j - 1)] = base + j - 1;
  }
  for (int p : given) {
    if (p < 0 || p >= figure.Positions()) continue;
    // A printed number below 1 is kept as one the solver refuses, not mistaken for a blank.
    const int number = puzzle.NumVal[static_cast<std::size_t>(p)];
    question.given[static_cast<std::size_t>(p)] = number >= 1 ? number : -1;
  }
  return question;
}

}  // namespace tess

#pragma once
// The generated puzzles of the current worksheet: six slots, each one catalogue line unpacked.
// MakePuzzleData writes them (once per worksheet); the figure drawing reads them for both pages.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"
#include "worksheet/FigureModel.h"

namespace tess {

struct TPuzzleData {
  Cp932String BaseSum;                               // T as written in the line
  std::array<Cp932String, kMaxPositions> NumStr;     // number on each position, as written
  std::array<std::int32_t, kMaxPositions> NumVal{};  // the same as integers
  // The positions whose numbers the question page prints, in the order chosen, when they were chosen with
  // the puzzle (a worksheet with one answer only). Otherwise empty: the drawing chooses them. Unpacking a
  // line clears it.
  std::optional<std::vector<int>> Given;
};

constexpr int kPuzzleSlots = 6;
using TPuzzleTable = std::array<TPuzzleData, kPuzzleSlots>;

// The program-wide table; it lives for the whole run and every build overwrites it.
TPuzzleTable& PuzzleData();

// A catalogue line that does not have the form "T,p0,...,p2n" with decimal integers.
class EPuzzleLineError : public Exception {
 public:
  using Exception::Exception;
};

// Unpacks `line` for a figure of n quadrilaterals into `slot`. A malformed line throws EPuzzleLineError
// naming the line and leaves the slot as it was.
void UnpackPuzzleLine(const Cp932String& line, int n, TPuzzleData& slot);

// The positions a question page gives for difficulty `level` (LevelType item): 0 the spokes, 1 the tips,
// 2 and 3 three or four positions drawn from the shared generator, each drawn again until it is new; any
// other level gives none.
std::vector<int> ChooseGivenPositions(const FigureModel& figure, int level);

// Chooses the puzzles of one worksheet from `catalogue`, the catalogue of figure size `kind` (the
// SquareNums item index 0..3): six pairwise different lines for three quadrilaterals, two independent
// lines otherwise. The difficulty plays no part in the choice. Slots beyond those filled keep their values.
void MakePuzzleData(const TStringList& catalogue, int kind, TPuzzleTable& table);

// How often a one-answer worksheet draws again: given positions per puzzle at the random levels, and
// puzzles per slot before it gives up.
constexpr int kGivenDrawsPerPuzzle = 20;
constexpr int kPuzzleDrawsPerSlot = 500;

// Chooses the puzzles of a worksheet whose every figure has exactly one answer for difficulty `level` and
// operation `operation` (rgOpe item), and their given positions (stored in Given). Each slot draws a line
// as MakePuzzleData does (six different lines for three quadrilaterals); at the random levels it draws
// given positions up to kGivenDrawsPerPuzzle times until the figure has one answer, at the fixed levels
// the spokes or tips have to give one. Otherwise the line is drawn again, up to kPuzzleDrawsPerSlot times;
// then EPuzzleLineError (no catalogue of the program comes near that).
void MakeOneAnswerPuzzleData(const TStringList& catalogue, int kind, int level, int operation,
                             TPuzzleTable& table);

}  // namespace tess

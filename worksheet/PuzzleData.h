#pragma once
// The generated puzzles of the current worksheet: six slots, each one catalogue line unpacked.
// MakePuzzleData writes them (once per worksheet); the figure drawing reads them for both pages.

#include <array>
#include <cstdint>

#include "platform/core/Cp932String.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"
#include "worksheet/FigureModel.h"

namespace tess {

struct TPuzzleData {
  Cp932String BaseSum;                               // T as written in the line
  std::array<Cp932String, kMaxPositions> NumStr;     // number on each position, as written
  std::array<std::int32_t, kMaxPositions> NumVal{};  // the same as integers
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

// Chooses the puzzles of one worksheet from `catalogue`, the catalogue of figure size `kind` (the
// SquareNums item index 0..3): six pairwise different lines for three quadrilaterals, two independent
// lines otherwise. The difficulty plays no part in the choice. Slots beyond those filled keep their values.
void MakePuzzleData(const TStringList& catalogue, int kind, TPuzzleTable& table);

}  // namespace tess

#pragma once
// Drawing one puzzle figure on the page the preview component is recording: outline, spokes, white vertex
// discs, the vertex numbers that are shown, and the value of every quadrilateral (sum or product).

#include <vector>

#include "worksheet/PuzzleData.h"

namespace tess {

class TCustomplPrev;

struct FigurePlacement {
  int kind = 0;     // SquareNums item: n = kind + 3
  int centerX = 0;  // 0.1 mm
  int centerY = 0;
  int radius = 0;      // centre to tip
  int fontHeight = 0;  // vertex numbers; the discs are twice as wide
  int penWidth = 0;
};

// How the figure is shown: which page (0 questions, 1 answers, anything else shows no vertex numbers),
// the difficulty (LevelType item) and the operation (rgOpe item: 0 sum, 1 product).
struct FigureShowing {
  int answerPage = 0;
  int level = 0;
  int operation = 0;
};

// Draws the figure of `puzzle`. A question page gives the positions of puzzle.Given when they were chosen
// with the puzzle, otherwise those of ChooseGivenPositions (at difficulties 2 and 3 drawn from the shared
// generator); it returns them. An answer page returns nothing. A BaseSum that is not an integer throws
// the conversion error (it ends the page build).
std::vector<int> DrawPuzzleFigure(TCustomplPrev& document, const FigurePlacement& placement,
                                  const TPuzzleData& puzzle, const FigureShowing& showing);

}  // namespace tess

#pragma once
// The worksheet document: two pages on the preview component, questions then answers, with the same
// header and the same figures in the same places. The dialog and the command line both build through here.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/core/StringList.h"
#include "worksheet/PuzzleData.h"

namespace tess {

class TCustomplPrev;

// The dialog's settings as they stand when the build starts.
struct WorksheetSettings {
  int sizeIndex = 0;  // SquareNums item: n = sizeIndex + 3
  int level = 0;      // LevelType item
  int operation = 0;  // rgOpe item: 0 sum, 1 product
  bool dateLine = false;
  bool oneAnswer = false;  // every figure's question has exactly one answer
  Cp932String line1;
  Cp932String line2;
};

// The printer's printable area on the paper (0.1 mm): the header is placed in it, the figures are not.
struct PrintAreaFrame {
  int left = 0;
  int top = 0;
  int width = 0;
};

// The four catalogues by SquareNums item.
using CatalogueSet = std::array<const TStringList*, 4>;

// The given positions each figure slot of a question page showed.
using GivenPositionTable = std::array<std::vector<int>, kPuzzleSlots>;

// The figure slots of a page for a figure size (SquareNums item): 6 for three quadrilaterals, else 2.
int WorksheetFigureCount(int sizeIndex);
// Problem numbers a worksheet may carry. While a worksheet is printed the dialog counts from the number
// before it, and once both pages are printed it shows the number after it, so those must exist as well.
constexpr int kLowestProblemNo = INT32_MIN + 1;
constexpr int kHighestProblemNo = INT32_MAX - 1;
// A set of `count` worksheets built at once counts down to `count` below its first number, so that number
// may be no lower than this.
constexpr int ProblemNoRangeLow(int count) {
  return static_cast<int>(static_cast<long long>(INT32_MIN) + std::max(1, count));
}
// The most worksheets one "プレビュー" builds.
constexpr int kMaxSheetsPerBuild = 99;

// The face every text of the worksheet is drawn in.
Cp932String WorksheetFaceName();

// Builds the document of `count` worksheets numbered problemNo, problemNo + 1, ...: BeginDoc, then for each
// worksheet its question page (header, puzzles, question figures) and its answer page (header,
// `afterSecondHeader` (the dialog counts its problem number down there), answer figures), NewPage between
// pages, and EndDoc, which also runs when a step failed; the failure then passes on. Every worksheet draws
// its own puzzles, those of MakeOneAnswerPuzzleData when settings.oneAnswer is set, else of MakePuzzleData,
// in worksheet order, so the set is the one `count` single builds in a row would make. `shownGivens`, when
// given, receives the given positions of every question figure of the last worksheet.
void BuildWorksheets(TCustomplPrev& document, const WorksheetSettings& settings, const PrintAreaFrame& frame,
                     int problemNo, int count, const CatalogueSet& catalogues,
                     const std::function<void()>& afterSecondHeader,
                     GivenPositionTable* shownGivens = nullptr);

// The header of one page, in the order and places of the worksheet layout.
void DrawWorksheetHeader(TCustomplPrev& document, const WorksheetSettings& settings,
                         const PrintAreaFrame& frame, int problemNo);

// The figures of one page (answerPage 0: questions, 1: answers) from the current puzzle table;
// `shownGivens`, when given, receives the given positions of every figure.
void DrawWorksheetFigures(TCustomplPrev& document, const WorksheetSettings& settings, int answerPage,
                          GivenPositionTable* shownGivens = nullptr);

}  // namespace tess
